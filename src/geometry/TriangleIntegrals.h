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

// RoundTo(z, 6) == 0 without the division: floor(z 10^6 + 0.5) / 10^6 is 0
// exactly when the floor is 0.
inline bool RoundsToZero(double z) {
    return std::floor(z * kScale6 + 0.5) == 0;
}

// RoundTo(nz, 10) is 1 or -1 exactly when floor(nz 10^10 + 0.5) is 10^10 or
// -10^10: any other whole number over 10^10 differs from +-1.
inline bool IsHorizontal(double nz) {
    const double k = std::floor(nz * kScale10 + 0.5);
    return k == kScale10 || k == -kScale10;
}

inline void RoundVertex(CVector3& v) {
    v.Set(Round6(v.X()), Round6(v.Y()), Round6(v.Z()));
}

// The waterline segment of an immersed triangle of non-zero area whose
// unit normal has z component nz. The vertices are first rounded to 6
// decimals (so that cut points computed on the waterplane land exactly on
// z = 0); v1 is rounded in place, and stays so for the rest of the fan,
// while v2 and v3 are rounded only where they make the segment (rounding
// is idempotent, and only their z decides whether there is one). A
// horizontal triangle (n.z rounds to +-1 at 10 decimals) is left as it is
// and gives no segment. The segment is the first edge with both ends at
// z = 0, taken against the vertex order: V2 to V1, V3 to V2, V1 to V3.
//
// A thin triangle whose rounded vertices all lie on z = 0 gives none: it
// lies wholly in the waterplane (its normal is not vertical only because
// it is so thin), and its "edge" would retrace a segment of the
// neighbouring triangle backwards and cancel it. This happens when the
// waterplane passes within rounding of a vertex of a heeled or trimmed hull.
inline bool WaterlineSegment(CVector3& v1, bool& v1Rounded, const CVector3& v2, const CVector3& v3,
                             double nz, CVector3& start, CVector3& end) {
    if (IsHorizontal(nz))
        return false;
    if (!v1Rounded) {
        RoundVertex(v1);
        v1Rounded = true;
    }
    const bool z1 = v1.Z() == 0, z2 = RoundsToZero(v2.Z()), z3 = RoundsToZero(v3.Z());
    if (z1 && z2 && z3)
        return false;
    if (z1 && z2) {
        start = v2;
        RoundVertex(start);
        end = v1;
    } else if (z2 && z3) {
        start = v3;
        RoundVertex(start);
        end = v2;
        RoundVertex(end);
    } else if (z3 && z1) {
        start = v1;
        end = v3;
        RoundVertex(end);
    } else {
        return false;
    }
    return true;
}

} // namespace triangle
