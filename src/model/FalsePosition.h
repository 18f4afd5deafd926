// The level search shared by an element (FindLevel) and the ship
// (FindDraught): false position on the draught between the lowest z' (no
// volume) and the highest (the whole volume), until the volume is within
// the tolerance or the bracket is no wider than bracket (by default
// kLevelBracket, 0.001 m). Where the volume curves the other way about
// the target, the bracket closes from both sides and this stop ends the
// search before the tolerance is met, the volume off by up to the surface
// times the bracket: a caller that needs the tolerance met passes 0.
#pragma once

#include "SearchStatus.h"

#include <cmath>

template <class ImmersedVolume>
SearchStatus FalsePositionLevel(double target, double zmin, double zmax, double total,
                                double& draught, double tolerance, ImmersedVolume&& immersed,
                                double bracket = kLevelBracket) {
    if (target <= 0 || target > total)
        return SearchStatus::outOfRange;
    double zLow = zmin, vLow = 0, zHigh = zmax, vHigh = total;
    double estimate = zmin + (zmax - zmin) / (total - 0) * (target - 0);
    for (int evaluations = 0; evaluations < kMaxSearchEvaluations; ++evaluations) {
        draught = estimate;
        const double v = immersed(draught);
        if (std::isnan(v))
            return SearchStatus::notConverged;
        if (target < v) {
            zHigh = draught;
            vHigh = v;
        } else {
            zLow = draught;
            vLow = v;
        }
        estimate = zLow + (zHigh - zLow) / (vHigh - vLow) * (target - vLow);
        if (std::fabs(target - v) <= tolerance || !(std::fabs(zHigh - zLow) > bracket))
            return SearchStatus::converged;
    }
    return SearchStatus::notConverged;
}
