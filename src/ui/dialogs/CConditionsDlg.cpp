#include "CConditionsDlg.h"

#include "FieldExchange.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "ui/app/UiLayer.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// Each field as the form labels it, and as a message names it.
const char* const kFieldLabels[] = {"Nome",
                                    "Peso [t]",
                                    "LCG [m]",
                                    "TCG [m]",
                                    "VCG [m]",
                                    "Densità [t/m^3]",
                                    "Angolo di allagamento [°]",
                                    "Area alette di rollio [m²]"};
const char* const kFieldNames[] = {"il nome",
                                   "il peso della nave vuota [t]",
                                   "l'LCG della nave vuota [m]",
                                   "il TCG della nave vuota [m]",
                                   "il VCG della nave vuota [m]",
                                   "la densità dell'acqua [t/m^3]",
                                   "l'angolo di allagamento [°]",
                                   "l'area delle alette di rollio [m²]"};
const char* const kItemHeaders[] = {"Nome", "Peso [t]", "x [m]", "y [m]", "z [m]"};
const char* const kItemNames[] = {"il nome", "il peso [t]", "la x [m]", "la y [m]", "la z [m]"};
const char* const kWindageHeaders[] = {"Nome", "Area [m²]", "Altezza del centro [m]"};
const char* const kWindageNames[] = {"il nome", "l'area [m²]", "l'altezza del centro [m]"};
const char* const kTankHeaders[] = {"Cassa", "Carico", "Quantità", "Densità [t/m^3]"};
const char* const kGiven[] = {"Riempimento (0-1)", "Volume [m^3]"};
const char* const kTotalLabels[] = {"Dislocamento [t]", "LCG [m]", "TCG [m]", "VCG [m]"};

const QString kEditText = "Modifica condizione";

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

std::string StdText(const QString& s) {
    return s.toStdString();
}

QString Fault(const CMessage& m) {
    return QString::fromStdString(m.italian);
}

const CTank* TankAt(const CShipModel* ship, int row) {
    if (!ship || row < 0 || row >= ship->Tanks().GetCount())
        return nullptr;
    return ship->Tanks().GetAt(row + 1);
}

} // namespace

