#include "CSegment.h"

void CSegment::PointAt(double t, CVector3& out) const {
    out.Set(t * m_d.X() + m_s.X(), t * m_d.Y() + m_s.Y(), t * m_d.Z() + m_s.Z());
}

double CSegment::ParameterAtX(double x, CVector3& out) const {
    if (m_d.X() == 0)
        return -1;
    const double t = (x - m_s.X()) / m_d.X();
    PointAt(t, out);
    return t;
}

double CSegment::ParameterAtZ(double z, CVector3& out) const {
    if (m_d.Z() == 0)
        return -1;
    const double t = (z - m_s.Z()) / m_d.Z();
    PointAt(t, out);
    return t;
}
