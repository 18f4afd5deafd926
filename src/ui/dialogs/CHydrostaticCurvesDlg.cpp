#include "CHydrostaticCurvesDlg.h"

#include "CChartPane.h"
#include "CMSFlexGrid.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "calc/CurvesOfForm.h"
#include "calc/NumberSeries.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"
#include "report/DatumText.h"
#include "ui/app/UiLayer.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <exception>

namespace {

// The digits of brelund-calc hydrostatics by default, so that the grid is
// its table.
constexpr int kDigits = 6;

const char* const kDraughtsRefused =
    "Verificare il corretto inserimento dei dati relativi alle immersioni: iniziale non "
    "maggiore della finale, passo maggiore di 0 e non più lungo dell'intervallo, al più 100000 "
    "immersioni";

// The curves the chart can draw: the table's column (its JSON key) and the
// name the list and the legend give it.
struct CCurveChoice {
    const char* key;
    const char* name;
    bool shown; // ticked when the dialog opens
};
const CCurveChoice kCurveChoices[] = {
    {"displacement_t", "Dislocamento [t]", true},
    {"KB_m", "KB [m]", true},
    {"KMt_m", "KMt [m]", true},
    {"LCB_m", "LCB [m]", false},
    {"LCF_m", "LCF [m]", false},
    {"TPC_t_per_cm", "TPC [t/cm]", true},
    {"MCT1cm_t_m_per_cm", "MCT 1 cm [t·m/cm]", false},
    {"Awp_m2", "Awp [m²]", false},
    {"S_m2", "S, superficie bagnata [m²]", false},
    {"Cb", "Cb", false},
    {"Cm", "Cm", false},
    {"Cp", "Cp", false},
    {"Cwp", "Cwp", false},
};

int ColumnOf(const CRecordTable& table, const char* key) {
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c].key == key)
            return static_cast<int>(c);
    return -1;
}

// A row of a group: label, field, unit.
QLineEdit* AddField(QGridLayout* layout, int row, const QString& label, const char* unit,
                    const char* name) {
    auto* field = NewNumberBox(name, "-00000.0000");
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    layout->addWidget(caption, row, 0);
    layout->addWidget(field, row, 1);
    layout->addWidget(new QLabel(QString::fromUtf8(unit)), row, 2);
    return field;
}

QLabel* Note(const char* text) {
    auto* note = new QLabel(QString::fromUtf8(text));
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    note->setFont(small);
    return note;
}

QString Figure(double value) {
    return QString::fromStdString(FormatC("%g", value));
}

} // namespace

CHydrostaticCurvesDlg::CHydrostaticCurvesDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle("Curve idrostatiche");

    auto* draughts = new QGroupBox("Immersioni T");
    auto* draughtsLayout = new QGridLayout(draughts);
    m_from = AddField(draughtsLayout, 0, "Da", "[m]", "from");
    m_to = AddField(draughtsLayout, 1, "A", "[m]", "to");
    m_step = AddField(draughtsLayout, 2, "Passo", "[m]", "step");
    draughtsLayout->addWidget(
        Note("Vuoti: dieci immersioni da un decimo dell'altezza dello scafo al ponte"), 3, 0, 1, 3);

    auto* datums = new QGroupBox("Assetto e riferimenti");
    auto* datumsLayout = new QGridLayout(datums);
    m_heel = AddField(datumsLayout, 0, "Teta x (Trasv)", "°", "heel");
    m_trim = AddField(datumsLayout, 1, "Teta y (Longitud)", "°", "trim");
    m_density = AddField(datumsLayout, 2, "Densità acqua", "[t/m^3]", "density");
    m_baseline = AddField(datumsLayout, 3, "Linea di base z", "[m]", "baseline");
    m_ap = AddField(datumsLayout, 4, "AP x", "[m]", "ap");
    m_fp = AddField(datumsLayout, 5, "FP x", "[m]", "fp");
    datumsLayout->addWidget(Note("AP e FP vuoti: agli estremi del galleggiamento alla massima "
                                 "immersione, o dello scafo"),
                            6, 0, 1, 3);

    auto* curves = new QGroupBox("Curve nel grafico");
    auto* curvesLayout = new QVBoxLayout(curves);
    m_curveList = new QListWidget;
    m_curveList->setObjectName("curves");
    for (const CCurveChoice& choice : kCurveChoices) {
        auto* item = new QListWidgetItem(QString::fromUtf8(choice.name), m_curveList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(choice.shown ? Qt::Checked : Qt::Unchecked);
    }
    m_curveList->setMinimumHeight(m_curveList->sizeHintForRow(0) * 5);
    curvesLayout->addWidget(m_curveList);
    connect(m_curveList, &QListWidget::itemChanged, this, [this] { DrawChart(); });

    QHBoxLayout* buttons = RunStopCloseButtons(m_run, m_close);
    connect(m_run, &QPushButton::clicked, this, &CHydrostaticCurvesDlg::Run);
    m_progress = NewProgressBar();

    auto* left = new QVBoxLayout;
    left->addWidget(draughts);
    left->addWidget(datums);
    left->addWidget(curves, 1);
    left->addLayout(buttons);
    left->addWidget(m_progress);

    m_datums = new CMSFlexGrid(2, 1, 1, 0);
    m_datums->setObjectName("datums");
    m_datums->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_datums->setFixedHeight(m_datums->verticalHeader()->defaultSectionSize() * 2 +
                             m_datums->horizontalScrollBar()->sizeHint().height() + 4);
    m_grid = new CMSFlexGrid(1, 1, 1, 0);
    m_grid->setObjectName("grid");
    m_grid->setMinimumHeight(m_grid->verticalHeader()->defaultSectionSize() * 4);
    for (CMSFlexGrid* grid : {m_datums, m_grid})
        connect(grid, &CMSFlexGrid::MouseDown, this,
                [this, grid](short button, short, int x, int y) {
                    OnGridMouseDown(*grid, button, x, y);
                });
    auto* tables = new QWidget;
    auto* tablesLayout = new QVBoxLayout(tables);
    tablesLayout->setContentsMargins(0, 0, 0, 0);
    tablesLayout->addWidget(m_datums);
    tablesLayout->addWidget(m_grid, 1);

    m_chart = new CChartPane;
    // Draught up the side, as curves of form are drawn on paper: each curve
    // then stands against the hull's own heights, and its scale runs across
    // (the scales alternate below and above the plot).
    m_chart->Reset("Immersione T [m]", CChartPane::KeyAlong::vertical);

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName("split");
    split->addWidget(tables);
    split->addWidget(m_chart);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    // The chart takes the most room; the grids scroll.
    split->setSizes({230, 450});

    auto* main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addWidget(split, 1);

    // Within a 1024 x 768 screen, with room for the window's frame.
    resize(1000, 700);
}

