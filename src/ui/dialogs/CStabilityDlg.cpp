#include "CStabilityDlg.h"

#include "CChartPane.h"
#include "CMSFlexGrid.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "report/ItalianWords.h"
#include "report/StabilityText.h"
#include "ui/app/UiLayer.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// The digits of brelund-calc stability by default, so that the grids are
// its tables.
constexpr int kDigits = 6;

// The equilibrium's figures: the summary's column (its JSON key) and what
// the window calls it.
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
    {"KG_m", "KG [m]"},
    {"GM0_solid_m", "GM0 solido [m]"},
    {"FSC_m", "Correzione superfici libere [m]"},
    {"GM0_m", "GM0 fluido [m]"},
};

const QColor kPassColour(0, 128, 0);
const QColor kFailColour(200, 0, 0);
const QColor kGzColour(0x1f, 0x77, 0xb4);
const QColor kGmColour(0x60, 0x60, 0x60);
const QColor kArea30Colour(0x2c, 0xa0, 0x2c);
const QColor kAreaLimitColour(0xff, 0x7f, 0x0e);
const QColor kMarkColour(0xd6, 0x27, 0x28);
const QColor kLw1Colour(0x94, 0x67, 0xbd);
const QColor kLw2Colour(0x8c, 0x56, 0x4b);
const QColor kAreaAColour(0xd6, 0x27, 0x28);
const QColor kAreaBColour(0x2c, 0xa0, 0x2c);

// One radian in degrees, where the GM0 slope reaches GM0.
constexpr double kRadianDeg = 180 / 3.14159265358979323846;

QString Figure(double value) {
    return QString::fromStdString(FormatC("%g", value));
}

int ColumnOf(const CRecordTable& table, const char* key) {
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c].key == key)
            return static_cast<int>(c);
    return -1;
}

// The openings' table's headers, as the report's columns are in order.
const char* const kOpeningHeaders[] = {"Apertura", "Stagna", "Altezza [m]", "Dritta [°]",
                                       "Sinistra [°]"};

// A number as typed, shortest that reads back as the same double.
QString Typed(double value) {
    for (int digits = 6; digits < 17; ++digits) {
        const std::string text = FormatC("%.*g", digits, value);
        double back = 0;
        if (ParseNumberC(text, back) && back == value)
            return QString::fromStdString(text);
    }
    return QString::fromStdString(FormatC("%.17g", value));
}

QLabel* Note(const QString& text) {
    auto* note = new QLabel(text);
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    note->setFont(small);
    return note;
}

} // namespace

std::optional<CConditionPicture> FloatingPicture(const CShipModel& ship, const CShipDatums& datums,
                                                 double heel, double trim, double t,
                                                 const CVector3& g) {
    CConditionPicture picture;
    if (!ship.HullExtents(picture.low, picture.high))
        return std::nullopt;
    picture.heel = heel;
    picture.trim = trim;
    // The frame as the calculation turns the ship, so that B is its own.
    CMatrix r;
    r.SetRotation(DegToRad(heel), DegToRad(trim), 0);
    picture.waterplane = WaterplaneAt(r, t, datums.Midship(), datums.baseline);
    CHydroProperties p;
    p.SetCollect(false);
    ship.ImmersedProperties(p, picture.waterplane, r, CHydroMethod::Exact());
    if (!(p.Volume() > 0))
        return std::nullopt;
    p.BuoyancyCentre(picture.b, picture.waterplane, DegToRad(heel), DegToRad(trim));
    picture.g = g;
    return picture;
}

