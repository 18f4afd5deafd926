#include "CBrelundView.h"

#include "CBrelundDoc.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
constexpr double kZoomStep = 0.3;
}

CBrelundView::CBrelundView(CBrelundDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setMinimumSize(200, 150);
    setAutoFillBackground(false);
}

void CBrelundView::OnInitialUpdate() {
    m_zoom = 1.0;
    update();
}

void CBrelundView::OnUpdate() {
    update();
}

void CBrelundView::OnViewAxes() {
    ShowAxes = !ShowAxes;
    update();
}

void CBrelundView::OnAutoZoom() {
    m_zoom = 1.0;
    update();
}

void CBrelundView::OnZoomIn() {
    m_zoom *= 1.0 + kZoomStep;
    update();
}

void CBrelundView::OnZoomOut() {
    m_zoom /= 1.0 + kZoomStep;
    update();
}

void CBrelundView::OnViewControl() {
    ShowNotYetAvailable("Controllo visualizzazione");
}
void CBrelundView::OnElementTree() {
    ShowNotYetAvailable("Controllo elementi");
}

void CBrelundView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(32, 48, 72));
    const CShipModel& ship = m_doc.GetModel();
    painter.setPen(QColor(230, 236, 244));
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    painter.setFont(font);
    const QString text = QString("%1\n\nElementi scafo: %2   Compartimenti: %3   Cisterne: %4")
                             .arg(m_doc.GetTitle())
                             .arg(ship.HullElements().GetCount())
                             .arg(ship.Compartments().GetCount())
                             .arg(ship.Tanks().GetCount());
    painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text);
    if (ShowAxes) {
        // The directions of x (red), y (green) and z (blue) from the corner.
        const QPoint o(40, height() - 40);
        const int len = 28;
        painter.setPen(QPen(QColor(220, 60, 60), 2));
        painter.drawLine(o, o + QPoint(len, 0));
        painter.setPen(QPen(QColor(60, 200, 90), 2));
        painter.drawLine(o, o + QPoint(len * 2 / 3, -len * 2 / 3));
        painter.setPen(QPen(QColor(80, 140, 240), 2));
        painter.drawLine(o, o + QPoint(0, -len));
    }
}

void CBrelundView::PrintPage(QPainter& painter, const QRect& page) {
    const QImage image = grab().toImage();
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
