// The weather criterion on a box barge worked by hand: L 40, B 12, depth 5,
// draught 2 (V 960 m^3, D 984 t in water of 1.025), KG 4 (KB 1, BM =
// B^2 / 12 d = 6, GM 3), round-bilged without keels.
#include "model/TestShips.h"

#include "calc/WeatherCriterion.h"
#include "geometry/CMatrix.h"
#include "model/CShipModel.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(WeatherCriterion, TheCodesTablesInterpolateAndHoldTheirEnds) {
    EXPECT_DOUBLE_EQ(WeatherTableX1().Factor(6), 0.80);
    EXPECT_DOUBLE_EQ(WeatherTableX1().Factor(1), 1.00);
    EXPECT_NEAR(WeatherTableX1().Factor(2.55), 0.97, 1e-12);
    EXPECT_NEAR(WeatherTableX2().Factor(0.62), 0.958, 1e-12);
    EXPECT_NEAR(WeatherTableK().Factor(2.25), 0.835, 1e-12);
    EXPECT_NEAR(WeatherTableS().Factor(10), 0.079, 1e-12);
    EXPECT_DOUBLE_EQ(WeatherTableS().Factor(25), 0.035);
}

TEST(WeatherCriterion, BoxBargeWorkedByHand) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -6, 0, 40, 6, 5));
    CRotationMatrix upright;
    upright.SetRotation(0, 0, 0);
    // Above water 40 x 3 centred 1.5 m up; below 40 x 2 centred 1 m down.
    const CLateralAreas areas = LateralAreas(ship, upright, 2);
    EXPECT_NEAR(areas.above, 120, 1e-9);
    EXPECT_NEAR(areas.above_centre, 1.5, 1e-12);
    EXPECT_NEAR(areas.below, 80, 1e-9);
    EXPECT_NEAR(areas.below_centre, -1, 1e-12);

    CWeatherParticulars p;
    p.displacement = 984;
    p.length = 40;
    p.breadth = 12;
    p.draught = 2;
    p.block = 1;
    p.kg = 4;
    p.gm = 3;
    p.wind_area = areas.above;
    p.wind_lever = areas.above_centre - areas.below_centre; // Z 2.5
    // A curve of slope GM upright, 1.5 sin(2 phi), tabulated every 0.25 deg.
    CGzCurve curve;
    const double pi = std::acos(-1.0);
    for (int i = -200; i <= 359; ++i) {
        curve.heels.push_back(i * 0.25);
        curve.gz.push_back(1.5 * std::sin(2 * i * 0.25 * pi / 180));
    }
    const CWeatherResult w = WeatherCriterion(p, {}, curve);
    // lw1 = 504 x 120 x 2.5 / (1000 x 9.81 x 984), lw2 = 1.5 lw1.
    EXPECT_NEAR(w.lw1, 0.0156634594, 1e-10);
    EXPECT_NEAR(w.lw2, 0.0234951891, 1e-10);
    // B/d 6: X1 0.80 (held); Cb 1: X2 1.00; no keels: k 1.
    EXPECT_DOUBLE_EQ(w.x1, 0.80);
    EXPECT_DOUBLE_EQ(w.x2, 1.00);
    EXPECT_DOUBLE_EQ(w.k, 1.00);
    // C = 0.373 + 0.023 x 6 - 0.043 x 0.4; T = 2 C B / sqrt(GM); s between
    // the rows 6 s (0.100) and 7 s (0.098).
    EXPECT_NEAR(w.c, 0.4938, 1e-12);
    EXPECT_NEAR(w.period, 6.84229351, 1e-8);
    EXPECT_NEAR(w.s, 0.0983154130, 1e-9);
    // OG = KG - d = 2, r = 0.73 + 0.6 x 2 / 2; theta1 = 109 k X1 X2 sqrt(r s).
    EXPECT_NEAR(w.og, 2, 1e-12);
    EXPECT_NEAR(w.r, 1.33, 1e-12);
    EXPECT_NEAR(w.roll, 31.5321155, 1e-6);
    // theta0 and the first intercept: 1.5 sin(2 theta) = lw; the second
    // intercept lies beyond 50 deg, which limits area b.
    EXPECT_NEAR(w.heel, 0.2991555, 1e-6);
    EXPECT_NEAR(w.intercept, 0.4487434, 1e-6);
    EXPECT_NEAR(w.second_intercept, 90 - 0.4487434, 1e-4);
    EXPECT_DOUBLE_EQ(w.limit, 50);
    // Areas: lw2 (b - a) against 0.75 (cos 2a - cos 2b), from theta0 -
    // theta1 (to windward) to the intercept, and from it to 50 deg.
    EXPECT_NEAR(w.area_a, 0.416192558, 1e-7);
    EXPECT_NEAR(w.area_b, 0.859824719, 1e-7);
    ASSERT_EQ(w.criteria.size(), 2u);
    EXPECT_TRUE(w.criteria[0].Passes());
    EXPECT_TRUE(w.criteria[1].Passes());
    EXPECT_DOUBLE_EQ(w.criteria[1].limit, 16);

    // A flooding angle below 50 deg ends area b; a deck edge at 15 deg
    // holds theta0 to 12 deg; bilge keels of 2.25 % of L B give k 0.835.
    CWeatherOptions o;
    o.flooding = 30;
    o.deck_edge = 15;
    o.bilge_keel_area = 0.0225 * 40 * 12;
    const CWeatherResult v = WeatherCriterion(p, o, curve);
    EXPECT_DOUBLE_EQ(v.limit, 30);
    EXPECT_DOUBLE_EQ(v.heel_limit, 12);
    EXPECT_NEAR(v.k, 0.835, 1e-12);
    EXPECT_NEAR(v.roll, 0.835 * 31.5321155, 1e-6);
    // A wind the curve never withstands: no theta0, both criteria fail.
    p.wind_area = 1e7;
    const CWeatherResult u = WeatherCriterion(p, {}, curve);
    EXPECT_TRUE(std::isnan(u.heel));
    EXPECT_FALSE(u.criteria[0].Passes());
    EXPECT_FALSE(u.criteria[1].Passes());
}

