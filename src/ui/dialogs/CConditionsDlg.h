// "Condizioni di carico": the modeless window listing the ship's loading
// conditions and editing the one selected (lightship, deadweight items, the
// tanks' loads, the water, the flooding angle, and for the weather
// criterion its windage items and bilge keels), with its totals.
//
// The window edits a copy: each edit it accepts is handed on whole
// (conditionsEdited) for the document to make it one undoable change, and
// the document's conditions come back through SetConditions, after an edit,
// an undo, an open or a new ship alike.
#pragma once

#include "model/CLoadingCondition.h"

#include <QDialog>

#include <functional>

class CShipModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QWidget;

class CConditionsDlg : public QDialog {
    Q_OBJECT
public:
    // The columns of the deadweight items' table and of the tanks' table.
    enum ItemColumn { itemName, itemWeight, itemX, itemY, itemZ, itemColumns };
    // A tank's row: its name, checked when the condition gives its load
    // (unchecked: the load stored with the tank), what the amount is
    // (filling ratio or volume), the amount, the liquid's density.
    enum TankColumn { tankName, tankGiven, tankAmount, tankDensity, tankColumns };
    // The columns of the windage items' table.
    enum WindageColumn { windageName, windageArea, windageHeight, windageColumns };

    explicit CConditionsDlg(QWidget* parent = nullptr);
    ~CConditionsDlg() override;

    // The ship whose tanks the conditions load, not owned; null for none.
    void SetShip(const CShipModel* ship);
    // The ship's tanks may have changed: their rows and the totals again.
    void ShipChanged();
    // What the window shows and edits; when writable is false the
    // conditions are shown, not edited, and whyNot says why.
    void SetConditions(const CLoadingConditions& conditions, bool writable,
                       const QString& whyNot = QString());
    const CLoadingConditions& Conditions() const { return m_conditions; }

    // The condition selected (0-based), -1 for none.
    int Selected() const;
    void Select(int index);

    // The totals shown: displacement [t], LCG, TCG, VCG [m] ("-" for a
    // centre that cannot be found or a field that holds no number).
    QStringList TotalsTexts() const;

signals:
    // An edit accepted: the conditions after it, and what the undo menu
    // calls it.
    void conditionsEdited(const CLoadingConditions& conditions, const QString& text);

private:
    // The scalar fields of a condition, in the order of m_fields.
    enum Field { fName, fLightship, fLcg, fTcg, fVcg, fWater, fFlooding, fBilgeKeels, fieldCount };

    // The list and every field rebuilt from m_conditions.
    void Rebuild();
    void FillFields();
    void FillItems();
    void FillTanks();
    void FillWindage();
    void UpdateTotals();
    void UpdateEnabled();

    // The selected condition with change made, checked, and handed on as
    // one edit; refused with a message naming field (nothing changed) when
    // the condition would be impossible. False when refused.
    bool Commit(const std::function<void(CLoadingCondition&)>& change, const QString& field,
                const QString& undoText);
    // The whole set replaced by conditions, selecting select.
    void CommitAll(const CLoadingConditions& conditions, int select, const QString& undoText);

    void OnFieldEdited(int field);
    void OnItemChanged(int row, int column);
    void OnTankChanged(int row, int column);
    void OnTankGivenChanged(int row);
    void OnNew();
    void OnCopy();
    void OnRename();
    void OnDelete();
    void OnAddItem();
    void OnRemoveItem();
    void OnWindageChanged(int row, int column);
    void OnAddWindage();
    void OnRemoveWindage();

    // The selected condition with the fields as typed, where they hold a
    // number; false when one does not.
    bool TypedCondition(CLoadingCondition& condition) const;
    // The load shown in tank row row: the condition's, or the tank's own.
    CConditionTankLoad ShownTankLoad(int row) const;
    const CLoadingCondition* Current() const;
    // "Condizione N", the first N free.
    std::string FreeName(const std::string& stem, bool numberFirst) const;

    const CShipModel* m_ship = nullptr;
    CLoadingConditions m_conditions;
    bool m_writable = true;
    QString m_why_not;
    // Set while the window fills its own widgets, whose signals then mean
    // nothing.
    bool m_filling = false;

    QListWidget* m_list = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_delete = nullptr;
    QLabel* m_locked = nullptr;
    QWidget* m_editor = nullptr;
    QLineEdit* m_fields[fieldCount] = {};
    QTableWidget* m_items = nullptr;
    QPushButton* m_add_item = nullptr;
    QPushButton* m_remove_item = nullptr;
    QTableWidget* m_tanks = nullptr;
    QTableWidget* m_windage = nullptr;
    QPushButton* m_add_windage = nullptr;
    QPushButton* m_remove_windage = nullptr;
    QLabel* m_unknown_tanks = nullptr;
    QLabel* m_totals[4] = {};
};
