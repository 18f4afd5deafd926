#include "CSubmergedTrimDlg.h"

#include "CalculationRun.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "calc/SubmergedTrim.h"
#include "geometry/Scalar.h"
#include "platform/NumberText.h"
#include "ui/app/UiLayer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

// The dialog's message for what stops the search.
QString Refusal(const CCalcProblem& p) {
    switch (p.rule) {
    case CalcRule::notANumber:
        return "Immettere un numero.";
    case CalcRule::noVolume:
        return "Nessun volume abilitato nel modello: abilitare un elemento scafo o un "
               "compartimento";
    case CalcRule::notAtLeast:
        return "Il dislocamento a meno dei carichi liquidi non può essere negativo";
    case CalcRule::noWeight:
        return "Il corpo non ha peso: inserire il dislocamento a meno dei carichi liquidi o "
               "caricare una cassa abilitata";
    default:
        return "La ricerca dell'assetto non converge: il braccio non rientra nella precisione "
               "richiesta";
    }
}

QString Tonnes(double value) {
    return QString::fromStdString(FormatC("%.6g", value));
}

const char* const kRadians = "rad";
const char* const kDegrees = "°";

QLineEdit* NewField(const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance("-0000.000000") + 14);
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance("-00000.00000000") + 14);
    return field;
}

QLabel* Caption(const char* text, QLineEdit* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

} // namespace

CSubmergedTrimDlg::CSubmergedTrimDlg(QWidget* parent) : CCalculationDlg(parent) {
    setWindowTitle("Assetto corpo totalmente immerso");

    m_x = NewField("x");
    m_y = NewField("y");
    m_z = NewField("z");
    m_weight = NewField("weight");
    m_tolerance = NewField("tolerance");
    m_heel = NewField("heel");
    m_trim = NewField("trim");

    auto* centre = new QGroupBox("Baricentro dei pesi del battello privo dei carichi liquidi");
    auto* centreLayout = new QHBoxLayout(centre);
    for (auto [text, field] : {std::pair{"x[m]", m_x}, {"y[m]", m_y}, {"z[m]", m_z}}) {
        centreLayout->addWidget(Caption(text, field));
        centreLayout->addWidget(field);
        centreLayout->addSpacing(12);
    }
    centreLayout->addStretch(1);

    auto* loads = new QGridLayout;
    loads->addWidget(Caption("Dislocamento a meno dei carichi liquidi [t]", m_weight), 0, 0);
    loads->addWidget(m_weight, 0, 1);
    loads->addWidget(Caption("Precisione sulla stima dei bracci di stabilità [m]", m_tolerance), 1,
                     0);
    loads->addWidget(m_tolerance, 1, 1);
    loads->addWidget(Caption("Teta x", m_heel), 2, 0);
    loads->addWidget(m_heel, 2, 1);
    m_heelUnit = new QLabel(kRadians);
    m_heelUnit->setObjectName("heelUnit");
    loads->addWidget(m_heelUnit, 2, 2);
    loads->addWidget(Caption("Teta y", m_trim), 3, 0);
    loads->addWidget(m_trim, 3, 1);
    m_trimUnit = new QLabel(kRadians);
    m_trimUnit->setObjectName("trimUnit");
    loads->addWidget(m_trimUnit, 3, 2);
    loads->addWidget(ExactRuleBox(), 4, 0, 1, 3);
    loads->setColumnMinimumWidth(2, m_trimUnit->fontMetrics().horizontalAdvance("rad") + 4);
    loads->setColumnStretch(3, 1);

    auto* note = new QLabel("Il calcolo dell'assetto tiene conto del movimento dei carichi "
                            "liquidi contenuti nelle casse");
    note->setObjectName("note");
    note->setWordWrap(false);

    m_run = new QPushButton("Calcola l'assetto");
    m_run->setObjectName("run");
    m_run->setDefault(true);
    m_close = new QPushButton("Chiudi");
    m_close->setObjectName("close");
    m_close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_run);
    buttons->addWidget(StopButton());
    buttons->addWidget(m_close);
    SetCloseButton(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(centre);
    layout->addLayout(loads);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_run, &QPushButton::clicked, this, &CSubmergedTrimDlg::Run);
    connect(m_close, &QPushButton::clicked, this, &CSubmergedTrimDlg::reject);
}

