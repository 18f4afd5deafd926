#include "CBrelundView.h"

#include "CBrelundDoc.h"
#include "ConditionsWindow.h"

#include "ui/dialogs/CConditionsDlg.h"
#include "ui/dialogs/CDamageDlg.h"
#include "ui/dialogs/CElementTreeDlg.h"
#include "ui/dialogs/CModelCheckDlg.h"
#include "ui/dialogs/CStabilityDlg.h"
#include "ui/dialogs/CViewControlDlg.h"
#include "ui/view/ModelDrawing.h"
#include "ui/view/ModelFraming.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <GL/gl.h>

namespace {
// The toolbar's zoom step, a fraction of the window on each side.
constexpr double kZoomStep = 0.3;

// A tool window brought up, restored and in front.
void ShowToolWindow(QWidget* window) {
    window->show();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}
} // namespace

CBrelundView::CBrelundView(CBrelundDoc& doc, QWidget* parent)
    : COpenGLView(parent), m_doc(doc), m_element_tree(new CElementTreeDlg(this)),
      m_view_control(new CViewControlDlg(this, this)), m_model_check(new CModelCheckDlg(this)),
      m_stability(new CStabilityDlg(this)), m_damage(new CDamageDlg(this)),
      m_conditions_window(new CConditionsDlg(this)) {
    m_element_tree->setObjectName("elementTree");
    m_view_control->setObjectName("viewControl");
    m_model_check->setObjectName("modelCheck");
    m_model_check->SetModel(&m_doc.GetModel());
    m_stability->setObjectName("stability");
    m_stability->SetModel(&m_doc.GetModel());
    m_stability->SetConditions(&m_doc.GetConditions());
    connect(&m_doc, &CBrelundDoc::conditionsChanged, m_stability,
            &CStabilityDlg::ConditionsChanged);
    connect(m_stability, &CStabilityDlg::pictureChanged, this, [this] {
        ShowCondition(m_stability->Picture() ? m_stability->Picture() : m_damage->Picture());
    });
    m_damage->setObjectName("damageStability");
    m_damage->SetModel(&m_doc.GetModel());
    m_damage->SetConditions(&m_doc.GetConditions());
    connect(&m_doc, &CBrelundDoc::conditionsChanged, m_damage, &CDamageDlg::ConditionsChanged);
    // The window that shows a picture last is the one the view shows; the
    // other's, when one closes.
    connect(m_damage, &CDamageDlg::pictureChanged, this, [this] {
        ShowCondition(m_damage->Picture() ? m_damage->Picture() : m_stability->Picture());
    });
    // Every change made in the tree is the document's: its undo stack takes
    // it (and marks the ship changed) and the ship is drawn again, so that
    // the view never shows an element that is gone or as it was before an
    // edit, nor after an undo or a redo; the model check looks again.
    m_element_tree->SetUndoStack(&m_doc.UndoStack());
    connect(m_element_tree, &CElementTreeDlg::modelChanged, this, [this] {
        m_coarse.Clear();
        Redraw();
    });
    connect(m_element_tree, &CElementTreeDlg::modelChanged, m_model_check,
            &CModelCheckDlg::ModelChanged);
    // An equilibrium found for the ship as it was is no longer its own.
    connect(m_element_tree, &CElementTreeDlg::modelChanged, m_stability,
            &CStabilityDlg::ModelChanged);
    connect(m_element_tree, &CElementTreeDlg::modelChanged, m_damage, &CDamageDlg::ModelChanged);
    connect(m_model_check, &CModelCheckDlg::faultsChanged, this, &CBrelundView::Redraw);
    m_conditions_window->setObjectName("conditions");
    ConnectConditionsWindow(*m_conditions_window, m_doc);
    // A tank added, renamed or removed changes the rows of the tanks.
    connect(m_element_tree, &CElementTreeDlg::modelChanged, m_conditions_window,
            &CConditionsDlg::ShipChanged);
}

int CBrelundView::PreviewMode() const {
    return m_element_tree->PreviewMode();
}

float CBrelundView::NormalLength() const {
    return static_cast<float>(m_element_tree->NormalLength());
}

const CShipElement* CBrelundView::SelectedElement() const {
    // The tree may not have been given the ship yet.
    if (m_element_tree->GetModel() != &m_doc.GetModel())
        return nullptr;
    return m_element_tree->SelectedElement();
}

