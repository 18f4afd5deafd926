// "Stampa relazione…": the stability booklet of the ship and its loading
// conditions, computed while a window shows the progress (and "Interrompi"
// stops it), then shown in a print preview whose toolbar also saves it as a
// PDF file ("Salva PDF…"), the same file brelund-calc report writes.
#pragma once

#include "booklet/Booklet.h"
#include "booklet/BookletContents.h"

#include <QDialog>
#include <QPrintPreviewDialog>

class CLoadingConditions;
class CShipModel;
class QAction;
class QListWidget;

// What goes in the booklet: the loading conditions and the damage cases of
// the conditions file, each with a check box, all checked at first.
class CBookletChoiceDlg : public QDialog {
    Q_OBJECT
public:
    CBookletChoiceDlg(const CLoadingConditions& conditions, QWidget* parent = nullptr);

    QListWidget* Conditions() const { return m_conditions; }
    QListWidget* DamageCases() const { return m_damage; }
    // The checked ones, as brelund-calc report's --conditions and --damage
    // name them.
    CBookletRequest Request() const;

private:
    QListWidget* m_conditions = nullptr;
    QListWidget* m_damage = nullptr;
};

class CBookletPreview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    CBookletPreview(CBooklet booklet, QWidget* parent = nullptr);
    ~CBookletPreview() override;

    const CBooklet& Booklet() const { return m_booklet; }
    const CBookletLayout& Layout() const { return m_layout; }
    // "Salva PDF…" on the toolbar.
    QAction* SaveAction() const { return m_save; }
    // Asks for a file and writes the PDF there, whole or not at all; a
    // failure is said in a message box. False when nothing was written.
    bool OnSavePdf();
    // Writes the PDF at path, whole or not at all; throws CFileException.
    void WritePdf(const QString& path) const;

private:
    CBooklet m_booklet;
    CBookletLayout m_layout;
    QAction* m_save = nullptr;
};

// Computes the booklet of ship (named name) with every loading condition and
// damage case of conditions, showing the progress over parent. False, having
// said why in a message box (or when the person stopped it), when there is no
// booklet.
bool ComputeBookletShown(const CShipModel& ship, const QString& name,
                         const CLoadingConditions& conditions, QWidget* parent, CBooklet& out,
                         const CBookletRequest& request = CBookletRequest{});

// The whole command: asks which conditions and damage cases go in (when the
// ship has any), computes, then shows the preview (modal).
void ShowBookletPreview(const CShipModel& ship, const QString& name,
                        const CLoadingConditions& conditions, QWidget* parent);
