// The exact rule: the immersed volume, its first moments and the waterplane
// section of a body from closed forms over the plane triangles of its
// immersed panels, in the frame of the waterplane (z' = 0 on it, immersed
// side z' <= 0).
//
// Over a plane triangle of area A with corners i = 1..3, a linear integrand
// integrates to A times its mean, and a quadratic one exactly by
//   integral of f g dA = A / 12 (sum fi gi + sum fi * sum gi).
// With N = (V2 - V1) x (V3 - V1), so that n A = N / 2, and Sx, Sy, Sz the
// sums of the corners' coordinates, the divergence theorem over the closed
// immersed surface gives, per triangle, with fields that vanish on z' = 0
// (the waterplane lid then adds nothing):
//   V          field (0, 0, z)        N.z Sz / 6
//   int x dV   field (0, 0, x z)      N.z (sum xi zi + Sx Sz) / 24
//   int y dV   field (0, 0, y z)      N.z (sum yi zi + Sy Sz) / 24
//   int z dV   field (0, 0, z^2 / 2)  N.z (sum zi^2 + Sz^2) / 48
// and, since a field (0, 0, f(x, y)) has no divergence, the waterplane
// section (the lid, normal +z') is minus the same flux over the immersed
// panels:
//   Af         -N.z / 2
//   int x dA   -N.z Sx / 6            int y dA   -N.z Sy / 6
//   int x^2 dA -N.z (sum xi^2 + Sx^2) / 24
//   int y^2 dA -N.z (sum yi^2 + Sy^2) / 24
// The wetted area is |N| / 2. The sums keep the plain products and the
// constant factors are applied once when a result is read. A box is exact
// to rounding at any heel and trim; nothing is rounded and no power
// function is taken.
#pragma once

#include "CVector3.h"
#include "MeshArrays.h"

#include <cstddef>

#include <cmath>
#include <limits>

class CHydroProperties;
class CSegmentList;

// The exact rule's running sums over the immersed triangles; Finish gives
// the record.
class CExactSums {
public:
    // Everything back to zero, the waterline extents empty; the segment
    // list to collect into stays.
    void Reset() {
        CSegmentList* waterline = m_waterline;
        *this = CExactSums();
        m_waterline = waterline;
    }
    // Where the waterline's segments go, one per face that crosses the
    // waterplane, for drawing; null (the default) collects none.
    void CollectWaterline(CSegmentList* waterline) { m_waterline = waterline; }
    CSegmentList* Waterline() const { return m_waterline; }

    // One triangle of the immersed surface, corners in the waterplane frame,
    // counter-clockwise seen from outside the body.
    void AddTriangle(const CVector3& a, const CVector3& b, const CVector3& c) {
        const double e1x = b.X() - a.X(), e1y = b.Y() - a.Y(), e1z = b.Z() - a.Z();
        const double e2x = c.X() - a.X(), e2y = c.Y() - a.Y(), e2z = c.Z() - a.Z();
        const double nx = e1y * e2z - e1z * e2y;
        const double ny = e1z * e2x - e1x * e2z;
        const double nz = e1x * e2y - e1y * e2x;
        const double sx = a.X() + b.X() + c.X();
        const double sy = a.Y() + b.Y() + c.Y();
        const double sz = a.Z() + b.Z() + c.Z();
        m_wetted += std::sqrt(nx * nx + ny * ny + nz * nz);
        m_volume += nz * sz;
        m_mx += nz * (a.X() * a.Z() + b.X() * b.Z() + c.X() * c.Z() + sx * sz);
        m_my += nz * (a.Y() * a.Z() + b.Y() * b.Z() + c.Y() * c.Z() + sy * sz);
        m_mz += nz * (a.Z() * a.Z() + b.Z() * b.Z() + c.Z() * c.Z() + sz * sz);
        m_area += nz;
        m_ax += nz * sx;
        m_ay += nz * sy;
        m_axx += nz * (a.X() * a.X() + b.X() * b.X() + c.X() * c.X() + sx * sx);
        m_ayy += nz * (a.Y() * a.Y() + b.Y() * b.Y() + c.Y() * c.Y() + sy * sy);
    }
    // A point of the waterline (x', y'), for its length and breadth.
    void AddWaterlinePoint(double x, double y) {
        m_xmin = x < m_xmin ? x : m_xmin;
        m_xmax = x > m_xmax ? x : m_xmax;
        m_ymin = y < m_ymin ? y : m_ymin;
        m_ymax = y > m_ymax ? y : m_ymax;
    }
    // The waterline's piece across one face, from a to b (z' = 0), when
    // the segments are collected.
    void AddWaterlineSegment(const CVector3& a, const CVector3& b);
    // Adds another body's sums: its volume times volumeScale, its moments
    // and waterplane times scale (a compartment's permeability scales both,
    // or the volume alone), its wetted area only when wetted is set. The
    // waterline extents always widen.
    void Accumulate(const CExactSums& other, double volumeScale, double scale, bool wetted);
    // The volume so far [m^3].
    double Volume() const { return m_volume / 6; }

