#include "CChartPane.h"

#include "CClipboardWriter.h"
#include "CalculationRun.h"
#include "FileErrorText.h"
#include "platform/AtomicFile.h"
#include "ui/app/UiLayer.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {

// Colours told apart on screen and on paper, one per curve in turn; an
// axis of one curve takes its colour, so that curve and scale read together.
const QColor kCurveColours[] = {
    QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
    QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
    QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf), QColor(0x7f, 0x7f, 0x7f),
    QColor(0xbc, 0xbd, 0x22), QColor(0x39, 0x3b, 0x79), QColor(0x63, 0x79, 0x39),
    QColor(0x84, 0x3c, 0x39)};
const QColor kSharedAxisColour(0x30, 0x30, 0x30);
// Value axes shown with their titles and five ticks.
constexpr std::size_t kRoomyScales = 4;
// The most curves of a family a chart draws.
constexpr int kFamilyCurves = 400;
// The most points a curve has its points marked with.
constexpr qsizetype kMarkedPoints = 200;
// No point yet: the least above the greatest.
constexpr std::pair<double, double> kNoSpan{std::numeric_limits<double>::infinity(),
                                            -std::numeric_limits<double>::infinity()};

void Widen(std::pair<double, double>& span, double x) {
    span.first = std::min(span.first, x);
    span.second = std::max(span.second, x);
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

void Colour(QValueAxis* axis, const QColor& colour) {
    axis->setLinePenColor(colour);
    axis->setLabelsColor(colour);
    axis->setTitleBrush(colour);
}

// The nice number of Qt's axes near x: 1, 2, 5 or 10 times a power of ten,
// the next above with ceiling, else the nearest.
double NiceNumber(double x, bool ceiling) {
    const double z = std::pow(10.0, std::floor(std::log10(x)));
    const double q = x / z;
    if (ceiling)
        return (q <= 1 ? 1 : q <= 2 ? 2 : q <= 5 ? 5 : 10) * z;
    return (q < 1.5 ? 1 : q < 3 ? 2 : q < 7 ? 5 : 10) * z;
}

// A range that shows every point with room to spare, on nice numbers with
// about `ticks` ticks: a curve of one value (the centre of flotation of a
// box) gets a span of its own around it. The numbers are those of
// QValueAxis::applyNiceNumbers, worked out from `ticks` and not from the
// axis's ticks (which they change, each fit then choosing fewer and a wider
// range), and the axis is touched only when they change: every change
// makes every curve on it map all its points again, and a chart that grew
// by a curve at a time did that for each curve.
void SetRange(QValueAxis* axis, double lo, double hi, int ticks) {
    if (!(lo <= hi)) {
        lo = 0;
        hi = 1;
    }
    const double size = std::max(std::fabs(lo), std::fabs(hi));
    if (!(hi - lo > 1e-9 * size)) {
        const double pad = size > 0 ? 0.05 * size : 1;
        lo -= pad;
        hi += pad;
    }
    const double step = NiceNumber(NiceNumber(hi - lo, true) / (ticks - 1), false);
    const double first = std::floor(lo / step), last = std::ceil(hi / step);
    const int count = static_cast<int>(last - first) + 1;
    if (axis->min() != first * step || axis->max() != last * step)
        axis->setRange(first * step, last * step);
    if (axis->tickCount() != count)
        axis->setTickCount(count);
}

} // namespace

CChartPane::CChartPane(QWidget* parent) : QChartView(parent) {
    setObjectName("chart");
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(320, 240);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    QChart* c = chart();
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 4, 4, 4));
    c->legend()->setAlignment(Qt::AlignRight);

    QPen cross(QColor(0x60, 0x60, 0x60));
    cross.setStyle(Qt::DashLine);
    cross.setCosmetic(true);
    m_crossAcross = scene()->addLine(QLineF(), cross);
    m_crossUp = scene()->addLine(QLineF(), cross);
    m_readOutBox = scene()->addRect(QRectF(), QPen(QColor(0x60, 0x60, 0x60)),
                                    QBrush(QColor(255, 255, 255, 230)));
    m_readOutText = new QGraphicsSimpleTextItem(m_readOutBox);
    for (QGraphicsItem* item :
         std::initializer_list<QGraphicsItem*>{m_crossAcross, m_crossUp, m_readOutBox})
        item->setZValue(100);
    HideReadOut();
    Reset(QString(), KeyAlong::vertical);
}

