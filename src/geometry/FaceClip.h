// Clipping a face, already carried into the waterplane frame, against the
// immersed side z' <= 0. Every edge (k, k + 1), then the closing edge
// (n, 1), leaves its kept part as two points, so a vertex shared by two kept
// edges appears twice in a row; a point exactly on the waterplane counts as
// immersed. A face of n corners gives at most 2 n points.
#pragma once

#include "CVector3.h"

namespace faceclip {

// Point of the edge a-b at z' = 0: t = (0 - a.z) / (b.z - a.z), then
// (1 - t) a + t b. Appends nothing when t falls outside [0, 1].
inline int ClipEdge(const CVector3& a, const CVector3& b, CVector3* out) {
    const bool aIn = a.Z() <= 0, bIn = b.Z() <= 0;
    if (aIn && bIn) {
        out[0] = a;
        out[1] = b;
        return 2;
    }
    if (a.Z() > 0 && b.Z() > 0)
        return 0;
    if (a.Z() == b.Z())
        return 0; // no crossing parameter (only with values that are not numbers)
    const double t = (0 - a.Z()) / (b.Z() - a.Z());
    if (t < 0 || t > 1)
        return 0;
    const double u = 1 - t;
    const CVector3 cut(u * a.X() + t * b.X(), u * a.Y() + t * b.Y(), u * a.Z() + t * b.Z());
    if (aIn) {
        out[0] = a;
        out[1] = cut;
    } else {
        out[0] = cut;
        out[1] = b;
    }
    return 2;
}

// corners: the n transformed corners in face order. Returns the number of
// points written to out (room for 2 n).
inline int Clip(const CVector3* const* corners, int n, CVector3* out) {
    if (n <= 2)
        return 0;
    int count = 0;
    for (int k = 0; k + 1 < n; ++k)
        count += ClipEdge(*corners[k], *corners[k + 1], out + count);
    count += ClipEdge(*corners[n - 1], *corners[0], out + count);
    return count;
}

} // namespace faceclip
