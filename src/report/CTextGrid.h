// A result grid as text cells, rows and columns counted from 0; the
// calculation tables fill it and the dialogs and brelund-calc show it.
#pragma once

#include <string>
#include <vector>

class CTextGrid {
public:
    CTextGrid() = default;
    CTextGrid(int rows, int cols) { SetSize(rows, cols); }

    int GetRows() const { return m_rows; }
    int GetCols() const { return m_cols; }
    // Resizing keeps the text of the cells that remain; new cells are empty.
    void SetRows(int rows) { SetSize(rows, m_cols); }
    void SetCols(int cols) { SetSize(m_rows, cols); }
    void SetSize(int rows, int cols);

    // Cells outside the grid are ignored on writing and empty on reading.
    void SetText(int row, int col, std::string text);
    const std::string& GetText(int row, int col) const;

private:
    int m_rows = 0;
    int m_cols = 0;
    std::vector<std::string> m_cells;
};

// The grid from (firstRow, firstCol) as text: cells separated by TAB, rows
// by lineEnd (CR LF on the clipboard), no trailing separator.
std::string GridToText(const CTextGrid& grid, int firstRow = 0, int firstCol = 0,
                       const char* lineEnd = "\r\n");
