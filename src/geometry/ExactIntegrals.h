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