void CBrelundView::OnInitialUpdate() {
    m_coarse.Clear();
    // An equilibrium belongs to the ship it was found for.
    m_condition.reset();
    m_stability->ModelChanged();
    m_damage->ModelChanged();
    RequestLightsAndMaterial();
    m_element_tree->SetModel(&m_doc.GetModel(), this);
    m_element_tree->hide();
    m_model_check->ModelChanged();
    // A camera the person has set is kept for the next ship; one never
    // moved would show a corner of it, so the ship is framed.
    if (HasInitialVolume())
        FrameModel(*this, m_doc.GetModel());
    Redraw();
}

void CBrelundView::OnUpdate() {
    m_coarse.Clear();
    m_condition.reset();
    m_stability->ModelChanged();
    m_damage->ModelChanged();
    Redraw();
    m_element_tree->hide();
    m_model_check->ModelChanged();
}

void CBrelundView::AutoZoom() {
    FrameModel(*this, m_doc.GetModel());
}

void CBrelundView::ShowCondition(const std::optional<CConditionPicture>& picture) {
    m_condition = picture;
    Redraw();
}

bool CBrelundView::DrawScene() {
    if (ShowAxes)
        COpenGLView::DrawScene();
    // The axes stay the earth's; the ship and what belongs to it turn.
    glPushMatrix();
    if (m_condition)
        TurnToAttitude(*m_condition);
    m_model_segments =
        MovingFrame() ? DrawCoarseModel(m_doc.GetModel(), m_coarse) : DrawModel(m_doc.GetModel());
    const int preview = PreviewMode();
    if (preview > previewNone) {
        const CShipElement* element = SelectedElement();
        if (element != nullptr && element->IsEnabled()) {
            if (preview == previewShaded &&
                (!MovingFrame() || element->GetFaceCount() <= kCoarseEdgeBudget))
                DrawShaded(*element);
            else if (preview == previewNormals)
                DrawNormals(*element, NormalLength());
        }
    }
    for (const CSurfaceFaults* faults : m_model_check->ShownFaults())
        DrawFaults(*faults);
    if (m_condition)
        for (int index : m_condition->flooded)
            if (const CCompartment* c = m_doc.GetModel().Compartments().GetAt(index))
                DrawShaded(*c);
    if (m_condition) {
        DrawWaterplane(*m_condition);
        DrawCentres(*m_condition);
        DrawOpenings(*m_condition);
    }
    glPopMatrix();
    return true;
}

void CBrelundView::OnViewAxes() {
    ShowAxes = !ShowAxes;
    Redraw();
}

void CBrelundView::OnAutoZoom() {
    AutoZoom();
    Redraw();
}

void CBrelundView::OnZoomIn() {
    ZoomIn(kZoomStep);
    Redraw();
}

void CBrelundView::OnZoomOut() {
    ZoomOut(kZoomStep);
    Redraw();
}

void CBrelundView::OnViewControl() {
    ShowToolWindow(m_view_control);
}

void CBrelundView::OnElementTree() {
    ShowToolWindow(m_element_tree);
}

void CBrelundView::OnModelCheck() {
    ShowToolWindow(m_model_check);
}

void CBrelundView::OnStability() {
    ShowToolWindow(m_stability);
}

void CBrelundView::OnDamageStability() {
    ShowToolWindow(m_damage);
}

void CBrelundView::OnConditions() {
    ShowToolWindow(m_conditions_window);
}

void CBrelundView::PrintPage(QPainter& painter, const QRect& page) {
    const QImage image = grabFramebuffer();
    QFont font = painter.font();
    font.setPointSize(12);
    painter.setFont(font);
    const int header = painter.fontMetrics().height() * 2;
    painter.drawText(QRect(page.left(), page.top(), page.width(), header),
                     Qt::AlignLeft | Qt::AlignVCenter, m_doc.GetTitle());
    const QRect room = page.adjusted(0, header, 0, 0);
    if (image.isNull() || room.isEmpty())
        return;
    QSize size = image.size();
    size.scale(room.size(), Qt::KeepAspectRatio);
    const QRect target(room.left() + (room.width() - size.width()) / 2, room.top(), size.width(),
                       size.height());
    painter.drawImage(target, image);
}

void CBrelundView::OnFilePrint(QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    PrintPage(painter, painter.viewport());
}

void CBrelundView::OnFilePrintPreview(QPrinter& printer) {
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
        QPainter painter(p);
        PrintPage(painter, painter.viewport());
    });
    preview.exec();
}