CChartPane::~CChartPane() = default;

void CChartPane::Reset(const QString& keyTitle, KeyAlong along) {
    HideReadOut();
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    c->setTitle(QString());
    m_curves.clear();
    m_figures.clear();
    m_axes.clear();
    m_keySpan = kNoSpan;
    m_spans.clear();
    m_along = along;
    m_key = new QValueAxis;
    m_key->setTitleText(keyTitle);
    m_key->setLabelFormat("%g");
    m_key->setTickCount(KeyTicks());
    c->addAxis(m_key, along == KeyAlong::vertical ? Qt::AlignLeft : Qt::AlignBottom);
}

int CChartPane::KeyTicks() const {
    // A vertical key runs up a plot seldom as tall as it is wide, so it
    // takes fewer ticks than a horizontal one.
    return m_along == KeyAlong::vertical ? 9 : 11;
}

int CChartPane::AddValueAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat("%g");
    // A crowded side would cut its labels to "...", which reads as nothing.
    axis->setTruncateLabels(false);
    // The grid follows the key and the first scale alone; more would
    // cross the plot with lines no scale explains.
    axis->setGridLineVisible(m_axes.empty());
    axis->setMinorGridLineVisible(false);
    // The scales alternate between the two sides across the key.
    const bool first = m_axes.size() % 2 == 0;
    const Qt::Alignment side = m_along == KeyAlong::vertical
                                   ? (first ? Qt::AlignBottom : Qt::AlignTop)
                                   : (first ? Qt::AlignLeft : Qt::AlignRight);
    chart()->addAxis(axis, side);
    m_axes.push_back(axis);
    m_spans.push_back(kNoSpan);
    return static_cast<int>(m_axes.size()) - 1;
}

QPointF CChartPane::ToChart(double key, double value) const {
    return m_along == KeyAlong::vertical ? QPointF(value, key) : QPointF(key, value);
}

std::pair<double, double> CChartPane::FromChart(const QPointF& p) const {
    return m_along == KeyAlong::vertical ? std::pair{p.y(), p.x()} : std::pair{p.x(), p.y()};
}

QColor CChartPane::FamilyColour(int k, int n) {
    const int own = static_cast<int>(std::size(kCurveColours));
    if (n <= own)
        return kCurveColours[std::clamp(k, 0, own - 1)];
    // Hue from blue (240 degrees) to red, dark enough that the yellows and
    // greens stand out on white.
    const double t = n > 1 ? std::clamp(static_cast<double>(k) / (n - 1), 0.0, 1.0) : 0.0;
    return QColor::fromHsvF(static_cast<float>((1 - t) * 240.0 / 360.0), 0.9f, 0.8f);
}

int CChartPane::BeginFamily(int n) {
    const int stride = n <= kFamilyCurves ? 1 : (n + kFamilyCurves - 1) / kFamilyCurves;
    if (stride > 1)
        chart()->setTitle(QString("Una curva ogni %1 delle %2 della tabella").arg(stride).arg(n));
    return stride;
}

QString CChartPane::Note() const {
    return chart()->title();
}

QList<QPointF> CChartPane::Drawn(const CPoints& points) const {
    QList<QPointF> drawn;
    for (const auto& [key, value] : points)
        if (std::isfinite(key) && std::isfinite(value))
            drawn.append(ToChart(key, value));
    return drawn;
}

