// The GZ curve's monotone cubic, its areas, maximum and zeros, its
// refinement by further computed points, and the intact criteria on it.
#include "IntactCriteria.h"

#include "geometry/Scalar.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <stdexcept>

namespace {

// Zeros are bisected to this width [deg].
inline constexpr double kRootWidth = 1e-9;
// Pieces this wide or narrower [deg] are not halved further.
inline constexpr double kSettledWidth = 1;
inline constexpr int kMaxRounds = 8;
// The maximum is bracketed to this width [deg].
inline constexpr double kMaxBracket = 0.1;
// (sqrt 5 - 1) / 2, the golden section's step.
inline constexpr double kGolden = 0.6180339887498949;
// The search of the maximum probes no nearer than this to a point [deg],
// less than half the bracket, so that two probes close it.
inline constexpr double kProbe = 0.04;
// Golden steps alone close a 90 deg bracket to 0.1 deg in 15.
inline constexpr int kMaxSearchSteps = 40;

// The index of the first heel not below h.
std::size_t LowerBound(const CGzCurve& c, double h) {
    return static_cast<std::size_t>(std::lower_bound(c.heels.begin(), c.heels.end(), h) -
                                    c.heels.begin());
}

double Secant(const CGzCurve& c, std::size_t k) {
    return (c.gz[k + 1] - c.gz[k]) / (c.heels[k + 1] - c.heels[k]);
}

int Sign(double x) {
    return (x > 0) - (x < 0);
}

// The slope at an end point: the three-point formula, kept from turning
// against the end piece or overshooting where the next piece turns back.
// h0, s0 belong to the end piece, h1, s1 to its neighbour.
double EndSlope(double h0, double h1, double s0, double s1) {
    const double d = ((2 * h0 + h1) * s0 - h0 * s1) / (h0 + h1);
    if (Sign(d) != Sign(s0))
        return 0;
    if (Sign(s0) != Sign(s1) && std::fabs(d) > std::fabs(3 * s0))
        return 3 * s0;
    return d;
}

// The slope of the monotone cubic at point i [m/deg].
double Slope(const CGzCurve& c, std::size_t i) {
    const std::size_t n = c.heels.size();
    if (n == 2)
        return Secant(c, 0);
    if (i == 0)
        return EndSlope(c.heels[1] - c.heels[0], c.heels[2] - c.heels[1], Secant(c, 0),
                        Secant(c, 1));
    if (i == n - 1)
        return EndSlope(c.heels[n - 1] - c.heels[n - 2], c.heels[n - 2] - c.heels[n - 3],
                        Secant(c, n - 2), Secant(c, n - 3));
    const double sl = Secant(c, i - 1), sr = Secant(c, i);
    // A turning point, or a flat side: flat, so that no piece overshoots.
    if (Sign(sl) == 0 || Sign(sl) != Sign(sr))
        return 0;
    const double hl = c.heels[i] - c.heels[i - 1], hr = c.heels[i + 1] - c.heels[i];
    const double w1 = 2 * hr + hl, w2 = hr + 2 * hl;
    return (w1 + w2) / (w1 / sl + w2 / sr);
}

// The cubic Hermite piece between points k and k + 1, in t = (heel - h0) / h.
struct CPiece {
    CPiece(const CGzCurve& c, std::size_t k)
        : h0(c.heels[k]), h(c.heels[k + 1] - c.heels[k]), g0(c.gz[k]), g1(c.gz[k + 1]),
          d0(Slope(c, k)), d1(Slope(c, k + 1)) {}
    double At(double heel) const {
        const double t = (heel - h0) / h, t2 = t * t, t3 = t2 * t;
        return (2 * t3 - 3 * t2 + 1) * g0 + (t3 - 2 * t2 + t) * h * d0 + (3 * t2 - 2 * t3) * g1 +
               (t3 - t2) * h * d1;
    }
    // The integral from the piece's start to t [m deg].
    double Integral(double t) const {
        const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
        return h * ((t4 / 2 - t3 + t) * g0 + (t4 / 4 - 2 * t3 / 3 + t2 / 2) * h * d0 +
                    (t3 - t4 / 2) * g1 + (t4 / 4 - t3 / 3) * h * d1);
    }
    double Whole() const { return h * ((g0 + g1) / 2 + h * (d0 - d1) / 12); }
    double h0, h, g0, g1, d0, d1;
};

// The heel within kRootWidth before the cubic of piece p, starting from lo
// with the sign of its value there (not 0), first reaches 0 or the other
// sign, which it does by hi. The piece is monotone, so there is one such heel.
double Crossing(const CPiece& p, double lo, double hi) {
    const bool positive = p.At(lo) > 0;
    while (hi - lo > kRootWidth) {
        const double m = (lo + hi) / 2;
        if (!(m > lo && m < hi))
            break;
        const double g = p.At(m);
        if (positive ? g > 0 : g < 0)
            lo = m;
        else
            hi = m;
    }
    return lo;
}

std::vector<double> Evaluated(const CGzEvaluate& evaluate, const std::vector<double>& heels) {
    std::vector<double> gz = evaluate(heels);
    if (gz.size() != heels.size())
        throw std::length_error("GZ curve refinement: " + std::to_string(gz.size()) +
                                " levers returned for " + std::to_string(heels.size()) + " heels");
    return gz;
}

// Adds the points to the curve, keeping the heels increasing; a heel
// already there keeps its lever.
void Merge(CGzCurve& c, const std::vector<double>& heels, const std::vector<double>& gz) {
    for (std::size_t i = 0; i < heels.size(); ++i) {
        const std::size_t k = LowerBound(c, heels[i]);
        if (k < c.heels.size() && c.heels[k] == heels[i])
            continue;
        const auto at = static_cast<std::ptrdiff_t>(k);
        c.heels.insert(c.heels.begin() + at, heels[i]);
        c.gz.insert(c.gz.begin() + at, gz[i]);
    }
}

// The first point of largest GZ at a heel of 0 or more; size() when none.
std::size_t MaximumPoint(const CGzCurve& c) {
    std::size_t best = LowerBound(c, 0);
    for (std::size_t k = best; k < c.heels.size(); ++k)
        if (c.gz[k] > c.gz[best])
            best = k;
    return best;
}

} // namespace

