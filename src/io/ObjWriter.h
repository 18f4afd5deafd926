// Wavefront OBJ files written from faces over arrays of points.
#pragma once

#include "geometry/MeshArrays.h"

#include <string>
#include <vector>

class CFile;

// Writes into an open file (the caller's, usually through
// WriteFileAtomically) the comment "# TITLE NAME", then one "o NAME_M" per
// list that has a face (M its place in meshes, from 1), its points as
// "v x y z" with 17 significant digits, so that they read back exactly, and
// its faces as triangles fanned from their first corner, (p1, p2, p3),
// (p1, p3, p4), .... NAME is name with blanks and control characters as
// '_' ("element" when empty), one token. Raises CFileException when a
// coordinate is not finite: the reader would refuse the file.
void WriteObj(const std::string& title, const std::string& name,
              const std::vector<CFaceList>& meshes, CFile& file);
