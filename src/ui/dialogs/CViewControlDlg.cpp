#include "CViewControlDlg.h"

#include "FieldExchange.h"
#include "geometry/Scalar.h"
#include "ui/view/COpenGLView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The step of the "+" and "-" buttons, degrees.
constexpr double kAngleStep = 5;
// The zoom of "Zoom In" and "Zoom Out" and the pans: a tenth.
constexpr double kZoomStep = 0.1;
constexpr double kPanStep = 0.1;

QLineEdit* NumberBox(const char* name) {
    return NewNumberBox(name, "-0000.00");
}

// An angle to a hundredth of a degree, without trailing zeros: "-59.97",
// "355".
QString AngleText(double degrees) {
    const double rounded = RoundTo(degrees, 2);
    QString text = QString::number(rounded == 0 ? 0.0 : rounded, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// The box widened to show its whole text, never narrower than it was made.
void FitBoxToText(QLineEdit* box) {
    if (!box->property("madeWidth").isValid())
        box->setProperty("madeWidth", box->width());
    const int made = box->property("madeWidth").toInt();
    box->setFixedWidth(std::max(made, box->fontMetrics().horizontalAdvance(box->text()) + 14));
}

void SetAngleBox(QLineEdit* box, double degrees) {
    box->setText(AngleText(degrees));
    FitBoxToText(box);
}

// An angle box left as it was shown keeps the angle's every digit, so that
// applying it changes nothing; an edited one is read as typed.
bool GetAngleBox(QLineEdit* box, double& degrees) {
    if (box->text() == AngleText(degrees) && std::isfinite(degrees))
        return true;
    return GetFieldNumber(box, degrees);
}

QPushButton* Button(const char* text, const char* name, int width = 0) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    if (width > 0)
        button->setFixedWidth(width);
    return button;
}

} // namespace

CViewControlDlg::CViewControlDlg(COpenGLView* view, QWidget* parent)
    : QDialog(parent), m_pView(view) {
    setWindowTitle("Controllo visualizzazione");

    // The angles in a row, each box followed by "+" above "-".
    auto* angles = new QGridLayout;
    const struct {
        const char* label;
        const char* name;
        QLineEdit** box;
    } angleBoxes[] = {{"X-Axis", "angleX", &m_angle_x_box},
                      {"Y-Axis", "angleY", &m_angle_y_box},
                      {"Z-Axis", "angleZ", &m_angle_z_box}};
    const char* const axisNames[] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        const auto& a = angleBoxes[axis];
        *a.box = NumberBox(a.name);
        const int column = axis * 2;
        angles->addWidget(new QLabel(a.label), 0, column, 1, 2);
        angles->addWidget(*a.box, 1, column, 2, 1);
        const QString plusName = QString("plus") + axisNames[axis];
        const QString minusName = QString("minus") + axisNames[axis];
        QPushButton* plus = Button("+", "", 24);
        plus->setObjectName(plusName);
        QPushButton* minus = Button("-", "", 24);
        minus->setObjectName(minusName);
        angles->addWidget(plus, 1, column + 1);
        angles->addWidget(minus, 2, column + 1);
        connect(plus, &QPushButton::clicked, this, [this, axis] { OnStep(axis, kAngleStep); });
        connect(minus, &QPushButton::clicked, this, [this, axis] { OnStep(axis, -kAngleStep); });
    }
    angles->setColumnStretch(6, 1);

    // The translation cross.
    auto* cross = new QGridLayout;
    const int side = fontMetrics().horizontalAdvance("Dw") + 24;
    QPushButton* up = Button("Up", "panUp", side);
    QPushButton* left = Button("L", "panLeft", side);
    QPushButton* right = Button("R", "panRight", side);
    QPushButton* down = Button("Dw", "panDown", side);
    cross->addWidget(new QLabel("Traslazione "), 0, 0, 1, 3, Qt::AlignLeft);
    cross->addWidget(up, 1, 1);
    cross->addWidget(left, 2, 0);
    cross->addWidget(right, 2, 2);
    cross->addWidget(down, 3, 1);
    connect(up, &QPushButton::clicked, this, [this] { OnPan(0, kPanStep); });
    connect(down, &QPushButton::clicked, this, [this] { OnPan(0, -kPanStep); });
    connect(right, &QPushButton::clicked, this, [this] { OnPan(kPanStep, 0); });
    connect(left, &QPushButton::clicked, this, [this] { OnPan(-kPanStep, 0); });

    // The zooms in a column, and the default button.
    auto* zooms = new QVBoxLayout;
    QPushButton* zoomIn = Button("Zoom In", "zoomIn");
    QPushButton* zoomOut = Button("Zoom Out", "zoomOut");
    QPushButton* autoZoom = Button("AutoZoom", "autoZoom");
    zooms->addWidget(zoomIn);
    zooms->addWidget(zoomOut);
    zooms->addWidget(autoZoom);
    zooms->addStretch(1);
    connect(zoomIn, &QPushButton::clicked, this, &CViewControlDlg::OnZoomIn);
    connect(zoomOut, &QPushButton::clicked, this, &CViewControlDlg::OnZoomOut);
    connect(autoZoom, &QPushButton::clicked, this, &CViewControlDlg::OnAutoZoom);

    auto* apply = new QPushButton("Applica/ Ridisegna");
    apply->setObjectName("apply");
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &CViewControlDlg::OnApply);

    auto* middle = new QHBoxLayout;
    middle->addLayout(cross);
    middle->addSpacing(16);
    middle->addLayout(zooms);
    middle->addStretch(1);

    // The depth bounds at the bottom.
    m_near_box = NumberBox("zNear");
    m_far_box = NumberBox("zFar");
    auto* depth = new QGridLayout;
    depth->addWidget(new QLabel("Z Near"), 0, 0);
    depth->addWidget(m_near_box, 0, 1);
    depth->addWidget(new QLabel("Z Far"), 1, 0);
    depth->addWidget(m_far_box, 1, 1);
    depth->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(angles);
    layout->addSpacing(8);
    layout->addLayout(middle);
    layout->addWidget(apply, 0, Qt::AlignLeft);
    layout->addSpacing(8);
    layout->addLayout(depth);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    WriteFields();
}

