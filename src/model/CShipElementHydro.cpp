// The element's hydrostatics: the engine's face loops over its meshes.
#include "CShipElement.h"
#include "FalsePosition.h"
#include "MeshFaces.h"
#include "geometry/CHydroProperties.h"
#include "geometry/FaceClip.h"
#include "geometry/IntegrationRules.h"
#include "geometry/VectorClones.h"

#include <algorithm>
#include <cassert>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>
#include <type_traits>
#include <vector>

static_assert(rules::kMaxFaceCorners == meshfaces::kMaxCorners);
#include <cmath>

template <class Rule> double CShipElement::VolumeBy() const {
    typename Rule::VolumeSums volume{};
    meshfaces::ForEachFaceInShipAxes(
        *this, [&](const CVector3* p, int n) { Rule::WholeFace(p, n, volume); });
    return Rule::VolumeOf(volume);
}

void CShipElement::EnclosedSums(CExactSums& sums) const {
    meshfaces::ForEachFaceInShipAxes(*this, [&](const CVector3* p, int n) {
        for (int k = 1; k + 1 < n; ++k)
            sums.AddTriangle(p[0], p[k], p[k + 1]);
    });
}

double CShipElement::Volume() const {
    return VolumeBy<COnePointRule>();
}

void CShipElement::VolumeProperties(double& area, double& volume, CVector3& centroid) const {
    area = 0;
    volume = 0;
    CVector3 moments;
    meshfaces::ForEachFaceInShipAxes(*this, [&](const CVector3* p, int n) {
        double a, v;
        CVector3 mo;
        polygon::Properties(p, n, a, v, mo);
        area += a;
        volume += v;
        moments.Add(mo);
    });
    centroid.Zero();
    if (volume != 0) {
        centroid = moments;
        centroid.Divide(volume);
    }
}

bool CShipElement::ZRange(const CMatrixBase& r, double& zmin, double& zmax) const {
    const CRotationKernel kernel(r);
    bool any = false;
    double lo = 0, hi = 0;
    for (int m = 1; m <= GetCount(); ++m) {
        const CMesh& mesh = *GetAt(m);
        const CVector3* v = meshfaces::VertexArray(mesh);
        const int n = mesh.GetVertexCount();
        for (int k = 0; k < n; ++k) {
            const double z = kernel.ApplyZ(v[k]);
            if (!any) {
                lo = hi = z;
                any = true;
            }
            if (z < lo)
                lo = z;
            if (z > hi)
                hi = z;
        }
    }
    if (any) {
        zmin = lo;
        zmax = hi;
    }
    return any;
}