CStabilityDlg::CStabilityDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle(QString::fromUtf8("Stabilità"));

    auto* conditions = new QGroupBox("Condizione di carico");
    auto* conditionsLayout = new QVBoxLayout(conditions);
    m_conditionList = new QListWidget;
    m_conditionList->setObjectName("conditions");
    m_conditionList->setMinimumHeight(m_conditionList->fontMetrics().height() * 5);
    conditionsLayout->addWidget(m_conditionList);
    m_noConditions = Note("La nave non ha condizioni di carico.");
    m_noConditions->setObjectName("noConditions");
    conditionsLayout->addWidget(m_noConditions);
    connect(m_conditionList, &QListWidget::itemDoubleClicked, this, [this] { Run(); });

    QHBoxLayout* buttons = RunStopCloseButtons(m_run, m_close);
    connect(m_run, &QPushButton::clicked, this, &CStabilityDlg::Run);
    m_progress = NewProgressBar();

    auto* equilibrium = new QGroupBox("Equilibrio");
    auto* equilibriumLayout = new QVBoxLayout(equilibrium);
    m_equilibrium = new CMSFlexGrid(1 + static_cast<int>(std::size(kEquilibrium)), 2, 1, 1);
    m_equilibrium->setObjectName("equilibrium");
    m_equilibrium->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_equilibrium->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_equilibrium->setFixedHeight(
        m_equilibrium->verticalHeader()->defaultSectionSize() * m_equilibrium->GetRows() + 4);
    equilibriumLayout->addWidget(m_equilibrium);

    auto* flooding = new QGroupBox("Allagamento");
    auto* floodingLayout = new QVBoxLayout(flooding);
    m_flooding = Note(QString());
    m_flooding->setObjectName("flooding");
    floodingLayout->addWidget(m_flooding);

    auto* weather = new QGroupBox("Criterio meteorologico");
    auto* weatherLayout = new QFormLayout(weather);
    m_weatherCheck = new QCheckBox("Verifica vento forte e rollio");
    m_weatherCheck->setObjectName("weather");
    m_pressure = new QLineEdit("504");
    m_pressure->setObjectName("windPressure");
    m_bilgeKeels = new QLineEdit("0");
    m_bilgeKeels->setObjectName("bilgeKeelArea");
    weatherLayout->addRow(m_weatherCheck);
    weatherLayout->addRow("Pressione del vento [Pa]", m_pressure);
    weatherLayout->addRow(QString::fromUtf8("Area alette di rollio [m²]"), m_bilgeKeels);
    const auto enableWeather = [this] {
        m_pressure->setEnabled(m_weatherCheck->isChecked());
        m_bilgeKeels->setEnabled(m_weatherCheck->isChecked());
    };
    connect(m_weatherCheck, &QCheckBox::toggled, this, enableWeather);
    enableWeather();
    connect(m_conditionList, &QListWidget::currentRowChanged, this,
            [this] { TakeConditionsBilgeKeels(); });

    auto* left = new QVBoxLayout;
    left->addWidget(conditions, 1);
    left->addWidget(weather);
    left->addLayout(buttons);
    left->addWidget(m_progress);
    left->addWidget(equilibrium);
    left->addWidget(flooding);

    m_chart = new CChartPane;
    m_chart->Reset(QString::fromUtf8("Sbandamento [°]"), CChartPane::KeyAlong::horizontal);
    connect(m_chart, &CChartPane::pointClicked, this, [this](int curve, double heel, double) {
        if (curve == 0)
            ShowHeel(heel);
    });
    m_shown = Note(QString());
    m_shown->setObjectName("shown");
    auto* chartBox = new QWidget;
    auto* chartLayout = new QVBoxLayout(chartBox);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(m_chart, 1);
    chartLayout->addWidget(m_shown);
    m_weatherChart = new CChartPane;
    m_weatherChart->setObjectName("weatherChart");
    m_chartTabs = new QTabWidget;
    m_chartTabs->setObjectName("chartTabs");
    m_chartTabs->addTab(chartBox, "Curva GZ");
    m_chartTabs->addTab(m_weatherChart, "Vento e rollio");

    m_criteria = new CMSFlexGrid(1, 1, 1, 0);
    m_criteria->setObjectName("criteria");
    m_criteria->setMinimumHeight(m_criteria->verticalHeader()->defaultSectionSize() * 4);
    m_curve = new CMSFlexGrid(1, 1, 1, 0);
    m_curve->setObjectName("curve");
    m_curve->setMinimumHeight(m_curve->verticalHeader()->defaultSectionSize() * 4);
    // The openings beside the criteria, whose flooding angle they give.
    m_openings = new CMSFlexGrid(1, static_cast<int>(std::size(kOpeningHeaders)), 1, 0);
    m_openings->setObjectName("openings");
    for (CMSFlexGrid* grid : {m_equilibrium, m_criteria, m_curve, m_openings})
        connect(grid, &CMSFlexGrid::MouseDown, this,
                [this, grid](short button, short, int x, int y) {
                    OnGridMouseDown(*grid, button, x, y);
                });
    auto* openingsPage = new QWidget;
    auto* openingsLayout = new QVBoxLayout(openingsPage);
    openingsLayout->setContentsMargins(0, 0, 0, 0);
    openingsLayout->addWidget(m_openings, 1);
    openingsLayout->addWidget(Note(QString::fromUtf8(
        "Altezza sul galleggiamento con la nave diritta; a dritta e a sinistra, lo "
        "sbandamento al quale l'apertura si immerge, con l'assetto di equilibrio.")));
    m_criteriaTabs = new QTabWidget;
    m_criteriaTabs->setObjectName("criteriaTabs");
    m_criteriaTabs->addTab(m_criteria, "Criteri");
    m_criteriaTabs->addTab(openingsPage, "Aperture");
    m_weatherGrid = new CMSFlexGrid(1, 2, 1, 0);
    m_weatherGrid->setObjectName("weatherFigures");
    connect(m_weatherGrid, &CMSFlexGrid::MouseDown, this,
            [this](short button, short, int x, int y) {
                OnGridMouseDown(*m_weatherGrid, button, x, y);
            });
    m_criteriaTabs->addTab(m_weatherGrid, "Vento e rollio");
    auto* tables = new QSplitter(Qt::Horizontal);
    tables->addWidget(m_criteriaTabs);
    tables->addWidget(m_curve);
    tables->setChildrenCollapsible(false);
    tables->setSizes({440, 270});

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName("split");
    split->addWidget(m_chartTabs);
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

