#include "CDamageDlg.h"

#include "CChartPane.h"
#include "CMSFlexGrid.h"
#include "CStabilityDlg.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "report/DamageText.h"
#include "report/ItalianWords.h"
#include "ui/app/UiLayer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// The digits of brelund-calc damage by default, so that the grids are its
// tables.
constexpr int kDigits = 6;

// The equilibrium after damage: the summary's column (its JSON key) and
// what the window calls it.
const struct {
    const char* key;
    const char* name;
} kEquilibrium[] = {
    {"displacement_t", "Dislocamento [t]"},
    {"TA_m", "Immersione AP [m]"},
    {"T0_m", "Immersione al mezzo [m]"},
    {"TF_m", "Immersione FP [m]"},
    {"trim0_m", "Assetto TA - TF [m]"},
    {"equilibrium_heel_deg", "Sbandamento di equilibrio [°]"},
    {"intact_heel_deg", "Sbandamento a nave integra [°]"},
    {"GM0_m", "GM0 fluido dopo l'avaria [m]"},
    {"range_deg", "Campo di GZ positivo [°]"},
    {"lost_volume_m3", "Volume perso [m³]"},
    {"deck_edge_m", "Bordo del ponte sull'acqua [m]"},
    {"margin_line_m", "Linea limite sull'acqua [m]"},
};

const char* const kCriteriaHeaders[] = {"Criterio", "Valore", "Limite", "Margine",
                                        "Unità",    "Esito",  "Fonte"};
constexpr int kCriteriaColumns = 7;

const QColor kPassColour(0, 128, 0);
const QColor kFailColour(200, 0, 0);
const QColor kAreaColour(0x2c, 0xa0, 0x2c);
const QColor kMarkColour(0xd6, 0x27, 0x28);

QString Figure(double value) {
    return QString::fromStdString(FormatC("%g", value));
}

QString Italian(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

int ColumnOf(const CRecordTable& table, const char* key) {
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c].key == key)
            return static_cast<int>(c);
    return -1;
}

bool AllPass(const CDamageResult& r) {
    if (r.outcome != DamageOutcome::floats)
        return false;
    return std::all_of(r.criteria.begin(), r.criteria.end(),
                       [](const CDamageCriterion& c) { return c.Passes(); });
}

QLabel* Note(const QString& text) {
    auto* note = new QLabel(text);
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    note->setFont(small);
    return note;
}

// The progress of one case of several on one bar: case k of n takes the
// k-th share, its curve's heels spread over it; never backwards.
class CCaseProgress final : public CProgress {
public:
    CCaseProgress(CProgress& bar, int k) : m_bar(bar), m_k(k) {}
    void SetRange(int lower, int upper) override {
        m_lower = lower;
        m_upper = upper;
    }
    void SetPos(int pos) override {
        const int span = std::max(1, m_upper - m_lower);
        m_shown = std::max(m_shown, m_k * kShare + (pos - m_lower) * kShare / span);
        m_bar.SetPos(m_shown);
    }
    static constexpr int kShare = 1000;

private:
    CProgress& m_bar;
    int m_k;
    int m_lower = 0, m_upper = 1, m_shown = 0;
};

} // namespace

void RefuseDamageProblem(const CCalcProblem& p, const std::string& caseName) {
    const QString name = QString::fromStdString(caseName);
    const QString compartment = QString::fromStdString(p.element);
    QString text;
    if (p.input == "compartments" || p.input == "permeability") {
        switch (p.rule) {
        case CalcRule::unknownElement:
            text = QString::fromUtf8("Caso di avaria '%1': la nave non ha il compartimento '%2'")
                       .arg(name, compartment);
            break;
        case CalcRule::listedTwice:
            text = QString::fromUtf8("Caso di avaria '%1': il compartimento '%2' è elencato due "
                                     "volte")
                       .arg(name, compartment);
            break;
        case CalcRule::notAtMost:
            text = QString::fromUtf8("Caso di avaria '%1': compartimento '%2': la permeabilità "
                                     "%3 non è compresa tra 0 e 1")
                       .arg(name, compartment, Figure(p.value));
            break;
        case CalcRule::notAbove:
            text =
                QString::fromUtf8("Il caso di avaria '%1' non apre alcun compartimento").arg(name);
            break;
        default:
            text = QString::fromUtf8("Caso di avaria '%1': compartimento '%2': il suo volume non "
                                     "è un numero")
                       .arg(name, compartment);
            break;
        }
    } else {
        text = QString::fromUtf8("Caso di avaria '%1': un'altezza del ponte o di un'apertura che "
                                 "non è un numero")
                   .arg(name);
    }
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}

