// Wavefront OBJ files read into vertices and triangles, one set per object
// or group.
//
// The reader takes the file whole into memory and never allocates by a
// count the file states before the bytes that back it have been seen.
// Damage raises CFileException::damaged with the file name and a detail
// "line N: ...". Vertices with equal coordinates are shared within a set
// (exact equality, -0 equal to 0) and faces keep the winding the file gives
// them.
#pragma once

#include "geometry/MeshArrays.h"

#include <string>
#include <string_view>
#include <vector>

// One set of triangles per object or group ("o", "g") that has a face, in
// file order; faces before any o/g form a set of their own. Each set holds
// the vertices its faces use. Faces: triangles as they are, polygons of n
// corners fanned (1, i, i + 1), so that a quadrilateral gives (1, 2, 3),
// (1, 3, 4). Face corners v, v/vt, v//vn, v/vt/vn, with negative indices
// counting back from the last element read. "v" takes x y z and ignores
// further numbers (w or a colour); lines of other kinds (vt, vn, l, usemtl,
// s, ...) are passed over. Damage: an index that is 0 or names an element
// not yet read, a coordinate that is not a number or not finite, a face of
// fewer than 3 corners.
std::vector<CTriangleArrays> ReadObjFile(const std::string& path);
// The same on the file's bytes; path only names the file in exceptions.
std::vector<CTriangleArrays> ReadObjBytes(std::string_view bytes, const std::string& path);
