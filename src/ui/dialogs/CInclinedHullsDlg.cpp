#include "CInclinedHullsDlg.h"

#include "CChartPane.h"
#include "CMSFlexGrid.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "calc/UprightTable.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"
#include "report/InclinedText.h"
#include "ui/app/UiLayer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <exception>
#include <vector>

namespace {

const char* const kDrawingFailed = "Impossibile scrivere il disegno DXF.";
const char* const kInclinedCorrected =
    "Alcuni dati sono stati corretti automaticamente \n premere ok per continuare";
// Cells without a value named one by one in the message after a run.
constexpr std::size_t kNotesShown = 20;

QLineEdit* AddField(QGridLayout* layout, int row, const QString& label, const char* name,
                    bool readOnly = false) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(readOnly);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance("-0000000.000") + 16);
    field->setAlignment(Qt::AlignRight);
    auto* text = new QLabel(label);
    text->setBuddy(field);
    layout->addWidget(text, row, 0);
    layout->addWidget(field, row, 1);
    layout->setColumnStretch(0, 1);
    return field;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Why a cell of the last table shows "-", as brelund-calc warns of it in
// English; the numbers in the C conventions, as the grid shows them.
QString DescribeNote(const CInclinedCellNote& note) {
    const char* why = "";
    switch (note.fault) {
    case CInclinedFault::volumeOutOfRange:
        why = "il volume non è compreso nel volume totale della nave";
        break;
    case CInclinedFault::notConverged:
        why = "la ricerca non converge";
        break;
    case CInclinedFault::noValue:
        why = "il braccio non è un numero";
        break;
    }
    return QString::fromStdString(
               FormatC("La cella (%d, %d), V = %.10g m^3, Teta = %.10g°, mostra \"-\": ", note.row,
                       note.col, note.volume, note.angle)) +
           QString::fromUtf8(why);
}

QString DescribeNotes(const std::vector<CInclinedCellNote>& notes) {
    QString text;
    for (std::size_t k = 0; k < notes.size() && k < kNotesShown; ++k) {
        if (k)
            text += '\n';
        text += DescribeNote(notes[k]);
    }
    if (notes.size() > kNotesShown)
        text += QString("\nAltre %1 celle mostrano \"-\"").arg(notes.size() - kNotesShown);
    return text;
}

} // namespace

CInclinedHullsDlg::CInclinedHullsDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle("Carene Inclinate");
    BuildLayout();
}

CInclinedHullsDlg::~CInclinedHullsDlg() = default;

