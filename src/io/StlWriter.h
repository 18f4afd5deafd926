// Binary STL files written from faces over arrays of points.
#pragma once

#include "geometry/MeshArrays.h"

#include <string>
#include <vector>

class CFile;

// Writes into an open file (the caller's, usually through
// WriteFileAtomically) every face of every list, in list and face order, as
// triangles fanned from its first corner: (p1, p2, p3), (p1, p3, p4), ....
// The 80-byte header holds title, a blank and name (cut at 80 bytes);
// normals by the right-hand rule (zero for a degenerate triangle);
// coordinates rounded to float as the format has them. Raises
// CFileException when a coordinate does not fit in a float or there are
// more triangles than the format can count.
void WriteStl(const std::string& title, const std::string& name,
              const std::vector<CFaceList>& meshes, CFile& file);
