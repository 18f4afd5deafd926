#include "CTankTablesDlg.h"

#include "CChartPane.h"
#include "CMSFlexGrid.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "calc/NumberSeries.h"
#include "calc/TankTable.h"
#include "model/CShipModel.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"
#include "report/RecordText.h"
#include "ui/app/UiLayer.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <exception>

namespace {

// The digits of brelund-calc tanks by default, so that the grid is its
// table.
constexpr int kDigits = 6;
// More trims than a tank's table is ever read by, as the command line takes.
constexpr std::size_t kMaxTrims = 1000;

const char* const kSoundingsRefused =
    "Verificare il corretto inserimento dei dati relativi ai sondaggi: iniziale non maggiore del "
    "finale, passo maggiore di 0 e non più lungo dell'intervallo";
const char* const kTrimsRefused =
    "Verificare il corretto inserimento dei dati relativi agli assetti: iniziale non maggiore del "
    "finale, passo maggiore di 0 e non più lungo dell'intervallo, al più 1000 assetti";

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

bool IsEmpty(const QLineEdit* field) {
    return field->text().trimmed().isEmpty();
}

// FROM:TO:STEP as the command reads it: the same values, to the last bit
// (17 digits give each number back exactly); false when it is refused.
bool ReadSeries(QLineEdit* from, QLineEdit* to, QLineEdit* step, std::size_t limit,
                const char* refusal, std::vector<double>& out) {
    double a = 0, b = 0, c = 0;
    if (!GetFieldNumber(from, a) || !GetFieldNumber(to, b) || !GetFieldNumber(step, c))
        return false;
    if (!ParseNumberSeries("series", FormatC("%.17g:%.17g:%.17g", a, b, c), limit, out).empty()) {
        RefuseField(from, QString::fromUtf8(refusal));
        return false;
    }
    return true;
}

int ColumnOf(const CRecordTable& table, const char* key) {
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c].key == key)
            return static_cast<int>(c);
    return -1;
}

} // namespace

CTankTablesDlg::CTankTablesDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle("Tabelle casse");

    auto* tankBox = new QGroupBox("Cassa");
    auto* tankLayout = new QVBoxLayout(tankBox);
    m_tank = new QComboBox;
    m_tank->setObjectName("tank");
    tankLayout->addWidget(m_tank);
    m_pipe = Note("");
    m_pipe->setObjectName("pipe");
    tankLayout->addWidget(m_pipe);
    connect(m_tank, &QComboBox::currentIndexChanged, this, [this] { Clear(); });

    auto* soundings = new QGroupBox("Sondaggi");
    auto* soundingsLayout = new QGridLayout(soundings);
    m_from = AddField(soundingsLayout, 0, "Da", "[m]", "from");
    m_to = AddField(soundingsLayout, 1, "A", "[m]", "to");
    m_step = AddField(soundingsLayout, 2, "Passo", "[m]", "step");
    soundingsLayout->addWidget(Note("Vuoti: ogni 0.1 m (o un ventesimo dell'altezza della "
                                    "cassa, se maggiore) da vuota a piena"),
                               3, 0, 1, 3);

    auto* attitude = new QGroupBox("Assetto e liquido");
    auto* attitudeLayout = new QGridLayout(attitude);
    m_trimFrom = AddField(attitudeLayout, 0, "Assetto da", "°", "trimFrom");
    m_trimTo = AddField(attitudeLayout, 1, "Assetto a", "°", "trimTo");
    m_trimStep = AddField(attitudeLayout, 2, "Passo", "°", "trimStep");
    m_heel = AddField(attitudeLayout, 3, "Sbandamento", "°", "heel");
    m_density = AddField(attitudeLayout, 4, "Densità liquido", "[t/m^3]", "density");
    attitudeLayout->addWidget(Note("Assetto positivo con l'estremità verso +x che si alza; "
                                   "densità vuota: quella della cassa"),
                              5, 0, 1, 3);

    QHBoxLayout* buttons = RunStopCloseButtons(m_run, m_close);
    connect(m_run, &QPushButton::clicked, this, &CTankTablesDlg::Run);
    m_export = new QPushButton("Esporta CSV...");
    m_export->setObjectName("exportCsv");
    m_export->setAutoDefault(false);
    connect(m_export, &QPushButton::clicked, this, &CTankTablesDlg::ExportCsv);
    m_progress = NewProgressBar();

    auto* left = new QVBoxLayout;
    left->addWidget(tankBox);
    left->addWidget(soundings);
    left->addWidget(attitude);
    left->addStretch(1);
    left->addWidget(m_export);
    left->addLayout(buttons);
    left->addWidget(m_progress);

    m_grid = new CMSFlexGrid(1, 1, 1, 0);
    m_grid->setObjectName("grid");
    m_grid->setMinimumHeight(m_grid->verticalHeader()->defaultSectionSize() * 4);
    connect(m_grid, &CMSFlexGrid::MouseDown, this,
            [this](short button, short, int x, int y) { OnGridMouseDown(button, x, y); });

    m_chart = new CChartPane;
    m_chart->Reset("Sondaggio [m]", CChartPane::KeyAlong::horizontal);

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName("split");
    split->addWidget(m_grid);
    split->addWidget(m_chart);
    split->setChildrenCollapsible(false);
    split->setSizes({300, 400});

    auto* main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addWidget(split, 1);

    // Within a 1024 x 768 screen, with room for the window's frame.
    resize(1000, 700);
}