double GzAt(const CGzCurve& c, double heel) {
    assert(c.heels.size() == c.gz.size());
    if (c.heels.empty() || !(heel >= c.heels.front()) || !(heel <= c.heels.back()))
        return std::nan("");
    const std::size_t k = LowerBound(c, heel);
    if (c.heels[k] == heel)
        return c.gz[k];
    return CPiece(c, k - 1).At(heel);
}

double GzArea(const CGzCurve& c, double a, double b) {
    if (std::isnan(GzAt(c, a)) || std::isnan(GzAt(c, b)) || a > b)
        return std::nan("");
    // Piece by piece from a, each as the difference of its antiderivative
    // at the ends of the part within [a, b].
    double area = 0;
    std::size_t k = LowerBound(c, a);
    if (c.heels[k] > a)
        --k;
    for (; k + 1 < c.heels.size() && c.heels[k] < b; ++k) {
        const CPiece p(c, k);
        const bool whole = c.heels[k] >= a && c.heels[k + 1] <= b;
        const double t0 = c.heels[k] >= a ? 0 : (a - p.h0) / p.h;
        const double t1 = c.heels[k + 1] <= b ? 1 : (b - p.h0) / p.h;
        area += whole ? p.Whole() : p.Integral(t1) - p.Integral(t0);
    }
    // In m rad, the heels turned to radians as the engine turns them.
    return DegToRad(area);
}

CGzFeatures GzFeaturesOf(const CGzCurve& c) {
    CGzFeatures f;
    const std::size_t best = MaximumPoint(c);
    assert(best < c.heels.size());
    f.max_gz = c.gz[best];
    f.max_angle = c.heels[best];
    f.vanishing = std::nan("");
    if (!(f.max_gz > 0))
        return f;
    for (std::size_t k = best + 1; k < c.heels.size(); ++k)
        if (c.gz[k] <= 0) {
            // GZ falls from positive at k - 1 to 0 or below at k.
            f.vanishing = Crossing(CPiece(c, k - 1), c.heels[k - 1], c.heels[k]);
            break;
        }
    return f;
}

double EquilibriumHeel(const CGzCurve& c) {
    const double upright = GzAt(c, 0);
    if (std::isnan(upright))
        return std::nan("");
    if (upright >= 0)
        return 0;
    for (std::size_t k = LowerBound(c, 0); k < c.heels.size(); ++k)
        if (c.heels[k] > 0 && c.gz[k] >= 0)
            return Crossing(CPiece(c, k - 1), std::max(c.heels[k - 1], 0.0), c.heels[k]);
    return std::nan("");
}

double GzZeroAfter(const CGzCurve& c, double from) {
    if (std::isnan(GzAt(c, from)))
        return std::nan("");
    std::size_t k = LowerBound(c, from);
    if (c.heels[k] == from)
        ++k;
    for (; k < c.heels.size(); ++k) {
        if (c.gz[k] > 0)
            continue;
        const double lo = std::max(c.heels[k - 1], from);
        const CPiece piece(c, k - 1);
        return piece.At(lo) > 0 ? Crossing(piece, lo, c.heels[k]) : lo;
    }
    return std::nan("");
}

