// A straight edge from P0 to P1, cut by a coordinate plane.
#pragma once

#include "CVector3.h"

class CEdge {
public:
    CEdge() = default;
    CEdge(const CVector3& p0, const CVector3& p1) : m_p0(p0), m_p1(p1) {}

    CVector3& P0() { return m_p0; }
    CVector3& P1() { return m_p1; }

    // out = (1 - t) P0 + t P1, per component.
    void PointAt(double t, CVector3& out) const;
    // The parameter at which coordinate axis (0 x, 1 y, 2 z) takes value;
    // kNoIntersection when the ends share that coordinate or axis is not 0..2.
    double ParameterAt(int axis, double value) const;

private:
    CVector3 m_p0;
    CVector3 m_p1;
};