CTankTablesDlg::~CTankTablesDlg() = default;

bool CTankTablesDlg::OnInitDialog() {
    SetFieldNumber(m_trimFrom, 0);
    SetFieldNumber(m_trimTo, 0);
    SetFieldNumber(m_trimStep, 1);
    SetFieldNumber(m_heel, 0);
    if (m_pModel)
        for (int i = 1; i <= m_pModel->Tanks().GetCount(); ++i)
            m_tank->addItem(QString::fromStdString(m_pModel->Tanks().GetAt(i)->GetName()));
    Clear();
    return true;
}

void CTankTablesDlg::Clear() {
    m_table = CRecordTable();
    CRecordTable headers;
    headers.columns = TankTableColumns();
    m_grid->ShowTextGrid(RecordGrid(headers, kDigits));
    m_chart->Reset("Sondaggio [m]", CChartPane::KeyAlong::horizontal);
    const int index = m_tank->currentIndex();
    if (!m_pModel || index < 0 || index >= m_pModel->Tanks().GetCount()) {
        m_pipe->clear();
        return;
    }
    const std::string& name = m_pModel->Tanks().GetAt(index + 1)->GetName();
    for (const CSoundingPipe& p : m_pipes)
        if (p.tank == name) {
            m_pipe->setText(QString::fromUtf8("Sondata lungo il tubo di sonda da (%1, %2, %3) m "
                                              "in direzione (%4, %5, %6)")
                                .arg(Figure(p.x), Figure(p.y), Figure(p.z), Figure(p.dx),
                                     Figure(p.dy), Figure(p.dz)));
            return;
        }
    m_pipe->setText(QString::fromUtf8("Sondata sulla verticale per il baricentro del volume, "
                                      "dal punto più basso della cassa"));
}

bool CTankTablesDlg::ReadInputs(CTankTableInputs& in) {
    if (!GetFieldNumber(m_heel, in.heel))
        return false;
    if (!ReadSeries(m_trimFrom, m_trimTo, m_trimStep, kMaxTrims, kTrimsRefused, in.trims))
        return false;
    if (!IsEmpty(m_from) || !IsEmpty(m_to) || !IsEmpty(m_step))
        if (!ReadSeries(m_from, m_to, m_step, kMaxTankRows, kSoundingsRefused, in.soundings))
            return false;
    if (!IsEmpty(m_density)) {
        double density = 0;
        if (!GetFieldNumber(m_density, density))
            return false;
        in.density = density;
    }
    return true;
}

void CTankTablesDlg::RefuseProblem(const CCalcProblem& p) {
    const QString tank = QString::fromStdString(p.element);
    QLineEdit* field = p.input == "heel"        ? m_heel
                       : p.input == "trims"     ? m_trimFrom
                       : p.input == "density"   ? m_density
                       : p.input == "soundings" ? m_from
                                                : nullptr;
    QString text;
    switch (p.rule) {
    case CalcRule::notANumber:
        text = "Immettere un numero.";
        break;
    case CalcRule::notBelow:
        text = QString::fromUtf8("%1 deve essere compreso tra -90° e 90° (esclusi)")
                   .arg(p.input == "heel" ? "Lo sbandamento" : "L'assetto");
        break;
    case CalcRule::notAbove:
        text = QString::fromUtf8("La densità del liquido deve essere maggiore di 0");
        break;
    case CalcRule::tooMany:
        text =
            QString("La tabella avrebbe %1 righe, più di %2").arg(Figure(p.value), Figure(p.limit));
        break;
    case CalcRule::unknownElement:
        text = "La nave non ha casse";
        break;
    case CalcRule::noVolume:
        text = QString::fromUtf8("La cassa \"%1\" non racchiude alcun volume (non ha vertici, "
                                 "o le sue facce sono rivolte verso l'interno)")
                   .arg(tank);
        break;
    case CalcRule::negativeDensity:
        text = QString::fromUtf8("Il peso specifico della cassa \"%1\" (%2 kg/m^3) è negativo: "
                                 "immettere la densità del liquido")
                   .arg(tank, Figure(p.value));
        field = m_density;
        break;
    case CalcRule::alongSurface:
        text = QString::fromUtf8("Il tubo di sonda della cassa \"%1\" giace nella superficie "
                                 "libera a sbandamento %2° e assetto %3°: nessun livello si "
                                 "legge lungo di esso")
                   .arg(tank, Figure(p.limit), Figure(p.value));
        break;
    default:
        text = "Impossibile completare il calcolo.";
        break;
    }
    RefuseField(field, text);
}

