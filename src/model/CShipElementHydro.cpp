// The element's hydrostatics: the engine's face loops over its meshes.
#include "CShipElement.h"
#include "FalsePosition.h"
#include "MeshFaces.h"
#include "geometry/CHydroProperties.h"
#include "geometry/FaceClip.h"
#include "geometry/PolygonIntegrals.h"

#include <cmath>

void CMesh::ClipFace(int i, const CMatrixBase& r, double draught, CPointList& out) const {
    if (i < 1 || i > GetFaceCount())
        return;
    out.RemoveAll();
    CPointList face;
    GetFace(i, face);
    const int n = face.GetCount();
    if (n <= 2)
        return;
    const CRotationKernel kernel(r);
    std::vector<CVector3> transformed;
    std::vector<const CVector3*> corners;
    for (int k = 1; k <= n; ++k)
        transformed.push_back(kernel.Apply(*face.GetAt(k), draught));
    for (const CVector3& p : transformed)
        corners.push_back(&p);
    std::vector<CVector3> clipped(static_cast<std::size_t>(2 * n));
    const int m = faceclip::Clip(corners.data(), n, clipped.data());
    for (int k = 0; k < m; ++k)
        out.Append(clipped[static_cast<std::size_t>(k)]);
}

double CShipElement::Volume() const {
    double volume = 0;
    meshfaces::ForEachFaceInShipAxes(
        *this, [&](const CVector3* p, int n) { volume += polygon::Volume(p, n); });
    return volume;
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

double CShipElement::ImmersedVolume(const CMatrixBase& r, double draught) const {
    double volume = 0;
    meshfaces::ForEachFaceInWaterplane(
        *this, CRotationKernel(r), draught, [&](const CVector3* const* corners, int n) {
            CVector3 clipped[2 * meshfaces::kMaxCorners];
            volume += polygon::Volume(clipped, faceclip::Clip(corners, n, clipped));
        });
    return volume;
}

void CShipElement::ImmersedProperties(CHydroProperties& result, double draught,
                                      const CMatrixBase& r) const {
    result.Reset();
    const bool collect = result.m_collect;
    double volume = 0, area = 0;
    CVector3 moments;
    meshfaces::ForEachFaceInWaterplane(
        *this, CRotationKernel(r), draught, [&](const CVector3* const* corners, int n) {
            CVector3 clipped[2 * meshfaces::kMaxCorners];
            const int count = faceclip::Clip(corners, n, clipped);
            if (count < 3)
                return; // adds exactly nothing
            // Each face's sums start from zero and are then added to the
            // element's, as the record of one face would be.
            CImmersedSums face;
            polygon::Immersed(clipped, count, collect, face, &result.m_waterline);
            volume += face.volume;
            area += face.wetted_area;
            moments.Add(face.moments);
        });
    result.m_volume = volume;
    result.m_wetted_area = area;
    result.m_moments = moments;
}

SearchStatus CShipElement::FindLevel(double target, const CMatrixBase& r, double& draught,
                                     double tolerance) const {
    double zmin = 0, zmax = 0;
    ZRange(r, zmin, zmax);
    return FalsePositionLevel(target, zmin, zmax, Volume(), draught, tolerance,
                              [&](double t) { return ImmersedVolume(r, t); });
}
