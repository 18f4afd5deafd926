// A righting-lever curve read as the monotone cubic through its tabulated
// points, refined where that cubic is not yet the curve, and the general
// intact-stability criteria of the IMO 2008 Intact Stability Code, Part A,
// 2.2, judged on it.
//
// Every figure comes from the points, so that the printed curve gives it
// back by hand:
// - Between two points the curve is the cubic Hermite piece through them
//   with the slopes of the monotone piecewise cubic (Fritsch-Carlson, as
//   "PCHIP"). With h the heel steps and s the secants (GZ difference over
//   heel step) on either side of a point, its slope is the weighted
//   harmonic mean (w1 + w2) / (w1 / s_left + w2 / s_right), w1 = 2 h_right
//   + h_left, w2 = h_right + 2 h_left, and 0 where the secants differ in
//   sign or one is 0. At the first point it is ((2 h0 + h1) s0 - h0 s1) /
//   (h0 + h1), h0 and s0 of the first piece, h1 and s1 of the second; 0
//   when its sign is not that of s0; 3 s0 when s0 and s1 differ in sign and
//   it is larger in size than that. The last point alike, mirrored. Two
//   points give the straight line. A piece never leaves the range of its
//   two points, so the curve has no maximum nor zero that the points do
//   not show.
// - Areas are the exact integrals of the cubic: h ((g0 + g1) / 2 + h (d0 -
//   d1) / 12) on a whole piece of step h (slopes d per degree), the
//   cubic's antiderivative on a part of a piece, summed from the lower heel
//   up. The heels are taken in radians as the engine takes them (pi =
//   3.141592654), so the areas are in m rad.
// - The maximum is the largest point (the first, at a heel of 0 or more).
//   The angle of vanishing stability and a listing condition's equilibrium
//   heel are where the cubic crosses 0, found by bisection to 1e-9 deg and
//   given as the heel just before the crossing (so a lever of rounding size
//   upright gives an equilibrium of 0).
// - The areas of the criteria start at the equilibrium heel.
// - Refinement (RefineGzCurve) adds computed points where the cubic is not
//   yet the curve. Every piece wider than 1 deg that begins below the end
//   of the areas (40 deg, or the flooding angle) has its midpoint computed
//   (all of a round at once) and compared with the cubic before the round;
//   where they differ by more than 1e-3 of the largest |GZ| among the
//   points (and 1e-6 m), both halves are tried again, down to halves of 1
//   deg, in at most 8 rounds. Then the maximum is searched between the
//   neighbours of the largest point, one computed heel a step, until they
//   are 0.1 deg apart: at the vertex of the parabola through the three
//   points, but not nearer than 0.04 deg to the largest point (then 0.04
//   deg from it on the vertex's side) nor to the neighbours, or, when the
//   vertex is not between them, 0.382 of the way into the wider side
//   (golden section). Every heel computed joins the curve, and so its
//   printed points.
// The heels that the criteria name (0, 30 and 40 degrees, and the
// down-flooding angle) are expected among the points, so that the curve is
// computed there, not interpolated.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct CGzCurve {
    std::vector<double> heels; // [deg], increasing, each once
    std::vector<double> gz;    // [m], one per heel
};

// The interpolant at heel [deg]; NaN outside the tabulated range.
double GzAt(const CGzCurve& curve, double heel);
// Area under the interpolant from heel a to heel b [deg], a <= b, both in
// the range: signed, in m rad. NaN outside the range.
double GzArea(const CGzCurve& curve, double a, double b);

struct CGzFeatures {
    double max_gz = 0;    // largest GZ at a heel of 0 or more [m]
    double max_angle = 0; // the first heel where it occurs [deg]
    // Angle of vanishing stability [deg]: the first zero of the interpolant
    // after the maximum; NaN when GZ stays positive to the end of the range,
    // or is nowhere positive.
    double vanishing = 0;
};
// The features over the heels of 0 or more; the curve must hold such a heel.
CGzFeatures GzFeaturesOf(const CGzCurve& curve);

// The heel [deg] where the condition floats: 0 when GZ upright is 0 or
// more; else the first zero of the interpolant beyond 0, where the listing
// ship comes to rest; NaN when GZ stays negative to the end of the range (or
// the range lacks heel 0).
double EquilibriumHeel(const CGzCurve& curve);

// The first heel beyond from [deg] where the interpolant comes down to 0,
// found as the vanishing angle is; from itself when the curve is not
// positive just beyond it; NaN when it stays positive to the end of the
// range, or from lies outside it.
double GzZeroAfter(const CGzCurve& curve, double from);

// The areas of the criteria [m rad], from the equilibrium heel: to 30 deg,
// to the limit angle, and from 30 deg (or the equilibrium, when beyond) to
// the limit angle; 0 where the start is at or past the end. All NaN when
// there is no equilibrium.
struct CGzAreas {
    double equilibrium = 0;  // [deg]
    double limit_angle = 40; // 40, or the flooding angle when smaller [deg]
    double area_30 = 0, area_limit = 0, area_30_limit = 0;
};
CGzAreas GzAreasOf(const CGzCurve& curve, std::optional<double> floodingAngle);

// The true GZ [m] at each heel [deg] asked, in that order. The heels of one
// call may be computed in parallel. May throw; the refinement lets it pass.
using CGzEvaluate = std::function<std::vector<double>(const std::vector<double>& heels)>;
// Adds points where the interpolant is not yet the curve, and at the
// maximum, as stated above; the heels stay increasing and unique. The same
// curve and evaluate give the same points, bit for bit.
// Only the pieces that begin below areasTo [deg] (where the areas end) are
// halved; the maximum is searched wherever it lies.
void RefineGzCurve(CGzCurve& curve, const CGzEvaluate& evaluate, double areasTo = 90);

struct CIntactCriterion {
    std::string name; // what is measured, e.g. "area 0-30 deg"
    std::string unit; // "m*rad", "m", "deg"
    double value = 0; // NaN when it cannot be formed (it then fails)
    double limit = 0;
    bool at_most = false; // the value must not exceed the limit (an angle of heel)
    // value >= limit, or value <= limit when at_most
    bool Passes() const { return at_most ? value <= limit : value >= limit; }
    // How far the value is inside its limit (negative when it fails).
    double Margin() const { return at_most ? limit - value : value - limit; }
};

// The six criteria in the Code's order: area 0-30 deg >= 0.055 m rad; area
// 0-40 deg, or to the down-flooding angle when that is smaller, >= 0.090 m
// rad; area 30-40 deg (or 30 to the flooding angle; none, so 0, when that
// is 30 or less) >= 0.030 m rad; the areas from the equilibrium heel
// (GzAreasOf), their names as the Code gives them; GZ >= 0.20 m at a heel
// of 30 deg or more (the largest GZ from 30 deg to the end of the range);
// the maximum GZ at a heel >= 25 deg; GM0 >= 0.15 m. The curve must reach
// 40 deg and the flooding angle when they limit an area.
std::vector<CIntactCriterion> IntactCriteria(const CGzCurve& curve, double gm0,
                                             std::optional<double> floodingAngle);
// The angle [deg] where the areas up to "40 deg" stop: 40, or the flooding
// angle when smaller.
double AreaLimitAngle(std::optional<double> floodingAngle);
