// A plane polygon given by its vertices, split into a fan of triangles
// (V1 = vertex 1; V2, V3 = vertices i, i + 1 for i = 2 .. n - 1) for the
// integrals. The fan works on copies in the scratch triangle, which the
// integrals may change without touching the polygon.
#pragma once

#include "CPointList.h"
#include "CTriangle.h"

class CPolygon : public CPointList {
public:
    // The enclosed-volume contribution of the polygon: 0 below 3 vertices,
    // otherwise the sum over the fan triangles in order.
    double Volume();

    CTriangle& Scratch() { return m_scratch; }

private:
    CTriangle m_scratch;
};
