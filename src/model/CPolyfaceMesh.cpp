#include "CPolyfaceMesh.h"

#include "ShipFileIO.h"
#include "io/CDxfFile.h"
#include "platform/NumberText.h"

#include <cstdint>

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
    const std::int32_t nv =
        ReadI32(file, {"the vertex count of a mesh", "il numero di vertici di una mesh"});
    const std::int32_t nf =
        ReadI32(file, {"the triangle count of a mesh", "il numero di triangoli di una mesh"});
    if (nv <= 0 || nf <= 0)
        return;
    const std::uint64_t bytes = static_cast<std::uint64_t>(nv) * sizeof(CVector3) +
                                static_cast<std::uint64_t>(nf) * sizeof(CFaceIndices);
    Require(file, bytes,
            {"a mesh's vertices and triangles", "i vertici e i triangoli di una mesh"});
    Allocate(nv, nf);
    ReadExact(file, m_vertices.data(), m_vertices.size() * sizeof(CVector3),
              {"the vertices", "i vertici"});
    const std::uint64_t facesAt = file.GetPosition();
    ReadExact(file, m_faces.data(), m_faces.size() * sizeof(CFaceIndices),
              {"the triangles", "i triangoli"});
    // A corner that is none of the vertices would silently stand for vertex
    // 1 and change every sum: the file is damaged there.
    for (std::size_t i = 0; i < m_faces.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            const std::int32_t index = m_faces[i].v[k];
            if (index < 1 || index > nv)
                Damaged(file,
                        facesAt + (3 * i + static_cast<std::size_t>(k)) * sizeof(std::int32_t),
                        BRELUND_SAY("triangle %zu of a mesh of %d vertices names vertex %d",
                                    "il triangolo %zu di una mesh di %d vertici nomina il vertice "
                                    "%d",
                                    i + 1, nv, index));
        }
}

void CPolyfaceMesh::Store(CFile& file) const {
    shipfile::WriteI32(file, GetVertexCount());
    shipfile::WriteI32(file, GetFaceCount());
    file.Write(m_vertices.data(), m_vertices.size() * sizeof(CVector3));
    file.Write(m_faces.data(), m_faces.size() * sizeof(CFaceIndices));
}

void CPolyfaceMesh::ExportDxf(CDxfFile& file) const {
    file.WritePolyfaceMesh(m_vertices, m_faces);
}
