// The kind of a mesh file, told by its content first and by its extension
// when the content says nothing: DXF drawing, ASCII or binary STL, OBJ.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class CMeshFileKind { unknown, dxf, stlAscii, stlBinary, obj };

// The kind of a mesh file, by its content first: a binary STL is an 80-byte
// header and a uint32 triangle count n with a file of exactly 84 + 50 n bytes
// (whatever the header says, "solid" included); an ASCII STL starts with
// "solid" and has "facet" or "endsolid"; a DXF drawing has group-code/value
// lines with SECTION, ENTITIES, POLYLINE or 3DFACE; an OBJ file has lines
// starting with "v " or "f ". When the content says none of these, the
// extension decides (.stl, .obj, .dxf, in any case). Raises CFileException
// when the file cannot be opened or read.
CMeshFileKind DetectMeshFile(const std::string& path);
// The same on the first bytes of a file (head) and its whole size.
CMeshFileKind DetectMeshKind(std::string_view head, std::uint64_t size, const std::string& path);