CConditionsDlg::CConditionsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Condizioni di carico");
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);

    // The list of the conditions and what is done to them.
    m_list = new QListWidget;
    m_list->setObjectName("conditionList");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_new = new QPushButton("Nuova");
    m_new->setObjectName("newCondition");
    m_copy = new QPushButton("Copia");
    m_copy->setObjectName("copyCondition");
    m_rename = new QPushButton("Rinomina");
    m_rename->setObjectName("renameCondition");
    m_delete = new QPushButton("Elimina");
    m_delete->setObjectName("deleteCondition");
    auto* listButtons = new QGridLayout;
    listButtons->addWidget(m_new, 0, 0);
    listButtons->addWidget(m_copy, 0, 1);
    listButtons->addWidget(m_rename, 1, 0);
    listButtons->addWidget(m_delete, 1, 1);
    auto* listSide = new QVBoxLayout;
    listSide->addWidget(new QLabel("Condizioni:"));
    listSide->addWidget(m_list, 1);
    listSide->addLayout(listButtons);

    // The condition selected.
    const char* const fieldObjects[] = {"name", "lightship",    "lcg",          "tcg",
                                        "vcg",  "waterDensity", "floodingAngle",
                                        "bilgeKeelArea"};
    for (int f = 0; f < fieldCount; ++f) {
        m_fields[f] = f == fName ? new QLineEdit : NewNumberBox(fieldObjects[f], "-0000.000000");
        m_fields[f]->setObjectName(fieldObjects[f]);
        connect(m_fields[f], &QLineEdit::editingFinished, this, [this, f] { OnFieldEdited(f); });
        connect(m_fields[f], &QLineEdit::textEdited, this, [this] { UpdateTotals(); });
    }
    m_fields[fFlooding]->setPlaceholderText("nessuno");
    m_fields[fFlooding]->setToolTip("Vuoto: nessun angolo di allagamento");

    auto* nameRow = new QFormLayout;
    nameRow->addRow(kFieldLabels[fName], m_fields[fName]);

    auto* lightship = new QGroupBox("Nave vuota");
    auto* lightshipLayout = new QHBoxLayout(lightship);
    for (int f : {fLightship, fLcg, fTcg, fVcg}) {
        lightshipLayout->addWidget(new QLabel(kFieldLabels[f]));
        lightshipLayout->addWidget(m_fields[f]);
    }
    lightshipLayout->addStretch(1);

    auto* items = new QGroupBox("Pesi a bordo");
    m_items = new QTableWidget(0, itemColumns);
    m_items->setObjectName("items");
    for (int c = 0; c < itemColumns; ++c)
        m_items->setHorizontalHeaderItem(c, new QTableWidgetItem(kItemHeaders[c]));
    m_items->horizontalHeader()->setSectionResizeMode(itemName, QHeaderView::Stretch);
    m_items->verticalHeader()->hide();
    m_items->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_items->setSelectionMode(QAbstractItemView::SingleSelection);
    m_add_item = new QPushButton("Aggiungi riga");
    m_add_item->setObjectName("addItem");
    m_remove_item = new QPushButton("Elimina riga");
    m_remove_item->setObjectName("removeItem");
    auto* itemButtons = new QHBoxLayout;
    itemButtons->addWidget(m_add_item);
    itemButtons->addWidget(m_remove_item);
    itemButtons->addStretch(1);
    auto* itemsLayout = new QVBoxLayout(items);
    itemsLayout->addWidget(m_items, 1);
    itemsLayout->addLayout(itemButtons);

    auto* tanks = new QGroupBox("Casse");
    m_tanks = new QTableWidget(0, tankColumns);
    m_tanks->setObjectName("tanks");
    for (int c = 0; c < tankColumns; ++c)
        m_tanks->setHorizontalHeaderItem(c, new QTableWidgetItem(kTankHeaders[c]));
    m_tanks->horizontalHeaderItem(tankName)->setToolTip(
        "Spuntata: il carico della condizione; altrimenti quello della cassa");
    m_tanks->horizontalHeader()->setSectionResizeMode(tankName, QHeaderView::Stretch);
    m_tanks->verticalHeader()->hide();
    m_unknown_tanks = new QLabel;
    m_unknown_tanks->setObjectName("unknownTanks");
    m_unknown_tanks->setWordWrap(true);
    auto* tanksNote = new QLabel("Una cassa non spuntata ha il carico registrato con la nave.");
    tanksNote->setWordWrap(true);
    auto* tanksLayout = new QVBoxLayout(tanks);
    tanksLayout->addWidget(m_tanks, 1);
    tanksLayout->addWidget(tanksNote);
    tanksLayout->addWidget(m_unknown_tanks);

    auto* water = new QGroupBox("Acqua e allagamento");
    auto* waterLayout = new QHBoxLayout(water);
    for (int f : {fWater, fFlooding}) {
        waterLayout->addWidget(new QLabel(kFieldLabels[f]));
        waterLayout->addWidget(m_fields[f]);
    }
    waterLayout->addStretch(1);

    // For the weather criterion: what the wind sees beyond the hull, and
    // the bilge keels.
    auto* windage = new QGroupBox("Superfici al vento non modellate e alette di rollio");
    m_windage = new QTableWidget(0, windageColumns);
    m_windage->setObjectName("windage");
    for (int c = 0; c < windageColumns; ++c)
        m_windage->setHorizontalHeaderItem(c, new QTableWidgetItem(kWindageHeaders[c]));
    m_windage->horizontalHeaderItem(windageHeight)->setToolTip(
        "Altezza del centro dell'area sulla linea di base");
    m_windage->horizontalHeader()->setSectionResizeMode(windageName, QHeaderView::Stretch);
    m_windage->verticalHeader()->hide();
    m_windage->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_windage->setSelectionMode(QAbstractItemView::SingleSelection);
    m_add_windage = new QPushButton("Aggiungi superficie");
    m_add_windage->setObjectName("addWindage");
    m_remove_windage = new QPushButton("Elimina superficie");
    m_remove_windage->setObjectName("removeWindage");
    auto* windageButtons = new QHBoxLayout;
    windageButtons->addWidget(m_add_windage);
    windageButtons->addWidget(m_remove_windage);
    windageButtons->addSpacing(12);
    windageButtons->addWidget(new QLabel(QString::fromUtf8(kFieldLabels[fBilgeKeels])));
    windageButtons->addWidget(m_fields[fBilgeKeels]);
    m_fields[fBilgeKeels]->setToolTip("L'area totale delle alette, sui due lati; 0: nessuna");
    windageButtons->addStretch(1);
    auto* windageLayout = new QVBoxLayout(windage);
    windageLayout->addWidget(m_windage, 1);
    windageLayout->addLayout(windageButtons);

    auto* totals = new QGroupBox("Totali");
    auto* totalsLayout = new QHBoxLayout(totals);
    const char* const totalObjects[] = {"displacement", "totalLcg", "totalTcg", "totalVcg"};
    for (int k = 0; k < 4; ++k) {
        m_totals[k] = new QLabel("-");
        m_totals[k]->setObjectName(totalObjects[k]);
        m_totals[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        totalsLayout->addWidget(new QLabel(kTotalLabels[k]));
        totalsLayout->addWidget(m_totals[k]);
        totalsLayout->addSpacing(12);
    }
    totalsLayout->addStretch(1);

    m_editor = new QWidget;
    auto* editorLayout = new QVBoxLayout(m_editor);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addLayout(nameRow);
    editorLayout->addWidget(lightship);
    editorLayout->addWidget(items, 1);
    editorLayout->addWidget(tanks, 1);
    editorLayout->addWidget(water);
    editorLayout->addWidget(windage, 1);

    m_locked = new QLabel;
    m_locked->setObjectName("locked");
    m_locked->setWordWrap(true);
    m_locked->setStyleSheet("color: #b03020");
    m_locked->hide();

    auto* columns = new QHBoxLayout;
    columns->addLayout(listSide, 1);
    columns->addWidget(m_editor, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_locked);
    layout->addLayout(columns, 1);
    layout->addWidget(totals);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (m_filling)
            return;
        FillFields();
        FillItems();
        FillTanks();
        FillWindage();
        UpdateTotals();
        UpdateEnabled();
    });
    // Return ends the edit of a field; no button of a dialog may take it.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(m_new, &QPushButton::clicked, this, &CConditionsDlg::OnNew);
    connect(m_copy, &QPushButton::clicked, this, &CConditionsDlg::OnCopy);
    connect(m_rename, &QPushButton::clicked, this, &CConditionsDlg::OnRename);
    connect(m_delete, &QPushButton::clicked, this, &CConditionsDlg::OnDelete);
    connect(m_add_item, &QPushButton::clicked, this, &CConditionsDlg::OnAddItem);
    connect(m_remove_item, &QPushButton::clicked, this, &CConditionsDlg::OnRemoveItem);
    connect(m_items, &QTableWidget::cellChanged, this, &CConditionsDlg::OnItemChanged);
    connect(m_tanks, &QTableWidget::cellChanged, this, &CConditionsDlg::OnTankChanged);
    connect(m_add_windage, &QPushButton::clicked, this, &CConditionsDlg::OnAddWindage);
    connect(m_remove_windage, &QPushButton::clicked, this, &CConditionsDlg::OnRemoveWindage);
    connect(m_windage, &QTableWidget::cellChanged, this, &CConditionsDlg::OnWindageChanged);

    Rebuild();
    resize(980, 680);
}

