#include "calc/IntactCriteria.h"
#include "calc/StabilityCurve.h"
#include "geometry/Scalar.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

CGzCurve Curve(std::vector<double> heels, const std::function<double(double)>& gz) {
    CGzCurve c;
    c.heels = std::move(heels);
    for (double h : c.heels)
        c.gz.push_back(gz(h));
    return c;
}

// Rises 0.02 m per degree to 0.6 m at 30, falls 0.02 m per degree to 0
// at 60 and below it beyond.
double Tent(double h) {
    return h <= 30 ? 0.02 * h : 0.6 - 0.02 * (h - 30);
}

// A wall-sided ship, GZ = (GM + BM tan^2 phi / 2) sin phi with GM 1 m and
// BM 2 m, to its deck edge at 23.3 deg; beyond, the lever gains 0.5 m per
// radian less q u^2 (u the heel past the edge), so that the curve knuckles
// at the edge and peaks at 36.7 deg. Heels in degrees as the engine turns
// them to radians.
struct CKnuckled {
    double edge = DegToRad(23.3), p = 0.5, q = p / (2 * (DegToRad(36.7) - edge));
    double Wall(double x) const {
        const double t = std::tan(x);
        return (1 + t * t) * std::sin(x);
    }
    double Gz(double heel) const {
        const double x = DegToRad(heel), u = x - edge;
        return x <= edge ? Wall(x) : Wall(edge) + p * u - q * u * u;
    }
    // The closed-form area from 0 [m rad].
    double Area(double heel) const {
        const auto wall = [](double x) {
            return 1 - std::cos(x) + 1 / std::cos(x) + std::cos(x) - 2;
        };
        const double x = DegToRad(heel), u = x - edge;
        return x <= edge ? wall(x)
                         : wall(edge) + Wall(edge) * u + p * u * u / 2 - q * u * u * u / 3;
    }
};

} // namespace

TEST(IntactCriteria, AreasAreTheIntegralsOfTheInterpolantInMetreRadians) {
    // GZ = 0.01 h on points 0, 10, ..., 50: the cubic is the line itself,
    // int 0.01 h dh from 0 to 30 = 0.01 * 30^2 / 2 = 4.5 m deg.
    const CGzCurve line = Curve({0, 10, 20, 30, 40, 50}, [](double h) { return 0.01 * h; });
    EXPECT_NEAR(GzArea(line, 0, 30), DegToRad(4.5), 1e-15);
    EXPECT_NEAR(GzArea(line, 30, 40), DegToRad(0.01 * (1600 - 900) / 2), 1e-15);
    // Ends between the points are interpolated: 0.01 (35^2 - 5^2) / 2 = 6.
    EXPECT_NEAR(GzArea(line, 5, 35), DegToRad(6), 1e-15);
    EXPECT_NEAR(GzAt(line, 35), 0.35, 1e-15);

    // The tent on points 0, 10, ..., 70: straight but for the pieces beside
    // the peak, where the slope at 30 is 0 (the secants differ in sign) and
    // 0.02 beside, so each piece is 10 (0.5 + 10 x 0.02 / 12) = 5 + 1/6:
    // 0 to 30 is 9 + 1/6 m deg, 30 to 40 5 + 1/6, 0 to 70 18 - 1 + 1/3.
    const CGzCurve tent = Curve({0, 10, 20, 30, 40, 50, 60, 70}, Tent);
    EXPECT_NEAR(GzArea(tent, 0, 30), DegToRad(9 + 1 / 6.0), 1e-15);
    EXPECT_NEAR(GzArea(tent, 30, 40), DegToRad(5 + 1 / 6.0), 1e-15);
    EXPECT_NEAR(GzArea(tent, 0, 70), DegToRad(17 + 1 / 3.0), 1e-14);
    // Mid-piece the Hermite cubic is the mean plus h (d0 - d1) / 8: at 25,
    // 0.5 + 10 x 0.02 / 8, short of the peak.
    EXPECT_NEAR(GzAt(tent, 25), 0.525, 1e-15);
    // Without the point at 30 the interpolant cuts the peak: by the points
    // 0, 20, 40 (0, 0.4, 0.4), flat at 20 and 40, 0.03 at 0 by the end
    // formula, 0 to 40 is 20 (0.2 + 20 x 0.03 / 12) + 20 x 0.4 = 13, not
    // the 14 + 1/3 with it. Hence the heels the criteria name are computed.
    const CGzCurve coarse = Curve({0, 20, 40}, Tent);
    EXPECT_NEAR(GzArea(coarse, 0, 40), DegToRad(13), 1e-15);
    EXPECT_NEAR(GzArea(tent, 0, 40), DegToRad(14 + 1 / 3.0), 1e-15);
    // Outside the range there is nothing to integrate.
    EXPECT_TRUE(std::isnan(GzArea(tent, 0, 80)));
    EXPECT_TRUE(std::isnan(GzAt(tent, -1)));

    // sin phi on 5 deg points, from 0 to 90 deg and between points from
    // 12.5 to 37.5 deg, against 1 - cos: trapezoids fall short by 6.3e-4
    // and 1.2e-4, the cubic within 1.5e-6 and 2.2e-7.
    const CGzCurve sine =
        Curve({0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90},
              [](double h) { return std::sin(DegToRad(h)); });
    const auto cosine = [](double h) { return std::cos(DegToRad(h)); };
    EXPECT_NEAR(GzArea(sine, 0, 90), 1 - cosine(90), 1e-5);
    EXPECT_NEAR(GzArea(sine, 12.5, 37.5), cosine(12.5) - cosine(37.5), 1e-6);
}