CDamageDlg::CDamageDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle(QString::fromUtf8("Stabilità in avaria"));

    auto* conditions = new QGroupBox("Condizione di carico");
    auto* conditionsLayout = new QVBoxLayout(conditions);
    m_conditionList = new QListWidget;
    m_conditionList->setObjectName("conditions");
    m_conditionList->setMinimumHeight(m_conditionList->fontMetrics().height() * 4);
    conditionsLayout->addWidget(m_conditionList);
    m_criteriaChoice = new QComboBox;
    m_criteriaChoice->setObjectName("criteriaSet");
    for (const CDamageCriteriaSet& s : DamageCriteriaSets())
        m_criteriaChoice->addItem(Italian(s.title.italian), QString(s.key));
    conditionsLayout->addWidget(new QLabel("Criteri dopo l'avaria"));
    conditionsLayout->addWidget(m_criteriaChoice);

    auto* cases = new QGroupBox("Casi di avaria");
    auto* casesLayout = new QVBoxLayout(cases);
    m_caseList = new QTreeWidget;
    m_caseList->setObjectName("cases");
    m_caseList->setRootIsDecorated(false);
    m_caseList->setHeaderLabels(
        {"Caso di avaria", "Esito", QString::fromUtf8("Sbandamento [°]"), "Criteri"});
    m_caseList->setMinimumHeight(m_caseList->fontMetrics().height() * 6);
    casesLayout->addWidget(m_caseList);
    m_noCases = Note("La nave non ha casi di avaria.");
    m_noCases->setObjectName("noCases");
    casesLayout->addWidget(m_noCases);
    connect(m_caseList, &QTreeWidget::currentItemChanged, this, [this] {
        if (const QTreeWidgetItem* item = m_caseList->currentItem())
            ShowCase(m_caseList->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)));
    });

    QHBoxLayout* buttons = RunStopCloseButtons(m_run, m_close);
    connect(m_run, &QPushButton::clicked, this, &CDamageDlg::Run);
    m_progress = NewProgressBar();

    auto* equilibrium = new QGroupBox("Equilibrio dopo l'avaria");
    auto* equilibriumLayout = new QVBoxLayout(equilibrium);
    m_equilibrium = new CMSFlexGrid(1 + static_cast<int>(std::size(kEquilibrium)), 2, 1, 1);
    m_equilibrium->setObjectName("equilibrium");
    m_equilibrium->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_equilibrium->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_equilibrium->setFixedHeight(
        m_equilibrium->verticalHeader()->defaultSectionSize() * m_equilibrium->GetRows() + 4);
    equilibriumLayout->addWidget(m_equilibrium);

    auto* left = new QVBoxLayout;
    left->addWidget(conditions);
    left->addWidget(cases, 1);
    left->addLayout(buttons);
    left->addWidget(m_progress);
    left->addWidget(equilibrium);

    m_chart = new CChartPane;
    m_shown = Note(QString());
    m_shown->setObjectName("shown");
    auto* chartBox = new QWidget;
    auto* chartLayout = new QVBoxLayout(chartBox);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(m_chart, 1);
    chartLayout->addWidget(m_shown);

    m_criteria = new CMSFlexGrid(1, 1, 1, 0);
    m_criteria->setObjectName("criteria");
    m_criteria->setMinimumHeight(m_criteria->verticalHeader()->defaultSectionSize() * 4);
    m_curve = new CMSFlexGrid(1, 1, 1, 0);
    m_curve->setObjectName("curve");
    m_curve->setMinimumHeight(m_curve->verticalHeader()->defaultSectionSize() * 4);
    for (CMSFlexGrid* grid : {m_equilibrium, m_criteria, m_curve})
        connect(grid, &CMSFlexGrid::MouseDown, this,
                [this, grid](short button, short, int x, int y) {
                    OnGridMouseDown(*grid, button, x, y);
                });
    auto* tables = new QSplitter(Qt::Horizontal);
    tables->addWidget(m_criteria);
    tables->addWidget(m_curve);
    tables->setChildrenCollapsible(false);
    tables->setSizes({450, 260});

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName("split");
    split->addWidget(chartBox);
    split->addWidget(tables);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    split->setSizes({430, 230});

    auto* main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addWidget(split, 1);

    Clear();
    // Within a 1024 x 768 screen, with room for the window's frame.
    resize(1000, 700);
}

