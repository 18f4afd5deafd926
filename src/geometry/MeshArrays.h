// Meshes as plain arrays of vertices and faces, as the file formats read and
// write them: no kind of mesh, no element, no ship.
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
