// Element meshes in the common exchange formats of other modellers: STL
// (ASCII and binary) and Wavefront OBJ, read into polyface meshes and written
// from an element. DXF drawings have their reader in CDxfFile.
//
// The readers take the file whole into memory and never allocate by a count
// the file states before the bytes that back it have been seen: memory stays
// bounded by the file's size. Damage raises CFileException::damaged with the
// file name and a detail that names the line (text formats) or the triangle
// (binary STL). Vertices with equal coordinates are shared (exact equality,
// -0 equal to 0) and faces keep the winding the file gives them.
#pragma once

#include "CPolyfaceMesh.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CFile;
class CShipElement;

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

// One polyface mesh from an STL file, ASCII or binary, its triangles in file
// order; a file with no facet gives a mesh with no face. Normals in the file
// are not used. Damage: a binary file whose size is not 84 + 50 n for its
// count n, a vertex coordinate that is not finite, an ASCII file that breaks
// solid / facet normal / outer loop / vertex x3 / endloop / endfacet /
// endsolid (keywords in any case), or a file that is neither.
std::unique_ptr<CPolyfaceMesh> ReadStl(const std::string& path);
// The same on the file's bytes; path only names the file in exceptions.
std::unique_ptr<CPolyfaceMesh> ReadStlBytes(std::string_view bytes, const std::string& path);

// One polyface mesh per object or group ("o", "g") that has a face, in file
// order; faces before any o/g form a mesh of their own. Each mesh holds the
// vertices its faces use, shared by equal coordinates. Faces: triangles as
// they are, polygons of n corners fanned (1, i, i + 1), so that a
// quadrilateral gives (1, 2, 3), (1, 3, 4). Face corners v, v/vt, v//vn,
// v/vt/vn, with negative indices counting back from the last element read.
// "v" takes x y z and ignores further numbers (w or a colour); lines of
// other kinds (vt, vn, l, usemtl, s, ...) are passed over. Damage, as
// "line N: ...": an index that is 0 or names an element not yet read, a
// coordinate that is not a number or not finite, a face of fewer than 3
// corners.
std::vector<std::unique_ptr<CPolyfaceMesh>> ReadObj(const std::string& path);
std::vector<std::unique_ptr<CPolyfaceMesh>> ReadObjBytes(std::string_view bytes,
                                                         const std::string& path);

// Writers for export into an open file (the caller's, usually through
// WriteFileAtomically). Every face of every mesh of the element goes out as
// triangles, in mesh and face order, a quadrilateral (p1, p2, p3, p4) as
// (p1, p2, p3) and (p1, p3, p4).
//
// Binary STL: a header naming the element, normals by the right-hand rule
// (zero for a degenerate triangle), coordinates rounded to float as the
// format has them. Raises CFileException when a coordinate does not fit in a
// float or the element has more triangles than the format can count.
void WriteStl(const CShipElement& element, CFile& file);
// OBJ: one "o NAME_M" per mesh that has a face (M its number in the
// element), its vertices as "v x y z" with 17 significant digits, so that
// they read back exactly, then its triangles. Raises CFileException when a
// coordinate is not finite: the reader would refuse the file.
void WriteObj(const CShipElement& element, CFile& file);