CDamageDlg::~CDamageDlg() = default;

bool CDamageDlg::OnInitDialog() {
    Clear();
    ConditionsChanged();
    return true;
}

void CDamageDlg::SetConditions(const CLoadingConditions* conditions) {
    m_conditions = conditions;
    ConditionsChanged();
}

void CDamageDlg::ConditionsChanged() {
    QString chosen;
    if (const QListWidgetItem* item = m_conditionList->currentItem())
        chosen = item->text();
    m_conditionList->clear();
    if (m_conditions)
        for (const CLoadingCondition& c : m_conditions->All())
            m_conditionList->addItem(QString::fromStdString(c.name));
    const QList<QListWidgetItem*> same = m_conditionList->findItems(chosen, Qt::MatchExactly);
    if (!same.isEmpty())
        m_conditionList->setCurrentItem(same.front());
    else if (m_conditionList->count() > 0)
        m_conditionList->setCurrentRow(0);
    // Results stand only for the condition and the cases as computed.
    if (m_condition) {
        const CLoadingCondition* now =
            m_conditions ? m_conditions->Find(m_condition->name) : nullptr;
        if (!now || !(*now == *m_condition) || m_conditions->DamageCases() != m_cases)
            Clear();
    }
    if (m_results.empty()) {
        m_caseList->clear();
        if (m_conditions)
            for (const CDamageCase& d : m_conditions->DamageCases())
                m_caseList->addTopLevelItem(
                    new QTreeWidgetItem(QStringList{QString::fromStdString(d.name)}));
    }
    const bool anyCase = m_conditions && !m_conditions->DamageCases().empty();
    m_noCases->setVisible(!anyCase);
    m_run->setEnabled(anyCase && m_conditionList->count() > 0);
}

void CDamageDlg::ModelChanged() {
    if (!m_results.empty())
        Clear();
}

void CDamageDlg::Clear() {
    m_results.clear();
    m_condition.reset();
    m_cases.clear();
    m_caseList->clear();
    if (m_conditions)
        for (const CDamageCase& d : m_conditions->DamageCases())
            m_caseList->addTopLevelItem(
                new QTreeWidgetItem(QStringList{QString::fromStdString(d.name)}));
    ClearCase();
    SetPicture(std::nullopt, QString());
}

