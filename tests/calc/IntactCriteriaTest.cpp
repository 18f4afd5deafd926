#include "calc/IntactCriteria.h"
#include "calc/StabilityCurve.h"
#include "geometry/Scalar.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

CGzCurve Curve(std::vector<double> heels, double (*gz)(double)) {
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

} // namespace

TEST(IntactCriteria, AreasAreTheIntegralsOfTheInterpolantInMetreRadians) {
    // GZ = 0.01 h on points 0, 10, ..., 50: linear, so the trapezoids are
    // exact: int 0.01 h dh from 0 to 30 = 0.01 * 30^2 / 2 = 4.5 m deg.
    const CGzCurve line = Curve({0, 10, 20, 30, 40, 50}, [](double h) { return 0.01 * h; });
    EXPECT_NEAR(GzArea(line, 0, 30), DegToRad(4.5), 1e-15);
    EXPECT_NEAR(GzArea(line, 30, 40), DegToRad(0.01 * (1600 - 900) / 2), 1e-15);
    // Ends between the points are interpolated: 0.01 (35^2 - 5^2) / 2 = 6.
    EXPECT_NEAR(GzArea(line, 5, 35), DegToRad(6), 1e-15);
    EXPECT_NEAR(GzAt(line, 35), 0.35, 1e-15);

    // The tent on points 0, 10, ..., 70: 0 to 30 a triangle of 30 x 0.6 / 2
    // = 9 m deg; 30 to 40 a trapezoid 10 (0.6 + 0.4) / 2 = 5; 0 to 70 the
    // whole triangle 18 minus the piece below zero, 10 x 0.2 / 2 = 1.
    const CGzCurve tent = Curve({0, 10, 20, 30, 40, 50, 60, 70}, Tent);
    EXPECT_NEAR(GzArea(tent, 0, 30), DegToRad(9), 1e-15);
    EXPECT_NEAR(GzArea(tent, 30, 40), DegToRad(5), 1e-15);
    EXPECT_NEAR(GzArea(tent, 0, 70), DegToRad(18 - 1), 1e-14);
    // Without the point at 30 the interpolant cuts the peak: 0 to 40 by
    // the points 0, 20, 40 is 20 x 0.4 / 2 + 20 x (0.4 + 0.4) / 2 = 12, not
    // the 14 of the curve. Hence the heels the criteria name are computed.
    const CGzCurve coarse = Curve({0, 20, 40}, Tent);
    EXPECT_NEAR(GzArea(coarse, 0, 40), DegToRad(12), 1e-15);
    EXPECT_NEAR(GzArea(tent, 0, 40), DegToRad(14), 1e-15);
    // Outside the range there is nothing to integrate.
    EXPECT_TRUE(std::isnan(GzArea(tent, 0, 80)));
    EXPECT_TRUE(std::isnan(GzAt(tent, -1)));
}

TEST(IntactCriteria, MaximumAndVanishingAngleFollowTheInterpolant) {
    const CGzCurve tent = Curve({0, 10, 20, 30, 40, 50, 55, 65, 70}, Tent);
    CGzFeatures f = GzFeaturesOf(tent);
    EXPECT_DOUBLE_EQ(f.max_gz, 0.6);
    EXPECT_EQ(f.max_angle, 30);
    // Between 55 (0.1) and 65 (-0.1) the straight piece crosses at 60.
    EXPECT_NEAR(f.vanishing, 60, 1e-12);
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
    const double values[] = {DegToRad(9), DegToRad(14), DegToRad(5), 0.6, 30, 0.9};
    const double limits[] = {0.055, 0.090, 0.030, 0.20, 25, 0.15};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(c[k].name, names[k]);
        EXPECT_NEAR(c[k].value, values[k], 1e-14) << names[k];
        EXPECT_EQ(c[k].limit, limits[k]);
        EXPECT_TRUE(c[k].Passes()) << names[k];
    }
    // A flooding angle of 35 deg stops the second and third areas there:
    // 9 + 5 (0.6 + 0.5) / 2 = 11.75 and 2.75 m deg.
    c = IntactCriteria(tent, 0.9, 35.0);
    EXPECT_EQ(c[1].name, "area 0-35 deg (flooding)");
    EXPECT_NEAR(c[1].value, DegToRad(11.75), 1e-14);
    EXPECT_EQ(c[2].name, "area 30-35 deg (flooding)");
    EXPECT_NEAR(c[2].value, DegToRad(2.75), 1e-14);
    // A flooding angle beyond 40 changes nothing.
    EXPECT_NEAR(IntactCriteria(tent, 0.9, 50.0)[1].value, DegToRad(14), 1e-14);
    // Flooding at 30 deg or below leaves no area between 30 and it.
    c = IntactCriteria(tent, 0.9, 25.0);
    EXPECT_EQ(c[2].value, 0);
    EXPECT_FALSE(c[2].Passes());

    // A low, early curve: GZ = 0.004 h to 0.08 m at 20 deg, then falling.
    const CGzCurve low = Curve({0, 10, 20, 30, 40}, [](double h) {
        return h <= 20 ? 0.004 * h : 0.08 - 0.002 * (h - 20);
    });
    c = IntactCriteria(low, 0.1, std::nullopt);
    // Area 0-30: 20 x 0.08 / 2 + 10 (0.08 + 0.06) / 2 = 1.5 m deg = 0.026.
    EXPECT_NEAR(c[0].value, DegToRad(1.5), 1e-15);
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
