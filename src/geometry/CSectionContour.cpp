#include "CSectionContour.h"

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
