#include "ExactIntegrals.h"

#include "CHydroProperties.h"
#include "CSegmentList.h"

void CExactSums::AddWaterlineSegment(const CVector3& a, const CVector3& b) {
    if (m_waterline)
        m_waterline->Append(CSegment(a, b));
}

void CExactSums::Accumulate(const CExactSums& o, double volumeScale, double scale, bool wetted) {
    m_volume += o.m_volume * volumeScale;
    if (wetted)
        m_wetted += o.m_wetted;
    m_mx += o.m_mx * scale;
    m_my += o.m_my * scale;
    m_mz += o.m_mz * scale;
    m_area += o.m_area * scale;
    m_ax += o.m_ax * scale;
    m_ay += o.m_ay * scale;
    m_axx += o.m_axx * scale;
    m_ayy += o.m_ayy * scale;
    if (o.m_xmin <= o.m_xmax) {
        AddWaterlinePoint(o.m_xmin, o.m_ymin);
        AddWaterlinePoint(o.m_xmax, o.m_ymax);
    }
}

void CExactSums::Finish(CHydroProperties& r) const {
    r.m_volume = m_volume / 6;
    r.m_wetted_area = m_wetted / 2;
    r.m_moments.Set(m_mx / 24, m_my / 24, m_mz / 48);
    // The waterplane is the lid: minus the flux of the panels below it.
    r.m_waterplane_area = -m_area / 2;
    r.m_waterplane_first.Set(-m_ay / 6, -m_ax / 6, 0);
    r.m_waterplane_second.Set(-m_ayy / 24, -m_axx / 24, 0);
    r.m_waterplane_integrated = true;
    if (m_xmin <= m_xmax) {
        r.m_waterline_xmin = m_xmin;
        r.m_waterline_xmax = m_xmax;
        r.m_waterline_ymin = m_ymin;
        r.m_waterline_ymax = m_ymax;
        r.m_waterline_length = m_xmax - m_xmin;
        r.m_waterline_breadth = m_ymax - m_ymin;
    } else {
        r.m_waterline_xmin = r.m_waterline_ymin = 1;
        r.m_waterline_xmax = r.m_waterline_ymax = 0;
        r.m_waterline_length = r.m_waterline_breadth = 0;
    }
}