namespace {

// The faces or rows of quads a mesh's exact sums walk: a triangle mesh's
// faces, a grid's rows of quads; 0 for a mesh of neither kind or no face.
long long MeshUnits(const CMesh& mesh) {
    if (const auto* poly = dynamic_cast<const CPolyfaceMesh*>(&mesh))
        return static_cast<long long>(poly->Faces().size());
    if (const auto* grid = dynamic_cast<const CGridMesh*>(&mesh); grid && grid->GetFaceCount() > 0)
        return grid->GetRows() - 1;
    return 0;
}

// The exact rule's sums over units [first, last) (MeshUnits) of a mesh
// whose vertices p are already in the waterplane frame. Most faces of a
// dense hull lie wholly under the waterplane or wholly above it: the first
// go to the block, summed four at a time, the second add nothing, and only
// those that cross or touch the waterplane take the rule's path face by
// face. The faces are read in the mesh's order, as ForEachFace hands them
// out.
void ExactRangeSums(const CMesh& mesh, const CVector3* p, long long first, long long last,
                    CExactBlock& block, CExactSums& sums) {
    if (!(first < last))
        return;
    auto crossing = [&](const CVector3* const* c, int n) { CExactRule::Face(c, n, sums); };
    if (const auto* poly = dynamic_cast<const CPolyfaceMesh*>(&mesh)) {
        block.AddTriangles(poly->Faces().data() + first, static_cast<std::size_t>(last - first), p,
                           static_cast<unsigned>(poly->GetVertexCount()), crossing);
    } else if (const auto* grid = dynamic_cast<const CGridMesh*>(&mesh)) {
        // Every quad's corners lie at the same offsets from its top-left
        // point; the orientation only orders them.
        int corner[4];
        grid->GetFaceCorners(1, corner);
        const int offsets[4] = {0, corner[1] - corner[0], corner[2] - corner[0],
                                corner[3] - corner[0]};
        const int cols = grid->GetCols();
        block.AddQuads(p + first * cols, static_cast<int>(last - first) + 1, cols, offsets,
                       crossing);
    }
}

// A mesh of many faces is summed in pieces side by side: about this many
// faces each, so that the pieces, and the order their sums are added in,
// depend on the mesh alone and the bits on no number of threads.
constexpr long long kPieceFaces = 1 << 16;

// Points [first, last) of v carried into the frame (compiled twice:
// VectorClones.h).
BRELUND_VECTOR_CLONES void FramePiece(const CVector3* v, CVector3* out, std::size_t first,
                                      std::size_t last, const CRotationKernel& kernel,
                                      double draught) {
    for (std::size_t k = first; k < last; ++k)
        out[k] = kernel.Apply(v[k], draught);
}

// One piece of a mesh whose points p are in the frame, from zero with a
// block of its own.
BRELUND_VECTOR_CLONES void ExactPieceSums(const CMesh& mesh, const CVector3* p, long long first,
                                          long long last, CExactSums& sums) {
    CExactBlock block;
    ExactRangeSums(mesh, p, first, last, block, sums);
    block.EmptyInto(sums);
}

// How many pieces a mesh of units (MeshUnits) is summed in: 1 for a mesh
// of fewer than two pieces' faces.
int Pieces(const CMesh& mesh, long long units) {
    return static_cast<int>(std::min(units, std::max(1LL, mesh.GetFaceCount() / kPieceFaces)));
}

// A large mesh's sums: its points carried and its pieces summed side by
// side, each from zero with a block of its own, then the pieces' sums added
// to sums in order. Isolated, so that a thread waiting here runs only these
// pieces and not another evaluation that would take its scratch of points.
void ExactSumsInPieces(const CMesh& mesh, const CRotationKernel& kernel, double draught, int pieces,
                       long long units, CExactSums& sums) {
    const CVector3* v = meshfaces::VertexArray(mesh);
    const auto n = static_cast<std::size_t>(mesh.GetVertexCount());
    CVector3* p = meshfaces::FrameScratch(n);
    // Kept by the calling thread, so that warm evaluations take no memory;
    // the pieces, on other threads, write through part.
    thread_local std::vector<CExactSums> parts;
    parts.assign(static_cast<std::size_t>(pieces), CExactSums());
    CExactSums* const part = parts.data();
    const auto share = [](auto total, int k, int count) {
        return total * static_cast<decltype(total)>(k) / static_cast<decltype(total)>(count);
    };
    tbb::this_task_arena::isolate([&] {
        tbb::parallel_for(0, pieces, [&](int k) {
            FramePiece(v, p, share(n, k, pieces), share(n, k + 1, pieces), kernel, draught);
        });
        tbb::parallel_for(0, pieces, [&](int k) {
            ExactPieceSums(mesh, p, share(units, k, pieces), share(units, k + 1, pieces), part[k]);
        });
    });
    for (int k = 0; k < pieces; ++k)
        sums.Accumulate(part[k], 1, 1, true);
}

// Every mesh of an element, in order (compiled twice: VectorClones.h). A
// large mesh is summed in pieces unless the waterline's segments are
// collected (they are drawn in the faces' order).
BRELUND_VECTOR_CLONES void ExactElementSums(const COwningList<CMesh>& meshes,
                                            const CRotationKernel& kernel, double draught,
                                            CExactSums& sums) {
    CExactBlock block; // a few kB of stack, in the first-level cache
    for (int m = 1; m <= meshes.GetCount(); ++m) {
        const CMesh& mesh = *meshes.GetAt(m);
        const long long units = MeshUnits(mesh);
        const int pieces = Pieces(mesh, units);
        if (pieces > 1 && !sums.Waterline())
            ExactSumsInPieces(mesh, kernel, draught, pieces, units, sums);
        else
            ExactRangeSums(mesh, meshfaces::TransformedVertices(mesh, kernel, draught), 0, units,
                           block, sums);
    }
    block.EmptyInto(sums);
}

} // namespace