CConditionsDlg::~CConditionsDlg() {
    // The window is hidden as QWidget goes, after the conditions are gone:
    // the field losing the focus then must not be taken as an edit.
    for (QLineEdit* field : m_fields)
        disconnect(field, nullptr, this, nullptr);
    disconnect(m_list, nullptr, this, nullptr);
    disconnect(m_items, nullptr, this, nullptr);
    disconnect(m_tanks, nullptr, this, nullptr);
    disconnect(m_windage, nullptr, this, nullptr);
}

void CConditionsDlg::SetShip(const CShipModel* ship) {
    m_ship = ship;
    ShipChanged();
}

void CConditionsDlg::ShipChanged() {
    FillTanks();
    UpdateTotals();
}

void CConditionsDlg::SetConditions(const CLoadingConditions& conditions, bool writable,
                                   const QString& whyNot) {
    // The window's own edit coming back: its widgets already show it, and
    // rebuilding a table from inside its own signal would pull the cell
    // being edited from under it.
    if (conditions == m_conditions && writable == m_writable && whyNot == m_why_not) {
        UpdateTotals();
        return;
    }
    m_conditions = conditions;
    m_writable = writable;
    m_why_not = whyNot;
    Rebuild();
}

int CConditionsDlg::Selected() const {
    const int row = m_list->currentRow();
    return row >= 0 && row < static_cast<int>(m_conditions.All().size()) ? row : -1;
}

void CConditionsDlg::Select(int index) {
    m_list->setCurrentRow(index);
}

const CLoadingCondition* CConditionsDlg::Current() const {
    const int i = Selected();
    return i < 0 ? nullptr : &m_conditions.All()[static_cast<std::size_t>(i)];
}

QStringList CConditionsDlg::TotalsTexts() const {
    QStringList texts;
    for (const QLabel* label : m_totals)
        texts << label->text();
    return texts;
}