void CChartPane::AddCurve(const QString& name, int axis, const CPoints& points,
                          const QColor& wanted) {
    if (axis < 0 || axis >= static_cast<int>(m_axes.size()))
        return;
    auto* series = new QLineSeries;
    series->setName(name);
    QList<QPointF> drawn;
    auto& span = m_spans[static_cast<std::size_t>(axis)];
    for (const auto& [key, value] : points)
        if (std::isfinite(key) && std::isfinite(value)) {
            drawn.append(ToChart(key, value));
            Widen(m_keySpan, key);
            Widen(span, value);
        }
    series->replace(drawn);
    const QColor colour =
        wanted.isValid() ? wanted : kCurveColours[m_curves.size() % std::size(kCurveColours)];
    QPen pen(colour);
    pen.setWidthF(2);
    series->setPen(pen);
    // Points are marked too: a curve is computed at its points and only
    // joined between them. Past a few hundred the marks run together into
    // a thicker line and take most of the drawing's time.
    series->setPointsVisible(drawn.size() <= kMarkedPoints);
    chart()->addSeries(series);
    series->attachAxis(m_key);
    QValueAxis* scale = m_axes[static_cast<std::size_t>(axis)];
    series->attachAxis(scale);
    const auto sharing = std::count_if(m_curves.begin(), m_curves.end(),
                                       [axis](const CCurve& c) { return c.axis == axis; });
    Colour(scale, sharing == 0 ? colour : kSharedAxisColour);
    m_curves.push_back({name, axis, series});
    FitAxes();
}

void CChartPane::AddGuide(const QString& name, int axis, const CPoints& points,
                          const QColor& colour) {
    CFigure guide{name, Figure::guide, axis, nullptr, {}};
    auto* series = new QLineSeries;
    series->replace(Drawn(points));
    QPen pen(colour);
    pen.setWidthF(1.5);
    pen.setStyle(Qt::DashLine);
    series->setPen(pen);
    guide.series = series;
    AddFigure(std::move(guide));
}

void CChartPane::AddArea(const QString& name, int axis, const CPoints& points,
                         const QColor& colour, double base) {
    CFigure area{name, Figure::area, axis, nullptr, {}};
    auto* upper = new QLineSeries;
    auto* lower = new QLineSeries;
    const QList<QPointF> drawn = Drawn(points);
    upper->replace(drawn);
    // The lower edge at the base under every point of the upper one, so
    // that the region closes on that level whatever the axis's scale.
    for (const QPointF& p : drawn)
        lower->append(ToChart(FromChart(p).first, base));
    auto* series = new QAreaSeries(upper, lower);
    upper->setParent(series);
    lower->setParent(series);
    QColor fill = colour;
    fill.setAlpha(90);
    series->setBrush(fill);
    series->setPen(QPen(colour, 1));
    area.series = series;
    AddFigure(std::move(area));
}

void CChartPane::AddMark(const QString& label, int axis, double key, double value,
                         const QColor& colour) {
    CFigure mark{label, Figure::mark, axis, nullptr, {}};
    auto* series = new QScatterSeries;
    series->replace(Drawn({{key, value}}));
    series->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    series->setMarkerSize(9);
    series->setColor(colour);
    series->setBorderColor(colour.darker(150));
    // The label as it is: a format would read "@xPoint" in it as a number.
    series->setPointLabelsFormat(QString(label).replace("@", "@@"));
    series->setPointLabelsVisible(true);
    series->setPointLabelsColor(colour.darker(150));
    series->setPointLabelsClipping(false);
    mark.series = series;
    AddFigure(std::move(mark));
}