CGzAreas GzAreasOf(const CGzCurve& c, std::optional<double> flooding) {
    CGzAreas r;
    r.limit_angle = AreaLimitAngle(flooding);
    r.equilibrium = EquilibriumHeel(c);
    const double e = r.equilibrium;
    if (std::isnan(e)) {
        r.area_30 = r.area_limit = r.area_30_limit = std::nan("");
        return r;
    }
    const auto area = [&](double a, double b) { return a < b ? GzArea(c, a, b) : 0.0; };
    r.area_30 = area(e, 30);
    r.area_limit = area(e, r.limit_angle);
    r.area_30_limit = area(std::max(30.0, e), r.limit_angle);
    return r;
}

void RefineGzCurve(CGzCurve& c, const CGzEvaluate& evaluate, double areasTo) {
    assert(c.heels.size() == c.gz.size());
    // Halving: the pieces still to be tried, as their end heels.
    std::vector<std::pair<double, double>> open;
    for (std::size_t k = 0; k + 1 < c.heels.size(); ++k)
        if (c.heels[k + 1] - c.heels[k] > kSettledWidth && c.heels[k] < areasTo)
            open.emplace_back(c.heels[k], c.heels[k + 1]);
    for (int round = 0; round < kMaxRounds && !open.empty(); ++round) {
        std::vector<double> mid;
        for (const auto& [a, b] : open)
            mid.push_back((a + b) / 2);
        const std::vector<double> gz = Evaluated(evaluate, mid);
        double largest = 0;
        for (double g : c.gz)
            largest = std::max(largest, std::fabs(g));
        const double tolerance = std::max(1e-3 * largest, 1e-6);
        std::vector<std::pair<double, double>> next;
        for (std::size_t i = 0; i < open.size(); ++i) {
            if (std::fabs(gz[i] - GzAt(c, mid[i])) <= tolerance)
                continue;
            const auto [a, b] = open[i];
            if (mid[i] - a > kSettledWidth)
                next.emplace_back(a, mid[i]);
            if (b - mid[i] > kSettledWidth)
                next.emplace_back(mid[i], b);
        }
        Merge(c, mid, gz);
        open = std::move(next);
    }

    // The maximum, between the largest point's neighbours: the vertex of the
    // parabola through the three, kept at least kProbe from the largest point
    // and from the ends, or a golden-section step into the wider side when
    // the vertex is not inside; one heel computed a step, until the
    // neighbours are kMaxBracket apart.
    for (int step = 0; step < kMaxSearchSteps; ++step) {
        const std::size_t k = MaximumPoint(c);
        if (k == 0 || k + 1 >= c.heels.size() || c.heels[k - 1] < 0)
            return;
        const double l = c.heels[k - 1], x = c.heels[k], r = c.heels[k + 1];
        if (r - l <= kMaxBracket)
            return;
        const double gl = c.gz[k - 1], gx = c.gz[k], gr = c.gz[k + 1];
        const double p = (x - l) * (gx - gr), q = (x - r) * (gx - gl);
        const double denominator = 2 * (p - q);
        double u = denominator != 0 ? x - ((x - l) * p - (x - r) * q) / denominator : std::nan("");
        if (!(u > l + kProbe && u < r - kProbe))
            u = r - x > x - l ? x + (1 - kGolden) * (r - x) : x - (1 - kGolden) * (x - l);
        else if (std::fabs(u - x) < kProbe) {
            // So near the largest point, the vertex says no more than a
            // probe on its side, or on the other side where that one is
            // too narrow, does.
            const bool right = u > x || (u == x && r - x >= x - l);
            u = (right ? r - x > kProbe : x - l <= kProbe) ? x + kProbe : x - kProbe;
        }
        Merge(c, {u}, Evaluated(evaluate, {u}));
    }
}

double AreaLimitAngle(std::optional<double> flooding) {
    return flooding && *flooding < 40 ? *flooding : 40;
}

std::vector<CIntactCriterion> IntactCriteria(const CGzCurve& c, double gm0,
                                             std::optional<double> flooding) {
    const CGzAreas areas = GzAreasOf(c, flooding);
    const double limit = areas.limit_angle;
    const std::string to = FormatC("%g deg", limit) + (limit < 40 ? " (flooding)" : "");
    std::vector<CIntactCriterion> out;
    out.push_back({"area 0-30 deg", "m*rad", areas.area_30, 0.055});
    out.push_back({"area 0-" + to, "m*rad", areas.area_limit, 0.090});
    out.push_back({"area 30-" + to, "m*rad", areas.area_30_limit, 0.030});
    double atThirty = std::nan("");
    for (std::size_t k = LowerBound(c, 30); k < c.heels.size(); ++k)
        if (!(atThirty >= c.gz[k]))
            atThirty = c.gz[k];
    out.push_back({"GZ at 30 deg or more", "m", atThirty, 0.20});
    out.push_back({"angle of maximum GZ", "deg", GzFeaturesOf(c).max_angle, 25});
    out.push_back({"GM0", "m", gm0, 0.15});
    return out;
}
