#include "Booklet.h"

#include <algorithm>
#include <cmath>

CBookletBlock BookletHeading(std::string text) {
    CBookletBlock b;
    b.kind = CBookletBlock::Kind::heading;
    b.text = std::move(text);
    return b;
}

CBookletBlock BookletParagraph(std::string text) {
    CBookletBlock b;
    b.kind = CBookletBlock::Kind::text;
    b.text = std::move(text);
    return b;
}

CBookletBlock BookletTable(std::string caption, CBookletTable table) {
    CBookletBlock b;
    b.kind = CBookletBlock::Kind::table;
    b.text = std::move(caption);
    b.table = std::move(table);
    return b;
}

CBookletBlock BookletChart(std::string caption, CBookletChart chart) {
    CBookletBlock b;
    b.kind = CBookletBlock::Kind::chart;
    b.text = std::move(caption);
    b.chart = std::move(chart);
    return b;
}

namespace {

// Characters as the reader sees them: a UTF-8 sequence counts once.
std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

double ColumnWidth(const CBookletTable& table, std::size_t column, const CBookletMetrics& m) {
    std::size_t longest = column < table.header.size() ? Characters(table.header[column]) : 0;
    for (const auto& row : table.rows)
        if (column < row.size())
            longest = std::max(longest, Characters(row[column]));
    return static_cast<double>(std::max<std::size_t>(longest, 1)) * m.table_char_width +
           2 * m.cell_padding;
}

std::vector<std::pair<std::size_t, std::size_t>> ColumnGroups(const CBookletTable& table,
                                                              const CBookletMetrics& m) {
    const std::size_t columns = table.header.size();
    const std::size_t keep = std::min(table.keep, columns);
    double kept = 0;
    for (std::size_t c = 0; c < keep; ++c)
        kept += ColumnWidth(table, c, m);
    std::vector<std::pair<std::size_t, std::size_t>> groups;
    std::size_t from = keep;
    while (from < columns) {
        double width = kept;
        std::size_t to = from;
        // At least one column a group, whatever its width.
        while (to < columns && (to == from || width + ColumnWidth(table, to, m) <= m.Width())) {
            width += ColumnWidth(table, to, m);
            ++to;
        }
        groups.emplace_back(from, to);
        from = to;
    }
    if (groups.empty())
        groups.emplace_back(keep, keep);
    return groups;
}

double TextHeight(const std::string& text, const CBookletMetrics& m) {
    const double perLine = std::max(1.0, std::floor(m.Width() / m.text_char_width));
    double lines = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = text.find('\n', from);
        const std::string line = text.substr(from, end - from);
        lines += std::max(1.0, std::ceil(static_cast<double>(Characters(line)) / perLine));
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    return lines * m.line_height;
}

namespace {

class CPager {
public:
    CPager(CBookletLayout& layout, const std::string& section)
        : m_layout(layout), m_m(layout.metrics), m_section(section) {
        NewPage();
    }
    double Room() const { return m_m.Height() - m_y; }
    bool AtTop() const { return m_page().blocks.empty(); }
    void NewPage() {
        CBookletPage page;
        page.section = m_section;
        m_layout.pages.push_back(std::move(page));
        m_y = 0;
    }
    void Place(CPlacedBlock placed) {
        placed.y = m_y;
        m_y += placed.height + m_m.gap;
        m_page().blocks.push_back(placed);
    }

private:
    CBookletPage& m_page() const { return m_layout.pages.back(); }
    CBookletLayout& m_layout;
    const CBookletMetrics& m_m;
    std::string m_section;
    double m_y = 0;
};

// The least height a block needs on the page where it starts.
double LeastHeight(const CBookletBlock& b, const CBookletMetrics& m) {
    switch (b.kind) {
    case CBookletBlock::Kind::heading:
        return m.heading_height;
    case CBookletBlock::Kind::text:
        return TextHeight(b.text, m);
    case CBookletBlock::Kind::chart:
        return m.caption_height + m.chart_height;
    default:
        return m.caption_height +
               m.row_height * static_cast<double>(1 + std::min<std::size_t>(3, b.table.rows.size()));
    }
}

void PlaceTable(CPager& pager, const CBookletBlock& b, const CBookletMetrics& m) {
    const std::size_t rows = b.table.rows.size();
    bool continued = false;
    for (const auto& [from, to] : ColumnGroups(b.table, m)) {
        std::size_t row = 0;
        do {
            const std::size_t left = rows - row;
            const double fixed = m.caption_height + m.row_height;
            auto fitting = [&] {
                const double room = pager.Room() - fixed;
                return room > 0 ? static_cast<std::size_t>(std::floor(room / m.row_height + 1e-9))
                                : std::size_t(0);
            };
            std::size_t fit = fitting();
            if (fit < std::min<std::size_t>(3, left) && !pager.AtTop()) {
                pager.NewPage();
                fit = fitting();
            }
            fit = std::max<std::size_t>(fit, std::min<std::size_t>(1, left));
            std::size_t take = std::min(fit, left);
            // Three rows at least go on to the next page with the header.
            if (take < left && left - take < 3 && take > 3)
                take = std::max<std::size_t>(3, left - 3);
            CPlacedBlock placed;
            placed.block = &b;
            placed.height = fixed + m.row_height * static_cast<double>(take);
            placed.row_from = row;
            placed.row_to = row + take;
            placed.col_from = from;
            placed.col_to = to;
            placed.continued = continued;
            pager.Place(placed);
            row += take;
            continued = true;
            if (row < rows)
                pager.NewPage();
        } while (row < rows);
    }
}

} // namespace

CBookletLayout LayOutBooklet(const CBooklet& booklet, const CBookletMetrics& m) {
    CBookletLayout layout;
    layout.metrics = m;
    // The contents: a heading, then a line per section.
    const double contentsLines = std::floor((m.Height() - m.heading_height) / m.line_height);
    layout.contents_pages = std::max(
        1, static_cast<int>(std::ceil(static_cast<double>(booklet.sections.size()) /
                                      std::max(1.0, contentsLines))));
    for (const CBookletSection& section : booklet.sections) {
        const int first = 2 + layout.contents_pages + static_cast<int>(layout.pages.size());
        layout.contents.push_back({section.title, first});
        CPager pager(layout, section.title);
        const auto& blocks = section.blocks;
        for (std::size_t k = 0; k < blocks.size(); ++k) {
            const CBookletBlock& b = blocks[k];
            double need = LeastHeight(b, m);
            // A heading stays with what it heads.
            if (b.kind == CBookletBlock::Kind::heading && k + 1 < blocks.size())
                need += m.gap + LeastHeight(blocks[k + 1], m);
            if (need > pager.Room() && !pager.AtTop())
                pager.NewPage();
            if (b.kind == CBookletBlock::Kind::table) {
                PlaceTable(pager, b, m);
                continue;
            }
            CPlacedBlock placed;
            placed.block = &b;
            placed.height = b.kind == CBookletBlock::Kind::text ? TextHeight(b.text, m)
                            : b.kind == CBookletBlock::Kind::heading
                                ? m.heading_height
                                : m.caption_height + m.chart_height;
            pager.Place(placed);
        }
    }
    int number = 2 + layout.contents_pages;
    for (CBookletPage& page : layout.pages)
        page.number = number++;
    return layout;
}
