#include "CPolygon.h"

#include "CHydroProperties.h"
#include "CSegment.h"
#include "PolygonIntegrals.h"

#include <vector>

double CPolygon::Volume() const {
    return polygon::Volume(Data(), GetCount());
}

void CPolygon::Properties(double& area, double& volume, CVector3& moments) const {
    polygon::Properties(Data(), GetCount(), area, volume, moments);
}

void CPolygon::ImmersedProperties(CHydroProperties& result) const {
    result.Reset();
    CImmersedSums sums;
    polygon::Immersed(Data(), GetCount(), result.m_collect, sums, &result.m_waterline);
    result.m_volume = sums.volume;
    result.m_wetted_area = sums.wetted_area;
    result.m_moments = sums.moments;
}

bool polygon::CutAtX(const CVector3* const* p, int n, double x, CSegment& out) {
    if (n < 3)
        return false;
    CVector3 r, q;
    int i = 1;
    // First crossing: edges V1V2, V2V3, ... up to V(n-1)Vn.
    for (;; ++i) {
        if (i >= n)
            return false;
        const double t = CSegment(*p[i - 1], *p[i]).ParameterAtX(x, r);
        if (t >= 0 && t <= 1)
            break;
    }
    // Second crossing: the edges after it, then the closing edge VnV1.
    bool found = false;
    for (++i; i < n; ++i) {
        const double t = CSegment(*p[i - 1], *p[i]).ParameterAtX(x, q);
        if (t >= 0 && t <= 1) {
            found = true;
            break;
        }
    }
    if (!found) {
        const double t = CSegment(*p[n - 1], *p[0]).ParameterAtX(x, q);
        if (!(t >= 0 && t <= 1))
            return false;
    }
    if (x > p[0]->X())
        out.Set(q, r);
    else
        out.Set(r, q);
    return true;
}

bool CPolygon::CutAtX(double x, CSegment& out) const {
    std::vector<const CVector3*> corners(static_cast<std::size_t>(GetCount()));
    for (int k = 0; k < GetCount(); ++k)
        corners[static_cast<std::size_t>(k)] = Data() + k;
    return polygon::CutAtX(corners.data(), GetCount(), x, out);
}