    // The record of these sums: V, S, the moments, the waterplane and its
    // moments, the waterline's extents, Lwl and Bwl (the constant factors
    // applied once, here). The record's segments are those collected.
    void Finish(CHydroProperties& record) const;

private:
    // Sums of the plain products; see the table above for their factors.
    double m_volume = 0, m_wetted = 0;
    double m_mx = 0, m_my = 0, m_mz = 0;
    double m_area = 0, m_ax = 0, m_ay = 0, m_axx = 0, m_ayy = 0;
    double m_xmin = std::numeric_limits<double>::infinity();
    double m_xmax = -std::numeric_limits<double>::infinity();
    double m_ymin = std::numeric_limits<double>::infinity();
    double m_ymax = -std::numeric_limits<double>::infinity();
    CSegmentList* m_waterline = nullptr;

    friend class CExactBlock;
};

// Triangles wholly under the waterplane, gathered into a block that stays
// in the first-level cache and summed four at a time. Triangle k of a block
// goes to lane k mod 4; each lane sums its triangles in the order they came,
// and the lanes are added in a fixed order, ((0 + 1) + (2 + 3)), when the
// block is emptied into a CExactSums. The bits are therefore the same
// whatever the width of the machine's vector registers: the arithmetic of a
// lane is that of AddTriangle, term by term.
class CExactBlock {
public:
    static constexpr int kLanes = 4;
    static constexpr int kSize = 128;
    static_assert(kLanes == 4 && kSize % kLanes == 0, "the lanes are added as two pairs");

