#include "CTriangle.h"

#include "CHydroProperties.h"
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

double CTriangle::VolumeContribution() const {
    return triangle::Volume(m_v[0], m_v[1], m_v[2]);
}

void CTriangle::Moments(CVector3& moments, double& area, double& volume) const {
    CTriangleTerms t;
    triangle::Terms(m_v[0], m_v[1], m_v[2], t);
    moments = t.moments;
    area = t.area;
    volume = t.volume;
}

void CTriangle::ImmersedContribution(CHydroProperties& result) {
    result.Reset();
    CTriangleTerms t;
    triangle::Terms(m_v[0], m_v[1], m_v[2], t);
    result.m_wetted_area = t.area;
    if (t.area == 0)
        return;
    result.m_volume = t.volume;
    result.m_moments = t.moments;
    // The triangle's own vertices are rounded in place for the test.
    CVector3 start, end;
    bool rounded = false;
    if (result.m_collect &&
        triangle::WaterlineSegment(m_v[0], rounded, m_v[1], m_v[2], t.normal.Z(), start, end)) {
        const CSegment s(start, end);
        if (!s.Direction().IsZero())
            result.m_waterline.Append(s);
    }
    if (rounded) {
        triangle::RoundVertex(m_v[1]);
        triangle::RoundVertex(m_v[2]);
    }
}
