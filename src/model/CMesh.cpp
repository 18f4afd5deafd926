// A mesh's box and its cuts by transverse planes, in ship axes, whatever
// kind of mesh it is.
#include "CMesh.h"

#include "MeshFaces.h"
#include "geometry/CSectionContour.h"

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
