#include "CUprightHullsDlg.h"

#include "CMSFlexGrid.h"
#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "GridMenu.h"
#include "calc/UprightTable.h"
#include "io/CDxfFile.h"
#include "platform/AtomicFile.h"
#include "platform/CFileException.h"
#include "report/UprightText.h"
#include "ui/app/UiLayer.h"

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
#include <QVBoxLayout>

#include <string>

namespace {

const char* const kFloodingLevel = "<--Flooding level";
// Whatever is wrong with the heights, the table refuses them in one message.
const char* const kHeightsRefused =
    "Verificare il corretto inserimento dei dati relativi a zmin e zmax";

QLineEdit* AddField(QGridLayout* layout, int row, int col, const char* label, const char* unit,
                    const char* name, bool readOnly) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(readOnly);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance("-0000.0000") + 14);
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance("-00000.000000") + 14);
    field->setAlignment(Qt::AlignRight);
    if (readOnly)
        field->setFocusPolicy(Qt::ClickFocus);
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    layout->addWidget(caption, row, col, Qt::AlignRight);
    layout->addWidget(field, row, col + 1);
    layout->addWidget(new QLabel(unit), row, col + 2);
    return field;
}

} // namespace

CUprightHullsDlg::CUprightHullsDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle("Carene dritte");

    // The body wholly under water, shown and not edited.
    auto* body = new QGroupBox("Proprietà corpo immerso");
    auto* bodyLayout = new QGridLayout(body);
    m_volume = AddField(bodyLayout, 0, 0, "Volume", "[m^3]", "volume", true);
    m_xb = AddField(bodyLayout, 0, 3, "Xb", "[m]", "xb", true);
    m_yb = AddField(bodyLayout, 0, 6, "Yb", "[m]", "yb", true);
    m_zb = AddField(bodyLayout, 0, 9, "Zb", "[m]", "zb", true);
    bodyLayout->setColumnStretch(12, 1);

    m_drawing = new QCheckBox("Disegno area di galleggiamento (dxf)");
    m_drawing->setObjectName("dxf");
    m_run = new QPushButton("Elabora tabella");
    m_run->setObjectName("run");
    m_run->setDefault(true);
    m_close = new QPushButton("Chiudi");
    m_close->setObjectName("close");
    m_close->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(StopButton());
    buttons->addWidget(m_close);
    buttons->addStretch(1);
    SetCloseButton(m_close);

    auto* top = new QHBoxLayout;
    top->addWidget(body, 1);
    top->addLayout(buttons);

    // The inputs, in a row above the grid.
    auto* inputs = new QGroupBox("Dati carena");
    auto* inputsLayout = new QGridLayout(inputs);
    m_zmin = AddField(inputsLayout, 0, 0, "Zmin", "[m]", "zmin", false);
    m_zmax = AddField(inputsLayout, 0, 3, "Zmax", "[m]", "zmax", false);
    m_dz = AddField(inputsLayout, 0, 6, "dz", "[m]", "dz", false);
    m_heel = AddField(inputsLayout, 0, 9, "Teta x (Trasv)", "°", "heel", false);
    m_trim = AddField(inputsLayout, 0, 12, "Teta y (Longitud)", "°", "trim", false);
    inputsLayout->addWidget(m_drawing, 1, 0, 1, 7);
    inputsLayout->addWidget(ExactRuleBox(), 1, 7, 1, 8);
    inputsLayout->setColumnStretch(15, 1);

    m_grid = new CMSFlexGrid(5, kUprightColumns, 1, 0);
    m_grid->setObjectName("grid");
    m_grid->setMinimumHeight(m_grid->verticalHeader()->defaultSectionSize() * 8);
    connect(m_grid, &CMSFlexGrid::MouseDown, this, &CUprightHullsDlg::OnGridMouseDown);

    // How far the waterplanes have risen: a vertical bar, named at both ends.
    m_progress = new QProgressBar;
    m_progress->setObjectName("progress");
    m_progress->setOrientation(Qt::Vertical);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    auto* progressColumn = new QGridLayout;
    progressColumn->addWidget(m_progress, 0, 0, 3, 1);
    auto* upper = new QLabel(kFloodingLevel);
    upper->setObjectName("progressTop");
    auto* lower = new QLabel(kFloodingLevel);
    lower->setObjectName("progressBottom");
    progressColumn->addWidget(upper, 0, 1, Qt::AlignTop);
    progressColumn->addWidget(lower, 2, 1, Qt::AlignBottom);
    progressColumn->setRowStretch(1, 1);

    auto* table = new QHBoxLayout;
    table->addWidget(m_grid, 1);
    table->addLayout(progressColumn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(inputs);
    layout->addLayout(table, 1);

    connect(m_run, &QPushButton::clicked, this, &CUprightHullsDlg::Run);
    connect(m_close, &QPushButton::clicked, this, &CUprightHullsDlg::reject);

    const int gridWidth = m_grid->horizontalHeader()->defaultSectionSize() * kUprightColumns;
    resize(gridWidth + 200, 620);
}