void CChartPane::AddFigure(CFigure figure) {
    if (figure.axis < 0 || figure.axis >= static_cast<int>(m_axes.size())) {
        delete figure.series;
        return;
    }
    figure.series->setName(figure.name);
    const QAbstractSeries* edge = figure.series;
    if (figure.kind == Figure::area)
        edge = static_cast<QAreaSeries*>(figure.series)->upperSeries();
    for (const QPointF& p : static_cast<const QXYSeries*>(edge)->points())
        figure.points.push_back(FromChart(p));
    chart()->addSeries(figure.series);
    figure.series->attachAxis(m_key);
    figure.series->attachAxis(m_axes[static_cast<std::size_t>(figure.axis)]);
    if (figure.kind == Figure::mark)
        for (QLegendMarker* marker : chart()->legend()->markers(figure.series))
            marker->setVisible(false);
    // The figure widens the scales as a curve does; an area closes on the
    // value 0, which its scale then shows.
    auto& span = m_spans[static_cast<std::size_t>(figure.axis)];
    for (const auto& [key, value] : figure.points) {
        Widen(m_keySpan, key);
        Widen(span, value);
    }
    if (figure.kind == Figure::area && !figure.points.empty())
        Widen(span, 0);
    m_figures.push_back(std::move(figure));
    FitAxes();
}

int CChartPane::FigureCount() const {
    return static_cast<int>(m_figures.size());
}

CChartPane::Figure CChartPane::FigureKind(int figure) const {
    return figure >= 0 && figure < FigureCount() ? m_figures[static_cast<std::size_t>(figure)].kind
                                                 : Figure::guide;
}

QString CChartPane::FigureName(int figure) const {
    return figure >= 0 && figure < FigureCount() ? m_figures[static_cast<std::size_t>(figure)].name
                                                 : QString();
}

CChartPane::CPoints CChartPane::FigurePoints(int figure) const {
    return figure >= 0 && figure < FigureCount()
               ? m_figures[static_cast<std::size_t>(figure)].points
               : CPoints();
}

void CChartPane::FitAxes() {
    SetRange(m_key, m_keySpan.first, m_keySpan.second, KeyTicks());
    // Many scales crowd the plot off the pane: past kRoomyScales each keeps
    // its labels in its curve's colour and three ticks, and the legend
    // names it.
    const bool crowded = m_axes.size() > kRoomyScales;
    for (std::size_t a = 0; a < m_axes.size(); ++a) {
        m_axes[a]->setTitleVisible(!crowded);
        SetRange(m_axes[a], m_spans[a].first, m_spans[a].second, crowded ? 3 : 5);
    }
    FitLegend();
}

void CChartPane::FitLegend() {
    QLegend* legend = chart()->legend();
    const int n = CurveCount();
    // Past the pane's own colours the curves are a family in shades: a
    // smaller type keeps more of their names.
    QFont type = font();
    if (n > static_cast<int>(std::size(kCurveColours)))
        type.setPointSizeF(type.pointSizeF() * 0.9);
    if (legend->font() != type)
        legend->setFont(type);
    // A name takes a line of its type and the marker's padding.
    const int line = QFontMetrics(type).height() + 7;
    const QMargins margins = chart()->margins();
    const int room =
        static_cast<int>(chart()->size().height()) - margins.top() - margins.bottom() - 16;
    const int fit = std::max(3, room / line);
    // Only a family on one scale, whose names follow one another, can be
    // named in part; curves of scales of their own keep every name.
    const int every = n <= fit || m_axes.size() != 1 ? 1 : (n - 1 + fit - 3) / (fit - 2);
    const QList<QLegendMarker*> markers = legend->markers();
    for (int k = 0; k < markers.size(); ++k)
        markers[k]->setVisible(k % every == 0 || k == markers.size() - 1);
}

int CChartPane::CurveCount() const {
    return static_cast<int>(m_curves.size());
}

QString CChartPane::CurveName(int curve) const {
    return curve >= 0 && curve < CurveCount() ? m_curves[static_cast<std::size_t>(curve)].name
                                              : QString();
}

CChartPane::CPoints CChartPane::CurvePoints(int curve) const {
    CPoints points;
    if (curve < 0 || curve >= CurveCount())
        return points;
    for (const QPointF& p :
         static_cast<QXYSeries*>(m_curves[static_cast<std::size_t>(curve)].series)->points())
        points.push_back(FromChart(p));
    return points;
}