void CConditionsDlg::Rebuild() {
    // The condition selected stays selected by its name, else by its place.
    const QString selectedName = m_list->currentItem() ? m_list->currentItem()->text() : "";
    const int selectedRow = m_list->currentRow();
    {
        m_filling = true;
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        int select = -1;
        for (const CLoadingCondition& c : m_conditions.All()) {
            m_list->addItem(Text(c.name));
            if (Text(c.name) == selectedName)
                select = m_list->count() - 1;
        }
        if (select < 0 && m_list->count() > 0)
            select = std::clamp(selectedRow, 0, m_list->count() - 1);
        m_list->setCurrentRow(select);
        m_filling = false;
    }
    m_locked->setVisible(!m_writable);
    m_locked->setText(m_writable ? QString()
                                 : QString("Le condizioni di carico di questa nave non si possono "
                                           "modificare: il loro file non è stato letto e resta "
                                           "com'è.\n%1")
                                       .arg(m_why_not));
    FillFields();
    FillItems();
    FillTanks();
    FillWindage();
    UpdateTotals();
    UpdateEnabled();
}

void CConditionsDlg::UpdateEnabled() {
    const bool some = Current() != nullptr;
    m_new->setEnabled(m_writable);
    for (QPushButton* b : {m_copy, m_rename, m_delete})
        b->setEnabled(m_writable && some);
    m_editor->setEnabled(m_writable && some);
    m_remove_item->setEnabled(m_items->rowCount() > 0);
    m_remove_windage->setEnabled(m_windage->rowCount() > 0);
}

void CConditionsDlg::FillFields() {
    m_filling = true;
    const CLoadingCondition* c = Current();
    const CLoadingCondition none;
    const CLoadingCondition& shown = c ? *c : none;
    m_fields[fName]->setText(Text(shown.name));
    const double values[] = {0,         shown.lightship, shown.lcg,
                             shown.tcg, shown.vcg,       shown.water_density};
    for (int f = fLightship; f <= fWater; ++f)
        SetFieldNumber(m_fields[f], values[f]);
    if (shown.flooding)
        SetFieldNumber(m_fields[fFlooding], *shown.flooding);
    else
        m_fields[fFlooding]->clear();
    SetFieldNumber(m_fields[fBilgeKeels], shown.bilge_keel_area);
    if (!c)
        for (QLineEdit* field : m_fields)
            field->clear();
    m_filling = false;
}

void CConditionsDlg::FillItems() {
    m_filling = true;
    const QSignalBlocker blocker(m_items);
    const CLoadingCondition* c = Current();
    const int rows = c ? static_cast<int>(c->items.size()) : 0;
    m_items->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const CDeadweightItem& item = c->items[static_cast<std::size_t>(r)];
        const QString cells[] = {Text(item.name), FormatFieldNumber(item.weight),
                                 FormatFieldNumber(item.x), FormatFieldNumber(item.y),
                                 FormatFieldNumber(item.z)};
        for (int col = 0; col < itemColumns; ++col) {
            auto* cell = new QTableWidgetItem(cells[col]);
            if (col != itemName)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_items->setItem(r, col, cell);
        }
    }
    m_items->resizeColumnsToContents();
    m_items->horizontalHeader()->setSectionResizeMode(itemName, QHeaderView::Stretch);
    m_remove_item->setEnabled(rows > 0);
    m_filling = false;
}

CConditionTankLoad CConditionsDlg::ShownTankLoad(int row) const {
    const CTank* tank = TankAt(m_ship, row);
    if (!tank)
        return {};
    const CLoadingCondition* c = Current();
    if (const CConditionTankLoad* listed = c ? c->TankLoad(tank->GetName()) : nullptr)
        return *listed;
    return {tank->GetName(), CConditionTankLoad::Given::filling, tank->GetFillingRatio(),
            tank->GetDensity()};
}

