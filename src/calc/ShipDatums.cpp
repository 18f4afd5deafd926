#include "ShipDatums.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/CVector3.h"
#include "model/CShipModel.h"

double DraughtAt(const CMatrixBase& r, double d, double x, double baseline) {
    return (d - *r.Element(3, 1) * x) / *r.Element(3, 3) - baseline;
}

double WaterplaneAt(const CMatrixBase& r, double t, double x, double baseline) {
    return *r.Element(3, 1) * x + *r.Element(3, 3) * (baseline + t);
}

double HeightAboveWaterplane(const CMatrixBase& r, double d, const CVector3& p) {
    return *r.Element(3, 1) * p.X() + *r.Element(3, 2) * p.Y() + *r.Element(3, 3) * p.Z() - d;
}

bool PerpendicularsAtWaterline(const CHydroProperties& p, double d, double heel, double trim,
                               CShipDatums& datums) {
    if (!p.HasWaterline() || !(p.m_waterline_length > 0))
        return false;
    CMatrix back;
    SetBackRotation(back, heel, trim);
    CVector3 aft, fore;
    aft.Transform(back, CVector3(p.m_waterline_xmin, 0, d));
    fore.Transform(back, CVector3(p.m_waterline_xmax, 0, d));
    datums.ap = aft.X();
    datums.fp = fore.X();
    datums.source = CShipDatums::Source::waterline;
    return true;
}

bool PerpendicularsAtHullEnds(const CShipModel& ship, CShipDatums& datums) {
    CVector3 lo, hi;
    if (!ship.HullExtents(lo, hi))
        return false;
    datums.ap = lo.X();
    datums.fp = hi.X();
    datums.source = CShipDatums::Source::hull;
    return true;
}

void CentreLpp(double lpp, CShipDatums& datums) {
    const double middle = datums.Midship();
    datums.ap = middle - lpp / 2;
    datums.fp = middle + lpp / 2;
    datums.source = CShipDatums::Source::given;
}