template <class Rule, class Sums>
void CShipElement::ImmersedSums(Sums& sums, double draught, const CMatrixBase& r) const {
    if constexpr (std::is_same_v<Rule, CExactRule> && std::is_same_v<Sums, CExactSums>) {
        ExactElementSums(*this, CRotationKernel(r), draught, sums);
    } else {
        meshfaces::ForEachFaceInWaterplane(
            *this, CRotationKernel(r), draught,
            [&](const CVector3* const* corners, int n) { Rule::Face(corners, n, sums); });
    }
}

template <class Rule>
double CShipElement::ImmersedVolumeBy(const CMatrixBase& r, double draught) const {
    typename Rule::VolumeSums volume{};
    ImmersedSums<Rule>(volume, draught, r);
    return Rule::VolumeOf(volume);
}

double CShipElement::ImmersedVolume(const CMatrixBase& r, double draught) const {
    return ImmersedVolumeBy<COnePointRule>(r, draught);
}

void CShipElement::ImmersedProperties(CHydroProperties& result, double draught,
                                      const CMatrixBase& r) const {
    result.Reset();
    COnePointRule::Sums sums;
    sums.collect = result.m_collect;
    sums.waterline = &result.m_waterline;
    ImmersedSums<COnePointRule>(sums, draught, r);
    result.m_volume = sums.volume;
    result.m_wetted_area = sums.wetted_area;
    result.m_moments = sums.moments;
}

template void CShipElement::ImmersedSums<COnePointRule>(COnePointRule::Sums&, double,
                                                        const CMatrixBase&) const;
template void CShipElement::ImmersedSums<CExactRule>(CExactSums&, double, const CMatrixBase&) const;
template double CShipElement::ImmersedVolumeBy<COnePointRule>(const CMatrixBase&, double) const;
template double CShipElement::ImmersedVolumeBy<CExactRule>(const CMatrixBase&, double) const;
template double CShipElement::VolumeBy<COnePointRule>() const;
template double CShipElement::VolumeBy<CExactRule>() const;

template <class Rule>
SearchStatus CShipElement::FindLevel(double target, const CMatrixBase& r, double& draught,
                                     double tolerance) const {
    return FindLevel<Rule>(target, r, draught, tolerance, VolumeBy<Rule>());
}

template <class Rule>
SearchStatus CShipElement::FindLevel(double target, const CMatrixBase& r, double& draught,
                                     double tolerance, double volume, double bracket) const {
    double zmin = 0, zmax = 0;
    ZRange(r, zmin, zmax);
    return FalsePositionLevel(
        target, zmin, zmax, volume, draught, tolerance,
        [&](double t) { return ImmersedVolumeBy<Rule>(r, t); }, bracket);
}

template SearchStatus CShipElement::FindLevel<COnePointRule>(double, const CMatrixBase&, double&,
                                                             double) const;
template SearchStatus CShipElement::FindLevel<CExactRule>(double, const CMatrixBase&, double&,
                                                          double) const;
template SearchStatus CShipElement::FindLevel<CExactRule>(double, const CMatrixBase&, double&,
                                                          double, double, double) const;
