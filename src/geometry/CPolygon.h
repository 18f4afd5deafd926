// A plane polygon given by its vertices, split into a fan of triangles
// (V1 = vertex 1; V2, V3 = vertices i, i + 1 for i = 2 .. n - 1) for the
// integrals (PolygonIntegrals.h).
#pragma once

#include "CPointList.h"
#include "CVector3.h"

class CHydroProperties;
class CSegment;

namespace polygon {
// The cut of the face p[0] .. p[n - 1] by the plane x = const: the first
// edge that reaches the plane (0 <= t <= 1) gives r, the next one after it
// (or else the closing edge) gives p; the segment runs from p to r when x
// lies beyond the first vertex, from r to p otherwise. False below three
// vertices or when the plane is not reached twice. A plane through a vertex
// shared by two edges gives a segment of zero length.
bool CutAtX(const CVector3* const* p, int n, double x, CSegment& out);
} // namespace polygon

class CPolygon : public CPointList {
public:
    // Enclosed-volume contribution: 0 below 3 vertices, otherwise the sum
    // over the fan triangles in order.
    double Volume() const;
    // Area, volume and volume moments over the fan; zero below 3 vertices.
    void Properties(double& area, double& volume, CVector3& moments) const;
    // Resets result, then adds every fan triangle's immersed contribution
    // (with its waterline segment when result collects).
    void ImmersedProperties(CHydroProperties& result) const;
    // The cut by the plane x = const (polygon::CutAtX).
    bool CutAtX(double x, CSegment& out) const;
};
