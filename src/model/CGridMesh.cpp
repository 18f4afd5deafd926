#include "CGridMesh.h"

#include "ShipFileIO.h"
#include "io/CDxfFile.h"

int CGridMesh::GetFaceCount() const {
    const int rows = GetRows(), cols = GetCols();
    return (rows >= 2 && cols >= 2) ? (rows - 1) * (cols - 1) : 0;
}

bool CGridMesh::GetFaceCorners(int i, int corners[4]) const {
    if (i < 1 || i > GetFaceCount())
        return false;
    const int cols = GetCols();
    const int r = (i - 1) / (cols - 1);
    const int j = (i - 1) % (cols - 1);
    const int topLeft = r * cols + j;
    const int topRight = topLeft + 1;
    const int bottomLeft = topLeft + cols;
    const int bottomRight = bottomLeft + 1;
    corners[0] = topLeft;
    if (m_orientation) {
        corners[1] = topRight;
        corners[2] = bottomRight;
        corners[3] = bottomLeft;
    } else {
        corners[1] = bottomLeft;
        corners[2] = bottomRight;
        corners[3] = topRight;
    }
    return true;
}

void CGridMesh::GetFace(int i, CPointList& list) const {
    list.RemoveAll();
    int corners[4];
    if (!GetFaceCorners(i, corners))
        return;
    for (int k : corners)
        list.Append(*Item(k));
}

void CGridMesh::Load(CFile& file) {
    m_orientation =
        shipfile::ReadFlag(file, {"the orientation of a grid", "l'orientamento di una griglia"});
    CVectorGrid::Load(file);
}

void CGridMesh::Store(CFile& file) const {
    shipfile::WriteFlag(file, m_orientation);
    CVectorGrid::Store(file);
}

void CGridMesh::ExportDxf(CDxfFile& file) const {
    file.WriteGridMesh(GetRows(), GetCols(), Items());
}
