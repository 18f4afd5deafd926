// The stability booklet as a document: sections of headings, paragraphs,
// tables of text and charts of numbers, and their layout on A4 pages. Plain
// data and arithmetic, so that what goes on which page is known (and
// tested) without a display; BookletPainter draws it.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// A table of text cells, the numbers already written as the commands write
// them. Rows marked alarm are drawn in red and bold (a criterion that
// fails). A table wider than the page is cut into groups of columns, each
// repeating the first keep columns; one taller than the page goes on over
// the next ones, its header repeated.
struct CBookletTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows; // each as long as header
    std::vector<bool> alarm;                    // per row; empty: none
    std::size_t keep = 1;
    bool IsAlarm(std::size_t row) const { return row < alarm.size() && alarm[row]; }
};

// One curve of a chart, in the chart's units.
struct CBookletSeries {
    std::string name;
    std::vector<std::pair<double, double>> points; // (x, y), in drawing order
    int colour = 0;                                // an index into the painter's palette
    bool dashed = false;
};

// The area between a series and the horizontal line y = level, from x =
// from to x = to, shaded and named.
struct CBookletShade {
    std::size_t series = 0;
    double from = 0, to = 0, level = 0;
    std::string name;
    int colour = 0;
};

// A vertical line at x, named (a flooding angle, a heel of equilibrium).
struct CBookletMark {
    double x = 0;
    std::string name;
};

struct CBookletChart {
    std::string x_label, y_label;
    std::vector<CBookletSeries> series;
    std::vector<CBookletShade> shades;
    std::vector<CBookletMark> marks;
    // Each series on a scale of its own along x, from 0 to its largest
    // value, the legend giving that value (the curves of form, drawn
    // against the draught up the side).
    bool own_scales = false;
};

struct CBookletBlock {
    enum class Kind { heading, text, table, chart };
    Kind kind = Kind::text;
    std::string text; // the heading, the paragraph, or the caption of a table or chart
    CBookletTable table;
    CBookletChart chart;
};

// A section starts on a new page and has its line in the table of contents.
struct CBookletSection {
    std::string title;
    std::vector<CBookletBlock> blocks;
};

struct CBooklet {
    std::string title;                  // "Relazione di stabilità"
    std::string ship;                   // the ship's name
    std::vector<std::string> title_notes; // lines under the name on the title page
    std::vector<CBookletSection> sections;
};

// Builders of blocks.
CBookletBlock BookletHeading(std::string text);
CBookletBlock BookletParagraph(std::string text);
CBookletBlock BookletTable(std::string caption, CBookletTable table);
CBookletBlock BookletChart(std::string caption, CBookletChart chart);

// The page's geometry and the estimates of the text's extent [mm]. The
// painter draws with fonts whose sizes follow these: a character is taken
// as at most char_width wide, which holds for the digits and most letters
// of the fonts used at these sizes.
struct CBookletMetrics {
    double page_width = 210, page_height = 297;  // A4 portrait
    double left = 20, right = 15, top = 22, bottom = 20;
    double row_height = 4.4;       // a table row, its font 7.5 pt
    double table_char_width = 1.6; // a character of a table cell
    double cell_padding = 1.2;     // each side of a cell's text
    double line_height = 4.8;      // a line of a paragraph, 9 pt
    double text_char_width = 1.75;
    double heading_height = 9;
    double caption_height = 5.5;
    double chart_height = 105;
    double gap = 3.5; // after each block
    double Width() const { return page_width - left - right; }
    double Height() const { return page_height - top - bottom; }
};

// A block, or the part of it that fits, placed on a page: a table's rows
// [row_from, row_to) and its columns (the kept ones, then [col_from,
// col_to)); continued when an earlier part of the same table came before.
struct CPlacedBlock {
    const CBookletBlock* block = nullptr;
    double y = 0, height = 0; // from the top of the content area [mm]
    std::size_t row_from = 0, row_to = 0, col_from = 0, col_to = 0;
    bool continued = false;
};

struct CBookletPage {
    int number = 0;      // 1 on the title page
    std::string section; // the running header; empty on the title and contents pages
    std::vector<CPlacedBlock> blocks;
};

struct CBookletContentsLine {
    std::string title;
    int page = 0;
};

struct CBookletLayout {
    CBookletMetrics metrics;
    std::vector<CBookletContentsLine> contents;
    int contents_pages = 1; // after the title page
    std::vector<CBookletPage> pages; // the sections' pages, numbered after the contents
    int PageCount() const { return 1 + contents_pages + static_cast<int>(pages.size()); }
};

// The column groups of a table that fit the width: [from, to) ranges of
// the columns after the kept ones, each drawn with the kept ones before it.
std::vector<std::pair<std::size_t, std::size_t>> ColumnGroups(const CBookletTable& table,
                                                              const CBookletMetrics& m);
// A column's estimated width [mm]: its longest text.
double ColumnWidth(const CBookletTable& table, std::size_t column, const CBookletMetrics& m);
// A paragraph's estimated height [mm] at the content width.
double TextHeight(const std::string& text, const CBookletMetrics& m);

// Every section from a new page; a heading is kept with the block after
// it, a table split between pages at a row (at least three rows on each
// side where it can be), a chart moved whole to the next page.
CBookletLayout LayOutBooklet(const CBooklet& booklet, const CBookletMetrics& m = {});
