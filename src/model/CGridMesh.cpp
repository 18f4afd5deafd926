#include "CGridMesh.h"

#include "io/CDxfFile.h"
#include "ShipFileIO.h"
#include "platform/NumberText.h"

#include <vector>

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
    m_orientation = shipfile::ReadFlag(file, "the orientation of a grid");
    CVectorGrid::Load(file);
}

void CGridMesh::Store(CFile& file) const {
    shipfile::WriteFlag(file, m_orientation);
    CVectorGrid::Store(file);
}

void CGridMesh::ExportDxf(CDxfFile& file) const {
    for (const CVector3& v : Items())
        file.RequireFinite(v);
    file.WriteGridHeader(GetRows(), GetCols());
    for (const CVector3& v : Items())
        file.WriteGridVertex(v);
    file.EndPolyline();
}

bool CGridMesh::ImportDxf(CDxfFile& file) {
    CDxfVertex record;
    bool damaged = false;
    std::uint64_t at = file.GetPosition();
    const int count = GetVertexCount();
    int k = 0;
    for (; k < count; ++k) {
        if (!file.ReadVertexAt(at, record, &damaged))
            break;
        *Item(k) = record;
    }
    file.Seek(static_cast<std::int64_t>(at), CFile::begin);
    if (k < count && !damaged) {
        // The sequence ended early: at is the LF before its last keyword.
        file.NoteFault(at + 1,
                       FormatC("%d vertex records for a grid of %d x %d", k, GetRows(), GetCols()));
    }
    return k == count;
}

void CGridMesh::Close(bool closedM, bool closedN) {
    const int rows = GetRows(), cols = GetCols();
    if (rows <= 0 || cols <= 0 || (!closedM && !closedN))
        return;
    const std::vector<CVector3> open = Items();
    Resize(rows + (closedM ? 1 : 0), cols + (closedN ? 1 : 0));
    for (int r = 0; r < GetRows(); ++r)
        for (int j = 0; j < GetCols(); ++j)
            *Item(r, j) = open[static_cast<std::size_t>(r % rows) * static_cast<std::size_t>(cols) +
                               static_cast<std::size_t>(j % cols)];
}
