// The level search shared by an element (FindLevel) and the ship
// (FindDraught): false position on the draught between the lowest z' (no
// volume) and the highest (the whole volume), until the volume is within
// the tolerance or the bracket is 0.001 m narrow.
#pragma once

#include "SearchStatus.h"

#include <cmath>

template <class ImmersedVolume>
SearchStatus FalsePositionLevel(double target, double zmin, double zmax, double total,
                                double& draught, double tolerance, ImmersedVolume&& immersed) {
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
        if (std::fabs(target - v) <= tolerance || !(std::fabs(zHigh - zLow) > 0.001))
            return SearchStatus::converged;
    }
    return SearchStatus::notConverged;
}