CUprightHullsDlg::~CUprightHullsDlg() = default;

bool CUprightHullsDlg::OnInitDialog() {
    m_progress->setToolTip("Livello di riempimento-progressione dei calcoli");
    const CWaitCursor wait;
    CUprightInputs in;
    CImmersedBody body;
    if (m_pModel) {
        OpenUprightTable(*m_pModel, in, body);
        CTextGrid headers(1, kUprightColumns);
        WriteUprightHeaders(headers);
        for (int k = 0; k < kUprightColumns; ++k)
            m_grid->SetTextArray(k, QString::fromStdString(headers.GetText(0, k)));
    }
    SetFieldNumber(m_dz, in.dz);
    SetFieldNumber(m_zmin, in.zmin);
    SetFieldNumber(m_zmax, in.zmax);
    SetFieldNumber(m_heel, in.heel);
    SetFieldNumber(m_trim, in.trim);
    ShowBody(body);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    return true;
}

void CUprightHullsDlg::ShowBody(const CImmersedBody& body) {
    SetFieldNumber(m_volume, body.volume);
    SetFieldNumber(m_xb, body.xb);
    SetFieldNumber(m_yb, body.yb);
    SetFieldNumber(m_zb, body.zb);
}

void CUprightHullsDlg::OnRuleChosen() {
    // The body wholly immersed by the rule: the exact one counts the
    // compartments at their permeability.
    if (m_pModel)
        ShowBody(ImmersedBody(*m_pModel, CHydroMethod::For(Rule())));
}

bool CUprightHullsDlg::ReadInputs(CUprightInputs& in) {
    in.rule = Rule();
    return GetFieldNumber(m_zmin, in.zmin) && GetFieldNumber(m_zmax, in.zmax) &&
           GetFieldNumber(m_dz, in.dz) && GetFieldNumber(m_heel, in.heel) &&
           GetFieldNumber(m_trim, in.trim);
}

void CUprightHullsDlg::Run() {
    if (IsRunning() || !m_pModel)
        return;
    CUprightInputs in;
    if (!ReadInputs(in))
        return;
    if (CheckUprightInputs(in)) {
        AfxMessageBox(kHeightsRefused, MB_OK | MB_ICONWARNING);
        return;
    }
    if (RefuseShipValuesThatAreNotNumbers(*m_pModel, true, false))
        return;
    if (!GoOnDespiteSurfaceFaults(*m_pModel, true, false))
        return;
    // A cancelled file dialog leaves the box ticked: the table is computed
    // without the drawing, and the next run asks again.
    const QString drawingPath = m_drawing->isChecked() ? AskDrawingFile(this) : QString();

    const CShipModel& ship = *m_pModel;
    CUprightTable table;
    CProgressBarLink progress(m_progress);
    QString drawingFailure;
    try {
        const bool completed = RunStoppable(
            [&](const CStopRequest* stop) {
                if (!drawingPath.isEmpty()) {
                    // The drawing is written whole or not at all, and not
                    // for a stopped run; a drawing that cannot be written
                    // does not cost the table.
                    try {
                        WriteFileAtomically<CDxfFile>(
                            ToFilePath(drawingPath),
                            [&](CDxfFile& drawing) {
                                drawing.WriteHead();
                                table = ComputeUprightTable(
                                    ship, in, {&progress, stop},
                                    [&](double z, const std::vector<CSegment>& waterline) {
                                        DrawWaterline(drawing, z, waterline);
                                    });
                                drawing.WriteTail();
                                ThrowIfStopped(stop);
                            },
                            {.kind = "drawing"});
                        return;
                    } catch (const CFileException& e) {
                        drawingFailure = FileErrorMessage(e);
                    }
                }
                table = ComputeUprightTable(ship, in, {&progress, stop});
            },
            {&progress});
        if (!completed)
            return;
    } catch (const std::exception& e) {
        QString text = "Impossibile completare il calcolo.\n";
        text += FailureMessage(e);
        AfxMessageBox(text, MB_OK | MB_ICONERROR);
        return;
    }
    m_grid->ShowTextGrid(UprightGrid(table));
    if (!drawingFailure.isEmpty()) {
        QString text = "Impossibile scrivere il disegno dxf; la tabella è stata calcolata "
                       "senza disegno.\n";
        text += drawingFailure;
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    }
}

void CUprightHullsDlg::OnGridMouseDown(short button, short, int x, int y) {
    if (button != CMSFlexGrid::rightButton)
        return;
    // "&Incolla" is in the menu but has nothing to do here.
    if (TrackGridMenu(*m_grid, x, y) == GridMenuChoice::copyTable)
        CopyGridToClipboard(*m_grid);
}
