#include "CHydroProperties.h"

#include "CMatrix.h"

#include <cmath>

void CHydroProperties::Reset() {
    m_volume = 0;
    m_wetted_area = 0;
    m_waterplane_area = 0;
    m_moments.Zero();
    m_waterplane_first.Zero();
    m_waterplane_second.Zero();
    m_waterline.RemoveAll();
    m_waterline_xmin = m_waterline_ymin = 1;
    m_waterline_xmax = m_waterline_ymax = 0;
    m_waterplane_integrated = false;
}

void CHydroProperties::Accumulate(const CHydroProperties& other) {
    m_volume += other.m_volume;
    m_wetted_area += other.m_wetted_area;
    m_waterplane_area += other.m_waterplane_area;
    m_moments.Add(other.m_moments);
    m_waterplane_first.Add(other.m_waterplane_first);
    m_waterplane_second.Add(other.m_waterplane_second);
    if (other.m_collect)
        for (const CSegment& s : other.m_waterline)
            m_waterline.Append(s);
}

void CHydroProperties::ComputeWaterplane() {
    if (m_waterline.GetCount() == 0 || m_waterplane_integrated)
        return;
    m_waterplane_area = 0;
    m_waterplane_first.Zero();
    m_waterplane_second.Zero();
    const CVector3& first = m_waterline.GetAt(1)->Start();
    double xmin = first.X(), xmax = first.X(), ymin = first.Y(), ymax = first.Y();
    double a = 0, sy = 0, sx = 0, iy = 0, ix = 0;
    for (const CSegment& s : m_waterline) {
        // The loops are closed: start points alone give the extents.
        const double x = s.Start().X(), y = s.Start().Y();
        if (x < xmin)
            xmin = x;
        if (x > xmax)
            xmax = x;
        if (y < ymin)
            ymin = y;
        if (y > ymax)
            ymax = y;
        a += s.WaterplaneArea();
        sy += s.FirstMomentAboutX();
        sx += s.FirstMomentAboutY();
        iy += s.SecondMomentAboutX();
        ix += s.SecondMomentAboutY();
    }
    m_waterplane_area = a;
    m_waterplane_first.Set(sy, sx, 0);
    m_waterplane_second.Set(iy, ix, 0);
    m_waterline_length = std::fabs(xmax - xmin);
    m_waterline_breadth = std::fabs(ymax - ymin);
    m_waterline_xmin = xmin;
    m_waterline_xmax = xmax;
    m_waterline_ymin = ymin;
    m_waterline_ymax = ymax;
}

CVector3 CHydroProperties::BuoyancyCentreInFrame() const {
    CVector3 c = m_moments;
    c.Divide(m_volume);
    return c;
}

void SetBackRotation(CMatrix& m, double heel, double trim) {
    CMatrix rx, ry;
    rx.SetRotationX(-heel);
    ry.SetRotationY(-trim);
    m.Product(ry, rx);
}

void CHydroProperties::BuoyancyCentre(CVector3& b, double draught, double heel, double trim) const {
    CVector3 c = BuoyancyCentreInFrame();
    c.Set(c.X(), c.Y(), c.Z() + draught);
    CMatrix back;
    SetBackRotation(back, heel, trim);
    b.Transform(back, c);
}

void CHydroProperties::FloatationCentre(CVector3& f, double draught, double heel,
                                        double trim) const {
    const CVector3 c(m_waterplane_first.Y() / m_waterplane_area,
                     m_waterplane_first.X() / m_waterplane_area, draught);
    CMatrix back;
    SetBackRotation(back, heel, trim);
    f.Transform(back, c);
}

void CHydroProperties::MetacentricRadii(double& transverse, double& longitudinal, double, double,
                                        double) const {
    if (m_volume == 0)
        return;
    if (!m_collect && !m_waterplane_integrated) {
        transverse = 0;
        longitudinal = 0;
        return;
    }
    // Parallel axes through the centre of flotation, in the waterplane's
    // own frame, where the second moments were integrated.
    const double fx = m_waterplane_first.Y() / m_waterplane_area;
    const double fy = m_waterplane_first.X() / m_waterplane_area;
    transverse = (m_waterplane_second.X() - fy * fy * m_waterplane_area) / m_volume;
    longitudinal = (m_waterplane_second.Y() - fx * fx * m_waterplane_area) / m_volume;
}

double CHydroProperties::CrossCurveLever(double draught, double heel, double trim) const {
    CVector3 b;
    BuoyancyCentre(b, draught, heel, trim);
    return b.Y() * std::cos(heel) + b.Z() * std::sin(heel);
}

double CHydroProperties::RightingLever(const CVector3& g, double draught, double heel,
                                       double trim) const {
    CVector3 b;
    BuoyancyCentre(b, draught, heel, trim);
    return RightingLeverOf(b, g, heel);
}

double CHydroProperties::TrimmingLever(const CVector3& g, double draught, double heel,
                                       double trim) const {
    CVector3 b;
    BuoyancyCentre(b, draught, heel, trim);
    return TrimmingLeverOf(b, g, trim);
}

CHydroProperties::CTrimSlopes CHydroProperties::TrimSlopes(const CVector3& g, double draught,
                                                          double heel, double trim) const {
    // In the frame a point p' = Rx(heel) Ry(trim) p; a turn dtrim of the
    // ship turns the frame about the heeled y axis (0, cos heel, -sin heel),
    // so that z' grows by x' cos(heel) dtrim and x' by -(z' cos(heel) +
    // y' sin(heel)) dtrim. The waterplane z' = draught sweeps the volume in
    // or out, x' dA at a time; the lever is x' of B less x' of G.
    const double ch = std::cos(heel), sh = std::sin(heel);
    const double ct = std::cos(trim), st = std::sin(trim);
    const double area = m_waterplane_area;
    const double mx = m_waterplane_first.Y();  // int x' dA
    const double ixx = m_waterplane_second.Y(); // int x'^2 dA
    const double xb = m_moments.X() / m_volume;
    // int z' dV with z' from the frame's origin, not from the waterplane.
    const double mz = m_moments.Z() + draught * m_volume;
    CTrimSlopes s;
    s.volume_draught = area;
    s.volume_trim = -ch * mx;
    const double momentTrim = -(ch * mz + sh * m_moments.Y()) - ch * ixx; // d(int x' dV)
    s.lever_draught = (mx - xb * area) / m_volume;
    // x' of G = cos(trim) g.x - sin(trim) g.z falls by z of G trimmed.
    s.lever_trim = (momentTrim - xb * s.volume_trim) / m_volume + (st * g.X() + ct * g.Z());
    return s;
}

double RightingLeverOf(const CVector3& b, const CVector3& g, double heel) {
    return (b.Y() - g.Y()) * std::cos(heel) + (b.Z() - g.Z()) * std::sin(heel);
}

double TrimmingLeverOf(const CVector3& b, const CVector3& g, double trim) {
    return (b.X() - g.X()) * std::cos(trim) - (b.Z() - g.Z()) * std::sin(trim);
}