    // The faces of a triangle mesh over the points p (its vertices in the
    // waterplane frame, nv of them), in order: a triangle wholly under the
    // waterplane is kept, one wholly above it adds nothing, and crossing(c,
    // 3) is called with the corners of any other. Indices are 1-based; one
    // out of range reads the first point. The branches follow the hull's
    // panels in the mesh's order, wet ones in runs and dry ones in runs, so
    // the processor foresees them but where the waterline passes.
    template <class Crossing>
    void AddTriangles(const CFaceIndices* faces, std::size_t count, const CVector3* p,
                      unsigned nv, Crossing&& crossing) {
        int n = m_count;
        for (std::size_t f = 0; f < count; ++f) {
            const unsigned ia = static_cast<unsigned>(faces[f].v[0]) - 1u;
            const unsigned ib = static_cast<unsigned>(faces[f].v[1]) - 1u;
            const unsigned ic = static_cast<unsigned>(faces[f].v[2]) - 1u;
            const CVector3* a = p + (ia < nv ? ia : 0u);
            const CVector3* b = p + (ib < nv ? ib : 0u);
            const CVector3* c = p + (ic < nv ? ic : 0u);
            const double za = a->Z(), zb = b->Z(), zc = c->Z();
            const bool under = (za < 0) & (zb < 0) & (zc < 0);
            const bool dry = (za > 0) & (zb > 0) & (zc > 0);
            if (under) {
                Write(n, *a, *b, *c);
                if (++n >= kSize) {
                    m_count = n;
                    SumBlock();
                    n = 0;
                }
            } else if (!dry) [[unlikely]] {
                const CVector3* corners[3] = {a, b, c};
                crossing(corners, 3);
            }
        }
        m_count = n;
    }
    // The quads of a grid of rows x cols points p (row by row), in order,
    // as AddTriangles does; a quad's corners lie at offsets from its first,
    // and its two fan triangles (0, 1, 2) and (0, 2, 3) are kept when all
    // four corners are under the waterplane.
    template <class Crossing>
    void AddQuads(const CVector3* p, int rows, int cols, const int offsets[4],
                  Crossing&& crossing) {
        int n = m_count;
        for (int r = 0; r + 1 < rows; ++r)
            for (int j = 0; j + 1 < cols; ++j) {
                const CVector3* q = p + (static_cast<std::ptrdiff_t>(r) * cols + j);
                const CVector3* c0 = q + offsets[0];
                const CVector3* c1 = q + offsets[1];
                const CVector3* c2 = q + offsets[2];
                const CVector3* c3 = q + offsets[3];
                const double z0 = c0->Z(), z1 = c1->Z(), z2 = c2->Z(), z3 = c3->Z();
                const bool under = (z0 < 0) & (z1 < 0) & (z2 < 0) & (z3 < 0);
                const bool dry = (z0 > 0) & (z1 > 0) & (z2 > 0) & (z3 > 0);
                if (under) {
                    Write(n, *c0, *c1, *c2);
                    Write(n + 1, *c0, *c2, *c3);
                    if ((n += 2) >= kSize) {
                        m_count = n;
                        SumBlock();
                        n = 0;
                    }
                } else if (!dry) [[unlikely]] {
                    const CVector3* corners[4] = {c0, c1, c2, c3};
                    crossing(corners, 4);
                }
            }
        m_count = n;
    }
    // Sums what is gathered, adds the lanes' totals to sums and starts
    // again from zero.
    void EmptyInto(CExactSums& sums);

private:
    enum { wetted, volume, mx, my, mz, area, ax, ay, axx, ayy, quantities };
    // The gathered triangles into the lanes; the block is then empty.
    void SumBlock();
    void Write(int i, const CVector3& a, const CVector3& b, const CVector3& c) {
        m_c[0][i] = a.X();
        m_c[1][i] = a.Y();
        m_c[2][i] = a.Z();
        m_c[3][i] = b.X();
        m_c[4][i] = b.Y();
        m_c[5][i] = b.Z();
        m_c[6][i] = c.X();
        m_c[7][i] = c.Y();
        m_c[8][i] = c.Z();
    }

    int m_count = 0;
    // Corner coordinates, one row each: ax ay az bx by bz cx cy cz; room
    // past kSize for a quad's second triangle and for padding.
    alignas(64) double m_c[9][kSize + kLanes];
    alignas(64) double m_lane[quantities][kLanes] = {};
};

// The volume alone by the exact rule: N.z Sz / 6 per triangle.
class CExactVolume {
public:
    void AddTriangle(const CVector3& a, const CVector3& b, const CVector3& c) {
        const double e1x = b.X() - a.X(), e1y = b.Y() - a.Y();
        const double e2x = c.X() - a.X(), e2y = c.Y() - a.Y();
        m_sum += (e1x * e2y - e1y * e2x) * (a.Z() + b.Z() + c.Z());
    }
    void AddWaterlinePoint(double, double) {}
    void AddWaterlineSegment(const CVector3&, const CVector3&) {}
    double Volume() const { return m_sum / 6; }

private:
    double m_sum = 0;
};
