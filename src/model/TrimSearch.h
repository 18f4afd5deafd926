// The search for a trim at which a lever vanishes: bracketing in fixed
// steps of 1.5 degrees towards the change of sign, then false position
// between the last two trims, keeping the change of sign (a lever of
// exactly 0 counts as non-positive). The trim holds the last trim tried.
#pragma once

#include "SearchStatus.h"
#include "geometry/Scalar.h"

#include <cmath>

// lever(t) returns the lever at trim t, or a value that is not a number to
// stop the search.
template <class Lever> SearchStatus FindLeverZero(double& trim, double tolerance, Lever&& lever) {
    int evaluations = 1;
    const double g0 = lever(trim);
    if (std::isnan(g0))
        return SearchStatus::notConverged;
    if (std::fabs(g0) <= tolerance)
        return SearchStatus::converged;

    const double step = DegToRad(1.5);
    double ta = trim, ga = g0, tb = trim, gb = g0;
    for (;;) {
        if (++evaluations > kMaxSearchEvaluations)
            return SearchStatus::notConverged;
        const double t = g0 < 0 ? ta - step : ta + step;
        const double g = lever(t);
        if (std::isnan(g))
            return SearchStatus::notConverged;
        if (g0 < 0 ? g >= 0 : g <= 0) {
            tb = t;
            gb = g;
            break;
        }
        ta = t;
        ga = g;
    }

    for (;;) {
        if (++evaluations > kMaxSearchEvaluations)
            return SearchStatus::notConverged;
        const double t = ta - ga * (tb - ta) / (gb - ga);
        trim = t;
        const double g = lever(t);
        if (std::isnan(g))
            return SearchStatus::notConverged;
        if (std::fabs(g) <= tolerance)
            return SearchStatus::converged;
        if ((g > 0) == (ga > 0)) {
            ta = t;
            ga = g;
        } else {
            tb = t;
            gb = g;
        }
    }
}
