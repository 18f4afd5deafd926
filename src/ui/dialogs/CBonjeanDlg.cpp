#include "CBonjeanDlg.h"

#include "CChartPane.h"
#include "CMSFlexGrid.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "calc/BonjeanTable.h"
#include "geometry/CSectionContour.h"
#include "geometry/Scalar.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"
#include "report/BonjeanText.h"
#include "ui/app/UiLayer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <numeric>

namespace {

const char* const kNoHull =
    "C'è stato qualche problema nel calcolo delle dimensioni principali del modello 'scafo'! "
    "\n Si è sicuri di aver caricato la carena?";

// The dialog's message for what refuses its inputs.
const char* Refusal(const CCalcProblem& p) {
    const char* const dz = "Verificare il valore di 'dz'! ";
    switch (p.rule) {
    case CalcRule::noHull:
        return "Elementi scafo non trovati !!";
    case CalcRule::notANumber:
        return "Immettere un numero.";
    case CalcRule::aboveOther:
        return "Verificare l'input relativo alle 'z' !";
    case CalcRule::notAtLeast:
        return p.input == "station0" ? "Verificare l'input relativo alle 'x' !" : dz;
    case CalcRule::zeroStep:
        return "Verificare il valore di 'dz' \n o verificare m_z_end! ";
    case CalcRule::tooMany:
        if (p.input != "dz")
            return "Le tabelle avrebbero più di due milioni di celle: ridurre le linee d'acqua o "
                   "le sezioni";
        return dz;
    default:
        return dz;
    }
}

const char* const kDrawingFailed = "Impossibile scrivere il disegno DXF.";
const char* const kAreasTitle = "Aree [m^2]";
const char* const kMomentsTitle = "Sxy - My (m^3)";
const char* const kHeightTitle = "Linea d'acqua z [m]";

// A row of a group: label, field, unit.
QLineEdit* AddField(QGridLayout* layout, int row, const QString& label, const char* name,
                    bool readOnly) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(readOnly);
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance("-0000.00000") + 12);
    auto* text = new QLabel(label);
    text->setBuddy(field);
    layout->addWidget(text, row, 0);
    layout->addWidget(field, row, 1);
    layout->addWidget(new QLabel("[m]"), row, 2);
    return field;
}

QWidget* Titled(const QString& title, CMSFlexGrid* grid) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title));
    layout->addWidget(grid, 1);
    return box;
}

} // namespace

CBonjeanDlg::CBonjeanDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle("Tabelle del bonjean");
    BuildLayout();
}

CBonjeanDlg::~CBonjeanDlg() = default;