void CInclinedHullsDlg::BuildLayout() {
    auto* gravity = new QGroupBox;
    auto* gravityLayout = new QGridLayout(gravity);
    m_xg = AddField(gravityLayout, 0, "Xg[m]", "xg");
    m_yg = AddField(gravityLayout, 1, "Yg[m]", "yg");
    m_zg = AddField(gravityLayout, 2, "Zg[m]", "zg");
    auto* gzOnly = new QLabel("Solo per il calcolo dei GZ");
    gzOnly->setObjectName("gzOnlyNote");
    gravityLayout->addWidget(gzOnly, 3, 0, 1, 2);

    auto* ranges = new QGroupBox;
    auto* rangeLayout = new QGridLayout(ranges);
    m_precision = AddField(rangeLayout, 0, "Precisione nella stima dei volumi [m^3]", "precision");
    m_vmax = AddField(rangeLayout, 1, "Volume massimo[m^3]", "vmax", true);
    m_vf = AddField(rangeLayout, 2, "Volume finale[m^3]", "vf");
    m_vi = AddField(rangeLayout, 3, "Volume iniziale[m^3]", "vi");
    m_dv = AddField(rangeLayout, 4, "Incremento volume [m^3]", "dv");
    m_ai = AddField(rangeLayout, 5, "Angolo iniziale [ ° ]", "ai");
    m_af = AddField(rangeLayout, 6, "Angolo finale [ ° ]", "af");
    m_da = AddField(rangeLayout, 7, "Incremento angoli [ ° ]", "da");

    auto* kinds = new QGroupBox("Tipologia di calcolo");
    auto* kindLayout = new QVBoxLayout(kinds);
    m_kindKZ = new QRadioButton("Even keel (KZ)");
    m_kindKZ->setObjectName("kindKZ");
    m_kindXB = new QRadioButton("XB == XG  (GZ)");
    m_kindXB->setObjectName("kindXB");
    m_kindXB->setEnabled(false);
    m_kindGZ = new QRadioButton("Free to trim (GZ)");
    m_kindGZ->setObjectName("kindGZ");
    auto* kindGroup = new QButtonGroup(this);
    kindGroup->addButton(m_kindKZ, EvenKeelKZ);
    kindGroup->addButton(m_kindXB, XBEqualsXG);
    kindGroup->addButton(m_kindGZ, FreeToTrimGZ);
    m_kindKZ->setChecked(true);
    for (QRadioButton* b : {m_kindKZ, m_kindXB, m_kindGZ})
        kindLayout->addWidget(b);
    connect(kindGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            OnKindChosen(static_cast<CalculationKind>(id));
    });

    m_trajectories = new QCheckBox("Memorizza traiettorie del baricentro \n (centro di carena)");
    m_trajectories->setObjectName("trajectories");

    m_run = new QPushButton("Calcola valori tabella");
    m_run->setObjectName("run");
    m_run->setAutoDefault(false);
    m_close = new QPushButton("Chiudi");
    m_close->setObjectName("close");
    m_close->setAutoDefault(false);
    connect(m_run, &QPushButton::clicked, this, &CInclinedHullsDlg::Run);
    connect(m_close, &QPushButton::clicked, this, &CInclinedHullsDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(StopButton());
    buttons->addWidget(m_close);
    SetCloseButton(m_close);

    auto* left = new QVBoxLayout;
    left->addWidget(gravity);
    left->addWidget(ranges);
    left->addWidget(kinds);
    left->addWidget(m_trajectories);
    left->addWidget(ExactRuleBox());
    left->addStretch(1);
    left->addLayout(buttons);

    m_grid = new CMSFlexGrid(kInclinedGridRows, kInclinedGridCols, 2, 2);
    m_grid->setObjectName("grid");
    // Room for the volumes and five angles before the grid scrolls, and for
    // three volumes under the headers: the chart below takes the rest.
    m_grid->setMinimumSize(m_grid->horizontalHeader()->defaultSectionSize() * 7 + 24,
                           m_grid->verticalHeader()->defaultSectionSize() * 5 + 8);
    connect(m_grid, &CMSFlexGrid::MouseDown, this, &CInclinedHullsDlg::OnGridMouseDown);
    // Upper bar: the volumes of the angle in hand; lower bar: the angles.
    m_volumeProgress = new QProgressBar;
    m_volumeProgress->setObjectName("volumeProgress");
    m_angleProgress = new QProgressBar;
    m_angleProgress->setObjectName("angleProgress");
    for (QProgressBar* bar : {m_volumeProgress, m_angleProgress}) {
        bar->setOrientation(Qt::Horizontal);
        bar->setRange(0, 1);
        bar->setValue(0);
        bar->setTextVisible(false);
    }
    m_chart = new CChartPane;
    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName("split");
    split->addWidget(m_grid);
    split->addWidget(m_chart);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    split->setSizes({200, 400});
    auto* right = new QVBoxLayout;
    right->addWidget(split, 1);
    right->addWidget(m_volumeProgress);
    right->addWidget(m_angleProgress);

    auto* main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addLayout(right, 1);

    ShowFields();
    DrawChart(CInclinedTable(), m_inputs.kind);
    // Within a 1024 x 768 screen, with room for the window's frame.
    resize(1000, 700);
}

bool CInclinedHullsDlg::OnInitDialog() {
    CTextGrid headers;
    WriteInclinedHeaders(headers);
    m_grid->ShowTextGrid(headers);
    const CWaitCursor wait;
    if (m_pModel) {
        // The kind and the trajectory flag are not among the values the
        // opening proposes.
        const CalculationKind kind = m_inputs.kind;
        const bool trajectories = m_inputs.trajectories;
        OpenInclinedTable(*m_pModel, m_inputs);
        m_inputs.kind = kind;
        m_inputs.trajectories = trajectories;
    }
    ShowFields();
    return true;
}

