#include "IntactCriteria.h"

#include "geometry/Scalar.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// The index of the first heel not below h.
std::size_t LowerBound(const CGzCurve& c, double h) {
    return static_cast<std::size_t>(std::lower_bound(c.heels.begin(), c.heels.end(), h) -
                                    c.heels.begin());
}

} // namespace

double GzAt(const CGzCurve& c, double heel) {
    assert(c.heels.size() == c.gz.size());
    if (c.heels.empty() || !(heel >= c.heels.front()) || !(heel <= c.heels.back()))
        return std::nan("");
    const std::size_t k = LowerBound(c, heel);
    if (c.heels[k] == heel)
        return c.gz[k];
    const double h0 = c.heels[k - 1], h1 = c.heels[k];
    return c.gz[k - 1] + (c.gz[k] - c.gz[k - 1]) * (heel - h0) / (h1 - h0);
}

double GzArea(const CGzCurve& c, double a, double b) {
    const double ga = GzAt(c, a), gb = GzAt(c, b);
    if (std::isnan(ga) || std::isnan(gb) || a > b)
        return std::nan("");
    // Trapezoids over the pieces of [a, b]: its ends, then the points inside.
    double area = 0, h = a, g = ga;
    for (std::size_t k = LowerBound(c, a); k < c.heels.size() && c.heels[k] < b; ++k) {
        if (c.heels[k] <= a)
            continue;
        area += (c.heels[k] - h) * (g + c.gz[k]) / 2;
        h = c.heels[k];
        g = c.gz[k];
    }
    area += (b - h) * (g + gb) / 2;
    // In m rad, the heels turned to radians as the engine turns them.
    return DegToRad(area);
}

CGzFeatures GzFeaturesOf(const CGzCurve& c) {
    CGzFeatures f;
    std::size_t first = LowerBound(c, 0), best = first;
    assert(first < c.heels.size());
    for (std::size_t k = first; k < c.heels.size(); ++k)
        if (c.gz[k] > c.gz[best])
            best = k;
    f.max_gz = c.gz[best];
    f.max_angle = c.heels[best];
    f.vanishing = std::nan("");
    if (!(f.max_gz > 0))
        return f;
    for (std::size_t k = best + 1; k < c.heels.size(); ++k)
        if (c.gz[k] <= 0) {
            // GZ falls from positive at k - 1 to 0 or below at k.
            const double g0 = c.gz[k - 1], g1 = c.gz[k];
            f.vanishing = c.heels[k - 1] + (c.heels[k] - c.heels[k - 1]) * g0 / (g0 - g1);
            break;
        }
    return f;
}

double AreaLimitAngle(std::optional<double> flooding) {
    return flooding && *flooding < 40 ? *flooding : 40;
}

std::vector<CIntactCriterion> IntactCriteria(const CGzCurve& c, double gm0,
                                             std::optional<double> flooding) {
    const double limit = AreaLimitAngle(flooding);
    const std::string to = FormatC("%g deg", limit) + (limit < 40 ? " (flooding)" : "");
    std::vector<CIntactCriterion> out;
    out.push_back({"area 0-30 deg", "m*rad", GzArea(c, 0, 30), 0.055});
    out.push_back({"area 0-" + to, "m*rad", GzArea(c, 0, limit), 0.090});
    out.push_back({"area 30-" + to, "m*rad", limit > 30 ? GzArea(c, 30, limit) : 0, 0.030});
    double atThirty = std::nan("");
    for (std::size_t k = LowerBound(c, 30); k < c.heels.size(); ++k)
        if (!(atThirty >= c.gz[k]))
            atThirty = c.gz[k];
    out.push_back({"GZ at 30 deg or more", "m", atThirty, 0.20});
    out.push_back({"angle of maximum GZ", "deg", GzFeaturesOf(c).max_angle, 25});
    out.push_back({"GM0", "m", gm0, 0.15});
    return out;
}