QString CChartPane::CurveAxisTitle(int curve) const {
    if (curve < 0 || curve >= CurveCount())
        return QString();
    return m_axes[static_cast<std::size_t>(m_curves[static_cast<std::size_t>(curve)].axis)]
        ->titleText();
}

const CChartPane::CCurve* CChartPane::Nearest(const QPoint& pos, QPointF& point,
                                              QPointF& drawnAt) const {
    QChart* c = chart();
    c->layout()->activate();
    const QPointF at = c->mapFromScene(mapToScene(pos));
    double best = std::numeric_limits<double>::infinity();
    const CCurve* nearest = nullptr;
    for (const CCurve& curve : m_curves)
        for (const QPointF& p : static_cast<QXYSeries*>(curve.series)->points()) {
            const QPointF q = c->mapToPosition(p, curve.series);
            const QPointF d = q - at;
            const double distance = QPointF::dotProduct(d, d);
            if (distance < best) {
                best = distance;
                nearest = &curve;
                point = p;
                drawnAt = q;
            }
        }
    return nearest;
}

QString CChartPane::ShowReadOut(const QPoint& pos) {
    QChart* c = chart();
    QPointF point, drawnAt;
    const CCurve* nearest = Nearest(pos, point, drawnAt);
    if (!nearest) {
        HideReadOut();
        return QString();
    }
    const auto [key, value] = FromChart(point);
    const QString text =
        QString("%1\n%2 = %3\n%4 = %5")
            .arg(nearest->name, m_key->titleText(), Number(key),
                 m_axes[static_cast<std::size_t>(nearest->axis)]->titleText(), Number(value));
    const QRectF plot = c->plotArea();
    const QPointF centre = c->mapToScene(drawnAt);
    const QPointF topLeft = c->mapToScene(plot.topLeft());
    const QPointF bottomRight = c->mapToScene(plot.bottomRight());
    m_crossAcross->setLine(topLeft.x(), centre.y(), bottomRight.x(), centre.y());
    m_crossUp->setLine(centre.x(), topLeft.y(), centre.x(), bottomRight.y());
    m_readOutText->setText(text);
    m_readOutText->setBrush(static_cast<QXYSeries*>(nearest->series)->pen().color().darker(120));
    m_readOutText->setPos(6, 4);
    const QRectF textRect = m_readOutText->boundingRect();
    m_readOutBox->setRect(0, 0, textRect.width() + 12, textRect.height() + 8);
    // In the plot's corner away from the point, so as not to hide it.
    const bool right = centre.x() < (topLeft.x() + bottomRight.x()) / 2;
    const double x = right ? bottomRight.x() - m_readOutBox->rect().width() - 6 : topLeft.x() + 6;
    m_readOutBox->setPos(x, topLeft.y() + 6);
    for (QGraphicsItem* item :
         std::initializer_list<QGraphicsItem*>{m_crossAcross, m_crossUp, m_readOutBox})
        item->setVisible(true);
    return text;
}

void CChartPane::HideReadOut() {
    m_readOutText->setText(QString());
    for (QGraphicsItem* item :
         std::initializer_list<QGraphicsItem*>{m_crossAcross, m_crossUp, m_readOutBox})
        item->setVisible(false);
}

QString CChartPane::ReadOut() const {
    return m_readOutBox->isVisible() ? m_readOutText->text() : QString();
}

namespace {

// Draws the scene without the read-out, which follows the mouse and belongs
// to no picture; it shows again afterwards as it was.
template <class Draw>
void WithoutReadOut(std::initializer_list<QGraphicsItem*> readOut, Draw&& draw) {
    std::vector<bool> shown;
    for (QGraphicsItem* item : readOut) {
        shown.push_back(item->isVisible());
        item->setVisible(false);
    }
    draw();
    std::size_t k = 0;
    for (QGraphicsItem* item : readOut)
        item->setVisible(shown[k++]);
}

} // namespace

