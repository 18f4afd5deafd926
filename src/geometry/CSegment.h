// A straight segment stored as its direction D = end - start and its start S;
// the point at parameter t is S + t D.
#pragma once

#include "CVector3.h"

class CSegment {
public:
    CSegment() = default;
    CSegment(const CVector3& p, const CVector3& q) { Set(p, q); }

    // S = p, D = q - p.
    void Set(const CVector3& p, const CVector3& q) {
        m_s = p;
        m_d = q;
        m_d.Subtract(p);
    }
    void CopyFrom(const CSegment& s) { *this = s; }
    // Moves the start, keeping the direction.
    void SetStart(const CVector3& p) { m_s = p; }

    const CVector3& Direction() const { return m_d; }
    const CVector3& Start() const { return m_s; }

    // out = t D + S, component by component.
    void PointAt(double t, CVector3& out) const;
    // t where the segment's x equals x, with the point there; -1 when D.x = 0
    // (out untouched).
    double ParameterAtX(double x, CVector3& out) const;
    // The same on z.
    double ParameterAtZ(double z, CVector3& out) const;

    // Green's-theorem line integrals along the segment in the xy plane (z
    // ignored), whose sums over closed counter-clockwise loops give the
    // integrals over the enclosed area:
    // area, the integral of x dy  [m^2]
    double WaterplaneArea() const;
    // integral of y dA  [m^3]
    double FirstMomentAboutX() const;
    // integral of x dA  [m^3]
    double FirstMomentAboutY() const;
    // integral of y^2 dA  [m^4]
    double SecondMomentAboutX() const;
    // integral of x^2 dA  [m^4]
    double SecondMomentAboutY() const;

    // The same in the yz plane of a transverse section (x ignored), for a
    // counter-clockwise contour S = (y0, z0), D = (dy, dz):
    // area, the integral of y dz  [m^2]
    double SectionAreaTerm() const;
    // minus the integral of y z dz: the moment of the area about z = 0  [m^3]
    double SectionMomentTerm() const;
    // the integral of y z dy: minus the moment about y = 0  [m^3]
    double SectionLateralTerm() const;

private:
    CVector3 m_d;
    CVector3 m_s;
};
