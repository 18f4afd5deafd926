// The element's hydrostatics: the engine's face loops over its meshes.
#include "CShipElement.h"
#include "FalsePosition.h"
#include "MeshFaces.h"
#include "geometry/CHydroProperties.h"
#include "geometry/FaceClip.h"
#include "geometry/PolygonIntegrals.h"

#include <cassert>
#include <cmath>

void CMesh::ClipFace(int i, const CMatrixBase& r, double draught, CPointList& out) const {
    if (i < 1 || i > GetFaceCount())
        return;
    out.RemoveAll();
    thread_local CPointList face;
    GetFace(i, face);
    const int n = face.GetCount();
    if (n <= 2)
        return;
    // Faces are triangles or quadrilaterals.
    assert(n <= meshfaces::kMaxCorners);
    const CRotationKernel kernel(r);
    CVector3 transformed[meshfaces::kMaxCorners];
    const CVector3* corners[meshfaces::kMaxCorners];
    for (int k = 0; k < n; ++k) {
        transformed[k] = kernel.Apply(*face.GetAt(k + 1), draught);
        corners[k] = &transformed[k];
    }
    CVector3 clipped[2 * meshfaces::kMaxCorners];
    const int m = faceclip::Clip(corners, n, clipped);
    for (int k = 0; k < m; ++k)
        out.Append(clipped[k]);
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
    // Scratch for one clipped face, set up once rather than for every face.
    CVector3 clipped[2 * meshfaces::kMaxCorners];
    meshfaces::ForEachFaceInWaterplane(
        *this, CRotationKernel(r), draught, [&](const CVector3* const* corners, int n) {
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
    CVector3 clipped[2 * meshfaces::kMaxCorners];
    meshfaces::ForEachFaceInWaterplane(
        *this, CRotationKernel(r), draught, [&](const CVector3* const* corners, int n) {
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