TEST(IntactCriteria, MaximumAndVanishingAngleFollowTheInterpolant) {
    const CGzCurve tent = Curve({0, 10, 20, 30, 40, 50, 55, 65, 70}, Tent);
    CGzFeatures f = GzFeaturesOf(tent);
    EXPECT_DOUBLE_EQ(f.max_gz, 0.6);
    EXPECT_EQ(f.max_angle, 30);
    // Between 55 (0.1) and 65 (-0.1) the straight piece crosses at 60,
    // found by bisection to 1e-9 deg.
    EXPECT_NEAR(f.vanishing, 60, 1e-9);
    // Still positive at the end of the range: no angle of vanishing.
    f = GzFeaturesOf(Curve({0, 10, 20, 30, 40}, Tent));
    EXPECT_TRUE(std::isnan(f.vanishing));
    EXPECT_EQ(f.max_angle, 30);
    // A curve that is nowhere positive has no range of stability.
    f = GzFeaturesOf(Curve({0, 10, 20}, [](double h) { return -0.01 * h; }));
    EXPECT_EQ(f.max_gz, 0);
    EXPECT_TRUE(std::isnan(f.vanishing));
}

TEST(IntactCriteria, JudgesTheSixCriteriaAndTheFloodingAngleLimitsTheAreas) {
    const CGzCurve tent = Curve({0, 10, 20, 30, 35, 40, 50, 60, 70}, Tent);
    std::vector<CIntactCriterion> c = IntactCriteria(tent, 0.9, std::nullopt);
    ASSERT_EQ(c.size(), 6u);
    const char* names[] = {"area 0-30 deg",        "area 0-40 deg",       "area 30-40 deg",
                           "GZ at 30 deg or more", "angle of maximum GZ", "GM0"};
    // Upright, so the areas start at 0. The pieces beside the peak add 1/6
    // (20 to 30) and 5 (0 + 0.02) / 12 = 1/24 (30 to 35) to the triangles.
    const double values[] = {
        DegToRad(9 + 1 / 6.0), DegToRad(14 + 5 / 24.0), DegToRad(5 + 1 / 24.0), 0.6, 30, 0.9};
    const double limits[] = {0.055, 0.090, 0.030, 0.20, 25, 0.15};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(c[k].name, names[k]);
        EXPECT_NEAR(c[k].value, values[k], 1e-14) << names[k];
        EXPECT_EQ(c[k].limit, limits[k]);
        EXPECT_TRUE(c[k].Passes()) << names[k];
    }
    // A flooding angle of 35 deg stops the second and third areas there:
    // 9 + 5 (0.6 + 0.5) / 2 = 11.75 and 2.75 m deg, plus 1/6 and 1/24.
    c = IntactCriteria(tent, 0.9, 35.0);
    EXPECT_EQ(c[1].name, "area 0-35 deg (flooding)");
    EXPECT_NEAR(c[1].value, DegToRad(11.75 + 5 / 24.0), 1e-14);
    EXPECT_EQ(c[2].name, "area 30-35 deg (flooding)");
    EXPECT_NEAR(c[2].value, DegToRad(2.75 + 1 / 24.0), 1e-14);
    // A flooding angle beyond 40 changes nothing.
    EXPECT_NEAR(IntactCriteria(tent, 0.9, 50.0)[1].value, DegToRad(14 + 5 / 24.0), 1e-14);
    // Flooding at 30 deg or below leaves no area between 30 and it.
    c = IntactCriteria(tent, 0.9, 25.0);
    EXPECT_EQ(c[2].value, 0);
    EXPECT_FALSE(c[2].Passes());

    // A low, early curve: GZ = 0.004 h to 0.08 m at 20 deg, then falling.
    const CGzCurve low = Curve({0, 10, 20, 30, 40}, [](double h) {
        return h <= 20 ? 0.004 * h : 0.08 - 0.002 * (h - 20);
    });
    c = IntactCriteria(low, 0.1, std::nullopt);
    // Area 0-30: 20 x 0.08 / 2 + 10 (0.08 + 0.06) / 2 = 1.5 m deg, and
    // where the cubic rounds the peak (flat at 20) 10 x 10 x 0.004 / 12 =
    // 1/30 before it and 10 x 10 x 0.002 / 12 = 1/60 after: 0.027.
    EXPECT_NEAR(c[0].value, DegToRad(1.55), 1e-15);
    for (const CIntactCriterion& k : c)
        EXPECT_FALSE(k.Passes()) << k.name;
    EXPECT_EQ(c[4].value, 20);
    // A value that cannot be formed fails.
    EXPECT_FALSE((CIntactCriterion{"GM0", "m", std::nan(""), 0.15}).Passes());
}