CStabilityDlg::~CStabilityDlg() = default;

bool CStabilityDlg::OnInitDialog() {
    Clear();
    ConditionsChanged();
    return true;
}

void CStabilityDlg::SetConditions(const CLoadingConditions* conditions) {
    m_conditions = conditions;
    ConditionsChanged();
}

void CStabilityDlg::ConditionsChanged() {
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
    const bool any = m_conditionList->count() > 0;
    m_noConditions->setVisible(!any);
    m_run->setEnabled(any);
    // A result stands only for the condition and the openings as they were
    // computed.
    if (m_condition) {
        const CLoadingCondition* now =
            m_conditions ? m_conditions->Find(m_condition->name) : nullptr;
        if (!now || !(*now == *m_condition) || m_conditions->Openings() != m_ship_openings)
            Clear();
    }
}

void CStabilityDlg::ModelChanged() {
    if (m_result)
        Clear();
}

void CStabilityDlg::Clear() {
    m_result.reset();
    m_weather.reset();
    CTextGrid weatherRows(1, 2);
    weatherRows.SetText(0, 0, "Grandezza");
    weatherRows.SetText(0, 1, "Valore");
    m_weatherGrid->ShowTextGrid(weatherRows);
    m_weatherChart->Reset(QString::fromUtf8("Sbandamento sottovento [°]"),
                          CChartPane::KeyAlong::horizontal);
    m_condition.reset();
    m_ship_openings.clear();
    CTextGrid openings(1, static_cast<int>(std::size(kOpeningHeaders)));
    for (std::size_t c = 0; c < std::size(kOpeningHeaders); ++c)
        openings.SetText(0, static_cast<int>(c), kOpeningHeaders[c]);
    m_openings->ShowTextGrid(openings);
    m_openings->resizeColumnsToContents();
    m_flooding->setText(QString());
    CRecordTable headers;
    headers.columns = StabilityTables(CStabilityResult{}).curve.columns;
    m_curve->ShowTextGrid(RecordGrid(headers, kDigits));
    CTextGrid criteria(1, 6);
    const char* const criteriaHeaders[] = {"Criterio", "Valore", "Limite",
                                           "Margine",  "Unità",  "Esito"};
    for (int c = 0; c < 6; ++c)
        criteria.SetText(0, c, criteriaHeaders[c]);
    m_criteria->ShowTextGrid(criteria);
    CTextGrid equilibrium(1 + static_cast<int>(std::size(kEquilibrium)), 2);
    equilibrium.SetText(0, 0, "Grandezza");
    equilibrium.SetText(0, 1, "Valore");
    for (std::size_t k = 0; k < std::size(kEquilibrium); ++k)
        equilibrium.SetText(static_cast<int>(k) + 1, 0, kEquilibrium[k].name);
    m_equilibrium->ShowTextGrid(equilibrium);
    // Wide enough for any figure of six digits, so that the grid keeps
    // its width from one condition to the next.
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
    SetPicture(std::nullopt, QString());
}

