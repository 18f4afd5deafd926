// A chart of curves over one shared axis (the draught of the curves of form,
// the volume of cross curves, the heel of a righting-lever curve, the
// waterline of Bonjean curves), each
// curve on a value axis of its own scale or sharing one with others, as such
// curves are drawn on paper. The legend names the curves, a read-out follows
// the mouse to the nearest point, a click names the point it falls nearest,
// and the right button's menu exports the picture as PNG or SVG or copies it
// to the clipboard. Over the curves go the figures that explain them: guide
// lines, shaded areas and marked points.
#pragma once

#include <QChartView>
#include <QColor>
#include <QString>

#include <utility>
#include <vector>

class QAbstractSeries;
class QColor;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QImage;
class QValueAxis;

class CChartPane : public QChartView {
    Q_OBJECT
public:
    // Along which side of the plot the shared axis runs.
    enum class KeyAlong { horizontal, vertical };
    // A curve's points as (key, value): the shared axis's value, then the curve's.
    using CPoints = std::vector<std::pair<double, double>>;

    explicit CChartPane(QWidget* parent = nullptr);
    ~CChartPane() override;

    // Empties the chart and names the shared axis with its unit ("T [m]").
    void Reset(const QString& keyTitle, KeyAlong along);
    // A value axis, titled with its unit ("KB [m]"); the curves put on it
    // share its scale. Returns its number, from 0.
    int AddValueAxis(const QString& title);
    // A curve on value axis `axis`, in `colour` or, without one, in the next
    // of the pane's colours. Points whose key or value is not a finite
    // number are left out: the curve runs between those that are.
    void AddCurve(const QString& name, int axis, const CPoints& points,
                  const QColor& colour = QColor());
    // The colour of the k-th of n curves of one family (the heels of cross
    // curves, the stations of Bonjean curves) in their order: the pane's
    // own colours while they are enough, else shades from blue to red, so
    // that a crowded family still reads in order and no two far apart look
    // alike.
    static QColor FamilyColour(int k, int n);
    // A family of n curves to come, of which the chart draws every
    // stride-th and the last: thousands of curves make a band of colour
    // that names none and takes seconds to draw. Returns the stride, 1 while
    // they are few enough to draw them all; above 1, a note over the plot
    // says so until the next Reset.
    int BeginFamily(int n);
    QString Note() const;

    // What a figure is: a dashed guide line (a tangent), the region between
    // a polyline and the value 0 (an area under a curve), a marked point.
    enum class Figure { guide, area, mark };
    // A figure on value axis `axis` in colour (an area translucent), named
    // in the legend (a mark by the label beside it instead). The read-out
    // and clicks pass figures by: they are not computed points. Points whose
    // key or value is not a finite number are left out; a mark without one
    // is not drawn.
    void AddGuide(const QString& name, int axis, const CPoints& points, const QColor& colour);
    // An area closes on the value base (0 unless given): the region between
    // its polyline and that level, on whichever side the polyline lies.
    void AddArea(const QString& name, int axis, const CPoints& points, const QColor& colour,
                 double base = 0);
    void AddMark(const QString& label, int axis, double key, double value, const QColor& colour);

    // The curves as drawn, in the order added.
    int CurveCount() const;
    QString CurveName(int curve) const;
    CPoints CurvePoints(int curve) const;
    // The title of the value axis a curve is drawn on.
    QString CurveAxisTitle(int curve) const;

    // The figures as drawn, in the order added (an area's points are its
    // upper edge).
    int FigureCount() const;
    Figure FigureKind(int figure) const;
    QString FigureName(int figure) const;
    CPoints FigurePoints(int figure) const;

    // The read-out of the point of any curve nearest to pos (the viewport's
    // pixels): crosshairs through it and its curve, key and value in a box
    // at the plot's corner. Returns the text; empty, and nothing shown, when
    // no curve has a point.
    QString ShowReadOut(const QPoint& pos);
    void HideReadOut();
    QString ReadOut() const;

    // The chart as the pane shows it, without the read-out: a picture at
    // the pane's size, its PNG and its SVG.
    QImage Picture() const;
    QByteArray PngBytes() const;
    QByteArray SvgBytes() const;

    // The right button's menu at a point of the screen: "Esporta immagine
    // PNG...", "Esporta immagine SVG...", "Copia immagine". An export asks for
    // the file and writes it whole or not at all, saying why when it cannot.
    void ShowMenu(const QPoint& screenPos);

signals:
    // A left click in the plot: the point of a curve nearest to it, the
    // curve's number and the point's key and value as drawn.
    void pointClicked(int curve, double key, double value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct CCurve {
        QString name;
        int axis = 0;
        QAbstractSeries* series = nullptr;
    };
    struct CFigure {
        QString name;
        Figure kind = Figure::guide;
        int axis = 0;
        QAbstractSeries* series = nullptr;
        CPoints points; // as added, less those not finite
    };
    // The points of a curve nearest to pos (the viewport's pixels): its
    // curve and the point in chart coordinates; null without any point.
    const CCurve* Nearest(const QPoint& pos, QPointF& point, QPointF& drawnAt) const;
    // The finite points of points, in chart coordinates.
    QList<QPointF> Drawn(const CPoints& points) const;
    void AddFigure(CFigure figure);
    void FitAxes();
    // A legend of a family of curves on one scale, more than fit the pane's
    // height, names every k-th of them (the first and the last always); the
    // read-out names any.
    void FitLegend();
    int KeyTicks() const;
    // The part of the scene the viewport shows, the chart laid out.
    QRectF Shown() const;
    void Export(bool svg);
    QPointF ToChart(double key, double value) const;
    std::pair<double, double> FromChart(const QPointF& p) const;

    KeyAlong m_along = KeyAlong::vertical;
    QValueAxis* m_key = nullptr;
    std::vector<QValueAxis*> m_axes;
    std::vector<CCurve> m_curves;
    // The span (least, greatest) of the keys and of each value axis's values
    // over the points drawn, kept as curves come so that adding one costs
    // its own points only.
    std::pair<double, double> m_keySpan;
    std::vector<std::pair<double, double>> m_spans;
    std::vector<CFigure> m_figures;
    QGraphicsLineItem* m_crossAcross = nullptr; // the read-out's horizontal line
    QGraphicsLineItem* m_crossUp = nullptr;     // and its vertical one
    QGraphicsRectItem* m_readOutBox = nullptr;
    QGraphicsSimpleTextItem* m_readOutText = nullptr;
};
