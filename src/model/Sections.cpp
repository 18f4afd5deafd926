// Transverse sections of the hull: the box of the meshes and their cuts by
// planes x = const, in ship axes.
#include "io/CDxfFile.h"
#include "CShipModel.h"
#include "MeshFaces.h"
#include "geometry/CSectionContour.h"

namespace {

// Widens (min, max) to hold (lo, hi), or takes them when first is set.
void Widen(CVector3& min, CVector3& max, const CVector3& lo, const CVector3& hi, bool first) {
    if (first) {
        min = lo;
        max = hi;
        return;
    }
    min.Set(lo.X() < min.X() ? lo.X() : min.X(), lo.Y() < min.Y() ? lo.Y() : min.Y(),
            lo.Z() < min.Z() ? lo.Z() : min.Z());
    max.Set(hi.X() > max.X() ? hi.X() : max.X(), hi.Y() > max.Y() ? hi.Y() : max.Y(),
            hi.Z() > max.Z() ? hi.Z() : max.Z());
}

} // namespace

bool CMesh::Extents(CVector3& min, CVector3& max) const {
    const int n = GetVertexCount();
    const CVector3* v = meshfaces::VertexArray(*this);
    if (n < 1 || !v)
        return false;
    CVector3 lo = v[0], hi = v[0];
    for (int k = 1; k < n; ++k)
        Widen(lo, hi, v[k], v[k], false);
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

bool CShipElement::Extents(CVector3& min, CVector3& max) const {
    bool any = false;
    for (int m = 1; m <= GetCount(); ++m) {
        CVector3 lo, hi;
        if (!GetAt(m)->Extents(lo, hi))
            continue;
        Widen(min, max, lo, hi, !any);
        any = true;
    }
    return any;
}

bool CShipElement::AddSections(double x, CSectionContour& contour) const {
    const int before = contour.GetCount();
    for (int m = 1; m <= GetCount(); ++m)
        GetAt(m)->AddSections(x, contour);
    return contour.GetCount() > before;
}

bool CShipModel::HullExtents(CVector3& min, CVector3& max) const {
    bool any = false;
    for (int i = 1; i <= m_hull.GetCount(); ++i) {
        CVector3 lo, hi;
        if (!m_hull.GetAt(i)->Extents(lo, hi))
            continue;
        Widen(min, max, lo, hi, !any);
        any = true;
    }
    return any;
}

bool CShipModel::Section(double x, CSectionContour& contour) const {
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            m_hull.GetAt(i)->AddSections(x, contour);
    return contour.GetCount() > 0;
}

void CSectionContour::WriteDxf(CDxfFile& file) const {
    for (const CSegment& s : *this) {
        CVector3 a, b;
        s.PointAt(0, a);
        s.PointAt(1, b);
        file.WriteLine(a, b, 1);
    }
}