TEST(IntactCriteria, TheCurveIsComputedAtTheHeelsTheCriteriaName) {
    CStabilityInputs in;
    std::vector<double> expected;
    for (int k = 0; k <= 16; ++k)
        expected.push_back(5.0 * k);
    EXPECT_EQ(StabilityHeels(in), expected);
    in.heels = {12, 50, 7};
    in.flooding = 33;
    EXPECT_EQ(StabilityHeels(in), (std::vector<double>{0, 7, 12, 30, 33, 40, 50}));
    // 0.1 * 300 is 30.000000000000004: that heel is 30 itself.
    in.flooding.reset();
    in.heels.clear();
    for (int k = 0; k <= 400; ++k)
        in.heels.push_back(0.1 * k);
    const std::vector<double> h = StabilityHeels(in);
    EXPECT_EQ(h.size(), 401u);
    EXPECT_EQ(h[300], 30);
    EXPECT_EQ(h[400], 40);
}

TEST(IntactCriteria, RefinedCurveGivesAreasAndMaximumWhateverTheStep) {
    // Trapezoids on the points alone miss the area to 30 deg by 2.0 % from
    // 10 deg steps and 0.46 % from 5, and put the maximum at 40 and 35.
    const CKnuckled ship;
    const double a30 = ship.Area(30), a40 = ship.Area(40);
    // GZ returns to 0 where p u - q u^2 = -GZ at the edge.
    const double we = ship.Wall(ship.edge);
    const double vanishing = RadToDeg(
        ship.edge + (ship.p + std::sqrt(ship.p * ship.p + 4 * ship.q * we)) / (2 * ship.q));
    const CGzEvaluate evaluate = [&](const std::vector<double>& asked) {
        std::vector<double> gz;
        for (double h : asked)
            gz.push_back(ship.Gz(h));
        return gz;
    };
    std::vector<CGzAreas> found;
    for (double step : {10.0, 5.0, 1.0}) {
        SCOPED_TRACE(step);
        std::vector<double> heels;
        for (double h = 0; h <= 80; h += step)
            heels.push_back(h);
        CGzCurve curve = Curve(heels, [&](double h) { return ship.Gz(h); });
        CGzCurve again = curve;
        RefineGzCurve(curve, evaluate);
        RefineGzCurve(again, evaluate);
        EXPECT_EQ(curve.heels, again.heels);
        EXPECT_EQ(curve.gz, again.gz);
        EXPECT_TRUE(std::adjacent_find(curve.heels.begin(), curve.heels.end(),
                                       std::greater_equal<>()) == curve.heels.end());
        const CGzAreas areas = GzAreasOf(curve, std::nullopt);
        EXPECT_EQ(areas.equilibrium, 0);
        EXPECT_NEAR(areas.area_30, a30, 1e-3 * a30);
        EXPECT_NEAR(areas.area_limit, a40, 1e-3 * a40);
        EXPECT_NEAR(areas.area_30_limit, a40 - a30, 1e-3 * (a40 - a30));
        const CGzFeatures f = GzFeaturesOf(curve);
        EXPECT_NEAR(f.max_angle, 36.7, 0.1);
        EXPECT_NEAR(f.vanishing, vanishing, 1e-3);
        found.push_back(areas);
    }
    for (const CGzAreas& a : found) {
        EXPECT_NEAR(a.area_30, found.back().area_30, 1e-3 * a30);
        EXPECT_NEAR(a.area_limit, found.back().area_limit, 1e-3 * a40);
        EXPECT_NEAR(a.area_30_limit, found.back().area_30_limit, 1e-3 * (a40 - a30));
    }
}

