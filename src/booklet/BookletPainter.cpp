#include "BookletPainter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace {

const QColor kPalette[] = {
    QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
    QColor(0xd6, 0x27, 0x28), QColor(0x60, 0x60, 0x60), QColor(0x94, 0x67, 0xbd),
    QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf),
    QColor(0xbc, 0xbd, 0x22)};
const QColor kHeading(0x1a, 0x3a, 0x6b);
const QColor kRule(0x90, 0x90, 0x90);
const QColor kHeaderFill(0xdd, 0xe4, 0xee);
const QColor kStripe(0xf4, 0xf6, 0xf9);
const QColor kAlarm(0xc0, 0x00, 0x00);

QColor Colour(int index) {
    const int n = static_cast<int>(std::size(kPalette));
    return kPalette[((index % n) + n) % n];
}

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsNumber(const std::string& text) {
    if (text.empty() || text == "-")
        return !text.empty();
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end && *end == '\0';
}

// Millimetres to the device's units.
class CPage {
public:
    CPage(QPainter& p, const CBookletMetrics& m, double unitsPerMm)
        : m_p(p), m_m(m), m_k(unitsPerMm) {}
    double operator()(double mm) const { return mm * m_k; }
    QPointF At(double x, double y) const { return {x * m_k, y * m_k}; }
    QRectF Rect(double x, double y, double w, double h) const {
        return {x * m_k, y * m_k, w * m_k, h * m_k};
    }
    QFont Font(double points, bool bold = false) const {
        QFont f("DejaVu Sans");
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
    QPainter& P() const { return m_p; }
    const CBookletMetrics& M() const { return m_m; }
    QPen Pen(const QColor& colour, double widthMm, Qt::PenStyle style = Qt::SolidLine) const {
        QPen pen(colour, widthMm * m_k, style);
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    }

private:
    QPainter& m_p;
    const CBookletMetrics& m_m;
    double m_k;
};

void Frame(const CPage& pg, const CBooklet& b, const std::string& section, int number, int count) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    p.setPen(pg.Pen(kRule, 0.2));
    if (!section.empty()) {
        p.setFont(pg.Font(7.5));
        p.setPen(QColor(0x50, 0x50, 0x50));
        const QRectF header = pg.Rect(m.left, 10, m.Width(), 5);
        p.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, Q(b.title + " - " + b.ship));
        p.drawText(header, Qt::AlignRight | Qt::AlignVCenter, Q(section));
        p.setPen(pg.Pen(kRule, 0.2));
        p.drawLine(pg.At(m.left, 15.5), pg.At(m.page_width - m.right, 15.5));
    }
    p.setPen(pg.Pen(kRule, 0.2));
    p.drawLine(pg.At(m.left, m.page_height - 14), pg.At(m.page_width - m.right, m.page_height - 14));
    p.setFont(pg.Font(8));
    p.setPen(Qt::black);
    p.drawText(pg.Rect(m.left, m.page_height - 13.5, m.Width(), 5), Qt::AlignCenter,
               QString("Pagina %1 di %2").arg(number).arg(count));
}

void TitlePage(const CPage& pg, const CBooklet& b) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    p.setPen(kHeading);
    p.setFont(pg.Font(18));
    p.drawText(pg.Rect(m.left, 80, m.Width(), 12), Qt::AlignCenter, Q(b.title));
    p.setPen(pg.Pen(kHeading, 0.5));
    p.drawLine(pg.At(m.left + 30, 96), pg.At(m.page_width - m.right - 30, 96));
    p.setPen(Qt::black);
    p.setFont(pg.Font(26, true));
    p.drawText(pg.Rect(m.left, 102, m.Width(), 18), Qt::AlignCenter, Q(b.ship));
    p.setFont(pg.Font(10));
    double y = 135;
    for (const std::string& note : b.title_notes) {
        const QRectF r = pg.Rect(m.left + 15, y, m.Width() - 30, 20);
        QRectF used;
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, Q(note), &used);
        y += used.height() / pg(1) + 3;
    }
}