void CBonjeanDlg::BuildLayout() {
    auto* model = new QGroupBox("Dati modello");
    auto* modelLayout = new QGridLayout(model);
    m_xmin = AddField(modelLayout, 0, "Xmin", "xmin", true);
    m_xmax = AddField(modelLayout, 1, "Xmax", "xmax", true);
    m_zmin = AddField(modelLayout, 2, "Zmin", "zmin", true);
    m_zmax = AddField(modelLayout, 3, "Zmax", "zmax", true);

    auto* tables = new QGroupBox("Parametri tabelle");
    auto* tableLayout = new QGridLayout(tables);
    m_zstart = AddField(tableLayout, 0, "Zstart", "zstart", false);
    m_zend = AddField(tableLayout, 1, "Zend", "zend", false);
    m_dz = AddField(tableLayout, 2, "dz", "dz", false);
    tableLayout->setRowStretch(3, 1);

    auto* stations = new QGroupBox("Posizione longitudinale ordinate");
    auto* stationLayout = new QGridLayout(stations);
    m_station0 = AddField(stationLayout, 0, "Ord. 0", "station0", false);
    m_station20 = AddField(stationLayout, 1, "Ord. 20", "station20", false);
    stationLayout->setRowStretch(2, 1);

    auto* extraBox = new QVBoxLayout;
    auto* extraLabel = new QLabel("Sezioni aggiuntive");
    m_extra = new QPlainTextEdit;
    m_extra->setObjectName("extra");
    m_extra->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_extra->setFixedWidth(m_extra->fontMetrics().horizontalAdvance("00000.000") + 40);
    // As tall as the groups beside it, not as its own wish: the room below
    // belongs to the tables and the chart.
    m_extra->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    m_extra->setMinimumHeight(m_extra->fontMetrics().lineSpacing() * 3 + 12);
    extraLabel->setBuddy(m_extra);
    extraBox->addWidget(extraLabel);
    extraBox->addWidget(m_extra, 1);

    m_compute = new QPushButton("Calcola Tabelle di Bonjean");
    m_compute->setObjectName("compute");
    m_extract = new QPushButton("Estrai sezioni verticali");
    m_extract->setObjectName("extract");
    for (QPushButton* b : {m_compute, m_extract})
        b->setAutoDefault(false);
    connect(m_compute, &QPushButton::clicked, this, &CBonjeanDlg::Compute);
    connect(m_extract, &QPushButton::clicked, this, &CBonjeanDlg::ExtractSections);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_compute);
    buttons->addWidget(m_extract);
    buttons->addWidget(StopButton());
    buttons->addStretch(1);

    auto* inputs = new QHBoxLayout;
    inputs->addWidget(model);
    inputs->addWidget(tables);
    inputs->addWidget(stations);
    inputs->addLayout(extraBox);
    inputs->addLayout(buttons);
    inputs->addStretch(1);

    auto* note1 = new QLabel(
        "I valori riportati nelle presenti tabelle sono da considerarsi approssimate, in quanto "
        "la precisione dipende in gran parte dalla densità di pannellatura  del modello.");
    note1->setObjectName("note1");
    auto* note2 = new QLabel("Si consiglia di utilizzare pannellature più fitte per la "
                             "valutazione più accurata di queste tabelle");
    note2->setObjectName("note2");
    for (QLabel* note : {note1, note2})
        note->setWordWrap(true);

    m_areas = new CMSFlexGrid(2, 2, 1, 1);
    m_areas->setObjectName("areas");
    m_moments = new CMSFlexGrid(2, 2, 1, 1);
    m_moments->setObjectName("moments");
    // The heights and four stations, and four waterlines, before a grid
    // scrolls: the chart beside them takes the rest.
    for (CMSFlexGrid* grid : {m_areas, m_moments})
        grid->setMinimumSize(grid->horizontalHeader()->defaultSectionSize() * 5 + 24,
                             grid->verticalHeader()->defaultSectionSize() * 5 + 24);
    connect(m_areas, &CMSFlexGrid::MouseDown, this,
            [this](short button, short, int x, int y) { OnGridMouseDown(1, button, x, y); });
    connect(m_moments, &CMSFlexGrid::MouseDown, this,
            [this](short button, short, int x, int y) { OnGridMouseDown(2, button, x, y); });

    // The stations run along the bar under the grids, the waterlines up the
    // bar beside them.
    m_stationProgress = new QProgressBar;
    m_stationProgress->setObjectName("stationProgress");
    m_stationProgress->setOrientation(Qt::Horizontal);
    m_waterlineProgress = new QProgressBar;
    m_waterlineProgress->setObjectName("waterlineProgress");
    m_waterlineProgress->setOrientation(Qt::Vertical);
    for (QProgressBar* bar : {m_stationProgress, m_waterlineProgress}) {
        bar->setRange(0, 1);
        bar->setValue(0);
        bar->setTextVisible(false);
    }

    auto* tablesBox = new QWidget;
    auto* stacked = new QVBoxLayout(tablesBox);
    stacked->setContentsMargins(0, 0, 0, 0);
    stacked->addWidget(Titled(kAreasTitle, m_areas), 1);
    stacked->addWidget(Titled(kMomentsTitle, m_moments), 1);

    // One chart with a choice of table rather than one per table: the two
    // families share the heights but not a unit, two dozen curves of each
    // in one plot would hide one another, and two charts side by side in a
    // 1024 x 768 screen would each be too narrow for the curves and their
    // legend.
    m_chartTable = new QComboBox;
    m_chartTable->setObjectName("chartTable");
    m_chartTable->addItem(kAreasTitle);
    m_chartTable->addItem(kMomentsTitle);
    auto* chartLabel = new QLabel("Curve di Bonjean:");
    chartLabel->setBuddy(m_chartTable);
    connect(m_chartTable, &QComboBox::currentIndexChanged, this, [this] { DrawChart(); });
    m_chart = new CChartPane;
    auto* chartBox = new QWidget;
    auto* chartLayout = new QVBoxLayout(chartBox);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    auto* choice = new QHBoxLayout;
    choice->addWidget(chartLabel);
    choice->addWidget(m_chartTable);
    choice->addStretch(1);
    chartLayout->addLayout(choice);
    chartLayout->addWidget(m_chart, 1);

    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName("split");
    split->addWidget(tablesBox);
    split->addWidget(chartBox);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    split->setSizes({450, 520});
    auto* grids = new QHBoxLayout;
    grids->addWidget(m_waterlineProgress);
    grids->addWidget(split, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(inputs);
    main->addWidget(note1);
    main->addWidget(note2);
    main->addLayout(grids, 1);
    main->addWidget(m_stationProgress);

    // Every opening starts from 0; only "Dati modello" comes from the model.
    for (QLineEdit* field : {m_zstart, m_zend, m_dz, m_station0, m_station20})
        SetFieldNumber(field, 0);
    ShowFields();
    DrawChart();
    // Within a 1024 x 768 screen, with room for the window's frame.
    resize(1000, 700);
}