CSubmergedTrimDlg::~CSubmergedTrimDlg() = default;

bool CSubmergedTrimDlg::OnInitDialog() {
    const CSubmergedTrimInputs in;
    SetFieldNumber(m_x, in.x);
    SetFieldNumber(m_y, in.y);
    SetFieldNumber(m_z, in.z);
    SetFieldNumber(m_weight, in.weight);
    // The search needs a lever it can reach: 0 it never does.
    SetFieldNumber(m_tolerance, kSubmergedTrimTolerance);
    SetFieldNumber(m_heel, in.heel);
    SetFieldNumber(m_trim, in.trim);
    m_degrees = false;
    m_heelUnit->setText(kRadians);
    m_trimUnit->setText(kRadians);
    return true;
}

void CSubmergedTrimDlg::Run() {
    if (IsRunning() || !m_pModel)
        return;
    CSubmergedTrimInputs in;
    if (!GetFieldNumber(m_x, in.x) || !GetFieldNumber(m_y, in.y) || !GetFieldNumber(m_z, in.z) ||
        !GetFieldNumber(m_weight, in.weight) || !GetFieldNumber(m_tolerance, in.tolerance) ||
        !GetFieldNumber(m_heel, in.heel) || !GetFieldNumber(m_trim, in.trim))
        return;
    in.rule = Rule();
    // After a computation the angles are shown, and so typed, in degrees;
    // the search works in radians.
    if (m_degrees) {
        in.heel = DegToRad(in.heel);
        in.trim = DegToRad(in.trim);
    }

    if (RefuseShipValuesThatAreNotNumbers(*m_pModel, true, true))
        return;
    if (!GoOnDespiteSurfaceFaults(*m_pModel, true, true))
        return;
    const CShipModel& ship = *m_pModel;
    if (const CCalcCheck problem = CheckSubmergedTrim(ship, in)) {
        AfxMessageBox(Refusal(*problem), MB_OK | MB_ICONWARNING);
        return;
    }
    CSubmergedTrim rest;
    try {
        if (!RunStoppable(
                [&](const CStopRequest* stop) {
                    rest = ComputeSubmergedTrim(ship, in, {nullptr, stop});
                },
                {}))
            return;
    } catch (const CCalcFailure& e) {
        AfxMessageBox(Refusal(e.Problem()), MB_OK | MB_ICONWARNING);
        return;
    } catch (const std::exception& e) {
        QString text = "Impossibile completare il calcolo.\n";
        text += FailureMessage(e);
        AfxMessageBox(text, MB_OK | MB_ICONERROR);
        return;
    }
    in.heel = rest.heel;
    in.trim = rest.trim;
    SetFieldNumber(m_heel, in.heel);
    SetFieldNumber(m_trim, in.trim);
    m_degrees = true;
    m_heelUnit->setText(kDegrees);
    m_trimUnit->setText(kDegrees);
    if (FloatsWhollySubmerged(rest, in.tolerance)) {
        AfxMessageBox("Calcolo eseguito", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The angles are those at which the moments balance; the weights say
    // whether the body can hang there at all.
    AfxMessageBox(QString("Calcolo eseguito.\nAttenzione: il peso del corpo con i carichi liquidi "
                          "(%1 t) differisce dal peso dell'acqua spostata dal corpo interamente "
                          "immerso (%2 t): a questo peso il corpo non galleggerebbe "
                          "totalmente immerso.")
                      .arg(Tonnes(rest.weight), Tonnes(rest.displaced)),
                  MB_OK | MB_ICONWARNING);
}
