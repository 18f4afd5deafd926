// The two integration rules of the hydrostatic engine, as policies of its
// face loops: each is handed one face at a time, its corners already
// carried into the waterplane frame, and adds the immersed part to its sums.
//
// COnePointRule: the tables' rule. Each face is clipped (kept points
// doubled), fanned, and every fan triangle gives its terms at its centroid
// (TriangleIntegrals.h) and, when collecting, its waterline segment with
// the vertices rounded to 6 decimals. A face's sums start from zero and
// are then added to the body's, so the bits stay those the tables print.
//
// CExactRule: closed forms over each immersed triangle (ExactIntegrals.h).
// Faces wholly immersed are fanned as they are, without clipping; faces
// that cross the waterplane are clipped and give their cut points to the
// waterline's extents. A face lying in the waterplane (every corner at
// z' = 0) is neither wetted nor part of the waterplane: a body whose deck
// lies exactly in the waterplane is taken as awash, not submerged.
#pragma once

#include "CHydroProperties.h"
#include "ExactIntegrals.h"
#include "FaceClip.h"
#include "PolygonIntegrals.h"

namespace rules {

// The largest face the meshes hand out: a grid quad.
inline constexpr int kMaxFaceCorners = 4;

} // namespace rules

struct COnePointRule {

    // V, S and the moments; the waterline segments go to waterline when
    // collect is set. The clipped face's scratch is set up once per
    // evaluation rather than for every face.
    struct Sums {
        double volume = 0;
        double wetted_area = 0;
        CVector3 moments;
        bool collect = false;
        CSegmentList* waterline = nullptr;
        CVector3 clipped[2 * rules::kMaxFaceCorners];
    };

    static void Face(const CVector3* const* corners, int n, Sums& sums) {
        const int count = faceclip::Clip(corners, n, sums.clipped);
        if (count < 3)
            return; // adds exactly nothing
        CImmersedSums face;
        polygon::Immersed(sums.clipped, count, sums.collect, face, sums.waterline);
        sums.volume += face.volume;
        sums.wetted_area += face.wetted_area;
        sums.moments.Add(face.moments);
    }

    // The immersed volume alone, face by face.
    struct VolumeSums {
        double volume = 0;
        CVector3 clipped[2 * rules::kMaxFaceCorners];
    };
    static double VolumeOf(const VolumeSums& sums) { return sums.volume; }
    static void Face(const CVector3* const* corners, int n, VolumeSums& sums) {
        sums.volume += polygon::Volume(sums.clipped, faceclip::Clip(corners, n, sums.clipped));
    }
    // The enclosed volume: a face of the closed surface, in ship axes.
    static void WholeFace(const CVector3* p, int n, VolumeSums& sums) {
        sums.volume += polygon::Volume(p, n);
    }
};

struct CExactRule {
    using Record = CHydroProperties;
    using Sums = CExactSums;

    // Sums: CExactSums, or CExactVolume for the volume alone.
    template <class S> static void Face(const CVector3* const* c, int n, S& sums) {
        bool anyIn = false, anyOut = false, onPlane = false;
        for (int k = 0; k < n; ++k) {
            const double z = c[k]->Z();
            anyIn = anyIn || z <= 0;
            anyOut = anyOut || z > 0;
            onPlane = onPlane || z == 0;
        }
        if (!anyIn)
            return;
        // The face's points on the waterplane: its corners there and its
        // cuts, in face order; two of them make its piece of the waterline.
        Scratch line;
        int inLine = 0;
        if (onPlane) {
            int inPlane = 0;
            for (int k = 0; k < n; ++k)
                if (c[k]->Z() == 0) {
                    sums.AddWaterlinePoint(c[k]->X(), c[k]->Y());
                    line.p[inLine++] = *c[k];
                    ++inPlane;
                }
            if (inPlane == n)
                return;
        }
        if (!anyOut) {
            for (int k = 1; k + 1 < n; ++k)
                sums.AddTriangle(*c[0], *c[k], *c[k + 1]);
            return;
        }
        // The immersed part, edge by edge as faceclip::Clip keeps it, and in
        // the same pass the cut of every edge that crosses, which is a
        // point of the waterline. A point equal to the one kept before it
        // (a corner shared by two kept edges, or a cut that falls on a
        // corner) is kept once: the fan's triangle through both would have
        // no area and add exactly nothing.
        Scratch kept;
        int count = 0;
        auto keep = [&](const CVector3& p) {
            if (count == 0 || !SamePoint(kept.p[count - 1], p))
                kept.p[count++] = p;
        };
        for (int k = 0; k < n; ++k) {
            const CVector3& a = *c[k];
            const CVector3& b = *c[k + 1 < n ? k + 1 : 0];
            const bool aIn = a.Z() <= 0, bIn = b.Z() <= 0;
            if (aIn && bIn) {
                keep(a);
                keep(b);
                continue;
            }
            if (!aIn && !bIn)
                continue;
            Scratch cut;
            if (faceclip::ClipEdge(a, b, cut.p) != 2)
                continue;
            keep(cut.p[0]);
            keep(cut.p[1]);
            const CVector3& p = aIn ? cut.p[1] : cut.p[0];
            sums.AddWaterlinePoint(p.X(), p.Y());
            if (a.Z() != 0 && b.Z() != 0) // else the cut is a corner already there
                line.p[inLine++] = p;
        }
        if (count > 1 && SamePoint(kept.p[count - 1], kept.p[0]))
            --count;
        if (inLine == 2)
            sums.AddWaterlineSegment(line.p[0], line.p[1]);
        for (int k = 1; k + 1 < count; ++k)
            sums.AddTriangle(kept.p[0], kept.p[k], kept.p[k + 1]);
    }

    // Room for a clipped face's points, left unset (a CVector3 array would
    // be zeroed at every face that crosses the waterplane).
    union Scratch {
        Scratch() {}
        CVector3 p[2 * rules::kMaxFaceCorners];
    };
    static bool SamePoint(const CVector3& a, const CVector3& b) {
        return a.X() == b.X() && a.Y() == b.Y() && a.Z() == b.Z();
    }

    using VolumeSums = CExactVolume;
    static double VolumeOf(const CExactVolume& v) { return v.Volume(); }
    static void WholeFace(const CVector3* p, int n, CExactVolume& volume) {
        for (int k = 1; k + 1 < n; ++k)
            volume.AddTriangle(p[0], p[k], p[k + 1]);
    }
};
