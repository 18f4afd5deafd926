// A righting-lever curve read as the piecewise-linear interpolant of its
// tabulated points, and the general intact-stability criteria of the IMO
// 2008 Intact Stability Code, Part A, 2.2, judged on it.
//
// Every figure comes from the interpolant, so that the printed points give
// it back by hand: areas are trapezoids between the points (exact for the
// interpolant; the angles taken in radians, so in m rad), the maximum lies
// on a point, and the angle of vanishing stability is where the straight
// piece after the maximum crosses zero. The heels that the criteria name
// (0, 30 and 40 degrees, and the down-flooding angle) are expected among the
// points, so that the curve is computed there, not interpolated.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CGzCurve {
    std::vector<double> heels; // [deg], increasing
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

struct CIntactCriterion {
    std::string name; // what is measured, e.g. "area 0-30 deg"
    std::string unit; // "m*rad", "m", "deg"
    double value = 0; // NaN when it cannot be formed (it then fails)
    double limit = 0;
    // value >= limit
    bool Passes() const { return value >= limit; }
};

// The six criteria in the Code's order: area 0-30 deg >= 0.055 m rad; area
// 0-40 deg, or to the down-flooding angle when that is smaller, >= 0.090 m
// rad; area 30-40 deg (or 30 to the flooding angle; none, so 0, when that
// is 30 or less) >= 0.030 m rad; GZ >= 0.20 m at a heel of 30 deg or more
// (the largest GZ from 30 deg to the end of the range); the maximum GZ at
// a heel >= 25 deg; GM0 >= 0.15 m. The curve must reach 40 deg and the
// flooding angle when they limit an area.
std::vector<CIntactCriterion> IntactCriteria(const CGzCurve& curve, double gm0,
                                             std::optional<double> floodingAngle);
// The angle [deg] where the areas up to "40 deg" stop: 40, or the flooding
// angle when smaller.
double AreaLimitAngle(std::optional<double> floodingAngle);
