// STL files, ASCII and binary, read into vertices and triangles.
//
// The reader takes the file whole into memory and never allocates by a
// count the file states before the bytes that back it have been seen:
// memory stays bounded by the file's size. Damage raises
// CFileException::damaged with the file name and a detail that names the
// line (ASCII) or the triangle (binary). Vertices with equal coordinates are
// shared (exact equality, -0 equal to 0) and triangles keep the winding the
// file gives them.
#pragma once

#include "geometry/MeshArrays.h"

#include <cstdint>
#include <string>
#include <string_view>

// The triangles of an STL file, ASCII or binary, in file order; a file with
// no facet gives no vertex and no triangle. Normals in the file are not
// used. Damage: a binary file whose size is not 84 + 50 n for its count n, a
// vertex coordinate that is not finite, an ASCII file that breaks solid /
// facet normal / outer loop / vertex x3 / endloop / endfacet / endsolid
// (keywords in any case), or a file that is neither.
CTriangleArrays ReadStlFile(const std::string& path);
// The same on the file's bytes; path only names the file in exceptions.
CTriangleArrays ReadStlBytes(std::string_view bytes, const std::string& path);

// A binary STL: an 80-byte header and a uint32 triangle count n with a file
// of exactly 84 + 50 n bytes (whatever the header says, "solid" included);
// head holds the file's first bytes, size is the whole file's.
bool IsBinaryStl(std::string_view head, std::uint64_t size);
// The first token is "solid" and the bytes hold no NUL, which a binary STL
// all but always has (the high byte of its count, its attribute bytes).
bool LooksLikeAsciiStl(std::string_view bytes);
