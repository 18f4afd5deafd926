#include "CSectionContour.h"

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

bool CSectionContour::ClipBelow(double z, int i, CSegment& out) const {
    out = CSegment();
    const CSegment* segment = GetAt(i);
    if (!segment)
        return false;
    if (segment->Start().Z() >= z && segment->Direction().Z() >= 0)
        return false;
    if (segment->Direction().Z() == 0)
        return false;
    CSegment q = *segment;
    const CVector3& s = segment->Start();
    q.SetStart(CVector3(s.X(), s.Y(), s.Z() - z));
    CVector3 r;
    const double t = q.ParameterAtZ(0, r);
    if (t > 0 && t < 1) {
        if (q.Direction().Z() >= 0) {
            out.Set(q.Start(), r);
        } else {
            CVector3 e;
            q.PointAt(1, e);
            out.Set(r, e);
        }
        return true;
    }
    if (q.Start().Z() <= 0) {
        out = q;
        return true;
    }
    return false;
}

void CSectionContour::Properties(double z, double& area, double& moment, double& lateral) const {
    area = moment = lateral = 0;
    CSegment part;
    for (int i = 1; i <= GetCount(); ++i)
        if (ClipBelow(z, i, part)) {
            area += part.SectionAreaTerm();
            moment += part.SectionMomentTerm();
            lateral += part.SectionLateralTerm();
        }
    if (area != 0)
        moment = (z - moment / area) * area;
    else
        moment = 0;
}
