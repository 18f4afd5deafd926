#include "ExactIntegrals.h"

#include "CHydroProperties.h"
#include "CSegmentList.h"
#include "VectorClones.h"

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

// Written lane by lane so that the compiler can keep the four lanes in
// vector registers: two of SSE2 or one of AVX2, with the same operations in
// the same order in each lane (VectorClones.h).
BRELUND_VECTOR_CLONES void CExactBlock::SumBlock() {
    // Pad to whole groups of lanes with triangles at the origin, which add
    // exactly zero.
    int n = m_count;
    for (; n % kLanes != 0; ++n)
        for (auto& row : m_c)
            row[n] = 0;
    // The lanes' sums are held in locals for the loop, so that they stay in
    // registers rather than go through memory at every group.
    double lane[quantities][kLanes];
    for (int q = 0; q < quantities; ++q)
        for (int l = 0; l < kLanes; ++l)
            lane[q][l] = m_lane[q][l];
    for (int t = 0; t < n; t += kLanes) {
        const double* ax_ = &m_c[0][t];
        const double* ay_ = &m_c[1][t];
        const double* az_ = &m_c[2][t];
        const double* bx_ = &m_c[3][t];
        const double* by_ = &m_c[4][t];
        const double* bz_ = &m_c[5][t];
        const double* cx_ = &m_c[6][t];
        const double* cy_ = &m_c[7][t];
        const double* cz_ = &m_c[8][t];
        for (int l = 0; l < kLanes; ++l) {
            const double e1x = bx_[l] - ax_[l], e1y = by_[l] - ay_[l], e1z = bz_[l] - az_[l];
            const double e2x = cx_[l] - ax_[l], e2y = cy_[l] - ay_[l], e2z = cz_[l] - az_[l];
            const double nx = e1y * e2z - e1z * e2y;
            const double ny = e1z * e2x - e1x * e2z;
            const double nz = e1x * e2y - e1y * e2x;
            const double sx = ax_[l] + bx_[l] + cx_[l];
            const double sy = ay_[l] + by_[l] + cy_[l];
            const double sz = az_[l] + bz_[l] + cz_[l];
            lane[wetted][l] += std::sqrt(nx * nx + ny * ny + nz * nz);
            lane[volume][l] += nz * sz;
            lane[mx][l] += nz * (ax_[l] * az_[l] + bx_[l] * bz_[l] + cx_[l] * cz_[l] + sx * sz);
            lane[my][l] += nz * (ay_[l] * az_[l] + by_[l] * bz_[l] + cy_[l] * cz_[l] + sy * sz);
            lane[mz][l] += nz * (az_[l] * az_[l] + bz_[l] * bz_[l] + cz_[l] * cz_[l] + sz * sz);
            lane[area][l] += nz;
            lane[ax][l] += nz * sx;
            lane[ay][l] += nz * sy;
            lane[axx][l] += nz * (ax_[l] * ax_[l] + bx_[l] * bx_[l] + cx_[l] * cx_[l] + sx * sx);
            lane[ayy][l] += nz * (ay_[l] * ay_[l] + by_[l] * by_[l] + cy_[l] * cy_[l] + sy * sy);
        }
    }
    for (int q = 0; q < quantities; ++q)
        for (int l = 0; l < kLanes; ++l)
            m_lane[q][l] = lane[q][l];
    m_count = 0;
}

void CExactBlock::EmptyInto(CExactSums& sums) {
    if (m_count > 0)
        SumBlock();
    double total[quantities];
    for (int q = 0; q < quantities; ++q) {
        const double* lane = m_lane[q];
        total[q] = (lane[0] + lane[1]) + (lane[2] + lane[3]);
        for (int l = 0; l < kLanes; ++l)
            m_lane[q][l] = 0;
    }
    sums.m_wetted += total[wetted];
    sums.m_volume += total[volume];
    sums.m_mx += total[mx];
    sums.m_my += total[my];
    sums.m_mz += total[mz];
    sums.m_area += total[area];
    sums.m_ax += total[ax];
    sums.m_ay += total[ay];
    sums.m_axx += total[axx];
    sums.m_ayy += total[ayy];
}
