// An ordered list of points: the vertex list of a polygon, 1-based.
// Held in one contiguous block, so sequential and random access both cost
// one step; a pointer from GetAt stays valid until the list grows or is emptied.
#pragma once

#include "CVector3.h"

#include <vector>

class CPointList {
public:
    CPointList() = default;
    virtual ~CPointList() = default;
    CPointList(const CPointList&) = default;
    CPointList& operator=(const CPointList&) = default;

    // Adds a zero point at the end.
    CVector3* Append() { return &m_points.emplace_back(); }
    // Adds a copy of v at the end.
    CVector3* Append(const CVector3& v) { return &m_points.emplace_back(v); }

    // Point i, 1-based; null outside 1..count.
    CVector3* GetAt(int i) {
        return (i >= 1 && i <= GetCount()) ? &m_points[static_cast<std::size_t>(i - 1)] : nullptr;
    }
    const CVector3* GetAt(int i) const {
        return (i >= 1 && i <= GetCount()) ? &m_points[static_cast<std::size_t>(i - 1)] : nullptr;
    }
    int GetCount() const { return static_cast<int>(m_points.size()); }
    // Empties the list; its storage is kept for the next use.
    void RemoveAll() { m_points.clear(); }

    const CVector3* Data() const { return m_points.data(); }

private:
    std::vector<CVector3> m_points;
};
