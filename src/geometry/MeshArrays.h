// Meshes as plain arrays of vertices and faces, as the file formats read and
// write them and the checks of a surface take them: no kind of mesh, no
// element, no ship.
#pragma once

#include "CVector3.h"

#include <cstdint>
#include <vector>

// A triangle: three 1-based indices into a vertex array.
struct CFaceIndices {
    std::int32_t v[3];
};
static_assert(sizeof(CFaceIndices) == 12, "a triangle is stored as three int32");

// Vertices, and the triangles over them.
struct CTriangleArrays {
    std::vector<CVector3> vertices;
    std::vector<CFaceIndices> faces;
};

// Faces of three or more corners over one array of points: face f runs
// through points[corners[first[f]]] .. points[corners[first[f + 1] - 1]],
// 0-based, in the order that gives its outward normal by the right-hand
// rule. first holds one more entry than there are faces (none when there is
// no face).
struct CFaceList {
    std::vector<CVector3> points;
    std::vector<int> corners;
    std::vector<int> first;

    int FaceCount() const { return first.empty() ? 0 : static_cast<int>(first.size()) - 1; }
};
