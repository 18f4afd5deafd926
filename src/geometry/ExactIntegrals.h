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

class CExactProperties {
public:
    // Everything back to zero, the waterline extents empty.
    void Reset() { *this = CExactProperties(); }

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
    // Adds another body's sums times scale (a compartment's permeability
    // scales its volume, its moments and its waterplane alike); its wetted
    // area only when wetted is set. The waterline extents always widen.
    void Accumulate(const CExactProperties& other, double scale, bool wetted);

    double Volume() const { return m_volume / 6; }           // V  [m^3]
    double WettedArea() const { return m_wetted / 2; }       // S  [m^2]
    CVector3 Moments() const;                                // int (x, y, z) dV [m^4]
    double WaterplaneArea() const { return -m_area / 2; }    // Af [m^2]
    double WaterplaneMomentX() const { return -m_ax / 6; }   // int x dA [m^3]
    double WaterplaneMomentY() const { return -m_ay / 6; }   // int y dA [m^3]
    double WaterplaneSecondX() const { return -m_axx / 24; } // int x^2 dA [m^4]
    double WaterplaneSecondY() const { return -m_ayy / 24; } // int y^2 dA [m^4]
    bool HasWaterline() const { return m_xmin <= m_xmax; }
    double WaterlineLength() const { return HasWaterline() ? m_xmax - m_xmin : 0; }  // along x'
    double WaterlineBreadth() const { return HasWaterline() ? m_ymax - m_ymin : 0; } // along y'
    // Middle of the waterline's extent along x' (0 without a waterline).
    double WaterlineMiddle() const { return HasWaterline() ? (m_xmin + m_xmax) / 2 : 0; }

    // Centre of buoyancy in the waterplane frame (z' below the waterplane
    // is negative) and in ship axes. Only for V != 0.
    CVector3 BuoyancyCentreInFrame() const;
    void BuoyancyCentre(CVector3& b, double draught, double heel, double trim) const;
    // Centre of flotation in ship axes. Only for Af != 0.
    void FloatationCentre(CVector3& f, double draught, double heel, double trim) const;
    // BMt and BMl [m]: the waterplane's second moments about the axes
    // through its centre of flotation (along x' and along y'), over V. Only
    // for V != 0 and Af != 0.
    void MetacentricRadii(double& transverse, double& longitudinal) const;
    // GZ: lever of the buoyancy about G at the heel.
    double RightingLever(const CVector3& g, double draught, double heel, double trim) const;
    // Longitudinal lever of the buoyancy about G; 0 at longitudinal equilibrium.
    double TrimmingLever(const CVector3& g, double draught, double heel, double trim) const;

private:
    // Sums of the plain products; see the table above for their factors.
    double m_volume = 0, m_wetted = 0;
    double m_mx = 0, m_my = 0, m_mz = 0;
    double m_area = 0, m_ax = 0, m_ay = 0, m_axx = 0, m_ayy = 0;
    double m_xmin = std::numeric_limits<double>::infinity();
    double m_xmax = -std::numeric_limits<double>::infinity();
    double m_ymin = std::numeric_limits<double>::infinity();
    double m_ymax = -std::numeric_limits<double>::infinity();
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
    double Volume() const { return m_sum / 6; }

private:
    double m_sum = 0;
};
