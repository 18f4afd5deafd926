#include "CEdge.h"

#include "Scalar.h"

void CEdge::PointAt(double t, CVector3& out) const {
    const double u = 1 - t;
    out.Set(u * m_p0.X() + t * m_p1.X(), u * m_p0.Y() + t * m_p1.Y(), u * m_p0.Z() + t * m_p1.Z());
}

double CEdge::ParameterAt(int axis, double value) const {
    if (axis < 0 || axis > 2)
        return kNoIntersection;
    const double a = *m_p0.Element(axis + 1);
    const double b = *m_p1.Element(axis + 1);
    if (a == b)
        return kNoIntersection;
    return (value - a) / (b - a);
}