void RefuseStabilityProblem(const CCalcProblem& p, double density) {
    const QString element = QString::fromStdString(p.element);
    QString text;
    if (p.input == "openings") {
        AfxMessageBox(QString::fromUtf8("L'apertura '%1' è %2 m sotto il galleggiamento con la "
                                        "nave diritta: la nave si allaga prima di sbandare "
                                        "(un'apertura chiusa in navigazione è stagna; la "
                                        "condizione può dare l'angolo di allagamento)")
                          .arg(element, Figure(-p.value)),
                      MB_OK | MB_ICONWARNING);
        return;
    }
    if (p.input == "items") {
        switch (p.rule) {
        case CalcRule::farOffHull:
            text = QString::fromUtf8("Voce di portata lorda '%1': il suo %2 (%3 m) dista dallo "
                                     "scafo più di %4 volte le sue dimensioni (%5 m)")
                       .arg(element, QString::fromStdString(p.other), Figure(p.value),
                            Figure(p.limit), Figure(p.size));
            break;
        case CalcRule::notAtLeast:
            text = QString::fromUtf8("Voce di portata lorda '%1': il peso (%2 t) deve essere "
                                     "di 0 t o più")
                       .arg(element, Figure(p.value));
            break;
        default:
            text = QString::fromUtf8("Voce di portata lorda '%1': un peso o un baricentro che "
                                     "non è un numero")
                       .arg(element);
            break;
        }
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
        return;
    }
    const QString what = p.input == "lightship"  ? "Il peso della nave scarica"
                         : p.input == "lcg"      ? "LCG della nave scarica"
                         : p.input == "tcg"      ? "TCG della nave scarica"
                         : p.input == "vcg"      ? "VCG della nave scarica"
                         : p.input == "density"  ? QString::fromUtf8("La densità dell'acqua")
                         : p.input == "flooding" ? "L'angolo di allagamento"
                                                 : QString::fromStdString(p.input);
    switch (p.rule) {
    case CalcRule::notANumber:
        text = QString::fromUtf8("%1 della condizione non è un numero").arg(what);
        break;
    case CalcRule::notAbove:
        text = p.input == "lightship" ? QString::fromUtf8("%1 (%2 t) deve essere maggiore di 0")
                                            .arg(what, Figure(p.value))
                                      : QString::fromUtf8("%1 (%2 t/m^3) deve essere maggiore di 0")
                                            .arg(what, Figure(p.value));
        break;
    case CalcRule::notBelow:
        text = QString::fromUtf8("%1 (%2°) deve essere maggiore di 0° e minore di 90°")
                   .arg(what, Figure(p.value));
        break;
    case CalcRule::tooMany:
        text = QString::fromUtf8("Più di %1 sbandamenti richiesti").arg(Figure(p.limit));
        break;
    case CalcRule::farOffHull:
        text = QString::fromUtf8("%1 (%2 m) dista dallo scafo più di %3 volte le sue "
                                 "dimensioni (%4 m)")
                   .arg(what, Figure(p.value), Figure(p.limit), Figure(p.size));
        break;
    case CalcRule::negativeDensity:
        text = QString::fromUtf8("Cassa '%1': il peso specifico %2 kg/m^3 è negativo")
                   .arg(element, Figure(p.value));
        break;
    case CalcRule::tankOverfilled:
        text = QString::fromUtf8("Cassa '%1': il volume del carico %2 m^3 supera il volume "
                                 "della cassa %3 m^3")
                   .arg(element, Figure(p.value), Figure(p.limit));
        break;
    case CalcRule::sinks:
        text = QString::fromUtf8("La condizione pesa %1 t, più di quanto disloca l'intero "
                                 "scafo (%2 m^3 a %3 t/m^3, %4 t): la nave affonda")
                   .arg(Figure(p.value), Figure(p.size), Figure(density), Figure(p.limit));
        break;
    case CalcRule::notSettled:
        text = p.input == "tanks"
                   ? QString::fromUtf8("Il livello del liquido di una cassa non è stato "
                                       "trovato con la nave dritta")
                   : QString::fromUtf8("Nessun assetto di equilibrio trovato allo sbandamento "
                                       "di %1° (la ricerca è andata oltre %2° di assetto, o il "
                                       "livello di una cassa non è stato trovato)")
                         .arg(Figure(p.value), Figure(p.limit));
        break;
    default:
        text = "Elementi scafo non trovati !!";
        break;
    }
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}

