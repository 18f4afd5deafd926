// Three vertices V1, V2, V3 of a plane triangle, its normal and its centroid
// (the formulas of the integrals over it are in TriangleIntegrals.h).
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

private:
    CVector3 m_v[3];
};
