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

    const CVector3& Direction() const { return m_d; }
    const CVector3& Start() const { return m_s; }

    // out = t D + S, component by component.
    void PointAt(double t, CVector3& out) const;
    // t where the segment's x equals x, with the point there; -1 when D.x = 0
    // (out untouched).
    double ParameterAtX(double x, CVector3& out) const;
    // The same on z.
    double ParameterAtZ(double z, CVector3& out) const;

private:
    CVector3 m_d;
    CVector3 m_s;
};