CViewControlDlg::~CViewControlDlg() = default;

double* CViewControlDlg::Angle(int axis) {
    switch (axis) {
    case 0:
        return &m_angle_x;
    case 1:
        return &m_angle_y;
    default:
        return &m_angle_z;
    }
}

void CViewControlDlg::WriteFields() {
    SetAngleBox(m_angle_x_box, m_angle_x);
    SetAngleBox(m_angle_y_box, m_angle_y);
    SetAngleBox(m_angle_z_box, m_angle_z);
    SetFieldNumber(m_near_box, m_near);
    SetFieldNumber(m_far_box, m_far);
    FitBoxToText(m_near_box);
    FitBoxToText(m_far_box);
}

bool CViewControlDlg::ReadFields() {
    // Each box is read into its field before its check, so a value refused
    // for its range has been taken all the same.
    if (!GetAngleBox(m_angle_x_box, m_angle_x))
        return false;
    if (!CheckFieldRange(m_angle_x_box, m_angle_x, -360.0, 360.0))
        return false;
    if (!GetAngleBox(m_angle_y_box, m_angle_y))
        return false;
    if (!GetAngleBox(m_angle_z_box, m_angle_z))
        return false;
    if (!GetFieldNumber(m_far_box, m_far))
        return false;
    return GetFieldNumber(m_near_box, m_near);
}

void CViewControlDlg::CopyFromView() {
    if (m_pView) {
        m_angle_x = m_pView->AngleX();
        m_angle_y = m_pView->AngleY();
        m_angle_z = m_pView->AngleZ();
        m_near = m_pView->Volume().m_near;
        m_far = m_pView->Volume().m_far;
    }
    WriteFields();
}

void CViewControlDlg::OnApply() {
    // What was read before a refusal is applied; the rest keeps its value.
    ReadFields();
    if (!m_pView)
        return;
    m_pView->SetAngles(m_angle_x, m_angle_y, m_angle_z);
    m_pView->Volume().m_near = m_near;
    m_pView->Volume().m_far = m_far;
    m_pView->Redraw();
    m_pView->ApplyCamera();
}

void CViewControlDlg::OnStep(int axis, double degrees) {
    double& angle = *Angle(axis);
    angle += degrees;
    if (degrees > 0 && angle >= 360)
        angle -= 360;
    if (degrees < 0 && angle <= -360)
        angle += 360;
    WriteFields();
    OnApply();
}

void CViewControlDlg::OnZoomIn() {
    if (m_pView) {
        m_pView->ZoomIn(kZoomStep);
        m_pView->FitAspect();
    }
    OnApply();
}

void CViewControlDlg::OnZoomOut() {
    if (m_pView) {
        m_pView->ZoomOut(kZoomStep);
        m_pView->FitAspect();
    }
    OnApply();
}

void CViewControlDlg::OnPan(double a, double b) {
    if (!m_pView)
        return;
    m_pView->PanByFraction(a, b);
    m_pView->Redraw();
}

void CViewControlDlg::OnAutoZoom() {
    CopyFromView();
    if (!m_pView)
        return;
    m_pView->AutoZoom();
    // The boxes take the depth the zoom chose, so that "Applica/ Ridisegna"
    // keeps the picture it framed instead of clipping it.
    CopyFromView();
    m_pView->Redraw();
}

void CViewControlDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CopyFromView();
}

void CViewControlDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        CopyFromView();
}