CHydrostaticCurvesDlg::~CHydrostaticCurvesDlg() = default;

bool CHydrostaticCurvesDlg::OnInitDialog() {
    // The command's defaults; empty draughts and perpendiculars are its own
    // defaults too.
    const CCurvesOfFormInputs in;
    SetFieldNumber(m_heel, in.heel);
    SetFieldNumber(m_trim, in.trim);
    SetFieldNumber(m_density, in.density);
    SetFieldNumber(m_baseline, in.baseline);
    CRecordTable headers;
    headers.columns = CurvesOfFormColumns();
    m_grid->ShowTextGrid(RecordGrid(headers, kDigits));
    CRecordTable datumHeaders;
    AddDatumColumns(datumHeaders);
    m_datums->ShowTextGrid(RecordGrid(datumHeaders, kDigits));
    return true;
}

bool CHydrostaticCurvesDlg::ReadInputs(CCurvesOfFormInputs& in) {
    if (!GetFieldNumber(m_heel, in.heel) || !GetFieldNumber(m_trim, in.trim) ||
        !GetFieldNumber(m_density, in.density) || !GetFieldNumber(m_baseline, in.baseline))
        return false;

    const bool anyDraught = !m_from->text().trimmed().isEmpty() ||
                            !m_to->text().trimmed().isEmpty() ||
                            !m_step->text().trimmed().isEmpty();
    if (anyDraught) {
        double from = 0, to = 0, step = 0;
        if (!GetFieldNumber(m_from, from) || !GetFieldNumber(m_to, to) ||
            !GetFieldNumber(m_step, step))
            return false;
        // The series as the command reads FROM:TO:STEP: the same draughts,
        // to the last bit (17 digits give each number back exactly).
        const std::string series = FormatC("%.17g:%.17g:%.17g", from, to, step);
        if (!ParseNumberSeries("draughts", series, kMaxDraughts, in.draughts).empty()) {
            RefuseField(m_from, QString::fromUtf8(kDraughtsRefused));
            return false;
        }
    }

    const bool ap = !m_ap->text().trimmed().isEmpty(), fp = !m_fp->text().trimmed().isEmpty();
    if (ap != fp) {
        RefuseField(ap ? m_fp : m_ap,
                    "Immettere sia AP sia FP, o lasciarli entrambi vuoti per quelli predefiniti");
        return false;
    }
    in.perpendiculars = ap;
    if (ap && (!GetFieldNumber(m_ap, in.ap) || !GetFieldNumber(m_fp, in.fp)))
        return false;
    return true;
}