void CDamageDlg::ClearCase() {
    CRecordTable headers;
    headers.columns = DamageTables(CDamageResult{}, "").curve.columns;
    m_curve->ShowTextGrid(RecordGrid(headers, kDigits));
    CTextGrid criteria(1, kCriteriaColumns);
    for (int c = 0; c < kCriteriaColumns; ++c)
        criteria.SetText(0, c, kCriteriaHeaders[c]);
    m_criteria->ShowTextGrid(criteria);
    CTextGrid equilibrium(1 + static_cast<int>(std::size(kEquilibrium)), 2);
    equilibrium.SetText(0, 0, "Grandezza");
    equilibrium.SetText(0, 1, "Valore");
    for (std::size_t k = 0; k < std::size(kEquilibrium); ++k)
        equilibrium.SetText(static_cast<int>(k) + 1, 0, kEquilibrium[k].name);
    m_equilibrium->ShowTextGrid(equilibrium);
    m_equilibrium->resizeColumnsToContents();
    m_equilibrium->setColumnWidth(
        1, std::max(m_equilibrium->columnWidth(1),
                    m_equilibrium->fontMetrics().horizontalAdvance("-8.88888e-888") + 12));
    m_equilibrium->setFixedWidth(m_equilibrium->horizontalHeader()->length() +
                                 (m_equilibrium->verticalHeader()->isVisible()
                                      ? m_equilibrium->verticalHeader()->width()
                                      : 0) +
                                 2 * m_equilibrium->frameWidth());
    m_chart->Reset(QString::fromUtf8("Sbandamento [°]"), CChartPane::KeyAlong::horizontal);
}

