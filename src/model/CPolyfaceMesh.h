// Mesh of indexed triangles: nv vertices (1-based) and nf triangles of three
// vertex indices each. An index outside 1..nv (which no reader lets in)
// resolves to vertex 1.
#pragma once

#include "CMesh.h"
#include "geometry/MeshArrays.h"

#include <cstdint>
#include <vector>

class CPolyfaceMesh : public CMesh {
public:
    // Allocates nv zero vertices and nf zero triangles; nothing when either
    // count is 0 or below.
    void Allocate(int nv, int nf);
    void FreeArrays();
    // Takes the arrays as they are, as a reader of a mesh file gives them.
    void Assign(std::vector<CVector3> vertices, std::vector<CFaceIndices> faces) {
        m_vertices = std::move(vertices);
        m_faces = std::move(faces);
    }

    // Triangle i, 1-based; null outside 1..nf.
    const CFaceIndices* GetFaceIndices(int i) const;
    // Sets triangle i; ignored outside 1..nf.
    void SetFace(int i, int i1, int i2, int i3);

    void InvertNormals() override;
    CVector3* GetVertex(int i) override;
    const CVector3* GetVertex(int i) const;
    int GetVertexCount() const override { return static_cast<int>(m_vertices.size()); }
    int GetType() const override { return typePolyface; }
    // Vertices flagged 192, then each triangle as a face record; a triangle
    // with an index at 0 or below is left out.
    void ExportDxf(CDxfFile& file) const override;
    // The ship file's payload; a triangle index outside 1..nv is damage,
    // refused at the index's byte.
    void Load(CFile& file) override;
    void Store(CFile& file) const override;
    void GetFace(int i, CPointList& list) const override;
    int GetFaceCount() const override { return static_cast<int>(m_faces.size()); }

    // The vertex of a face corner: index k, or vertex 1 when k is outside 1..nv.
    const CVector3& ResolveVertex(std::int32_t k) const {
        const bool inside = k >= 1 && k <= GetVertexCount();
        return m_vertices[inside ? static_cast<std::size_t>(k - 1) : 0];
    }

    const std::vector<CVector3>& Vertices() const { return m_vertices; }
    const std::vector<CFaceIndices>& Faces() const { return m_faces; }

private:
    std::vector<CVector3> m_vertices;
    std::vector<CFaceIndices> m_faces;
};
