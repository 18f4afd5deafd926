#include "ExactIntegrals.h"

#include "CHydroProperties.h"
#include "CMatrix.h"

void CExactProperties::Accumulate(const CExactProperties& o, double scale, bool wetted) {
    m_volume += o.m_volume * scale;
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
    if (o.HasWaterline()) {
        AddWaterlinePoint(o.m_xmin, o.m_ymin);
        AddWaterlinePoint(o.m_xmax, o.m_ymax);
    }
}

CVector3 CExactProperties::Moments() const {
    return CVector3(m_mx / 24, m_my / 24, m_mz / 48);
}

CVector3 CExactProperties::BuoyancyCentreInFrame() const {
    // The factors 1/24 and 1/48 over 1/6: M / V without dividing twice.
    return CVector3(m_mx / (4 * m_volume), m_my / (4 * m_volume), m_mz / (8 * m_volume));
}

void CExactProperties::BuoyancyCentre(CVector3& b, double draught, double heel, double trim) const {
    const CVector3 c = BuoyancyCentreInFrame();
    CMatrix back;
    SetBackRotation(back, heel, trim);
    b.Transform(back, CVector3(c.X(), c.Y(), c.Z() + draught));
}

void CExactProperties::FloatationCentre(CVector3& f, double draught, double heel,
                                        double trim) const {
    // (int x dA, int y dA) / Af = (-ax / 6, -ay / 6) / (-area / 2).
    const CVector3 c(m_ax / (3 * m_area), m_ay / (3 * m_area), draught);
    CMatrix back;
    SetBackRotation(back, heel, trim);
    f.Transform(back, c);
}

void CExactProperties::MetacentricRadii(double& transverse, double& longitudinal) const {
    // Parallel axes through the centre of flotation:
    // I = int y^2 dA - yF^2 Af = int y^2 dA - (int y dA)^2 / Af.
    const double af = WaterplaneArea(), sx = WaterplaneMomentX(), sy = WaterplaneMomentY();
    const double v = Volume();
    transverse = (WaterplaneSecondY() - sy * sy / af) / v;
    longitudinal = (WaterplaneSecondX() - sx * sx / af) / v;
}

double CExactProperties::RightingLever(const CVector3& g, double draught, double heel,
                                       double trim) const {
    CVector3 b;
    BuoyancyCentre(b, draught, heel, trim);
    return RightingLeverOf(b, g, heel);
}

double CExactProperties::TrimmingLever(const CVector3& g, double draught, double heel,
                                       double trim) const {
    CVector3 b;
    BuoyancyCentre(b, draught, heel, trim);
    return TrimmingLeverOf(b, g, trim);
}