void CTankTablesDlg::Run() {
    if (IsRunning() || !m_pModel)
        return;
    const int index = m_tank->currentIndex();
    if (index < 0 || index >= m_pModel->Tanks().GetCount()) {
        AfxMessageBox("La nave non ha casse", MB_OK | MB_ICONERROR);
        return;
    }
    CTankTableInputs in;
    if (!ReadInputs(in))
        return;
    in.tanks = {m_pModel->Tanks().GetAt(index + 1)->GetName()};
    in.pipes = m_pipes;
    if (const CCalcCheck problem = CheckTankTableInputs(in)) {
        RefuseProblem(*problem);
        return;
    }
    if (RefuseShipValuesThatAreNotNumbers(*m_pModel, false, true))
        return;
    if (!GoOnDespiteSurfaceFaults(*m_pModel, false, true))
        return;
    if (const CCalcCheck problem = CheckTankTableShip(*m_pModel, in)) {
        RefuseProblem(*problem);
        return;
    }

    const CShipModel& ship = *m_pModel;
    CRecordTable table;
    CProgressBarLink progress(m_progress);
    try {
        if (!RunStoppable(
                [&](const CStopRequest* stop) {
                    table = ComputeTankTable(ship, in, stop, &progress);
                },
                {&progress}))
            return;
    } catch (const std::exception& e) {
        AfxMessageBox(QString("Impossibile completare il calcolo.\n%1").arg(FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
        return;
    }
    m_table = std::move(table);
    m_grid->ShowTextGrid(RecordGrid(m_table, kDigits));
    // Numbers with an exponent are wider than the grid's columns.
    m_grid->resizeColumnsToContents();
    DrawChart();
}

void CTankTablesDlg::DrawChart() {
    m_chart->Reset("Sondaggio [m]", CChartPane::KeyAlong::horizontal);
    const int trim = ColumnOf(m_table, "trim_deg"), sounding = ColumnOf(m_table, "sounding_m");
    const int volume = ColumnOf(m_table, "volume_m3"), vcg = ColumnOf(m_table, "VCG_m");
    if (m_table.rows.empty() || trim < 0 || sounding < 0 || volume < 0 || vcg < 0)
        return;
    const int volumeAxis = m_chart->AddValueAxis(QString::fromUtf8("V [m³]"));
    const int vcgAxis = m_chart->AddValueAxis("VCG [m]");
    const auto at = [](const std::vector<CRecordCell>& row, int column) {
        const CRecordCell& cell = row[static_cast<std::size_t>(column)];
        return cell.IsNumber() ? cell.Number() : std::nan("");
    };
    // The rows run trim by trim: one pair of curves per trim.
    for (std::size_t first = 0; first < m_table.rows.size();) {
        const double t = at(m_table.rows[first], trim);
        CChartPane::CPoints volumes, centres;
        std::size_t k = first;
        for (; k < m_table.rows.size() && at(m_table.rows[k], trim) == t; ++k) {
            const double s = at(m_table.rows[k], sounding);
            volumes.emplace_back(s, at(m_table.rows[k], volume));
            centres.emplace_back(s, at(m_table.rows[k], vcg));
        }
        const QString suffix = QString::fromUtf8(", assetto %1°").arg(Figure(t));
        m_chart->AddCurve("V" + suffix, volumeAxis, volumes);
        m_chart->AddCurve("VCG" + suffix, vcgAxis, centres);
        first = k;
    }
}

void CTankTablesDlg::ExportCsv() {
    if (IsRunning())
        return;
    const char* const refusal = "Impossibile scrivere il file CSV.";
    if (m_table.rows.empty()) {
        AfxMessageBox(QString::fromUtf8("Calcolare prima la tabella."), MB_OK | MB_ICONERROR);
        return;
    }
    const QString path = AskOutputFile(this, "File CSV (*.csv);;Tutti i file (*)", ".csv",
                                       QString::fromUtf8(refusal));
    if (path.isEmpty())
        return;
    const std::string text = WriteRecords(m_table, RecordFormat::csv, kDigits);
    try {
        WriteFileAtomically(ToFilePath(path),
                            [&](CFile& file) { file.Write(text.data(), text.size()); },
                            {.kind = "table"});
    } catch (const std::exception& e) {
        AfxMessageBox(QString("%1\n%2").arg(QString::fromUtf8(refusal), FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
    }
}

void CTankTablesDlg::OnGridMouseDown(short button, int x, int y) {
    if (button != CMSFlexGrid::rightButton || IsRunning())
        return;
    if (TrackGridMenu(*m_grid, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(*m_grid);
}