void CDamageDlg::Run() {
    if (IsRunning() || !m_pModel || !m_conditions)
        return;
    const QListWidgetItem* item = m_conditionList->currentItem();
    const CLoadingCondition* chosen =
        item ? m_conditions->Find(item->text().toStdString()) : nullptr;
    if (!chosen) {
        AfxMessageBox("Scegliere una condizione di carico.", MB_OK | MB_ICONWARNING);
        return;
    }
    const std::vector<CDamageCase> cases = m_conditions->DamageCases();
    if (cases.empty()) {
        AfxMessageBox("La nave non ha casi di avaria.", MB_OK | MB_ICONWARNING);
        return;
    }
    const CLoadingCondition condition = *chosen;
    const std::string set = m_criteriaChoice->currentData().toString().toStdString();
    const CShipModel& ship = *m_pModel;
    const CStabilityInputs in = ConditionStabilityInputs(ship, condition);
    if (const CCalcCheck problem = CheckStabilityInputs(in)) {
        RefuseStabilityProblem(*problem, in.density);
        return;
    }
    if (RefuseShipValuesThatAreNotNumbers(ship, true, true))
        return;
    if (!GoOnDespiteSurfaceFaults(ship, true, true))
        return;
    if (const CCalcCheck problem = CheckStabilityShip(ship, in)) {
        RefuseStabilityProblem(*problem, in.density);
        return;
    }
    std::vector<CDamageInputs> inputs;
    for (const CDamageCase& d : cases) {
        CDamageInputs di{in, d, m_conditions->Openings(), set};
        CCalcCheck problem = CheckDamageInputs(di);
        if (!problem)
            problem = CheckDamageShip(ship, di);
        if (problem) {
            RefuseDamageProblem(*problem, d.name);
            return;
        }
        inputs.push_back(std::move(di));
    }

    std::vector<CDamageResult> results;
    CProgressBarLink progress(m_progress);
    bool done = false;
    try {
        done = RunStoppable(
            [&](const CStopRequest* stop) {
                const int n = static_cast<int>(inputs.size());
                progress.SetRange(0, n * CCaseProgress::kShare);
                for (int k = 0; k < n; ++k) {
                    CCaseProgress share(progress, k);
                    results.push_back(
                        ComputeDamage(ship, inputs[static_cast<std::size_t>(k)], stop, &share));
                    progress.SetPos((k + 1) * CCaseProgress::kShare);
                }
            },
            {&progress});
    } catch (const CCalcFailure& e) {
        RefuseStabilityProblem(e.Problem(), in.density);
    } catch (const std::exception& e) {
        AfxMessageBox(QString("Impossibile completare il calcolo.\n%1").arg(FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
    }
    m_progress->setRange(0, 1);
    m_progress->setValue(done ? 1 : 0);
    if (!done)
        return;
    m_results = std::move(results);
    m_set = set;
    m_condition = condition;
    m_cases = cases;

    m_caseList->clear();
    for (const CDamageResult& r : m_results) {
        const bool floats = r.outcome == DamageOutcome::floats;
        auto* row = new QTreeWidgetItem(
            QStringList{QString::fromStdString(r.name), QString::fromUtf8(OutcomeNameIt(r.outcome)),
                        floats ? Figure(r.equilibrium.point.heel) : QString("-"),
                        AllPass(r) ? "superati" : "non superati"});
        for (int c = 1; c < 4; ++c)
            row->setForeground(c, AllPass(r) ? kPassColour : kFailColour);
        m_caseList->addTopLevelItem(row);
    }
    for (int c = 0; c < 4; ++c)
        m_caseList->resizeColumnToContents(c);
    m_caseList->setCurrentItem(m_caseList->topLevelItem(0));
    ShowCase(0);
}

bool CDamageDlg::ShowCase(int index) {
    if (index < 0 || index >= static_cast<int>(m_results.size()) || !m_pModel)
        return false;
    const CDamageResult& r = m_results[static_cast<std::size_t>(index)];
    ClearCase();
    const CDamageTables tables = DamageTables(r, m_set);
    const QString name = QString::fromStdString(r.name);
    if (r.outcome != DamageOutcome::floats) {
        const CTextGrid summary = RecordGrid(tables.summary, kDigits);
        m_equilibrium->SetTextMatrix(
            1, 1,
            QString::fromStdString(summary.GetText(1, ColumnOf(tables.summary, "displacement_t"))));
        SetPicture(std::nullopt,
                   r.outcome == DamageOutcome::sinks
                       ? QString::fromUtf8("'%1': la nave affonda: pesa %2 t, più di quanto "
                                           "disloca la nave avariata (%3 m³)")
                             .arg(name, Figure(r.displacement), Figure(r.capacity))
                       : QString::fromUtf8("'%1': la nave si capovolge: nessuno sbandamento la "
                                           "raddrizza")
                             .arg(name));
        return true;
    }

    m_curve->ShowTextGrid(RecordGrid(tables.curve, kDigits));
    m_curve->resizeColumnsToContents();
    const CTextGrid summary = RecordGrid(tables.summary, kDigits);
    for (std::size_t k = 0; k < std::size(kEquilibrium); ++k) {
        const int column = ColumnOf(tables.summary, kEquilibrium[k].key);
        std::string text = summary.GetText(1, column);
        if ((k == std::size(kEquilibrium) - 2 && !r.deck_edge) ||
            (k == std::size(kEquilibrium) - 1 && !r.margin_line))
            text = "non dato";
        m_equilibrium->SetTextMatrix(static_cast<int>(k) + 1, 1, QString::fromStdString(text));
    }

    // The criteria's figures as the command writes them, named in Italian.
    const CTextGrid criteria = RecordGrid(tables.criteria, kDigits);
    CTextGrid shown(criteria.GetRows(), kCriteriaColumns);
    for (int c = 0; c < kCriteriaColumns; ++c)
        shown.SetText(0, c, kCriteriaHeaders[c]);
    for (std::size_t k = 0; k < r.criteria.size(); ++k) {
        const CDamageCriterion& c = r.criteria[k];
        const int row = static_cast<int>(k) + 1;
        shown.SetText(row, 0, c.name.italian);
        for (int col = 1; col <= 3; ++col)
            shown.SetText(row, col, criteria.GetText(row, col));
        shown.SetText(row, 4, UnitNameIt(c.unit));
        shown.SetText(row, 5, c.Passes() ? "superato" : "non superato");
        shown.SetText(row, 6, c.source);
    }
    m_criteria->ShowTextGrid(shown);
    for (std::size_t k = 0; k < r.criteria.size(); ++k) {
        const QColor colour = r.criteria[k].Passes() ? kPassColour : kFailColour;
        for (int col = 0; col < kCriteriaColumns; ++col)
            if (QTableWidgetItem* cell = m_criteria->item(static_cast<int>(k) + 1, col)) {
                cell->setForeground(colour);
                if (col == 5) {
                    QFont bold = cell->font();
                    bold.setBold(true);
                    cell->setFont(bold);
                }
            }
    }
    m_criteria->resizeColumnsToContents();

    DrawChart(r);
    CConditionPicture picture;
    if (m_pModel->HullExtents(picture.low, picture.high)) {
        const CStabilityFloat& e = r.equilibrium;
        picture.heel = e.point.heel;
        picture.trim = e.point.trim;
        picture.waterplane = e.waterplane;
        picture.b = e.b;
        picture.g = e.point.g;
        for (const CFloodedSpace& space : r.spaces)
            picture.flooded.push_back(space.index);
        SetPicture(picture,
                   QString::fromUtf8("Vista 3D: '%1' all'equilibrio dopo l'avaria, sbandamento "
                                     "%2°, assetto %3°")
                       .arg(name, Figure(e.point.heel), Figure(e.point.trim)));
    } else {
        SetPicture(std::nullopt, QString());
    }
    return true;
}

void CDamageDlg::DrawChart(const CDamageResult& r) {
    const int side = r.side;
    m_chart->Reset(QString::fromUtf8("Sbandamento [°]"), CChartPane::KeyAlong::horizontal);
    const int axis = m_chart->AddValueAxis("GZ [m]");
    CChartPane::CPoints gz;
    CGzCurve curve; // by the size of the heel, as the criteria read it
    for (const CStabilityPoint& p : r.curve.curve) {
        gz.emplace_back(p.heel, p.gz);
        curve.heels.push_back(std::fabs(p.heel));
        curve.gz.push_back(p.gz);
    }
    m_chart->AddCurve(QString::fromUtf8("GZ dopo l'avaria"), axis, gz);

    // The first area criterion's window under the curve, edged by the
    // curve's points and its values at the ends.
    for (const CDamageCriterion& c : r.criteria) {
        if (c.unit != "m*rad" || !(c.from < c.to))
            continue;
        CChartPane::CPoints edge{{side * c.from, GzAt(curve, c.from)}};
        for (std::size_t k = 0; k < curve.heels.size(); ++k)
            if (curve.heels[k] > c.from && curve.heels[k] < c.to)
                edge.emplace_back(side * curve.heels[k], curve.gz[k]);
        edge.emplace_back(side * c.to, GzAt(curve, c.to));
        m_chart->AddArea(QString::fromUtf8("Area %1-%2°").arg(Figure(c.from), Figure(c.to)), axis,
                         edge, kAreaColour);
        break;
    }
    const double heel = r.equilibrium.point.heel;
    m_chart->AddMark(QString::fromUtf8("Equilibrio a %1°").arg(Figure(heel)), axis, heel, 0,
                     kMarkColour);
    const CStabilitySummary& s = r.curve.summary;
    m_chart->AddMark(QString::fromUtf8("GZ max %1 m a %2°")
                         .arg(Figure(s.features.max_gz), Figure(s.features.max_angle)),
                     axis, side * s.features.max_angle, s.features.max_gz, kMarkColour);
    if (!r.range_to_end)
        m_chart->AddMark(QString::fromUtf8("Fine del campo a %1°").arg(Figure(r.range_end)), axis,
                         side * r.range_end, 0, kMarkColour);
}

void CDamageDlg::SetPicture(std::optional<CConditionPicture> picture, const QString& note) {
    m_picture = std::move(picture);
    m_shown->setText(note);
    emit pictureChanged();
}

void CDamageDlg::hideEvent(QHideEvent* event) {
    CCalculationDlg::hideEvent(event);
    // The view draws the ship in its own axes again; a window opened anew
    // starts afresh, as the other calculation windows do.
    Clear();
}

void CDamageDlg::OnGridMouseDown(CMSFlexGrid& grid, short button, int x, int y) {
    if (button != CMSFlexGrid::rightButton || IsRunning())
        return;
    if (TrackGridMenu(grid, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(grid);
}