bool CBonjeanDlg::OnInitDialog() {
    if (!m_pModel)
        return true;
    if (OpenBonjeanTables(*m_pModel, m_data))
        ShowFields();
    else
        AfxMessageBox(QString::fromUtf8(kNoHull), MB_OK | MB_ICONWARNING);
    return true;
}

void CBonjeanDlg::ShowFields() {
    SetFieldNumber(m_xmin, m_data.xmin);
    SetFieldNumber(m_xmax, m_data.xmax);
    SetFieldNumber(m_zmin, m_data.zmin);
    SetFieldNumber(m_zmax, m_data.zmax);
}

std::string CBonjeanDlg::AdditionalSectionsText(const QString& typed) {
    QString text = typed;
    text.replace(QChar(QChar::ParagraphSeparator), '\n');
    text.replace(QChar(QChar::LineSeparator), '\n');
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    text.replace("\n", "\r\n");
    return text.toStdString();
}

bool CBonjeanDlg::ReadAndCheck(CBonjeanInputs& in) {
    // The model's box is the model's, not an input: it stays as computed.
    const struct {
        QLineEdit* field;
        double* value;
    } fields[] = {{m_zstart, &in.zstart},
                  {m_zend, &in.zend},
                  {m_dz, &in.dz},
                  {m_station0, &in.station0},
                  {m_station20, &in.station20}};
    for (const auto& f : fields)
        if (!GetFieldNumber(f.field, *f.value))
            return false;
    in.extra = AdditionalSectionsText(m_extra->toPlainText());
    if (std::string entry; FindStationThatIsNotANumber(in.extra, entry)) {
        AfxMessageBox("Immettere un numero.", MB_OK | MB_ICONWARNING);
        m_extra->setFocus();
        m_extra->selectAll();
        return false;
    }
    if (const CCalcCheck problem = CheckBonjeanInputs(m_pModel, in, m_data)) {
        AfxMessageBox(QString::fromUtf8(Refusal(*problem)), MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void CBonjeanDlg::Compute() {
    if (IsRunning())
        return;
    CBonjeanInputs in;
    if (!ReadAndCheck(in))
        return;
    if (RefuseShipValuesThatAreNotNumbers(*m_pModel, false, false))
        return;
    if (!GoOnDespiteSurfaceFaults(*m_pModel, false, false))
        return;
    const CShipModel& ship = *m_pModel;
    CTextGrid areas, moments;
    CBonjeanTables tables;
    CProgressBarLink stations(m_stationProgress), waterlines(m_waterlineProgress);
    try {
        if (!RunStoppable(
                [&](const CStopRequest* stop) {
                    tables = ComputeBonjeanTables(ship, in, m_data, {&stations, stop});
                    WriteBonjeanGrids(tables, areas, moments, {&waterlines, stop});
                },
                {&stations, &waterlines}))
            return;
    } catch (const std::exception& e) {
        AfxMessageBox(QString("Impossibile completare il calcolo.\n%1").arg(FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
        return;
    }
    m_areas->ShowTextGrid(areas);
    m_moments->ShowTextGrid(moments);
    // Each station's curve is named by the grid's header and where it cuts
    // the hull, to the millimetre (the ends' nudge is no part of it).
    const std::vector<double> xs = BonjeanStations(in, m_data, false);
    m_stationNames.clear();
    for (std::size_t j = 0; j < xs.size(); ++j)
        m_stationNames.push_back(QString::fromStdString(
            FormatC("Ord. %s, x = %g m", areas.GetText(0, static_cast<int>(j) + 1).c_str(),
                    RoundTo(xs[j], 3))));
    m_stationOrder.resize(xs.size());
    std::iota(m_stationOrder.begin(), m_stationOrder.end(), std::size_t{0});
    std::stable_sort(m_stationOrder.begin(), m_stationOrder.end(),
                     [&](std::size_t a, std::size_t b) { return xs[a] < xs[b]; });
    m_tables = std::move(tables);
    DrawChart();
}

void CBonjeanDlg::DrawChart() {
    // Heights up the side as Bonjean curves are drawn on paper, over the
    // profile of the ship: each curve reads its area or moment across at a
    // waterline.
    m_chart->Reset(kHeightTitle, CChartPane::KeyAlong::vertical);
    const bool moments = m_chartTable->currentIndex() == 1;
    const int axis = m_chart->AddValueAxis(moments ? kMomentsTitle : kAreasTitle);
    const std::vector<double>& values = moments ? m_tables.moments : m_tables.areas;
    const std::size_t nz = m_tables.waterlines.size();
    const std::size_t m = m_stationNames.size();
    if (values.size() != nz * m || m_stationOrder.size() != m)
        return;
    const int n = static_cast<int>(m), stride = m_chart->BeginFamily(n);
    // By x, the additional stations among the others: the legend and the
    // shades then follow the hull from end to end.
    for (std::size_t rank = 0; rank < m; ++rank) {
        if (rank % static_cast<std::size_t>(stride) != 0 && rank + 1 != m)
            continue;
        const std::size_t j = m_stationOrder[rank];
        CChartPane::CPoints points;
        points.reserve(nz);
        for (std::size_t k = 0; k < nz; ++k)
            points.emplace_back(m_tables.waterlines[k], values[k * m + j]);
        m_chart->AddCurve(m_stationNames[j], axis, points,
                          CChartPane::FamilyColour(static_cast<int>(rank), n));
    }
}

void CBonjeanDlg::ExtractSections() {
    if (IsRunning())
        return;
    CBonjeanInputs in;
    if (!ReadAndCheck(in))
        return;
    const QString path = AskDrawingFile(this);
    if (path.isEmpty())
        return;
    const std::string file = ToFilePath(path);
    const CShipModel& ship = *m_pModel;
    CProgressBarLink stations(m_stationProgress);
    try {
        RunStoppable(
            [&](const CStopRequest* stop) {
                WriteFileAtomically<CDxfFile>(
                    file,
                    [&](CDxfFile& drawing) {
                        drawing.WriteHead();
                        ExtractBonjeanSections(
                            ship, in, m_data,
                            [&](const CSectionContour& contour) { drawing.WriteSection(contour); },
                            {&stations, stop});
                        drawing.WriteTail();
                        ThrowIfStopped(stop);
                    },
                    {.kind = "drawing"});
            },
            {&stations});
    } catch (const std::exception& e) {
        QString text = kDrawingFailed;
        text += '\n';
        text += FailureMessage(e);
        AfxMessageBox(text, MB_OK | MB_ICONERROR);
    }
}

void CBonjeanDlg::OnGridMouseDown(int which, short button, int x, int y) {
    if (button != CMSFlexGrid::rightButton || IsRunning())
        return;
    m_clickedGrid = which;
    CMSFlexGrid& clicked = which == 1 ? *m_areas : *m_moments;
    if (TrackGridMenu(clicked, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(m_clickedGrid == 1 ? *m_areas : *m_moments);
}
