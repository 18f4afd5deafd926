// An M x N array of points, row-major: row r, column j at r * N + j, both
// 0-based.
#pragma once

#include "geometry/CVector3.h"

#include <vector>

class CFile;

class CVectorGrid {
public:
    CVectorGrid() = default;
    virtual ~CVectorGrid() = default;
    CVectorGrid(const CVectorGrid&) = delete;
    CVectorGrid& operator=(const CVectorGrid&) = delete;

    // Nothing when M < 0 or N < 0; otherwise M * N zero points.
    void Resize(int rows, int cols);
    // The grid of rows x cols points given row by row (points holds rows x
    // cols of them), taken as they are.
    void Assign(int rows, int cols, std::vector<CVector3> points);
    // Point k, 0-based; null outside 0..M * N - 1.
    CVector3* Item(int k);
    const CVector3* Item(int k) const;
    // Point (r, j), 0-based; null outside the grid.
    CVector3* Item(int r, int j);
    const CVector3* Item(int r, int j) const;
    int GetCount() const { return static_cast<int>(m_items.size()); }
    int GetRows() const { return m_rows; }
    int GetCols() const { return m_cols; }

    // M, N and the M * N points in linear order.
    virtual void Load(CFile& file);
    virtual void Store(CFile& file) const;

    const std::vector<CVector3>& Items() const { return m_items; }

private:
    std::vector<CVector3> m_items;
    int m_rows = 0;
    int m_cols = 0;
};
