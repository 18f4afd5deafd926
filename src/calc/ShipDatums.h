// The datums a naval architect reads a floating ship by: the baseline from
// which heights and draughts are measured, and the perpendiculars that fix
// the length between them, the midship station and the draught marks.
//
// Conventions. x runs forward, so the aft perpendicular (AP) is normally the
// one at the smaller x; the ends are the user's to name, and every figure
// below follows the names, not the sign of x. A draught is read as a draught
// mark is: the height above the baseline at which the waterplane crosses
// the vertical of the ship (its z axis) at the station, on the centreline.
// Trim in metres is TA - TF: positive by the stern.
#pragma once

#include <optional>

class CMatrixBase;
class CHydroProperties;
class CShipModel;
class CVector3;

struct CShipDatums {
    // Where the perpendiculars came from.
    enum class Source { given, waterline, hull };

    double baseline = 0;   // z of the baseline in ship axes [m]
    double ap = 0, fp = 0; // x of the aft and fore perpendiculars [m]
    Source source = Source::hull;
    double source_draught = 0; // the draught of the waterline they were taken from

    double Lpp() const { return fp > ap ? fp - ap : ap - fp; }
    double Midship() const { return (ap + fp) / 2; }
};

// The draught at station x of the waterplane r31 x + r32 y + r33 z = d of
// the frame r (SetRotation(heel, trim, 0)), read on the ship's vertical at
// y = 0 from the baseline. The frame must not stand the ship on its side
// or end (r33 != 0).
double DraughtAt(const CMatrixBase& r, double d, double x, double baseline);
// The height d of the waterplane of the frame r whose draught at station x
// is t: the inverse of DraughtAt.
double WaterplaneAt(const CMatrixBase& r, double t, double x, double baseline);

// The height of the point p (ship axes) above the waterplane at height d of
// the frame r, measured square to it: negative below the water.
double HeightAboveWaterplane(const CMatrixBase& r, double d, const CVector3& p);

// The perpendiculars at the ends of the waterline of p, a record of the
// waterplane at height d of the frame (heel, trim) [rad], turned back to
// ship axes; false when p has no waterline.
bool PerpendicularsAtWaterline(const CHydroProperties& p, double d, double heel, double trim,
                               CShipDatums& datums);
// The perpendiculars at the ends of the hull's length; false without a
// hull element with vertices.
bool PerpendicularsAtHullEnds(const CShipModel& ship, CShipDatums& datums);
// Perpendiculars given as an Lpp alone stand that far apart about the
// middle of the ones found.
void CentreLpp(double lpp, CShipDatums& datums);