// The same barge as a loading condition: the figures come from its upright
// equilibrium, and the curve to windward is the curve to leeward turned
// over (the box and G are symmetric).
TEST(WeatherCriterion, BoxBargeConditionTakesItsFiguresAndBothSides) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -6, 0, 40, 6, 5));
    CStabilityInputs in;
    in.lightship = 984;
    in.lcg = 20;
    in.vcg = 4;
    ASSERT_FALSE(CheckStabilityInputs(in));
    ASSERT_FALSE(CheckStabilityShip(ship, in));
    const CStabilityResult intact = ComputeStability(ship, in);
    const CWeatherCalculation w = ComputeWeather(ship, in, intact, {});
    EXPECT_NEAR(w.ship.length, 40, 1e-9);
    EXPECT_NEAR(w.ship.breadth, 12, 1e-9);
    EXPECT_NEAR(w.ship.draught, 2, 1e-6);
    EXPECT_NEAR(w.ship.block, 1, 1e-6);
    EXPECT_NEAR(w.ship.gm, 3, 1e-5);
    EXPECT_NEAR(w.ship.wind_area, 120, 1e-4);
    EXPECT_NEAR(w.ship.wind_lever, 2.5, 1e-6);
    EXPECT_NEAR(w.result.roll, 31.5321, 1e-3);
    ASSERT_LT(w.curve.heels.front(), w.result.heel - w.result.roll);
    for (double h : {5.0, 10.0, 20.0, 30.0})
        EXPECT_NEAR(GzAt(w.curve, -h), -GzAt(w.curve, h), 1e-7) << h;
    EXPECT_GT(w.result.area_a, 0);
    EXPECT_GT(w.result.area_b, 0);
}