void CStabilityDlg::Run() {
    if (IsRunning() || !m_pModel || !m_conditions)
        return;
    const QListWidgetItem* item = m_conditionList->currentItem();
    const CLoadingCondition* chosen =
        item ? m_conditions->Find(item->text().toStdString()) : nullptr;
    if (!chosen) {
        AfxMessageBox("Scegliere una condizione di carico.", MB_OK | MB_ICONWARNING);
        return;
    }
    const CLoadingCondition condition = *chosen;
    const CShipModel& ship = *m_pModel;
    CStabilityInputs in = ConditionStabilityInputs(ship, condition);
    in.openings = m_conditions->Openings();
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
    // The weather criterion's pressure and bilge keels as typed.
    const bool weather = m_weatherCheck->isChecked();
    CWeatherOptions wind;
    if (weather) {
        double pressure = 0, keels = 0;
        if (!ParseNumberC(m_pressure->text().trimmed().toStdString(), pressure) ||
            !(pressure > 0)) {
            AfxMessageBox(QString::fromUtf8("La pressione del vento '%1' deve essere un numero "
                                            "maggiore di 0 (Pa)")
                              .arg(m_pressure->text()),
                          MB_OK | MB_ICONWARNING);
            return;
        }
        if (!ParseNumberC(m_bilgeKeels->text().trimmed().toStdString(), keels) || !(keels >= 0)) {
            AfxMessageBox(QString::fromUtf8("L'area delle alette di rollio '%1' deve essere un "
                                            "numero di 0 o più (m²; 0: nessuna aletta)")
                              .arg(m_bilgeKeels->text()),
                          MB_OK | MB_ICONWARNING);
            return;
        }
        wind.pressure = pressure;
        wind.bilge_keel_area = keels;
    }

    CStabilityResult result;
    std::optional<CWeatherCalculation> weatherResult;
    CProgressBarLink progress(m_progress);
    bool done = false;
    try {
        done = RunStoppable(
            [&](const CStopRequest* stop) {
                result = ComputeStability(ship, in, stop, &progress);
                if (weather)
                    weatherResult = ComputeWeather(ship, in, result, wind, stop);
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
    m_result = std::move(result);
    m_weather = std::move(weatherResult);
    m_condition = condition;
    m_ship_openings = in.openings;
    ShowResult();
}

void CStabilityDlg::ShowResult() {
    // The weather criterion's two end the criteria, as the command lists them.
    CStabilityResult with = *m_result;
    if (m_weather)
        with.criteria.insert(with.criteria.end(), m_weather->result.criteria.begin(),
                             m_weather->result.criteria.end());
    const CStabilityResult& r = with;
    const CStabilityTables tables = StabilityTables(r);
    m_curve->ShowTextGrid(RecordGrid(tables.curve, kDigits));
    m_curve->resizeColumnsToContents();

    const CTextGrid summary = RecordGrid(tables.summary, kDigits);
    for (std::size_t k = 0; k < std::size(kEquilibrium); ++k) {
        const int column = ColumnOf(tables.summary, kEquilibrium[k].key);
        m_equilibrium->SetTextMatrix(static_cast<int>(k) + 1, 1,
                                     QString::fromStdString(summary.GetText(1, column)));
    }

    // The criteria's figures as the command writes them, named in Italian.
    const CTextGrid criteria = RecordGrid(tables.criteria, kDigits);
    CTextGrid shown(criteria.GetRows(), 6);
    for (int c = 0; c < 6; ++c)
        shown.SetText(0, c, m_criteria->GetTextMatrix(0, c).toStdString());
    for (std::size_t k = 0; k < r.criteria.size(); ++k) {
        const CIntactCriterion& c = r.criteria[k];
        const int row = static_cast<int>(k) + 1;
        shown.SetText(row, 0, CriterionNameIt(k, r.summary.limit_angle, c.name));
        for (int col = 1; col <= 3; ++col)
            shown.SetText(row, col, criteria.GetText(row, col));
        shown.SetText(row, 4, UnitNameIt(c.unit));
        shown.SetText(row, 5, c.Passes() ? "superato" : "non superato");
    }
    m_criteria->ShowTextGrid(shown);
    for (std::size_t k = 0; k < r.criteria.size(); ++k) {
        const QColor colour = r.criteria[k].Passes() ? kPassColour : kFailColour;
        for (int col = 0; col < 6; ++col)
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

    // The openings' figures as the command writes them.
    const CTextGrid openings = RecordGrid(tables.openings, kDigits);
    CTextGrid openingRows(1 + static_cast<int>(r.openings.size()),
                          static_cast<int>(std::size(kOpeningHeaders)));
    for (std::size_t c = 0; c < std::size(kOpeningHeaders); ++c)
        openingRows.SetText(0, static_cast<int>(c), kOpeningHeaders[c]);
    for (std::size_t k = 0; k < r.openings.size(); ++k) {
        const int row = static_cast<int>(k) + 1;
        openingRows.SetText(row, 0, r.openings[k].opening.name);
        openingRows.SetText(row, 1, r.openings[k].opening.weathertight ? "sì" : "no");
        for (int col = 2; col < 5; ++col)
            openingRows.SetText(row, col, openings.GetText(row, col));
    }
    m_openings->ShowTextGrid(openingRows);
    m_openings->resizeColumnsToContents();
    const QString angle =
        r.summary.flooding ? QString::fromUtf8("%1°").arg(Figure(*r.summary.flooding)) : QString();
    switch (r.summary.flooding_source) {
    case FloodingSource::typed:
        m_flooding->setText(
            QString::fromUtf8("Angolo di allagamento: %1, dato della condizione").arg(angle));
        break;
    case FloodingSource::opening:
        m_flooding->setText(QString::fromUtf8("Angolo di allagamento: %1, dell'apertura '%2'")
                                .arg(angle, QString::fromStdString(r.summary.flooding_opening)));
        break;
    default:
        m_flooding->setText(QString::fromUtf8("Angolo di allagamento: nessuno"));
        break;
    }

    // The weather criterion's figures, one a row; none when not asked for.
    const CRecordTable weatherTable = m_weather ? WeatherTable(*m_weather) : CRecordTable();
    const CTextGrid figures = RecordGrid(weatherTable, kDigits);
    CTextGrid weatherRows(1 + static_cast<int>(weatherTable.columns.size()), 2);
    weatherRows.SetText(0, 0, "Grandezza");
    weatherRows.SetText(0, 1, "Valore");
    for (std::size_t c = 0; c < weatherTable.columns.size(); ++c) {
        const int column = static_cast<int>(c);
        weatherRows.SetText(column + 1, 0, figures.GetText(0, column));
        weatherRows.SetText(column + 1, 1, figures.GetText(1, column));
    }
    m_weatherGrid->ShowTextGrid(weatherRows);
    m_weatherGrid->resizeColumnsToContents();

    DrawChart();
    DrawWeatherChart();
    const CStabilitySummary& s = r.summary;
    SetPicture(FloatingPicture(*m_pModel, s.datums, s.equilibrium, s.trim, s.draught, s.g),
               QString::fromUtf8("Vista 3D: '%1' all'equilibrio, sbandamento %2°")
                   .arg(QString::fromStdString(m_condition->name), Figure(s.equilibrium)));
}

void CStabilityDlg::DrawChart() {
    const CStabilityResult& r = *m_result;
    const CStabilitySummary& s = r.summary;
    m_chart->Reset(QString::fromUtf8("Sbandamento [°]"), CChartPane::KeyAlong::horizontal);
    const int axis = m_chart->AddValueAxis("GZ [m]");
    CChartPane::CPoints gz;
    CGzCurve curve; // by the size of the heel, as the criteria read it
    for (const CStabilityPoint& p : r.curve) {
        gz.emplace_back(p.heel, p.gz);
        curve.heels.push_back(std::fabs(p.heel));
        curve.gz.push_back(p.gz);
    }
    m_chart->AddCurve("GZ", axis, gz);
    m_chart->AddGuide("GM0", axis, {{0, 0}, {s.side * kRadianDeg, s.gm0}}, kGmColour);

    // The areas of the criteria under the curve, from the equilibrium heel,
    // edged by the curve's points and its values at the ends.
    const auto area = [&](const QString& name, double from, double to, const QColor& colour) {
        if (!(from < to))
            return;
        CChartPane::CPoints edge{{s.side * from, GzAt(curve, from)}};
        for (std::size_t k = 0; k < curve.heels.size(); ++k)
            if (curve.heels[k] > from && curve.heels[k] < to)
                edge.emplace_back(s.side * curve.heels[k], curve.gz[k]);
        edge.emplace_back(s.side * to, GzAt(curve, to));
        m_chart->AddArea(name, axis, edge, colour);
    };
    const double start = std::fabs(s.equilibrium);
    const QString limit = Figure(s.limit_angle);
    // Named as the criteria name them, though they start at the equilibrium.
    area(QString::fromUtf8("Area 0-30°"), start, std::min(30.0, s.limit_angle), kArea30Colour);
    area(QString::fromUtf8("Area 30-%1°").arg(limit), std::max(30.0, start), s.limit_angle,
         kAreaLimitColour);

    m_chart->AddMark(QString::fromUtf8("GZ max %1 m a %2°")
                         .arg(Figure(s.features.max_gz), Figure(s.features.max_angle)),
                     axis, s.side * s.features.max_angle, s.features.max_gz, kMarkColour);
    if (std::isfinite(s.features.vanishing))
        m_chart->AddMark(
            QString::fromUtf8("Stabilità nulla a %1°").arg(Figure(s.features.vanishing)), axis,
            s.side * s.features.vanishing, 0, kMarkColour);
}

void CStabilityDlg::DrawWeatherChart() {
    m_weatherChart->Reset(QString::fromUtf8("Sbandamento sottovento [°]"),
                          CChartPane::KeyAlong::horizontal);
    if (!m_weather || m_weather->curve.heels.empty())
        return;
    const CWeatherCalculation& w = *m_weather;
    const CWeatherResult& r = w.result;
    const CGzCurve& curve = w.curve;
    const int axis = m_weatherChart->AddValueAxis("GZ [m]");
    // From the roll to windward (or the curve's first heel) to 10 deg past
    // theta2, the curve read as the criterion reads it, every quarter
    // degree and at the ends.
    const double start = r.heel - r.roll;
    const double from = std::isfinite(start) ? std::max(start, curve.heels.front())
                                             : std::max(-5.0, curve.heels.front());
    const double to = std::min(curve.heels.back(), (std::isfinite(r.limit) ? r.limit : 50) + 10);
    const auto stretch = [&](double a, double b) {
        CChartPane::CPoints points;
        if (!(a < b))
            return points;
        points.emplace_back(a, GzAt(curve, a));
        for (double h = std::floor(a * 4 + 1) / 4; h < b; h += 0.25)
            points.emplace_back(h, GzAt(curve, h));
        points.emplace_back(b, GzAt(curve, b));
        return points;
    };
    m_weatherChart->AddCurve("GZ", axis, stretch(from, to));
    // The levers' lines reach 15 deg to windward of the curve, so that the
    // label of the mark at its start, centred on it, stays off the axis.
    const double left = from - 15;
    m_weatherChart->AddGuide(QString::fromUtf8("lw1 = %1 m").arg(Figure(r.lw1)), axis,
                             {{left, r.lw1}, {to, r.lw1}}, kLw1Colour);
    m_weatherChart->AddGuide(QString::fromUtf8("lw2 = %1 m").arg(Figure(r.lw2)), axis,
                             {{left, r.lw2}, {to, r.lw2}}, kLw2Colour);
    if (std::isfinite(r.area_a))
        m_weatherChart->AddArea(QString::fromUtf8("Area a = %1 m·rad").arg(Figure(r.area_a)), axis,
                                stretch(start, r.intercept), kAreaAColour, r.lw2);
    if (std::isfinite(r.area_b))
        m_weatherChart->AddArea(QString::fromUtf8("Area b = %1 m·rad").arg(Figure(r.area_b)), axis,
                                stretch(r.intercept, r.limit), kAreaBColour, r.lw2);
    if (std::isfinite(start))
        m_weatherChart->AddMark(QString::fromUtf8("θ0 − θ1 = %1°").arg(Figure(start)), axis, start,
                                GzAt(curve, start), kMarkColour);
    m_weatherChart->AddMark(QString::fromUtf8("θ0 = %1°").arg(Figure(r.heel)), axis, r.heel, r.lw1,
                            kMarkColour);
    if (std::isfinite(r.limit) && r.limit <= curve.heels.back())
        m_weatherChart->AddMark(QString::fromUtf8("θ2 = %1°").arg(Figure(r.limit)), axis, r.limit,
                                GzAt(curve, r.limit), kMarkColour);
}

void CStabilityDlg::TakeConditionsBilgeKeels() {
    const QListWidgetItem* item = m_conditionList->currentItem();
    const CLoadingCondition* c =
        item && m_conditions ? m_conditions->Find(item->text().toStdString()) : nullptr;
    m_bilgeKeels->setText(Typed(c ? c->bilge_keel_area : 0));
}

bool CStabilityDlg::ShowHeel(double heel) {
    if (!m_result || !m_pModel)
        return false;
    for (const CStabilityPoint& p : m_result->curve)
        if (p.heel == heel) {
            SetPicture(
                FloatingPicture(*m_pModel, m_result->summary.datums, p.heel, p.trim, p.draught,
                                p.g),
                QString::fromUtf8("Vista 3D: '%1' sbandata di %2°, GZ %3 m")
                    .arg(QString::fromStdString(m_condition->name), Figure(p.heel), Figure(p.gz)));
            return true;
        }
    return false;
}

void CStabilityDlg::SetPicture(std::optional<CConditionPicture> picture, const QString& note) {
    m_picture = std::move(picture);
    if (m_picture && m_result)
        for (const COpeningImmersion& o : m_result->openings)
            m_picture->openings.push_back(
                {CVector3(o.opening.x, o.opening.y, o.opening.z), o.opening.weathertight});
    m_shown->setText(m_picture ? note : QString());
    emit pictureChanged();
}

void CStabilityDlg::hideEvent(QHideEvent* event) {
    CCalculationDlg::hideEvent(event);
    // The view draws the ship in its own axes again; a window opened anew
    // starts afresh, as the other calculation windows do.
    Clear();
}

void CStabilityDlg::OnGridMouseDown(CMSFlexGrid& grid, short button, int x, int y) {
    if (button != CMSFlexGrid::rightButton || IsRunning())
        return;
    if (TrackGridMenu(grid, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(grid);
}