void ContentsPage(const CPage& pg, const CBookletLayout& layout, int page) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    double y = m.top;
    if (page == 0) {
        p.setPen(kHeading);
        p.setFont(pg.Font(14, true));
        p.drawText(pg.Rect(m.left, y, m.Width(), m.heading_height), Qt::AlignLeft | Qt::AlignVCenter,
                   "Indice");
    }
    y += m.heading_height;
    const int perPage =
        static_cast<int>(std::floor((m.Height() - m.heading_height) / m.line_height));
    p.setFont(pg.Font(10));
    const QFontMetricsF fm(p.font(), p.device());
    for (int k = page * perPage;
         k < std::min<int>((page + 1) * perPage, static_cast<int>(layout.contents.size())); ++k) {
        const CBookletContentsLine& line = layout.contents[static_cast<std::size_t>(k)];
        const QRectF r = pg.Rect(m.left, y, m.Width(), m.line_height);
        const QString number = QString::number(line.page);
        const QString title = fm.elidedText(Q(line.title), Qt::ElideRight, r.width() - pg(20));
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, title);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, number);
        // Dotted leaders from the title to the number.
        const double from = r.left() + fm.horizontalAdvance(title) + pg(2);
        const double to = r.right() - fm.horizontalAdvance(number) - pg(2);
        if (to > from) {
            p.setPen(pg.Pen(kRule, 0.25, Qt::DotLine));
            p.drawLine(QPointF(from, r.bottom() - pg(1.3)), QPointF(to, r.bottom() - pg(1.3)));
        }
        y += m.line_height;
    }
}

// A table's or chart's caption on one line, cut short with an ellipsis
// when longer than the page is wide.
void Caption(const CPage& pg, const std::string& text, double top) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    p.setPen(kHeading);
    p.setFont(pg.Font(8.5, true));
    const QRectF r = pg.Rect(m.left, top, m.Width(), m.caption_height);
    const QFontMetricsF fm(p.font(), p.device());
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(Q(text), Qt::ElideRight, r.width()));
}

void DrawTable(const CPage& pg, const CPlacedBlock& placed, double top) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    const CBookletTable& t = placed.block->table;
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < std::min(t.keep, t.header.size()); ++c)
        columns.push_back(c);
    for (std::size_t c = placed.col_from; c < placed.col_to; ++c)
        columns.push_back(c);
    // Caption.
    Caption(pg, placed.block->text + (placed.continued ? " (segue)" : ""), top);
    // Widths by the real fonts, the type made smaller when they are too wide.
    double points = 7.5;
    std::vector<double> widths;
    for (int attempt = 0; attempt < 6; ++attempt) {
        widths.clear();
        const QFontMetricsF body(pg.Font(points), p.device());
        const QFontMetricsF bold(pg.Font(points, true), p.device());
        double total = 0;
        for (std::size_t c : columns) {
            double w = bold.horizontalAdvance(Q(t.header[c]));
            for (std::size_t r = placed.row_from; r < placed.row_to; ++r)
                w = std::max(w, (t.IsAlarm(r) ? bold : body).horizontalAdvance(Q(t.rows[r][c])));
            w += 2 * pg(m.cell_padding);
            widths.push_back(w);
            total += w;
        }
        if (total <= pg(m.Width()))
            break;
        points *= 0.92 * pg(m.Width()) / total;
    }
    double y = top + m.caption_height;
    const double rowH = pg(m.row_height);
    auto drawRow = [&](const std::vector<std::string>& cells, bool header, bool alarm, bool stripe) {
        double x = pg(m.left);
        const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
        const QRectF band(x, pg(y), total, rowH);
        if (header)
            p.fillRect(band, kHeaderFill);
        else if (stripe)
            p.fillRect(band, kStripe);
        p.setFont(pg.Font(points, header || alarm));
        p.setPen(alarm ? kAlarm : QColor(Qt::black));
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const std::string& text = cells[columns[k]];
            const QRectF cell(x + pg(m.cell_padding), pg(y), widths[k] - 2 * pg(m.cell_padding),
                              rowH);
            const bool right = !header && IsNumber(text);
            p.drawText(cell, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, Q(text));
            x += widths[k];
        }
        p.setPen(pg.Pen(kRule, header ? 0.3 : 0.1));
        p.drawLine(QPointF(pg(m.left), pg(y) + rowH), QPointF(pg(m.left) + total, pg(y) + rowH));
        y += m.row_height;
    };
    drawRow(t.header, true, false, false);
    for (std::size_t r = placed.row_from; r < placed.row_to; ++r)
        drawRow(t.rows[r], false, t.IsAlarm(r), (r - placed.row_from) % 2 == 1);
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    p.setPen(pg.Pen(kRule, 0.3));
    p.drawLine(QPointF(pg(m.left), pg(top + m.caption_height)),
               QPointF(pg(m.left) + total, pg(top + m.caption_height)));
}