void CConditionsDlg::FillTanks() {
    m_filling = true;
    const QSignalBlocker blocker(m_tanks);
    const CLoadingCondition* c = Current();
    const int rows = m_ship ? m_ship->Tanks().GetCount() : 0;
    m_tanks->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const CTank& tank = *TankAt(m_ship, r);
        const bool listed = c && c->TankLoad(tank.GetName());
        const CConditionTankLoad load = ShownTankLoad(r);
        auto* name = new QTableWidgetItem(Text(tank.GetName()));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        name->setCheckState(listed ? Qt::Checked : Qt::Unchecked);
        if (!tank.IsEnabled())
            name->setToolTip("Cassa non attiva: il suo carico non conta nei totali");
        m_tanks->setItem(r, tankName, name);
        // The row's box is kept: one replaced would linger until the event
        // loop deletes it.
        auto* given = qobject_cast<QComboBox*>(m_tanks->cellWidget(r, tankGiven));
        if (!given) {
            given = new QComboBox;
            given->addItems({kGiven[0], kGiven[1]});
            connect(given, &QComboBox::currentIndexChanged, this,
                    [this, r] { OnTankGivenChanged(r); });
            m_tanks->setCellWidget(r, tankGiven, given);
        }
        {
            const QSignalBlocker quiet(given);
            given->setCurrentIndex(load.given == CConditionTankLoad::Given::volume ? 1 : 0);
        }
        const QString cells[] = {FormatFieldNumber(load.amount), FormatFieldNumber(load.density)};
        for (int k = 0; k < 2; ++k) {
            auto* cell = new QTableWidgetItem(cells[k]);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!listed)
                cell->setForeground(m_tanks->palette().brush(QPalette::Disabled, QPalette::Text));
            m_tanks->setItem(r, tankAmount + k, cell);
        }
    }
    m_tanks->resizeColumnsToContents();
    m_tanks->horizontalHeader()->setSectionResizeMode(tankName, QHeaderView::Stretch);

    QStringList unknown;
    if (c && m_ship)
        for (const std::string& name : UnknownTanks(*m_ship, *c))
            unknown << "'" + Text(name) + "'";
    m_unknown_tanks->setText(
        unknown.isEmpty()
            ? QString()
            : QString("La condizione carica casse che la nave non ha (%1): quei carichi non "
                      "contano.")
                  .arg(unknown.join(", ")));
    m_unknown_tanks->setVisible(!unknown.isEmpty());
    m_filling = false;
}

bool CConditionsDlg::TypedCondition(CLoadingCondition& condition) const {
    const CLoadingCondition* c = Current();
    if (!c)
        return false;
    condition = *c;
    double* targets[] = {nullptr,        &condition.lightship, &condition.lcg,
                         &condition.tcg, &condition.vcg,       &condition.water_density};
    for (int f = fLightship; f <= fWater; ++f)
        if (!ParseFieldNumber(m_fields[f]->text(), *targets[f]))
            return false;
    if (m_fields[fFlooding]->text().trimmed().isEmpty()) {
        condition.flooding.reset();
    } else {
        double angle = 0;
        if (!ParseFieldNumber(m_fields[fFlooding]->text(), angle))
            return false;
        condition.flooding = angle;
    }
    return true;
}

void CConditionsDlg::UpdateTotals() {
    CLoadingCondition typed;
    const bool shown = m_ship && TypedCondition(typed) && ConditionFault(typed).empty();
    if (!shown) {
        for (QLabel* label : m_totals)
            label->setText("-");
        return;
    }
    const CConditionTotals t = ConditionTotals(*m_ship, typed);
    m_totals[0]->setText(QString::fromStdString(FormatC("%.3f", t.displacement)));
    const double g[] = {t.g.X(), t.g.Y(), t.g.Z()};
    for (int k = 0; k < 3; ++k)
        m_totals[k + 1]->setText(t.centre_found ? QString::fromStdString(FormatC("%.4f", g[k]))
                                                : QString("-"));
}

bool CConditionsDlg::Commit(const std::function<void(CLoadingCondition&)>& change,
                            const QString& field, const QString& undoText) {
    const int index = Selected();
    if (index < 0 || !m_writable)
        return false;
    const CLoadingCondition before = m_conditions.All()[static_cast<std::size_t>(index)];
    CLoadingCondition after = before;
    change(after);
    if (after == before)
        return true;
    if (const CMessage fault = ConditionFaultMessage(after); !fault.english.empty()) {
        AfxMessageBox(QString("Valore non accettato per %1: %2.").arg(field, Fault(fault)),
                      MB_OK | MB_ICONWARNING);
        return false;
    }
    CLoadingConditions conditions = m_conditions;
    if (!conditions.Replace(static_cast<std::size_t>(index), after)) {
        AfxMessageBox(
            QString("Esiste già una condizione di carico di nome \"%1\".").arg(Text(after.name)),
            MB_OK | MB_ICONWARNING);
        return false;
    }
    m_conditions = std::move(conditions);
    if (after.name != before.name) {
        const QSignalBlocker blocker(m_list);
        m_list->item(index)->setText(Text(after.name));
    }
    UpdateTotals();
    emit conditionsEdited(m_conditions, undoText);
    return true;
}

void CConditionsDlg::CommitAll(const CLoadingConditions& conditions, int select,
                               const QString& undoText) {
    m_conditions = conditions;
    {
        m_filling = true;
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const CLoadingCondition& c : m_conditions.All())
            m_list->addItem(Text(c.name));
        m_list->setCurrentRow(select);
        m_filling = false;
    }
    FillFields();
    FillItems();
    FillTanks();
    FillWindage();
    UpdateTotals();
    UpdateEnabled();
    emit conditionsEdited(m_conditions, undoText);
}