// Windage items and bilge keels kept with the condition: a deckhouse of
// 30 m^2 centred 7 m above the baseline (5 m above the water) joins the
// hull's 120 m^2 at 1.5 m, so A = 150 m^2 centred (180 + 150) / 150 = 2.2 m
// up and Z = 3.2 m; bilge keels of 10.8 m^2 (2.25 % of L B) give k 0.835
// unless the options give none.
TEST(WeatherCriterion, ConditionWindageItemsAndBilgeKeels) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -6, 0, 40, 6, 5));
    CLoadingCondition condition;
    condition.lightship = 984;
    condition.lcg = 20;
    condition.vcg = 4;
    condition.windage = {{"tuga", 30, 7}};
    condition.bilge_keel_area = 10.8;
    const CStabilityInputs in = ConditionStabilityInputs(ship, condition);
    const CStabilityResult intact = ComputeStability(ship, in);
    const CWeatherCalculation w = ComputeWeather(ship, in, intact, {});
    EXPECT_NEAR(w.items_area, 30, 1e-12);
    EXPECT_NEAR(w.items_centre, 5, 1e-6);
    EXPECT_NEAR(w.ship.wind_area, 150, 1e-4);
    EXPECT_NEAR(w.ship.wind_lever, 3.2, 1e-6);
    EXPECT_NEAR(w.result.lw1, 504 * 150 * 3.2 / (1000 * 9.81 * 984), 1e-8);
    EXPECT_DOUBLE_EQ(w.result.bilge_keel_area, 10.8);
    EXPECT_NEAR(w.result.k, 0.835, 1e-9);
    CWeatherOptions none;
    none.bilge_keel_area = 0;
    const CWeatherCalculation v = ComputeWeather(ship, in, intact, none);
    EXPECT_DOUBLE_EQ(v.result.k, 1);
    CLoadingCondition sharp = condition;
    sharp.sharp_bilges = true;
    EXPECT_DOUBLE_EQ(
        ComputeWeather(ship, ConditionStabilityInputs(ship, sharp), intact, {}).result.k, 0.7);
}

// The deck edge of a wall-sided box 40 x 12 x 5 m at a draught of 3 m
// (T above D - T, so the bilge stays under water): the waterline turns
// about the centreline and the deck edge goes under at tan phi = (D - T) /
// (B / 2) = 1/3, 18.4349 deg, whose 80 % (14.748 deg) limits theta0.
TEST(WeatherCriterion, BoxDeckEdgeImmersesAtItsClosedForm) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -6, 0, 40, 6, 5));
    const std::vector<CVector3> edge = DeckEdgePoints(ship);
    ASSERT_EQ(edge.size(), 40u);
    for (std::size_t i = 0; i < edge.size(); ++i) {
        EXPECT_NEAR(edge[i].X(), 1 + 2 * static_cast<double>(i / 2), 1e-12) << i;
        EXPECT_DOUBLE_EQ(edge[i].Y(), i % 2 ? -6 : 6) << i;
        EXPECT_DOUBLE_EQ(edge[i].Z(), 5) << i;
    }
    CStabilityInputs in;
    in.lightship = 40 * 12 * 3 * 1.025;
    in.lcg = 20;
    in.vcg = 4;
    const CStabilityResult intact = ComputeStability(ship, in);
    const CWeatherCalculation w = ComputeWeather(ship, in, intact, {});
    const double closed = std::atan(1.0 / 3) * 180 / std::acos(-1.0);
    ASSERT_TRUE(w.result.deck_edge);
    EXPECT_NEAR(*w.result.deck_edge, closed, 1e-5);
    EXPECT_NEAR(w.result.heel_limit, 0.8 * closed, 1e-5);
    EXPECT_DOUBLE_EQ(w.result.criteria[1].limit, w.result.heel_limit);
    // To port the same, by symmetry.
    EXPECT_NEAR(*LeastImmersionHeel(ship, in, edge, -1), closed, 1e-5);
}
