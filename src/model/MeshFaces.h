// Walking the faces of a mesh without copying them: each face is handed out
// as an array of pointers to its corners, in face order. For the engine's
// loops the vertices are first carried into the waterplane frame, once per
// vertex and evaluation, into a scratch block that lives with the thread.
#pragma once

#include "CGridMesh.h"
#include "COwningList.h"
#include "CPolyfaceMesh.h"
#include "geometry/RotationKernel.h"

#include <vector>

namespace meshfaces {

// The largest face: a grid quad.
inline constexpr int kMaxCorners = 4;

// Calls fn(corners, n) for faces 1..GetFaceCount() of mesh, with points
// taken from the array points (one per vertex, in GetVertex order).
template <class Fn> void ForEachFace(const CMesh& mesh, const CVector3* points, Fn&& fn) {
    const CVector3* corners[kMaxCorners];
    if (const auto* poly = dynamic_cast<const CPolyfaceMesh*>(&mesh)) {
        const int nv = poly->GetVertexCount();
        for (const CFaceIndices& f : poly->Faces()) {
            for (int k = 0; k < 3; ++k) {
                const int i = f.v[k];
                corners[k] = points + ((i >= 1 && i <= nv) ? i - 1 : 0);
            }
            fn(corners, 3);
        }
    } else if (const auto* grid = dynamic_cast<const CGridMesh*>(&mesh)) {
        const int faces = grid->GetFaceCount();
        int index[4];
        for (int i = 1; i <= faces; ++i) {
            grid->GetFaceCorners(i, index);
            for (int k = 0; k < 4; ++k)
                corners[k] = points + index[k];
            fn(corners, 4);
        }
    }
}

// The mesh's vertices in GetVertex order.
inline const CVector3* VertexArray(const CMesh& mesh) {
    if (const auto* poly = dynamic_cast<const CPolyfaceMesh*>(&mesh))
        return poly->Vertices().data();
    if (const auto* grid = dynamic_cast<const CGridMesh*>(&mesh))
        return grid->Items().data();
    return nullptr;
}

// Room for n points in the waterplane frame, in a block reused by the
// calling thread (valid until its next call).
inline CVector3* FrameScratch(std::size_t n) {
    thread_local std::vector<CVector3> block;
    if (block.size() < n)
        block.resize(n);
    return block.data();
}

// The mesh's vertices carried into the waterplane frame (R p, z' - draught),
// in the calling thread's block.
inline const CVector3* TransformedVertices(const CMesh& mesh, const CRotationKernel& r,
                                           double draught) {
    const CVector3* v = VertexArray(mesh);
    const std::size_t n = static_cast<std::size_t>(mesh.GetVertexCount());
    CVector3* block = FrameScratch(n);
    for (std::size_t k = 0; k < n; ++k)
        block[k] = r.Apply(v[k], draught);
    return block;
}

} // namespace meshfaces

namespace meshfaces {

// Calls fn(points, n) for every face of every mesh, in order, with the
// face's corners copied in ship axes.
template <class Fn> void ForEachFaceInShipAxes(const COwningList<CMesh>& meshes, Fn&& fn) {
    CVector3 p[kMaxCorners];
    for (int m = 1; m <= meshes.GetCount(); ++m) {
        const CMesh& mesh = *meshes.GetAt(m);
        ForEachFace(mesh, VertexArray(mesh), [&](const CVector3* const* corners, int n) {
            for (int k = 0; k < n; ++k)
                p[k] = *corners[k];
            fn(p, n);
        });
    }
}

// Calls fn(corners, n) for every face of every mesh, in order, with the
// corners carried into the waterplane frame.
template <class Fn>
void ForEachFaceInWaterplane(const COwningList<CMesh>& meshes, const CRotationKernel& r,
                             double draught, Fn&& fn) {
    for (int m = 1; m <= meshes.GetCount(); ++m) {
        const CMesh& mesh = *meshes.GetAt(m);
        ForEachFace(mesh, TransformedVertices(mesh, r, draught), fn);
    }
}

} // namespace meshfaces