// Round steps for an axis: 1, 2 or 5 times a power of ten, about five of them.
double NiceStep(double span) {
    if (!(span > 0))
        return 1;
    const double raw = span / 5;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    const double f = raw / power;
    return (f < 1.5 ? 1 : f < 3.5 ? 2 : f < 7.5 ? 5 : 10) * power;
}

QString Tick(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    if (std::fabs(value) < step * 1e-6)
        value = 0;
    return QString::number(value, 'f', decimals);
}

double Interpolate(const std::vector<std::pair<double, double>>& pts, double x) {
    for (std::size_t k = 1; k < pts.size(); ++k) {
        const auto& [x0, y0] = pts[k - 1];
        const auto& [x1, y1] = pts[k];
        if ((x0 <= x && x <= x1) || (x1 <= x && x <= x0))
            return x1 == x0 ? y0 : y0 + (y1 - y0) * (x - x0) / (x1 - x0);
    }
    return NAN;
}

void DrawChart(const CPage& pg, const CPlacedBlock& placed, double top) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    const CBookletChart& c = placed.block->chart;
    Caption(pg, placed.block->text, top);
    // The plot's box: room for the ticks and labels left and below, the
    // legend under it.
    const std::size_t legendRows = (c.series.size() + c.shades.size() + 2) / 3;
    const double legendH = 4.2 * static_cast<double>(legendRows) + 2;
    const double boxL = m.left + 16, boxR = m.page_width - m.right - 4;
    const double boxT = top + m.caption_height + 3;
    const double boxB = top + m.caption_height + m.chart_height - 12 - legendH;

    // The ranges, with the scales of own_scales from 0 to 1.
    std::vector<double> scale(c.series.size(), 1);
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (std::size_t s = 0; s < c.series.size(); ++s) {
        double most = 0;
        for (const auto& [x, y] : c.series[s].points)
            most = std::max(most, std::fabs(x));
        if (c.own_scales)
            scale[s] = most > 0 ? 1 / most : 1;
        for (const auto& [x, y] : c.series[s].points) {
            xmin = std::min(xmin, x * scale[s]);
            xmax = std::max(xmax, x * scale[s]);
            ymin = std::min(ymin, y);
            ymax = std::max(ymax, y);
        }
    }
    if (!(xmin <= xmax) || !(ymin <= ymax)) {
        p.setPen(Qt::black);
        p.setFont(pg.Font(9));
        p.drawText(pg.Rect(boxL, boxT, boxR - boxL, boxB - boxT), Qt::AlignCenter,
                   "Nessun punto da disegnare");
        return;
    }
    if (c.own_scales)
        xmin = std::min(xmin, 0.0);
    ymin = std::min(ymin, 0.0);
    if (!c.own_scales)
        for (const CBookletMark& mark : c.marks)
            xmax = std::max(xmax, mark.x);
    const double xstep = NiceStep(xmax - xmin), ystep = NiceStep(ymax - ymin);
    xmin = std::floor(xmin / xstep) * xstep;
    xmax = std::ceil(xmax / xstep) * xstep;
    ymin = std::floor(ymin / ystep) * ystep;
    ymax = std::ceil(ymax / ystep) * ystep;
    if (xmax <= xmin)
        xmax = xmin + xstep;
    if (ymax <= ymin)
        ymax = ymin + ystep;
    const auto X = [&](double x) { return pg(boxL + (x - xmin) / (xmax - xmin) * (boxR - boxL)); };
    const auto Y = [&](double y) { return pg(boxB - (y - ymin) / (ymax - ymin) * (boxB - boxT)); };

    // Grid and ticks.
    p.setFont(pg.Font(7));
    const QFontMetricsF fm(p.font(), p.device());
    for (double x = xmin; x <= xmax + xstep * 1e-6; x += xstep) {
        p.setPen(pg.Pen(QColor(0xe0, 0xe0, 0xe0), 0.15));
        p.drawLine(QPointF(X(x), pg(boxT)), QPointF(X(x), pg(boxB)));
        p.setPen(Qt::black);
        const QString label = c.own_scales ? QString::number(x * 100, 'f', 0) + " %" : Tick(x, xstep);
        p.drawText(QRectF(X(x) - pg(10), pg(boxB + 1), pg(20), pg(4)), Qt::AlignCenter, label);
    }
    for (double y = ymin; y <= ymax + ystep * 1e-6; y += ystep) {
        p.setPen(pg.Pen(QColor(0xe0, 0xe0, 0xe0), 0.15));
        p.drawLine(QPointF(pg(boxL), Y(y)), QPointF(pg(boxR), Y(y)));
        p.setPen(Qt::black);
        p.drawText(QRectF(pg(boxL - 15), Y(y) - pg(2), pg(14), pg(4)),
                   Qt::AlignRight | Qt::AlignVCenter, Tick(y, ystep));
    }
    // The zero line and the box.
    p.setPen(pg.Pen(QColor(0x40, 0x40, 0x40), 0.25));
    if (ymin < 0 && ymax > 0)
        p.drawLine(QPointF(pg(boxL), Y(0)), QPointF(pg(boxR), Y(0)));
    p.setPen(pg.Pen(Qt::black, 0.3));
    p.drawRect(QRectF(pg(boxL), pg(boxT), pg(boxR - boxL), pg(boxB - boxT)));
    p.setFont(pg.Font(7.5));
    p.drawText(QRectF(pg(boxL), pg(boxB + 5), pg(boxR - boxL), pg(4.5)), Qt::AlignCenter,
               Q(c.x_label));
    p.save();
    p.translate(pg(m.left + 1), (pg(boxT) + pg(boxB)) / 2);
    p.rotate(-90);
    p.drawText(QRectF(-pg(40), -pg(0.5), pg(80), pg(4.5)), Qt::AlignCenter, Q(c.y_label));
    p.restore();

    p.save();
    p.setClipRect(QRectF(pg(boxL), pg(boxT), pg(boxR - boxL), pg(boxB - boxT)));
    // Shaded areas under the lines.
    for (const CBookletShade& shade : c.shades) {
        if (shade.series >= c.series.size() || !(shade.to > shade.from))
            continue;
        const auto& pts = c.series[shade.series].points;
        QPolygonF poly;
        const double y0 = Interpolate(pts, shade.from), y1 = Interpolate(pts, shade.to);
        if (!std::isfinite(y0) || !std::isfinite(y1))
            continue;
        poly << QPointF(X(shade.from), Y(shade.level)) << QPointF(X(shade.from), Y(y0));
        for (const auto& [x, y] : pts)
            if (x > shade.from && x < shade.to)
                poly << QPointF(X(x), Y(y));
        poly << QPointF(X(shade.to), Y(y1)) << QPointF(X(shade.to), Y(shade.level));
        QColor fill = Colour(shade.colour);
        fill.setAlpha(70);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPolygon(poly);
    }
    p.setBrush(Qt::NoBrush);
    // Marks.
    double previous = -1e300;
    for (const CBookletMark& mark : c.marks) {
        p.setPen(pg.Pen(QColor(0x70, 0x70, 0x70), 0.25, Qt::DashLine));
        p.drawLine(QPointF(X(mark.x), pg(boxT)), QPointF(X(mark.x), pg(boxB)));
        p.save();
        // Left of the line, or right of it where the box's edge or the
        // mark before is too near.
        const bool right =
            X(mark.x) - pg(boxL) < pg(4) || std::fabs(X(mark.x) - previous) < pg(4);
        previous = X(mark.x);
        p.translate(X(mark.x) + (right ? pg(0.8) : -pg(0.8)), pg(boxT + 1.5));
        p.rotate(-90);
        p.setFont(pg.Font(6.5));
        // On a white ground, so that a curve under it does not cross the words.
        const QFontMetricsF small(p.font(), p.device());
        const double w = small.horizontalAdvance(Q(mark.name)) + pg(1);
        const double y = right ? 0 : -pg(3.5);
        p.fillRect(QRectF(-w, y + pg(0.2), w, pg(3.1)), QColor(255, 255, 255, 220));
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawText(QRectF(-pg(60), y, pg(60), pg(3.5)), Qt::AlignRight | Qt::AlignVCenter,
                   Q(mark.name));
        p.restore();
    }
    // The curves.
    for (std::size_t s = 0; s < c.series.size(); ++s) {
        const CBookletSeries& series = c.series[s];
        QPolygonF line;
        for (const auto& [x, y] : series.points)
            line << QPointF(X(x * scale[s]), Y(y));
        p.setPen(pg.Pen(Colour(series.colour), series.dashed ? 0.3 : 0.45,
                        series.dashed ? Qt::DashLine : Qt::SolidLine));
        p.drawPolyline(line);
        if (!series.dashed && series.points.size() < 40) {
            p.setBrush(Colour(series.colour));
            for (const QPointF& point : line)
                p.drawEllipse(point, pg(0.45), pg(0.45));
            p.setBrush(Qt::NoBrush);
        }
    }
    p.restore();

    // Legend: three entries a row.
    const double legendTop = boxB + 10;
    const double cellW = (boxR - boxL) / 3;
    p.setFont(pg.Font(7));
    std::size_t k = 0;
    auto entry = [&](const QString& text, const QColor& colour, bool area, bool dashed) {
        const double x = boxL + cellW * static_cast<double>(k % 3);
        const double y = legendTop + 4.2 * static_cast<double>(k / 3);
        if (area) {
            QColor fill = colour;
            fill.setAlpha(70);
            p.fillRect(QRectF(pg(x), pg(y + 0.8), pg(6), pg(2.6)), fill);
        } else {
            p.setPen(pg.Pen(colour, 0.5, dashed ? Qt::DashLine : Qt::SolidLine));
            p.drawLine(QPointF(pg(x), pg(y + 2.1)), QPointF(pg(x + 6), pg(y + 2.1)));
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(pg(x + 7.5), pg(y), pg(cellW - 8), pg(4.2)),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(text, Qt::ElideRight, pg(cellW - 8)));
        ++k;
    };
    for (std::size_t s = 0; s < c.series.size(); ++s) {
        QString text = Q(c.series[s].name);
        if (c.own_scales) {
            double most = 0;
            for (const auto& [x, y] : c.series[s].points)
                most = std::max(most, std::fabs(x));
            text += QString(" (0 - %1)").arg(QString::number(most, 'g', 4));
        }
        entry(text, Colour(c.series[s].colour), false, c.series[s].dashed);
    }
    for (const CBookletShade& shade : c.shades)
        entry(Q(shade.name), Colour(shade.colour), true, false);
}

