// Mesh of quadrilaterals on a rectangular grid of points. Face i is the quad
// whose top-left corner is cell (r, j), numbered row by row; the orientation
// flag chooses the winding: true (r, j), (r, j+1), (r+1, j+1), (r+1, j);
// false (r, j), (r+1, j), (r+1, j+1), (r, j+1).
#pragma once

#include "CMesh.h"
#include "CVectorGrid.h"

class CGridMesh : public CMesh, public CVectorGrid {
public:
    // Flips the orientation flag: every quad then runs the other way.
    void InvertNormals() override { m_orientation = !m_orientation; }
    // 0-based, as Item(i).
    CVector3* GetVertex(int i) override { return Item(i); }
    int GetVertexCount() const override { return CVectorGrid::GetCount(); }
    int GetType() const override { return typeGrid; }
    // M, N and the M x N points row by row. The orientation flag is not
    // written: the drawing has no place for it.
    void ExportDxf(CDxfFile& file) const override;
    // The orientation flag, then the grid.
    void Load(CFile& file) override;
    void Store(CFile& file) const override;
    void GetFace(int i, CPointList& list) const override;
    int GetFaceCount() const override;

    // Linear indices of face i's corners in winding order; false outside 1..count.
    bool GetFaceCorners(int i, int corners[4]) const;
};
