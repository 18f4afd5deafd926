// The meshes of a DXF drawing as plain arrays: polyface meshes as vertices
// and triangles, polygon meshes as grids of points, and the 3DFACE entities
// of a drawing without either as one set of triangles.
#pragma once

#include "geometry/MeshArrays.h"

#include <vector>

class CDxfFile;

// One mesh of a drawing.
struct CDxfMesh {
    // A polyface mesh: vertex i + 1 and the triangles over them. A polygon
    // mesh (grid): rows x cols points, row r and column j at r * cols + j,
    // faces between neighbouring points; faces stays empty.
    bool grid = false;
    std::vector<CVector3> vertices;
    std::vector<CFaceIndices> faces;
    int rows = 0, cols = 0;
};

// The meshes of the drawing's POLYLINEs from the file's position on, in file
// order: 3D polygon meshes (flag bit 16; a grid closed in M or N, bits 1 and
// 32, with its first row or column repeated after its last, so that its
// closing faces are there) and polyface meshes (bit 64, a quadrilateral face
// record as two triangles, (p1, p2, p3) and (p1, p3, p4)); any other
// POLYLINE is passed over, and so is a mesh without faces. A drawing without
// mesh POLYLINEs gives instead one polyface mesh of its 3DFACE entities,
// when it has any, corners with equal coordinates (-0 equal to 0) one vertex.
// A damaged mesh entity raises CFileException (damaged) naming the entity
// and the line of the fault, and so does a drawing cut short before the
// ENDSEC of its ENTITIES section.
std::vector<CDxfMesh> ReadDxfMeshes(CDxfFile& file);
