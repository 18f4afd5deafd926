// What every kind of mesh does through its faces: hands them over as plain
// arrays, and gives its box and its cuts by transverse planes, in ship axes.
#include "CMesh.h"

#include "MeshFaces.h"
#include "geometry/CSectionContour.h"

void CMesh::AppendFaces(CFaceList& list) const {
    const CVector3* v = meshfaces::VertexArray(*this);
    const int n = GetVertexCount();
    if (!v || n < 1)
        return;
    const int base = static_cast<int>(list.points.size());
    list.points.insert(list.points.end(), v, v + n);
    if (list.first.empty())
        list.first.push_back(0);
    meshfaces::ForEachFace(*this, v, [&](const CVector3* const* c, int k) {
        for (int i = 0; i < k; ++i)
            list.corners.push_back(base + static_cast<int>(c[i] - v));
        list.first.push_back(static_cast<int>(list.corners.size()));
    });
}

bool CMesh::Extents(CVector3& min, CVector3& max) const {
    const int n = GetVertexCount();
    const CVector3* v = meshfaces::VertexArray(*this);
    if (n < 1 || !v)
        return false;
    CVector3 lo = v[0], hi = v[0];
    for (int k = 1; k < n; ++k)
        WidenBox(lo, hi, v[k], v[k]);
    min = lo;
    max = hi;
    return true;
}

void CMesh::AddSections(double x, CSectionContour& contour) const {
    CSegment cut;
    meshfaces::ForEachFace(*this, meshfaces::VertexArray(*this),
                           [&](const CVector3* const* corners, int n) {
                               bool short_of = false;
                               for (int k = 0; k < n; ++k)
                                   short_of = short_of || corners[k]->X() < x;
                               if (short_of && polygon::CutAtX(corners, n, x, cut))
                                   contour.Append(cut);
                           });
}
