// Meshes as plain arrays of vertices and faces, as the file formats read and
// write them and the checks of a surface take them: no kind of mesh, no
// element, no ship.
#pragma once

#include "CVector3.h"

#include <cstdint>
#include <span>
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
    // Face f's corners, as indices into points.
    std::span<const int> Face(int f) const {
        const auto b = static_cast<std::size_t>(first[static_cast<std::size_t>(f)]);
        const auto e = static_cast<std::size_t>(first[static_cast<std::size_t>(f) + 1]);
        return std::span<const int>(corners).subspan(b, e - b);
    }
    // Face f's corners, as copies of their points.
    void FacePoints(int f, std::vector<CVector3>& out) const {
        out.clear();
        for (const int c : Face(f))
            out.push_back(points[static_cast<std::size_t>(c)]);
    }
};
