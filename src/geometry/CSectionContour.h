// The cut of the hull by a transverse plane x = const: segments in the yz
// plane, counter-clockwise for outward-facing hull panels, each the cut of
// one face, and the area and moment of the part of the section below a
// waterline, by Green's theorem along the contour without closing it at the
// waterline (every term vanishes there).
#pragma once

#include "CSegmentList.h"

namespace polygon {
// The cut of the face p[0] .. p[n - 1] by the plane x = const: the first
// edge that reaches the plane (0 <= t <= 1) gives r, the next one after it
// (or else the closing edge) gives p; the segment runs from p to r when x
// lies beyond the first vertex, from r to p otherwise. False below three
// vertices or when the plane is not reached twice. A plane through a vertex
// shared by two edges gives a segment of zero length.
bool CutAtX(const CVector3* const* p, int n, double x, CSegment& out);
} // namespace polygon

class CSectionContour : public CSegmentList {
public:
    // The part of segment i (1-based) below the waterline z, with z measured
    // from the waterline: the whole segment, its lower part, or false when
    // nothing of it lies below, when it is horizontal, or when i is not a
    // segment. out is zeroed first.
    bool ClipBelow(double z, int i, CSegment& out) const;
    // Below the waterline z: the area, its moment about the base plane
    // z = 0 (0 when the area is 0), and minus the integral of y over the
    // area.
    void Properties(double z, double& area, double& moment, double& lateral) const;
};
