#include "CTriangle.h"

#include "TriangleIntegrals.h"

void CTriangle::Normal(CVector3& n) const {
    double ez;
    n = triangle::Normal(m_v[0], m_v[1], m_v[2], ez);
    n.Normalize();
}

void CTriangle::Centroid(CVector3& p) const {
    p = m_v[0];
    p.Add(m_v[1]);
    p.Add(m_v[2]);
    p.Divide(3);
}
