#include "CTextGrid.h"

void CTextGrid::SetSize(int rows, int cols) {
    rows = rows < 0 ? 0 : rows;
    cols = cols < 0 ? 0 : cols;
    std::vector<std::string> cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    for (int r = 0; r < rows && r < m_rows; ++r)
        for (int c = 0; c < cols && c < m_cols; ++c)
            cells[static_cast<std::size_t>(r * cols + c)] =
                std::move(m_cells[static_cast<std::size_t>(r * m_cols + c)]);
    m_cells = std::move(cells);
    m_rows = rows;
    m_cols = cols;
}

void CTextGrid::SetText(int row, int col, std::string text) {
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return;
    m_cells[static_cast<std::size_t>(row * m_cols + col)] = std::move(text);
}

const std::string& CTextGrid::GetText(int row, int col) const {
    static const std::string empty;
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return empty;
    return m_cells[static_cast<std::size_t>(row * m_cols + col)];
}

std::string GridToText(const CTextGrid& grid, int firstRow, int firstCol, const char* lineEnd) {
    std::string text;
    const int lastRow = grid.GetRows() - 1, lastCol = grid.GetCols() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstCol; c <= lastCol; ++c) {
            text += grid.GetText(r, c);
            if (c != lastCol)
                text += '\t';
        }
        if (r != lastRow)
            text += lineEnd;
    }
    return text;
}
