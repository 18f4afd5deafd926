// The view of the ship. For now a plain picture of what the document holds,
// in the place the 3D view takes; it already carries the view's commands.
#pragma once

#include <QWidget>

class CBrelundDoc;
class QPainter;
class QPrinter;

class CBrelundView : public QWidget {
    Q_OBJECT
public:
    explicit CBrelundView(CBrelundDoc& doc, QWidget* parent = nullptr);

    CBrelundDoc& GetDocument() { return m_doc; }

    bool ShowAxes = true;

    // After New and Open.
    void OnInitialUpdate();
    // After a change of the ship.
    void OnUpdate();

    // View commands.
    void OnViewAxes();
    void OnAutoZoom();
    void OnZoomIn();
    void OnZoomOut();
    void OnViewControl();
    void OnElementTree();
    double ZoomFactor() const { return m_zoom; }

    // Printing: the view's image on one page, scaled to fit, under the ship's
    // title.
    void OnFilePrint(QPrinter& printer);
    void OnFilePrintPreview(QPrinter& printer);
    void PrintPage(QPainter& painter, const QRect& page);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CBrelundDoc& m_doc;
    double m_zoom = 1.0;
};