void CConditionsDlg::OnFieldEdited(int field) {
    const CLoadingCondition* c = Current();
    if (m_filling || !c)
        return;
    QLineEdit* edit = m_fields[field];
    const QString text = edit->text();
    const QString name = kFieldNames[field];
    bool accepted = false;
    if (field == fName) {
        const std::string newName = StdText(text);
        if (newName.empty()) {
            FillFields();
            AfxMessageBox("Il nome della condizione non può essere vuoto.", MB_OK | MB_ICONWARNING);
            return;
        }
        accepted =
            Commit([&](CLoadingCondition& x) { x.name = newName; }, name, "Rinomina condizione");
    } else if (field == fFlooding && text.trimmed().isEmpty()) {
        accepted = Commit([](CLoadingCondition& x) { x.flooding.reset(); }, name, kEditText);
    } else {
        double value = 0;
        if (!ParseFieldNumber(text, value)) {
            FillFields();
            UpdateTotals();
            AfxMessageBox(
                QString("Valore non accettato per %1: \"%2\" non è un numero.").arg(name, text),
                MB_OK | MB_ICONWARNING);
            return;
        }
        // Unchanged when the text shows the stored value: an edit undone by
        // hand, or the focus merely passing.
        accepted = Commit(
            [&](CLoadingCondition& x) {
                double* targets[] = {nullptr, &x.lightship, &x.lcg,          &x.tcg,
                                     &x.vcg,  nullptr,      &x.water_density};
                if (field == fFlooding) {
                    if (!x.flooding || text != FormatFieldNumber(*x.flooding))
                        x.flooding = value;
                } else if (field == fBilgeKeels) {
                    if (text != FormatFieldNumber(x.bilge_keel_area))
                        x.bilge_keel_area = value;
                } else if (field == fWater) {
                    if (text != FormatFieldNumber(x.water_density))
                        x.water_density = value;
                } else if (text != FormatFieldNumber(*targets[field])) {
                    *targets[field] = value;
                }
            },
            name, kEditText);
    }
    if (!accepted) {
        FillFields();
        UpdateTotals();
    }
}

void CConditionsDlg::OnItemChanged(int row, int column) {
    const CLoadingCondition* c = Current();
    if (m_filling || !c || row < 0 || row >= static_cast<int>(c->items.size()))
        return;
    const auto index = static_cast<std::size_t>(row);
    const QString text = m_items->item(row, column)->text();
    const QString itemLabel = Text(c->items[index].name);
    const QString field = QString("%1 della voce \"%2\"").arg(kItemNames[column], itemLabel);
    const auto restore = [&] {
        const QSignalBlocker blocker(m_items);
        const CDeadweightItem& item = Current()->items[index];
        const double values[] = {0, item.weight, item.x, item.y, item.z};
        m_items->item(row, column)
            ->setText(column == itemName ? Text(item.name) : FormatFieldNumber(values[column]));
    };
    double value = 0;
    if (column != itemName && !ParseFieldNumber(text, value)) {
        restore();
        AfxMessageBox(
            QString("Valore non accettato per %1: \"%2\" non è un numero.").arg(field, text),
            MB_OK | MB_ICONWARNING);
        return;
    }
    const bool accepted = Commit(
        [&](CLoadingCondition& x) {
            CDeadweightItem& item = x.items[index];
            double* targets[] = {nullptr, &item.weight, &item.x, &item.y, &item.z};
            if (column == itemName)
                item.name = StdText(text);
            else if (text != FormatFieldNumber(*targets[column]))
                *targets[column] = value;
        },
        field, kEditText);
    if (!accepted)
        restore();
}