bool CInclinedHullsDlg::ReadFields(CInclinedInputs& in) {
    // The maximum volume is the model's, not an input: it stays as computed.
    const struct {
        QLineEdit* field;
        double* value;
    } fields[] = {{m_xg, &in.xg}, {m_yg, &in.yg}, {m_zg, &in.zg}, {m_precision, &in.precision},
                  {m_vf, &in.vf}, {m_vi, &in.vi}, {m_dv, &in.dv}, {m_ai, &in.ai},
                  {m_af, &in.af}, {m_da, &in.da}};
    for (const auto& f : fields)
        if (!GetFieldNumber(f.field, *f.value))
            return false;
    in.kind = m_kindGZ->isChecked()   ? FreeToTrimGZ
              : m_kindXB->isChecked() ? XBEqualsXG
                                      : EvenKeelKZ;
    in.trajectories = m_trajectories->isChecked();
    in.rule = Rule();
    return true;
}

void CInclinedHullsDlg::ShowFields() {
    const struct {
        QLineEdit* field;
        double value;
    } fields[] = {{m_xg, m_inputs.xg},     {m_yg, m_inputs.yg},
                  {m_zg, m_inputs.zg},     {m_precision, m_inputs.precision},
                  {m_vmax, m_inputs.vmax}, {m_vf, m_inputs.vf},
                  {m_vi, m_inputs.vi},     {m_dv, m_inputs.dv},
                  {m_ai, m_inputs.ai},     {m_af, m_inputs.af},
                  {m_da, m_inputs.da}};
    for (const auto& f : fields)
        SetFieldNumber(f.field, f.value);
    (m_inputs.kind == FreeToTrimGZ ? m_kindGZ
     : m_inputs.kind == XBEqualsXG ? m_kindXB
                                   : m_kindKZ)
        ->setChecked(true);
    m_trajectories->setChecked(m_inputs.trajectories);
}

void CInclinedHullsDlg::OnRuleChosen() {
    // "Volume massimo" by the rule (the exact one counts the compartments at
    // their permeability); what is typed stays as typed.
    m_inputs.rule = Rule();
    if (!m_pModel)
        return;
    m_inputs.vmax = ImmersedBody(*m_pModel, CHydroMethod::For(m_inputs.rule)).volume;
    SetFieldNumber(m_vmax, m_inputs.vmax);
}

void CInclinedHullsDlg::OnKindChosen(CalculationKind kind) {
    // Only the kind changes here: what is typed in the fields stays as typed
    // until the next run reads it.
    m_inputs.kind = kind;
    CTextGrid header(2, 2);
    SetInclinedLeverHeader(header, kind);
    m_grid->SetTextMatrix(1, 1, QString::fromStdString(header.GetText(1, 1)));
    // An empty chart names the axes of the kind chosen, as the grid's
    // header does; a chart with curves keeps those of the table it draws.
    if (m_chart->CurveCount() == 0)
        DrawChart(CInclinedTable(), kind);
}

void CInclinedHullsDlg::DrawChart(const CInclinedTable& table, CalculationKind kind) {
    // The axes are titled as the grid's headers.
    CTextGrid headers;
    WriteInclinedHeaders(headers);
    SetInclinedLeverHeader(headers, kind);
    const QString angleTitle = Text(headers.GetText(0, 1));
    const QString volumeTitle = Text(headers.GetText(1, 0));
    // Cross curves (KZ) are read at the displacement of a loading: the
    // volume runs across and each heel is a curve. Righting levers (GZ)
    // are read at the heel: each volume is a curve of the heel.
    const bool cross = kind == EvenKeelKZ;
    m_chart->Reset(cross ? volumeTitle : angleTitle, CChartPane::KeyAlong::horizontal);
    const int axis = m_chart->AddValueAxis(Text(headers.GetText(1, 1)));
    const std::size_t nA = table.angles.size(), nV = table.volumes.size();
    const std::size_t curves = cross ? nA : nV, points = cross ? nV : nA;
    const int n = static_cast<int>(curves), stride = m_chart->BeginFamily(n);
    for (std::size_t c = 0; c < curves; ++c) {
        if (c % static_cast<std::size_t>(stride) != 0 && c + 1 != curves)
            continue;
        CChartPane::CPoints line;
        for (std::size_t p = 0; p < points; ++p) {
            const std::size_t angle = cross ? c : p, volume = cross ? p : c;
            // A cell without a lever ("-") breaks no curve: it runs between
            // its neighbours.
            if (const CInclinedCell& cell = table.At(angle, volume); cell.computed && cell.ok)
                line.emplace_back(cross ? table.volumes[volume] : table.angles[angle], cell.lever);
        }
        const QString name = cross ? Text(InclinedAngleText(table.angles[c])) + "°"
                                   : Text(FormatC("V = %g m^3", table.volumes[c]));
        m_chart->AddCurve(name, axis, line, CChartPane::FamilyColour(static_cast<int>(c), n));
    }
}

