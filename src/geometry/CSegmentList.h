// An ordered list of segments, 1-based: a waterline or a section contour.
// Segments are held by value in one block, reused from one evaluation to the
// next.
#pragma once

#include "CSegment.h"

#include <vector>

class CSegmentList {
public:
    int GetCount() const { return static_cast<int>(m_items.size()); }
    // Segment i, 1-based; null outside 1..count.
    const CSegment* GetAt(int i) const {
        return (i >= 1 && i <= GetCount()) ? &m_items[static_cast<std::size_t>(i - 1)] : nullptr;
    }
    // Appends a copy.
    void Append(const CSegment& s) { m_items.push_back(s); }
    void RemoveAll() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<CSegment> m_items;
};