void CConditionsDlg::OnTankChanged(int row, int column) {
    const CTank* tank = TankAt(m_ship, row);
    if (m_filling || !Current() || !tank)
        return;
    const std::string name = tank->GetName();
    const CConditionTankLoad shown = ShownTankLoad(row);
    bool accepted = false;
    if (column == tankName) {
        const bool listed = m_tanks->item(row, tankName)->checkState() == Qt::Checked;
        accepted = Commit(
            [&](CLoadingCondition& x) {
                auto& loads = x.tanks;
                loads.erase(std::remove_if(loads.begin(), loads.end(),
                                           [&](const auto& t) { return t.tank == name; }),
                            loads.end());
                if (listed)
                    loads.push_back(shown);
            },
            QString("la cassa \"%1\"").arg(Text(name)), kEditText);
    } else {
        const QString text = m_tanks->item(row, column)->text();
        const QString field =
            QString("%1 della cassa \"%2\"")
                .arg(column == tankDensity                              ? "la densità [t/m^3]"
                     : shown.given == CConditionTankLoad::Given::volume ? "il volume [m^3]"
                                                                        : "il riempimento",
                     Text(name));
        double value = 0;
        if (!ParseFieldNumber(text, value)) {
            QMetaObject::invokeMethod(
                this, [this] { FillTanks(); }, Qt::QueuedConnection);
            AfxMessageBox(
                QString("Valore non accettato per %1: \"%2\" non è un numero.").arg(field, text),
                MB_OK | MB_ICONWARNING);
            return;
        }
        accepted = Commit(
            [&](CLoadingCondition& x) {
                CConditionTankLoad load = shown;
                double& target = column == tankDensity ? load.density : load.amount;
                if (text == FormatFieldNumber(target))
                    return;
                target = value;
                for (CConditionTankLoad& t : x.tanks)
                    if (t.tank == name) {
                        t = load;
                        return;
                    }
                x.tanks.push_back(load);
            },
            field, kEditText);
    }
    // The rows show the loads now given, or the ones kept, and their
    // checks; not from inside the table's own signal, whose cell would go.
    if (!accepted || column == tankName || Current()->TankLoad(name))
        QMetaObject::invokeMethod(
            this, [this] { FillTanks(); }, Qt::QueuedConnection);
}

void CConditionsDlg::OnTankGivenChanged(int row) {
    const CTank* tank = TankAt(m_ship, row);
    auto* combo = qobject_cast<QComboBox*>(m_tanks->cellWidget(row, tankGiven));
    if (m_filling || !Current() || !tank || !combo)
        return;
    // The same load the other way: the volume a ratio fills, or the ratio
    // of the tank a volume fills.
    const CConditionTankLoad shown = ShownTankLoad(row);
    const bool volume = combo->currentIndex() == 1;
    const double tankVolume = tank->Volume();
    CConditionTankLoad load = shown;
    if (volume && shown.given == CConditionTankLoad::Given::filling) {
        load.given = CConditionTankLoad::Given::volume;
        load.amount = shown.amount * std::max(tankVolume, 0.0);
    } else if (!volume && shown.given == CConditionTankLoad::Given::volume) {
        load.given = CConditionTankLoad::Given::filling;
        load.amount = tankVolume > 0 ? std::clamp(shown.amount / tankVolume, 0.0, 1.0) : 0;
    }
    const std::string name = tank->GetName();
    Commit(
        [&](CLoadingCondition& x) {
            for (CConditionTankLoad& t : x.tanks)
                if (t.tank == name) {
                    t = load;
                    return;
                }
            x.tanks.push_back(load);
        },
        QString("il carico della cassa \"%1\"").arg(Text(name)), kEditText);
    // Not from inside the combo's own signal: its row is rebuilt.
    QMetaObject::invokeMethod(
        this, [this] { FillTanks(); }, Qt::QueuedConnection);
}

std::string CConditionsDlg::FreeName(const std::string& stem, bool numberFirst) const {
    if (!numberFirst && !m_conditions.Find(stem))
        return stem;
    for (int n = numberFirst ? 1 : 2;; ++n) {
        const std::string name = stem + FormatC(" %d", n);
        if (!m_conditions.Find(name))
            return name;
    }
}

void CConditionsDlg::OnNew() {
    if (!m_writable)
        return;
    CLoadingConditions conditions = m_conditions;
    CLoadingCondition c;
    c.name = FreeName("Condizione", true);
    conditions.Add(c);
    CommitAll(conditions, static_cast<int>(conditions.All().size()) - 1, "Nuova condizione");
    m_fields[fName]->setFocus();
    m_fields[fName]->selectAll();
}

void CConditionsDlg::OnCopy() {
    const CLoadingCondition* c = Current();
    if (!m_writable || !c)
        return;
    CLoadingConditions conditions = m_conditions;
    CLoadingCondition copy = *c;
    copy.name = FreeName(c->name + " (copia)", false);
    conditions.Add(copy);
    CommitAll(conditions, static_cast<int>(conditions.All().size()) - 1, "Copia condizione");
}

void CConditionsDlg::OnRename() {
    if (!m_writable || !Current())
        return;
    // The name is edited where it is shown; the edit is taken as it ends.
    m_fields[fName]->setFocus();
    m_fields[fName]->selectAll();
}

