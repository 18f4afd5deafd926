#include "CVectorGrid.h"

#include "ShipFileIO.h"

void CVectorGrid::Resize(int rows, int cols) {
    if (rows < 0 || cols < 0)
        return;
    m_items.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), CVector3());
    m_rows = rows;
    m_cols = cols;
}

void CVectorGrid::Assign(int rows, int cols, std::vector<CVector3> points) {
    m_items = std::move(points);
    m_rows = rows;
    m_cols = cols;
}

CVector3* CVectorGrid::Item(int k) {
    return (k >= 0 && k < GetCount()) ? &m_items[static_cast<std::size_t>(k)] : nullptr;
}

const CVector3* CVectorGrid::Item(int k) const {
    return (k >= 0 && k < GetCount()) ? &m_items[static_cast<std::size_t>(k)] : nullptr;
}

CVector3* CVectorGrid::Item(int r, int j) {
    if (r < 0 || r >= m_rows || j < 0 || j >= m_cols)
        return nullptr;
    return &m_items[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_cols) +
                    static_cast<std::size_t>(j)];
}

const CVector3* CVectorGrid::Item(int r, int j) const {
    if (r < 0 || r >= m_rows || j < 0 || j >= m_cols)
        return nullptr;
    return &m_items[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_cols) +
                    static_cast<std::size_t>(j)];
}

void CVectorGrid::Load(CFile& file) {
    using namespace shipfile;
    const std::int32_t rows =
        ReadI32(file, {"the row count of a grid", "il numero di righe di una griglia"});
    const std::int32_t cols =
        ReadI32(file, {"the column count of a grid", "il numero di colonne di una griglia"});
    if (rows > 0 && cols > 0)
        Require(file,
                static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols) *
                    sizeof(CVector3),
                {"a grid's vertices", "i vertici di una griglia"});
    Resize(rows, cols);
    if (rows > 0 && cols > 0)
        ReadExact(file, m_items.data(), m_items.size() * sizeof(CVector3),
                  {"the grid's vertices", "i vertici della griglia"});
}

void CVectorGrid::Store(CFile& file) const {
    shipfile::WriteI32(file, m_rows);
    shipfile::WriteI32(file, m_cols);
    file.Write(m_items.data(), m_items.size() * sizeof(CVector3));
}
