// The booklet's layout, without a display: what goes on which page.
#include "booklet/Booklet.h"

#include <gtest/gtest.h>

namespace {

CBookletTable Numbers(std::size_t rows, std::size_t columns, std::size_t chars) {
    CBookletTable t;
    for (std::size_t c = 0; c < columns; ++c)
        t.header.push_back(std::string(1, 'c').append(std::to_string(c)));
    for (std::size_t r = 0; r < rows; ++r)
        t.rows.emplace_back(columns, std::string(chars, '8'));
    return t;
}

// The parts of block placed, in page order, with their page numbers.
std::vector<std::pair<int, CPlacedBlock>> Parts(const CBookletLayout& layout,
                                                const CBookletBlock& block) {
    std::vector<std::pair<int, CPlacedBlock>> parts;
    for (const CBookletPage& page : layout.pages)
        for (const CPlacedBlock& placed : page.blocks)
            if (placed.block == &block)
                parts.emplace_back(page.number, placed);
    return parts;
}

} // namespace

TEST(BookletLayout, ALongTableGoesOnOverPagesWithItsHeaderAndNoLoneRows) {
    const CBookletMetrics m;
    CBooklet b;
    b.sections.push_back(
        {"Tabelle", {BookletParagraph("testo"), BookletTable("t", Numbers(130, 4, 6))}});
    const CBookletLayout layout = LayOutBooklet(b, m);
    const auto parts = Parts(layout, b.sections[0].blocks[1]);
    ASSERT_GE(parts.size(), 3u);
    std::size_t next = 0;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const CPlacedBlock& p = parts[k].second;
        EXPECT_EQ(p.row_from, next);
        EXPECT_GE(p.row_to - p.row_from, 3u);
        EXPECT_EQ(p.continued, k > 0);
        // Caption, header and rows within the page's content.
        EXPECT_NEAR(p.height,
                    m.caption_height + m.row_height * static_cast<double>(1 + p.row_to - p.row_from),
                    1e-9);
        EXPECT_LE(p.y + p.height, m.Height() + 1e-9);
        if (k > 0) {
            EXPECT_EQ(parts[k].first, parts[k - 1].first + 1);
        }
        next = p.row_to;
    }
    EXPECT_EQ(next, 130u);
    // 53 rows under the paragraph (236.8 mm of 4.4 mm rows), 55 on a page
    // of their own, 22 on the third.
    EXPECT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].second.row_to, 53u);
    EXPECT_EQ(parts[1].second.row_to, 108u);
}

TEST(BookletLayout, AWideTableIsCutIntoGroupsOfColumnsKeepingTheFirst) {
    const CBookletMetrics m;
    CBookletTable t = Numbers(5, 30, 9); // 30 columns of 9 digits: 16.8 mm each
    t.keep = 1;
    const auto groups = ColumnGroups(t, m);
    ASSERT_EQ(groups.size(), 4u); // 175 mm hold the kept column and 9 more: 9, 9, 9, 2
    std::size_t next = 1;
    for (const auto& [from, to] : groups) {
        EXPECT_EQ(from, next);
        double width = ColumnWidth(t, 0, m);
        for (std::size_t c = from; c < to; ++c)
            width += ColumnWidth(t, c, m);
        EXPECT_LE(width, m.Width());
        next = to;
    }
    EXPECT_EQ(next, 30u);
    EXPECT_DOUBLE_EQ(ColumnWidth(t, 3, m), 9 * m.table_char_width + 2 * m.cell_padding);
}

TEST(BookletLayout, SectionsStartPagesThatTheContentsNameAndChartsAreNotCut) {
    const CBookletMetrics m;
    CBooklet b;
    b.sections.push_back({"Uno", {BookletHeading("Uno"), BookletTable("t", Numbers(40, 3, 5)),
                                  BookletHeading("Figura"), BookletChart("c", {})}});
    b.sections.push_back({"Due", {BookletParagraph("breve")}});
    const CBookletLayout layout = LayOutBooklet(b, m);
    ASSERT_EQ(layout.contents.size(), 2u);
    EXPECT_EQ(layout.contents_pages, 1);
    // Title, contents, then the sections from page 3.
    EXPECT_EQ(layout.contents[0].page, 3);
    // The table ends 202 mm down: the heading and the chart (110.5 mm) go
    // on the next page together.
    const auto heading = Parts(layout, b.sections[0].blocks[2]);
    const auto chart = Parts(layout, b.sections[0].blocks[3]);
    ASSERT_EQ(chart.size(), 1u);
    ASSERT_EQ(heading.size(), 1u);
    EXPECT_EQ(chart[0].first, 4);
    EXPECT_EQ(heading[0].first, 4);
    EXPECT_EQ(layout.contents[1].page, 5);
    EXPECT_EQ(layout.pages.back().section, "Due");
    EXPECT_EQ(layout.PageCount(), 5);
}