void CConditionsDlg::OnDelete() {
    const CLoadingCondition* c = Current();
    if (!m_writable || !c)
        return;
    if (AfxMessageBox(QString("Eliminare la condizione di carico \"%1\"?").arg(Text(c->name)),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const int index = Selected();
    CLoadingConditions conditions = m_conditions;
    conditions.Remove(c->name);
    const int count = static_cast<int>(conditions.All().size());
    CommitAll(conditions, count == 0 ? -1 : std::min(index, count - 1), "Elimina condizione");
}

void CConditionsDlg::OnAddItem() {
    const CLoadingCondition* c = Current();
    if (!c)
        return;
    const std::string name = FormatC("voce %zu", c->items.size() + 1);
    if (Commit([&](CLoadingCondition& x) { x.items.push_back({name}); }, "la nuova voce",
               kEditText)) {
        FillItems();
        UpdateEnabled();
        m_items->setCurrentCell(m_items->rowCount() - 1, itemName);
    }
}

void CConditionsDlg::OnRemoveItem() {
    const CLoadingCondition* c = Current();
    const int row = m_items->currentRow();
    if (!c || row < 0 || row >= static_cast<int>(c->items.size()))
        return;
    if (Commit([&](CLoadingCondition& x) { x.items.erase(x.items.begin() + row); },
               "la voce eliminata", kEditText)) {
        FillItems();
        UpdateEnabled();
    }
}

void CConditionsDlg::FillWindage() {
    m_filling = true;
    const QSignalBlocker blocker(m_windage);
    const CLoadingCondition* c = Current();
    const int rows = c ? static_cast<int>(c->windage.size()) : 0;
    m_windage->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const CWindageItem& w = c->windage[static_cast<std::size_t>(r)];
        const QString cells[] = {Text(w.name), FormatFieldNumber(w.area),
                                 FormatFieldNumber(w.height)};
        for (int col = 0; col < windageColumns; ++col) {
            auto* cell = new QTableWidgetItem(cells[col]);
            if (col != windageName)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_windage->setItem(r, col, cell);
        }
    }
    m_windage->resizeColumnsToContents();
    m_windage->horizontalHeader()->setSectionResizeMode(windageName, QHeaderView::Stretch);
    m_remove_windage->setEnabled(rows > 0);
    m_filling = false;
}

void CConditionsDlg::OnWindageChanged(int row, int column) {
    const CLoadingCondition* c = Current();
    if (m_filling || !c || row < 0 || row >= static_cast<int>(c->windage.size()))
        return;
    const auto index = static_cast<std::size_t>(row);
    const QString text = m_windage->item(row, column)->text();
    const QString field = QString("%1 della superficie al vento \"%2\"")
                              .arg(QString::fromUtf8(kWindageNames[column]),
                                   Text(c->windage[index].name));
    const auto restore = [&] {
        const QSignalBlocker blocker(m_windage);
        const CWindageItem& w = Current()->windage[index];
        const double values[] = {0, w.area, w.height};
        m_windage->item(row, column)
            ->setText(column == windageName ? Text(w.name) : FormatFieldNumber(values[column]));
    };
    double value = 0;
    if (column != windageName && !ParseFieldNumber(text, value)) {
        restore();
        AfxMessageBox(
            QString("Valore non accettato per %1: \"%2\" non è un numero.").arg(field, text),
            MB_OK | MB_ICONWARNING);
        return;
    }
    const bool accepted = Commit(
        [&](CLoadingCondition& x) {
            CWindageItem& w = x.windage[index];
            double* targets[] = {nullptr, &w.area, &w.height};
            if (column == windageName)
                w.name = StdText(text);
            else if (text != FormatFieldNumber(*targets[column]))
                *targets[column] = value;
        },
        field, kEditText);
    if (!accepted)
        restore();
}

void CConditionsDlg::OnAddWindage() {
    const CLoadingCondition* c = Current();
    if (!c)
        return;
    // A name no other item of the condition has.
    std::string name;
    for (std::size_t n = c->windage.size() + 1;; ++n) {
        name = FormatC("superficie %zu", n);
        if (std::none_of(c->windage.begin(), c->windage.end(),
                         [&](const CWindageItem& w) { return w.name == name; }))
            break;
    }
    if (Commit([&](CLoadingCondition& x) { x.windage.push_back({name}); },
               "la nuova superficie al vento", kEditText)) {
        FillWindage();
        UpdateEnabled();
        m_windage->setCurrentCell(m_windage->rowCount() - 1, windageName);
    }
}

void CConditionsDlg::OnRemoveWindage() {
    const CLoadingCondition* c = Current();
    const int row = m_windage->currentRow();
    if (!c || row < 0 || row >= static_cast<int>(c->windage.size()))
        return;
    if (Commit([&](CLoadingCondition& x) { x.windage.erase(x.windage.begin() + row); },
               "la superficie al vento eliminata", kEditText)) {
        FillWindage();
        UpdateEnabled();
    }
}
