// An element's meshes and the mesh files of src/io: polyface meshes built
// from what the STL and OBJ readers give, and an element written out as an
// STL or OBJ file.
#pragma once

#include "CPolyfaceMesh.h"

#include <memory>

class CFile;
class CShipElement;

// A polyface mesh holding the arrays as they are.
std::unique_ptr<CPolyfaceMesh> MakePolyfaceMesh(CTriangleArrays arrays);

// Writers for export into an open file (the caller's, usually through
// WriteFileAtomically): every face of every mesh of the element, in mesh and
// face order, a quadrilateral (p1, p2, p3, p4) as (p1, p2, p3) and
// (p1, p3, p4), under the title "Brelund element" and the element's name.
// Binary STL as io/StlWriter.h writes it; OBJ as io/ObjWriter.h, one object
// "NAME_M" per mesh that has a face (M its number in the element).
void WriteStl(const CShipElement& element, CFile& file);
void WriteObj(const CShipElement& element, CFile& file);
