// Fan-triangle sums over a polygon given as a point array: V1 = p[0], and
// V2, V3 = p[i], p[i + 1] for i = 1 .. n - 2, in that order. Shared by
// the engine's face loops and the checks of a surface.
//
// A fan triangle with two equal vertices has a zero cross product, hence a
// zero area, and adds exactly nothing to any sum, so it is skipped: the
// clipped faces repeat every kept vertex, and most of their fan triangles
// are of that kind.
#pragma once

#include "CSegmentList.h"
#include "TriangleIntegrals.h"

// V, S and the volume moments of one body part.
struct CImmersedSums {
    double volume = 0;
    double wetted_area = 0;
    CVector3 moments;
};

namespace polygon {

inline bool SameVertex(const CVector3& a, const CVector3& b) {
    return a.X() == b.X() && a.Y() == b.Y() && a.Z() == b.Z();
}

// Sum of the fan triangles' volume terms; 0 below three points.
inline double Volume(const CVector3* p, int n) {
    double volume = 0;
    for (int i = 1; i + 1 < n; ++i) {
        if (SameVertex(p[i], p[i + 1]) || SameVertex(p[0], p[i]) || SameVertex(p[0], p[i + 1]))
            continue;
        volume += triangle::Volume(p[0], p[i], p[i + 1]);
    }
    return volume;
}

// Area, volume and volume moments of the fan; zero below three points.
inline void Properties(const CVector3* p, int n, double& area, double& volume, CVector3& moments) {
    area = 0;
    volume = 0;
    moments.Zero();
    CTriangleTerms t;
    for (int i = 1; i + 1 < n; ++i) {
        if (SameVertex(p[i], p[i + 1]) || SameVertex(p[0], p[i]) || SameVertex(p[0], p[i + 1]))
            continue;
        triangle::Terms(p[0], p[i], p[i + 1], t);
        area += t.area;
        volume += t.volume;
        moments.Add(t.moments);
    }
}

// The immersed part of a clipped face: the fan's V, S and moments added to
// sums (which start from zero for each face), and, when collecting, the
// waterline segments of its triangles appended to waterline. The first
// vertex is a copy that, once rounded for a waterline test, stays rounded
// for the following triangles of the fan.
inline void Immersed(const CVector3* p, int n, bool collect, CImmersedSums& sums,
                     CSegmentList* waterline) {
    if (n < 3)
        return;
    CVector3 v1 = p[0];
    bool v1Rounded = false;
    CTriangleTerms t;
    for (int i = 1; i + 1 < n; ++i) {
        if (SameVertex(p[i], p[i + 1]) || SameVertex(v1, p[i]) || SameVertex(v1, p[i + 1]))
            continue;
        triangle::Terms(v1, p[i], p[i + 1], t);
        sums.wetted_area += t.area;
        if (t.area == 0)
            continue;
        sums.volume += t.volume;
        sums.moments.Add(t.moments);
        CVector3 start, end;
        if (collect &&
            triangle::WaterlineSegment(v1, v1Rounded, p[i], p[i + 1], t.normal.Z(), start, end)) {
            const CSegment s(start, end);
            if (!s.Direction().IsZero())
                waterline->Append(s);
        }
    }
}

} // namespace polygon
