// Mesh of indexed triangles: nv vertices (1-based) and nf triangles of three
// vertex indices each. An index outside 1..nv (which no reader lets in)
// resolves to vertex 1.
#pragma once

#include "CMesh.h"

#include <cstdint>
#include <vector>

struct CFaceIndices {
    std::int32_t v[3];
};
static_assert(sizeof(CFaceIndices) == 12, "a triangle is stored as three int32");

class CPolyfaceMesh : public CMesh {
public:
    // Allocates nv zero vertices and nf zero triangles; nothing when either
    // count is 0 or below.
    void Allocate(int nv, int nf);
    void FreeArrays();

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
    // Counts the records first, then takes the first nv records as vertices
    // and the rest as faces, a quadrilateral face as two triangles. Empty
    // when the sequence holds no vertex or no face; false (damaged) when a
    // face index lies outside 1..nv. A negative index marks an invisible
    // edge and stands for its absolute value; a fourth index of 0 makes a
    // triangle.
    bool ImportDxf(CDxfFile& file) override;
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
