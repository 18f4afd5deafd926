// The integrals of one plane triangle V1 V2 V3, written once and shared by
// CTriangle and the engine's loops so that every path gives the same bits.
//
// With e1 = V2 - V1, e2 = V3 - V1, N = e1 x e2, A = |N| / 2 (the area),
// n = N / |N| (the unit normal) and zc = V1.z + (e1.z + e2.z) / 3 (the mean
// z), the divergence theorem over a closed surface with outward normals
// gives, per triangle, one-point (centroid) rules for fields that vanish on
// z = 0:
//   volume            field (0, 0, z)    zc * A * n.z
//   integral of x dV  field (0, 0, x z)  q.x * q.z * n.z * A
//   integral of y dV  field (0, 0, y z)  q.y * q.z * n.z * A
//   integral of z dV  field (x z, 0, 0)  q.x * q.z * n.x * A
// with q the centroid. Every expression is evaluated left to right as
// written; the results must not depend on the compiler's reordering.
#pragma once

#include "CVector3.h"
#include "Scalar.h"

#include <cmath>

struct CTriangleTerms {
    double area = 0;   // A
    double volume = 0; // zc * A * n.z
    CVector3 normal;   // n (the zero vector for a degenerate triangle)
    CVector3 moments;  // (integral of x dV, of y dV, of z dV)
};

namespace triangle {

// N = (V2 - V1) x (V3 - V1); returns e1.z + e2.z for the mean z.
inline CVector3 Normal(const CVector3& v1, const CVector3& v2, const CVector3& v3, double& ez) {
    CVector3 e1 = v2;
    e1.Subtract(v1);
    CVector3 e2 = v3;
    e2.Subtract(v1);
    ez = e1.Z() + e2.Z();
    CVector3 n;
    n.Cross(e1, e2);
    return n;
}

// The volume term only: zc * A * n.z.
inline double Volume(const CVector3& v1, const CVector3& v2, const CVector3& v3) {
    double ez;
    CVector3 n = Normal(v1, v2, v3, ez);
    const double length = n.Length();
    const double area = length * 0.5;
    if (length != 0)
        n.Scale(1 / length);
    const double zc = v1.Z() + ez / 3;
    return zc * area * n.Z();
}

// Area, volume, unit normal and volume moments. A triangle of zero area
// contributes nothing: volume and moments stay 0.
inline void Terms(const CVector3& v1, const CVector3& v2, const CVector3& v3, CTriangleTerms& t) {
    double ez;
    CVector3 n = Normal(v1, v2, v3, ez);
    const double length = n.Length();
    t.area = length * 0.5;
    if (length != 0)
        n.Scale(1 / length);
    t.normal = n;
    if (t.area == 0) {
        t.volume = 0;
        t.moments.Zero();
        return;
    }
    const double zc = v1.Z() + ez / 3;
    t.volume = zc * t.area * n.Z();
    CVector3 q = v1;
    q.Add(v2);
    q.Add(v3);
    q.Scale(kOneThird);
    t.moments.Set(q.X() * q.Z() * n.Z() * t.area, q.Y() * q.Z() * n.Z() * t.area,
                  q.X() * q.Z() * n.X() * t.area);
}

// 10^6 and 10^10 as RoundTo takes them, from the power function.
inline const double kScale6 = std::pow(10.0, 6);
inline const double kScale10 = std::pow(10.0, 10);

inline double Round6(double x) {
    return std::floor(x * kScale6 + 0.5) / kScale6;
}

// The waterline segment of an immersed triangle with a non-zero area, with
// the triangle's vertices rounded in place to 6 decimals first (so that cut
// points computed on the waterplane land exactly on z = 0). A horizontal
// triangle (n.z rounds to +-1 at 10 decimals) is left as it is and gives no
// segment, and neither does one whose rounded vertices all lie on z = 0. Returns whether a segment
// was found: the first edge with both ends at z = 0, taken against the vertex order (V2 to V1, V3
// to V2, V1 to V3).
inline bool WaterlineSegment(CVector3& v1, CVector3& v2, CVector3& v3, double nz, CVector3& start,
                             CVector3& end) {
    const double rounded = std::floor(nz * kScale10 + 0.5) / kScale10;
    if (rounded == 1 || rounded == -1)
        return false;
    for (CVector3* v : {&v1, &v2, &v3})
        v->Set(Round6(v->X()), Round6(v->Y()), Round6(v->Z()));
    // A sliver lying wholly in the waterplane (its normal is not vertical
    // only because it is so thin) is no part of the waterline: its "edge"
    // would retrace a segment of the neighbouring triangle backwards and
    // cancel it. This happens when the waterplane passes within rounding of
    // a vertex of a heeled or trimmed hull.
    if (v1.Z() == 0 && v2.Z() == 0 && v3.Z() == 0)
        return false;
    if (v1.Z() == 0 && v2.Z() == 0) {
        start = v2;
        end = v1;
    } else if (v2.Z() == 0 && v3.Z() == 0) {
        start = v3;
        end = v2;
    } else if (v3.Z() == 0 && v1.Z() == 0) {
        start = v1;
        end = v3;
    } else {
        return false;
    }
    return true;
}

} // namespace triangle