TEST(IntactCriteria, AListingConditionsAreasStartAtItsEquilibrium) {
    // GZ = 0.5 sin 2 phi - 0.1: at rest where sin 2 phi = 0.2, and the area
    // from there is [-0.25 cos 2 phi - 0.1 phi], phi in radians. From 0
    // instead, the area to 30 deg would be 7 % short.
    const auto gz = [](double h) { return 0.5 * std::sin(2 * DegToRad(h)) - 0.1; };
    const auto area = [](double a, double b) {
        const auto f = [](double h) {
            return -0.25 * std::cos(2 * DegToRad(h)) - 0.1 * DegToRad(h);
        };
        return f(b) - f(a);
    };
    const double rest = RadToDeg(std::asin(0.2) / 2);
    std::vector<double> heels;
    for (double h = 0; h <= 90; h += 5)
        heels.push_back(h);
    CGzCurve curve = Curve(heels, gz);
    RefineGzCurve(curve, [&](const std::vector<double>& asked) {
        std::vector<double> g;
        for (double h : asked)
            g.push_back(gz(h));
        return g;
    });
    EXPECT_NEAR(EquilibriumHeel(curve), rest, 1e-3);
    const std::vector<CIntactCriterion> c = IntactCriteria(curve, 1.0, 35.0);
    EXPECT_EQ(c[0].name, "area 0-30 deg");
    EXPECT_NEAR(c[0].value, area(rest, 30), 1e-3 * area(rest, 30));
    EXPECT_NEAR(c[1].value, area(rest, 35), 1e-3 * area(rest, 35));
    EXPECT_NEAR(c[2].value, area(30, 35), 1e-3 * area(30, 35));
    const CGzAreas a = GzAreasOf(curve, 35.0);
    EXPECT_EQ(a.equilibrium, EquilibriumHeel(curve));
    EXPECT_EQ(a.limit_angle, 35);
    EXPECT_EQ(a.area_30, c[0].value);
    // Listing beyond 30 deg leaves nothing from 30; a list of rounding size
    // upright is upright.
    curve = Curve({0, 20, 40, 60}, [](double h) { return h < 50 ? -0.1 + 0.0025 * h : 0.0; });
    EXPECT_NEAR(EquilibriumHeel(curve), 40, 1e-6);
    EXPECT_EQ(GzAreasOf(curve, std::nullopt).area_30, 0);
    curve = Curve({0, 5, 10}, [](double h) { return h == 0 ? -4e-18 : 0.1 * h; });
    EXPECT_EQ(EquilibriumHeel(curve), 0);
    // A condition that capsizes within the range has no area and fails.
    curve = Curve({0, 10, 20, 30, 40}, [](double h) { return -0.1 - 0.001 * h; });
    EXPECT_TRUE(std::isnan(EquilibriumHeel(curve)));
    for (const CIntactCriterion& k : IntactCriteria(curve, 0.2, std::nullopt))
        if (k.unit == "m*rad") {
            EXPECT_TRUE(std::isnan(k.value)) << k.name;
            EXPECT_FALSE(k.Passes()) << k.name;
        }
}
