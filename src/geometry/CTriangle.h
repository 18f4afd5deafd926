// Three vertices V1, V2, V3 and the integrals taken over one plane triangle.
#pragma once

#include "CVector3.h"

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

    // The flux of the field (0, 0, z) through the triangle: zc * A * n.z,
    // with A the area, n the unit normal and zc the mean z of the vertices.
    // Summed over a closed surface with outward normals it gives the volume.
    double VolumeContribution() const;

private:
    CVector3 m_v[3];
};