void DrawBlock(const CPage& pg, const CPlacedBlock& placed) {
    QPainter& p = pg.P();
    const CBookletMetrics& m = pg.M();
    const double top = m.top + placed.y;
    const CBookletBlock& b = *placed.block;
    switch (b.kind) {
    case CBookletBlock::Kind::heading:
        p.setPen(kHeading);
        p.setFont(pg.Font(12, true));
        p.drawText(pg.Rect(m.left, top, m.Width(), m.heading_height),
                   Qt::AlignLeft | Qt::AlignVCenter, Q(b.text));
        break;
    case CBookletBlock::Kind::text:
        p.setPen(Qt::black);
        p.setFont(pg.Font(9));
        p.drawText(pg.Rect(m.left, top, m.Width(), placed.height + m.gap),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Q(b.text));
        break;
    case CBookletBlock::Kind::table:
        DrawTable(pg, placed, top);
        break;
    case CBookletBlock::Kind::chart:
        DrawChart(pg, placed, top);
        break;
    }
}

} // namespace

bool PaintBooklet(const CBooklet& booklet, const CBookletLayout& layout,
                  QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    const CBookletMetrics& m = layout.metrics;
    const CPage pg(painter, m, device.width() / m.page_width);
    const int count = layout.PageCount();
    TitlePage(pg, booklet);
    Frame(pg, booklet, "", 1, count);
    for (int k = 0; k < layout.contents_pages; ++k) {
        device.newPage();
        ContentsPage(pg, layout, k);
        Frame(pg, booklet, "Indice", 2 + k, count);
    }
    for (const CBookletPage& page : layout.pages) {
        device.newPage();
        for (const CPlacedBlock& placed : page.blocks)
            DrawBlock(pg, placed);
        Frame(pg, booklet, page.section, page.number, count);
    }
    return painter.end();
}

QByteArray BookletPdf(const CBooklet& booklet, const CBookletLayout& layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(600);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(QString::fromUtf8((booklet.title + " - " + booklet.ship).c_str()));
        pdf.setCreator("Brelund");
        if (!PaintBooklet(booklet, layout, pdf))
            return {};
    }
    buffer.close();
    return bytes;
}
