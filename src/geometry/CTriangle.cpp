#include "CTriangle.h"

void CTriangle::Normal(CVector3& n) const {
    CVector3 e1 = m_v[1];
    e1.Subtract(m_v[0]);
    CVector3 e2 = m_v[2];
    e2.Subtract(m_v[0]);
    n.Cross(e1, e2);
    n.Normalize();
}

void CTriangle::Centroid(CVector3& p) const {
    p = m_v[0];
    p.Add(m_v[1]);
    p.Add(m_v[2]);
    p.Divide(3);
}

double CTriangle::VolumeContribution() const {
    CVector3 e1 = m_v[1];
    e1.Subtract(m_v[0]);
    CVector3 e2 = m_v[2];
    e2.Subtract(m_v[0]);
    CVector3 n;
    n.Cross(e1, e2);
    const double area = n.Length() * 0.5;
    n.Normalize();
    // zc: the mean z of the three vertices, taken from V1 and the two edges.
    const double zc = m_v[0].Z() + (e1.Z() + e2.Z()) / 3;
    return zc * area * n.Z();
}