void CHydrostaticCurvesDlg::RefuseProblem(const CCalcProblem& p) {
    QLineEdit* field = p.input == "heel"       ? m_heel
                       : p.input == "trim"     ? m_trim
                       : p.input == "density"  ? m_density
                       : p.input == "lpp"      ? m_ap
                       : p.input == "draughts" ? m_from
                                               : nullptr;
    QString text;
    switch (p.rule) {
    case CalcRule::notANumber:
        text = "Immettere un numero.";
        break;
    case CalcRule::notBelow:
        text = QString::fromUtf8("%1 deve essere minore di 90° in valore assoluto: le immersioni "
                                 "si leggono sulla verticale della nave, che a 90° giace nel "
                                 "piano di galleggiamento")
                   .arg(p.input == "heel" ? "Teta x (Trasv)" : "Teta y (Longitud)");
        break;
    case CalcRule::notAbove:
        text = p.input == "lpp" ? QString("AP e FP devono essere due ordinate diverse")
                                : QString::fromUtf8("La densità dell'acqua deve essere maggiore "
                                                    "di 0");
        break;
    case CalcRule::belowHull:
        text = QString::fromUtf8("L'immersione %1 m porta il galleggiamento sotto il punto più "
                                 "basso dello scafo (lo tocca a un'immersione di %2 m)")
                   .arg(Figure(p.value), Figure(p.limit));
        break;
    case CalcRule::farOffHull:
        text = QString::fromUtf8("L'immersione %1 m supera di oltre %2 volte l'altezza dello "
                                 "scafo (%3 m)")
                   .arg(Figure(p.value), Figure(p.limit), Figure(p.size));
        break;
    case CalcRule::noHull:
        text = "Elementi scafo non trovati !!";
        break;
    default:
        text = QString::fromUtf8(kDraughtsRefused);
        break;
    }
    RefuseField(field, text);
}

void CHydrostaticCurvesDlg::Run() {
    if (IsRunning() || !m_pModel)
        return;
    CCurvesOfFormInputs in;
    if (!ReadInputs(in))
        return;
    if (const CCalcCheck problem = CheckCurvesOfFormInputs(in)) {
        RefuseProblem(*problem);
        return;
    }
    if (RefuseShipValuesThatAreNotNumbers(*m_pModel, true, false))
        return;
    if (!GoOnDespiteSurfaceFaults(*m_pModel, true, false))
        return;
    if (const CCalcCheck problem = CheckCurvesOfFormShip(*m_pModel, in)) {
        RefuseProblem(*problem);
        return;
    }

    const CShipModel& ship = *m_pModel;
    CRecordTable table;
    CShipDatums datums;
    CProgressBarLink progress(m_progress);
    try {
        if (!RunStoppable(
                [&](const CStopRequest* stop) {
                    table = ComputeCurvesOfForm(ship, in, &datums, stop, &progress);
                },
                {&progress}))
            return;
    } catch (const std::exception& e) {
        AfxMessageBox(QString("Impossibile completare il calcolo.\n%1").arg(FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
        return;
    }
    m_table = std::move(table);
    m_datums->ShowTextGrid(RecordGrid(HydrostaticsDatums(datums, WithoutWholeTurns(in.heel),
                                                         WithoutWholeTurns(in.trim), in.density),
                                      kDigits));
    m_grid->ShowTextGrid(RecordGrid(m_table, kDigits));
    // Numbers with an exponent are wider than the grids' columns.
    m_datums->resizeColumnsToContents();
    m_grid->resizeColumnsToContents();
    DrawChart();
}

void CHydrostaticCurvesDlg::DrawChart() {
    m_chart->Reset("Immersione T [m]", CChartPane::KeyAlong::vertical);
    const int key = ColumnOf(m_table, "T_m");
    if (key < 0)
        return;
    for (int k = 0; k < m_curveList->count(); ++k) {
        if (m_curveList->item(k)->checkState() != Qt::Checked)
            continue;
        const CCurveChoice& choice = kCurveChoices[k];
        const int column = ColumnOf(m_table, choice.key);
        if (column < 0)
            continue;
        CChartPane::CPoints points;
        for (const auto& row : m_table.rows) {
            const CRecordCell& t = row[static_cast<std::size_t>(key)];
            const CRecordCell& value = row[static_cast<std::size_t>(column)];
            if (t.IsNumber() && value.IsNumber())
                points.emplace_back(t.Number(), value.Number());
        }
        const int axis = m_chart->AddValueAxis(
            QString::fromStdString(m_table.columns[static_cast<std::size_t>(column)].header));
        m_chart->AddCurve(QString::fromUtf8(choice.name), axis, points);
    }
}

void CHydrostaticCurvesDlg::OnGridMouseDown(CMSFlexGrid& grid, short button, int x, int y) {
    if (button != CMSFlexGrid::rightButton || IsRunning())
        return;
    if (TrackGridMenu(grid, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(grid);
}
