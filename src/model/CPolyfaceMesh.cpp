#include "CPolyfaceMesh.h"

#include <cstdint>

#include "io/CDxfFile.h"
#include "ShipFileIO.h"
#include "platform/NumberText.h"

void CPolyfaceMesh::Allocate(int nv, int nf) {
    if (nv <= 0 || nf <= 0)
        return;
    m_vertices.assign(static_cast<std::size_t>(nv), CVector3());
    m_faces.assign(static_cast<std::size_t>(nf), CFaceIndices{{0, 0, 0}});
}

void CPolyfaceMesh::FreeArrays() {
    m_vertices = {};
    m_faces = {};
}

const CFaceIndices* CPolyfaceMesh::GetFaceIndices(int i) const {
    if (i < 1 || i > GetFaceCount())
        return nullptr;
    return &m_faces[static_cast<std::size_t>(i - 1)];
}

void CPolyfaceMesh::SetFace(int i, int i1, int i2, int i3) {
    if (i < 1 || i > GetFaceCount())
        return;
    m_faces[static_cast<std::size_t>(i - 1)] = CFaceIndices{{i1, i2, i3}};
}

void CPolyfaceMesh::InvertNormals() {
    for (CFaceIndices& f : m_faces)
        std::swap(f.v[0], f.v[2]);
}

CVector3* CPolyfaceMesh::GetVertex(int i) {
    if (i < 1 || i > GetVertexCount())
        return nullptr;
    return &m_vertices[static_cast<std::size_t>(i - 1)];
}

const CVector3* CPolyfaceMesh::GetVertex(int i) const {
    if (i < 1 || i > GetVertexCount())
        return nullptr;
    return &m_vertices[static_cast<std::size_t>(i - 1)];
}

void CPolyfaceMesh::GetFace(int i, CPointList& list) const {
    const CFaceIndices* f = GetFaceIndices(i);
    if (f == nullptr)
        return;
    if (list.GetCount() == 3) {
        for (int k = 0; k < 3; ++k)
            *list.GetAt(k + 1) = ResolveVertex(f->v[k]);
        return;
    }
    list.RemoveAll();
    for (int k = 0; k < 3; ++k)
        list.Append(ResolveVertex(f->v[k]));
}

void CPolyfaceMesh::Load(CFile& file) {
    using namespace shipfile;
    FreeArrays();
    const std::int32_t nv = ReadI32(file, "the vertex count of a mesh");
    const std::int32_t nf = ReadI32(file, "the triangle count of a mesh");
    if (nv <= 0 || nf <= 0)
        return;
    const std::uint64_t bytes = static_cast<std::uint64_t>(nv) * sizeof(CVector3) +
                                static_cast<std::uint64_t>(nf) * sizeof(CFaceIndices);
    Require(file, bytes, "a mesh's vertices and triangles");
    Allocate(nv, nf);
    ReadExact(file, m_vertices.data(), m_vertices.size() * sizeof(CVector3), "the vertices");
    const std::uint64_t facesAt = file.GetPosition();
    ReadExact(file, m_faces.data(), m_faces.size() * sizeof(CFaceIndices), "the triangles");
    // A corner that is none of the vertices would silently stand for vertex
    // 1 and change every sum: the file is damaged there.
    for (std::size_t i = 0; i < m_faces.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            const std::int32_t index = m_faces[i].v[k];
            if (index < 1 || index > nv)
                Damaged(file,
                        facesAt + (3 * i + static_cast<std::size_t>(k)) * sizeof(std::int32_t),
                        FormatC("triangle %zu of a mesh of %d vertices names vertex %d", i + 1, nv,
                                index));
        }
}

void CPolyfaceMesh::Store(CFile& file) const {
    shipfile::WriteI32(file, GetVertexCount());
    shipfile::WriteI32(file, GetFaceCount());
    file.Write(m_vertices.data(), m_vertices.size() * sizeof(CVector3));
    file.Write(m_faces.data(), m_faces.size() * sizeof(CFaceIndices));
}

void CPolyfaceMesh::ExportDxf(CDxfFile& file) const {
    for (const CVector3& v : m_vertices)
        file.RequireFinite(v);
    file.WritePolyfaceHeader(GetVertexCount(), GetFaceCount());
    for (const CVector3& v : m_vertices)
        file.WritePolyfaceVertex(v);
    for (const CFaceIndices& f : m_faces)
        file.WritePolyfaceFace(f.v[0], f.v[1], f.v[2], 0);
    file.EndPolyline();
}

bool CPolyfaceMesh::ImportDxf(CDxfFile& file) {
    FreeArrays();
    int nv = 0, nf = 0;
    if (!file.CountPolyfaceRecords(nv, nf))
        return false;
    if (nv == 0 || nf == 0)
        return true;
    Allocate(nv, nf);
    // Records are taken in file order whatever their flags; a record the
    // sequence does not have leaves the scratch record as it was.
    std::uint64_t at = file.GetPosition();
    CDxfVertex record;
    bool damaged = false;
    for (int i = 1; i <= nv; ++i) {
        file.ReadVertexAt(at, record, &damaged);
        if (damaged)
            break;
        m_vertices[static_cast<std::size_t>(i - 1)] = record;
    }
    // A corner must be one of the vertices; a negative index is the corner
    // of an edge drawn invisible, and a fourth corner of 0 makes the record
    // a triangle.
    const auto corner = [&](int code, std::int32_t index, std::int32_t& out) {
        out = index < 0 && index != INT32_MIN ? -index : index;
        if (out >= 1 && out <= nv)
            return true;
        file.NoteGroupFault(code, FormatC("face index %d outside 1..%d", index, nv));
        return false;
    };
    for (int i = 1; i <= nf && !damaged; ++i) {
        file.ReadVertexAt(at, record, &damaged);
        if (damaged)
            break;
        std::int32_t c1, c2, c3, c4 = 0;
        if (!corner(71, record.m_index71, c1) || !corner(72, record.m_index72, c2) ||
            !corner(73, record.m_index73, c3) ||
            (record.m_index74 != 0 && !corner(74, record.m_index74, c4))) {
            damaged = true;
            break;
        }
        SetFace(i, c1, c2, c3);
        // A quadrilateral p1 p2 p3 p4 becomes (p1, p2, p3) and (p1, p3, p4).
        if (c4 != 0) {
            ++i;
            SetFace(i, c1, c3, c4);
        }
    }
    file.Seek(static_cast<std::int64_t>(at), CFile::begin);
    if (damaged) {
        FreeArrays();
        return false;
    }
    return true;
}
