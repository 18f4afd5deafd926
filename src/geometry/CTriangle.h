// Three vertices V1, V2, V3 and the integrals taken over one plane triangle
// (the formulas are in TriangleIntegrals.h).
#pragma once

#include "CVector3.h"

class CHydroProperties;

class CTriangle {
public:
    // Vertices 1..3; V(1) is V1.
    CVector3& V(int i) { return m_v[i - 1]; }
    const CVector3& V(int i) const { return m_v[i - 1]; }

    // n = (V2 - V1) x (V3 - V1), normalized: outward for vertices running
    // counter-clockwise seen from outside.
    void Normal(CVector3& n) const;
    // p = (V1 + V2 + V3) / 3.
    void Centroid(CVector3& p) const;

    // zc * A * n.z: summed over a closed outward surface, the volume.
    double VolumeContribution() const;
    // Area, volume term and volume moments; nothing but the area for a
    // triangle of zero area.
    void Moments(CVector3& moments, double& area, double& volume) const;
    // Fills result (reset first, collect flag kept) with this triangle's
    // S, V and moments and, when result collects, its waterline segment.
    // The vertices are rounded in place for the waterline test.
    void ImmersedContribution(CHydroProperties& result);

private:
    CVector3 m_v[3];
};
