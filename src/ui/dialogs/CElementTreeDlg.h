// "Elementi nave: albero delle categorie": the modeless window in which the
// ship is built. It shows the hull elements, compartments and tanks in a
// tree, adds elements from drawings and mesh files, opens the properties of
// an element, deletes one, turns its normals, and chooses how the 3D view
// previews the selected element.
//
// Elements are told apart by their names, which the model keeps unique:
// each item of the tree holds its element's name bytes and finds the
// element with CShipModel::FindElement.
#pragma once

#include "ElementCommands.h"

#include <QDialog>

#include <optional>
#include <string>

class CShipElement;
class CShipModel;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoCommand;
class QUndoStack;

class CElementTreeDlg : public QDialog {
    Q_OBJECT
public:
    // The preview of the selected element in the view.
    enum { previewNone = 0, previewShaded = 1, previewNormals = 2 };

    explicit CElementTreeDlg(QWidget* parent = nullptr);
    ~CElementTreeDlg() override;

    // The document's ship and the view that shows it; neither is owned. The
    // dialog only asks the view to redraw.
    void SetModel(CShipModel* model, QWidget* view);
    CShipModel* GetModel() const { return m_pModel; }
    // The document's undo stack, which takes every change made here so that
    // it can be undone; not owned. Without one a change is made at once and
    // cannot be undone.
    void SetUndoStack(QUndoStack* stack) { m_undo = stack; }

    // Rebuilds the tree from the ship: the three categories and their
    // elements in list order. The categories stay expanded or collapsed as
    // they were and the selection stays on the same element (or category);
    // a new ship (SetModel) starts collapsed with nothing selected.
    void RefreshTree();
    // The same, then selects the element named select, shown in its open
    // category (the element just added or edited).
    void RefreshTree(const std::string& select);

    // What the view previews: previewNone, previewShaded or previewNormals,
    // and the length of the normals [m], as last read from the controls.
    int PreviewMode() const { return m_preview_mode; }
    double NormalLength() const { return m_normal_length; }
    // The element of the selected item and its kind code; null when nothing
    // or a category is selected.
    CShipElement* SelectedElement(int* kind = nullptr) const;

    QTreeWidget* Tree() const { return m_tree; }

    // The commands of the buttons and of the tree's popup menu.
    void OnProperties();
    void OnAddHull();
    void OnAddCompartment();
    void OnAddTank();
    void OnDelete();
    void OnInvertNormals();

signals:
    // The ship changed: an element added, edited, deleted or turned, or
    // such a change undone or redone.
    void modelChanged();
    // A note for the status bar (an element added with problems); an empty
    // text clears the previous one.
    void statusMessage(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddElement(int kind);
    // Reads the preview and the normals' length from the controls, then
    // redraws the view.
    void OnPreviewChanged();
    bool ReadFields();
    void ShowPopupMenu();
    void RedrawView();
    // Hands a change to the undo stack, which makes it, or makes it at once
    // without a stack.
    void Perform(QUndoCommand* command);
    // After a change or its undo or redo: the tree rebuilt, the element
    // given selected, and modelChanged.
    void OnShipEdited(const CShipElement* select);
    // OnShipEdited for a command, as long as this dialog lives.
    CShipEdited Edited();
    // The name bytes of the selected element's item; none for a category or
    // no selection.
    std::optional<std::string> SelectedName() const;
    // The window that owns the questions and file dialogs asked while this
    // one is minimised.
    QWidget* Owner() const;
    void Rebuild(const std::optional<std::string>& select);
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const std::string& name, int icon);

    CShipModel* m_pModel = nullptr;
    QWidget* m_pView = nullptr;
    QUndoStack* m_undo = nullptr;
    int m_preview_mode = previewNone;
    float m_normal_length = 1.0f;

    QTreeWidget* m_tree = nullptr;
    QButtonGroup* m_preview = nullptr;
    QLineEdit* m_normal_length_box = nullptr;
    QPushButton* m_add_hull = nullptr;
    QPushButton* m_add_compartment = nullptr;
    QPushButton* m_add_tank = nullptr;
};