QRectF CChartPane::Shown() const {
    // The chart lays itself out when the event loop next runs: a picture
    // asked for at once is of the curves as they are now.
    chart()->layout()->activate();
    return mapToScene(viewport()->rect()).boundingRect();
}

QImage CChartPane::Picture() const {
    const QRectF area = Shown();
    QImage image(area.size().toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    image.fill(Qt::white);
    WithoutReadOut({m_crossAcross, m_crossUp, m_readOutBox}, [&] {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene()->render(&painter, QRectF(QPointF(), image.size()), area);
    });
    return image;
}

QByteArray CChartPane::PngBytes() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Picture().save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

QByteArray CChartPane::SvgBytes() const {
    const QRectF area = Shown();
    const QSize size = area.size().toSize().expandedTo(QSize(1, 1));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(), size));
    svg.setTitle(window() ? window()->windowTitle() : QString());
    svg.setDescription("Brelund");
    WithoutReadOut({m_crossAcross, m_crossUp, m_readOutBox}, [&] {
        QPainter painter;
        if (!painter.begin(&svg))
            return;
        scene()->render(&painter, QRectF(QPointF(), size), area);
        painter.end();
    });
    return bytes;
}

void CChartPane::ShowMenu(const QPoint& screenPos) {
    QMenu menu("Grafico", this);
    QAction* png = menu.addAction("Esporta immagine PNG...");
    QAction* svg = menu.addAction("Esporta immagine SVG...");
    QAction* copy = menu.addAction("Copia immagine");
    QAction* chosen = UserDialogs().TrackPopupMenu(menu, screenPos);
    if (chosen == png || chosen == svg) {
        Export(chosen == svg);
    } else if (chosen == copy) {
        const CWaitCursor wait;
        CClipboardWriter(window()).SetImage(Picture());
    }
}

void CChartPane::Export(bool svg) {
    const char* const refusal = "Impossibile scrivere l'immagine.";
    const QString path = AskOutputFile(this,
                                       svg ? "Immagine SVG (*.svg);;Tutti i file (*)"
                                           : "Immagine PNG (*.png);;Tutti i file (*)",
                                       svg ? ".svg" : ".png", QString::fromUtf8(refusal));
    if (path.isEmpty())
        return;
    const QByteArray bytes = svg ? SvgBytes() : PngBytes();
    // An encoder that gave nothing would leave an empty file named a picture.
    if (bytes.isEmpty()) {
        AfxMessageBox(QString::fromUtf8(refusal), MB_OK | MB_ICONERROR);
        return;
    }
    try {
        WriteFileAtomically(ToFilePath(path),
                            [&](CFile& file) {
                                file.Write(bytes.constData(),
                                           static_cast<std::size_t>(bytes.size()));
                            },
                            {.kind = "picture"});
    } catch (const std::exception& e) {
        AfxMessageBox(QString("%1\n%2").arg(QString::fromUtf8(refusal), FailureMessage(e)),
                      MB_OK | MB_ICONERROR);
    }
}

void CChartPane::mousePressEvent(QMouseEvent* event) {
    QChartView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    QPointF point, drawnAt;
    if (const CCurve* nearest = Nearest(event->position().toPoint(), point, drawnAt)) {
        const auto [key, value] = FromChart(point);
        emit pointClicked(static_cast<int>(nearest - m_curves.data()), key, value);
    }
}

void CChartPane::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    ShowReadOut(event->position().toPoint());
}

void CChartPane::leaveEvent(QEvent* event) {
    HideReadOut();
    QChartView::leaveEvent(event);
}

void CChartPane::contextMenuEvent(QContextMenuEvent* event) {
    ShowMenu(event->globalPos());
    event->accept();
}

void CChartPane::resizeEvent(QResizeEvent* event) {
    // The plot moves under the read-out; the next move of the mouse shows it again.
    HideReadOut();
    QChartView::resizeEvent(event);
    FitLegend();
}