void CInclinedHullsDlg::OnGridMouseDown(short button, short, int x, int y) {
    if (button != CMSFlexGrid::rightButton || IsRunning())
        return;
    if (TrackGridMenu(*m_grid, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(*m_grid);
}

void CInclinedHullsDlg::Run() {
    if (IsRunning())
        return;
    CInclinedInputs in = m_inputs;
    if (!ReadFields(in))
        return;
    m_inputs = in;
    if (CorrectInclinedInputs(m_inputs))
        AfxMessageBox(QString::fromUtf8(kInclinedCorrected), MB_OK | MB_ICONINFORMATION);
    ShowFields();
    if (const CCalcCheck problem = CheckInclinedInputs(m_inputs)) {
        // A model without volume: there is nothing to float.
        if (problem->rule == CalcRule::noVolume)
            return;
        AfxMessageBox(problem->rule == CalcRule::notANumber
                          ? QString("Immettere un numero.")
                          : QString::fromUtf8("La tabella avrebbe più di un milione di celle di "
                                              "volumi e angoli: scegliere incrementi maggiori"),
                      MB_OK | MB_ICONWARNING);
        return;
    }
    if (!m_pModel)
        return;
    if (RefuseShipValuesThatAreNotNumbers(*m_pModel, true, m_inputs.kind == FreeToTrimGZ))
        return;
    if (!GoOnDespiteSurfaceFaults(*m_pModel, true, m_inputs.kind == FreeToTrimGZ))
        return;

    const std::string drawingPath =
        m_inputs.trajectories ? ToFilePath(AskDrawingFile(this)) : std::string();
    const CShipModel& ship = *m_pModel;
    const CInclinedInputs inputs = m_inputs;
    CInclinedTable result;
    CProgressBarLink volumes(m_volumeProgress), angles(m_angleProgress);
    try {
        if (!RunStoppable(
                [&](const CStopRequest* stop) {
                    result = ComputeInclinedTable(ship, inputs, {&volumes, stop, &angles});
                },
                {&volumes, &angles}))
            return;
    } catch (const std::exception& e) {
        AfxMessageBox(QString("Impossibile completare il calcolo.\n%1").arg(FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
        return;
    }
    CTextGrid table = m_grid->ToTextGrid();
    WriteInclinedTable(table, result);
    m_grid->ShowTextGrid(table);
    DrawChart(result, inputs.kind);
    // The drawing is lost, not the table, when the file cannot be written.
    if (!drawingPath.empty()) {
        try {
            WriteFileAtomically<CDxfFile>(drawingPath,
                                          [&](CDxfFile& drawing) {
                                              drawing.WriteHead();
                                              DrawTrajectories(drawing, result);
                                              drawing.WriteTail();
                                          },
                                          {.kind = "drawing"});
        } catch (const std::exception& e) {
            QString text = kDrawingFailed;
            text += '\n';
            text += FailureMessage(e);
            AfxMessageBox(text, MB_OK | MB_ICONERROR);
        }
    }
    if (const std::vector<CInclinedCellNote> notes = InclinedNotes(result); !notes.empty())
        AfxMessageBox(DescribeNotes(notes), MB_OK | MB_ICONWARNING);
}
