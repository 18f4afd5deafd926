#include "CBrelundView.h"

#include "CBrelundDoc.h"

#include "ui/view/ModelDrawing.h"
#include "ui/view/ModelFraming.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
// The toolbar's zoom step, a fraction of the window on each side.
constexpr double kZoomStep = 0.3;
} // namespace

CBrelundView::CBrelundView(CBrelundDoc& doc, QWidget* parent) : COpenGLView(parent), m_doc(doc) {}

const CShipElement* CBrelundView::SelectedElement() const {
    return m_doc.GetModel().FindElement(m_selected_item);
}

void CBrelundView::OnInitialUpdate() {
    RequestLightsAndMaterial();
}

void CBrelundView::OnUpdate() {
    Redraw();
}

void CBrelundView::AutoZoom() {
    FrameModel(*this, m_doc.GetModel());
}

bool CBrelundView::DrawScene() {
    if (ShowAxes)
        COpenGLView::DrawScene();
    DrawModel(m_doc.GetModel());
    if (m_preview_mode > previewNone) {
        const CShipElement* element = SelectedElement();
        if (element != nullptr && element->IsEnabled()) {
            if (m_preview_mode == previewShaded)
                DrawShaded(*element);
            else if (m_preview_mode == previewNormals)
                DrawNormals(*element, m_normal_length);
        }
    }
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
    ShowNotYetAvailable("Controllo visualizzazione");
}
void CBrelundView::OnElementTree() {
    ShowNotYetAvailable("Controllo elementi");
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
