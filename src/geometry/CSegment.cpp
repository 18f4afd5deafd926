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

// S = (x0, y0), D = (dx, dy); squares are products, as written.

double CSegment::WaterplaneArea() const {
    const double x0 = m_s.X(), dx = m_d.X(), dy = m_d.Y();
    return dy * (x0 + dx / 2);
}

double CSegment::FirstMomentAboutX() const {
    const double x0 = m_s.X(), y0 = m_s.Y(), dx = m_d.X(), dy = m_d.Y();
    return dy * (x0 * y0 + (x0 * dy + y0 * dx) / 2 + dx * dy / 3);
}

double CSegment::FirstMomentAboutY() const {
    const double x0 = m_s.X(), y0 = m_s.Y(), dx = m_d.X(), dy = m_d.Y();
    return -dx * (x0 * y0 + (x0 * dy + y0 * dx) / 2 + dx * dy / 3);
}

double CSegment::SecondMomentAboutX() const {
    const double x0 = m_s.X(), y0 = m_s.Y(), dx = m_d.X(), dy = m_d.Y();
    return dy * (x0 * (y0 * y0 + y0 * dy + dy * dy / 3) +
                 dx * (y0 * y0 / 2 + 2 * y0 * dy / 3 + dy * dy / 4));
}

double CSegment::SecondMomentAboutY() const {
    const double x0 = m_s.X(), y0 = m_s.Y(), dx = m_d.X(), dy = m_d.Y();
    return -dx * (y0 * (x0 * x0 + x0 * dx + dx * dx / 3) +
                  dy * (x0 * x0 / 2 + 2 * x0 * dx / 3 + dx * dx / 4));
}

// Section terms: S = (y0, z0), D = (dy, dz).

double CSegment::SectionAreaTerm() const {
    const double y0 = m_s.Y(), dy = m_d.Y(), dz = m_d.Z();
    return dz * (y0 + dy / 2);
}

double CSegment::SectionMomentTerm() const {
    const double y0 = m_s.Y(), z0 = m_s.Z(), dy = m_d.Y(), dz = m_d.Z();
    return -dz * (y0 * z0 + (dy * z0 + dz * y0) / 2 + dy * dz / 3);
}

double CSegment::SectionLateralTerm() const {
    const double y0 = m_s.Y(), z0 = m_s.Z(), dy = m_d.Y(), dz = m_d.Z();
    return dy * (y0 * z0 + (dy * z0 + dz * y0) / 2 + dy * dz / 3);
}
