// A plane polygon given by its vertices, split into a fan of triangles
// (V1 = vertex 1; V2, V3 = vertices i, i + 1 for i = 2 .. n - 1) for the
// integrals (PolygonIntegrals.h).
#pragma once

#include "CPointList.h"
#include "CVector3.h"

class CHydroProperties;

class CPolygon : public CPointList {
public:
    // Enclosed-volume contribution: 0 below 3 vertices, otherwise the sum
    // over the fan triangles in order.
    double Volume() const;
    // Area, volume and volume moments over the fan; zero below 3 vertices.
    void Properties(double& area, double& volume, CVector3& moments) const;
    // Resets result, then adds every fan triangle's immersed contribution
    // (with its waterline segment when result collects).
    void ImmersedProperties(CHydroProperties& result) const;
};
