#include "TableTests.h"

#include "calc/StabilityCurve.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"
#include "report/StabilityText.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <tbb/task_arena.h>

namespace {

// The 20 x 8 x 4 m barge with a tank 4 x 4 x 2 m (x 8..12, y -2..2, z
// 0.5..2.5) half full of fresh water: 16 m^3, 16 t, surface 1.5 m up,
// centre 1 m up.
void AddBargeWithTank(CShipModel& ship, double filling = 0.5) {
    AddBarge(ship);
    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    tank->SetName("fresh water");
    tank->Append(BoxMesh(8, -2, 0.5, 12, 2, 2.5));
    tank->SetSpecificWeight(1000);
    tank->SetFillingRatio(filling);
}

CStabilityInputs BargeCondition() {
    CStabilityInputs in;
    in.lightship = 300;
    in.lcg = 10;
    in.vcg = 3;
    in.density = 1.025;
    return in;
}

} // namespace

TEST(StabilityCurve, BoxBargeWithATankFollowsTheWallSidedFormula) {
    // D = 300 + 16 t, V = D / 1.025, T = V / 160; KB = T / 2, BM = B^2 /
    // (12 T); KG = (300 * 3 + 16 * 1) / D; the tank's surface 4 x 4 m
    // gives i = 4 * 4^3 / 12 and FSC = 1.0 i / D. Both the hull and the tank
    // are wall-sided, so the liquid's centre moves as the buoyancy does,
    // (i / v) (tan phi, tan^2 phi / 2), and
    //   GZ = sin phi (GM - FSC + (BM - FSC) tan^2 phi / 2)
    // until the deck edge (tan phi = (4 - T) / 4, 27 deg) or the tank's top
    // (tan phi = 1 / 2) is reached.
    CShipModel ship;
    AddBargeWithTank(ship);
    CStabilityInputs in = BargeCondition();
    in.heels = {0, 0.5, 5, 10, 15, 20, 25};
    ASSERT_FALSE(CheckStabilityShip(ship, in));
    const CStabilityResult r = ComputeStability(ship, in);
    const double d = 316, v = d / 1.025, t = v / 160;
    const double kb = t / 2, bm = 64 / (12 * t), kg = (900 + 16) / d;
    const double fsc = 1.0 * (4 * 64 / 12.0) / d, gm = kb + bm - kg;
    const CStabilitySummary& s = r.summary;
    EXPECT_NEAR(s.displacement, d, 1e-12);
    EXPECT_NEAR(s.volume, v, 1e-12);
    EXPECT_NEAR(s.draught, t, 1e-9);
    EXPECT_NEAR(s.trim, 0, 1e-9);
    EXPECT_NEAR(s.kg, kg, 1e-9);
    EXPECT_NEAR(s.kmt, kb + bm, 1e-9);
    EXPECT_NEAR(s.fsc, fsc, 1e-12);
    EXPECT_NEAR(s.gm0, gm - fsc, 1e-9);
    // Lengthwise: BMl = L^2 / (12 T), the surface's own i the same 4 x 4,
    // Lpp the waterline's 20 m.
    const double gml = kb + 400 / (12 * t) - kg - fsc;
    EXPECT_NEAR(s.fsc_long, fsc, 1e-12);
    EXPECT_NEAR(s.gml, gml, 1e-9);
    EXPECT_NEAR(s.mct, d * gml / 2000, 1e-9);
    ASSERT_GT(r.curve.size(), 9u); // 30, 40 and the refinement's heels added
    for (const CStabilityPoint& p : r.curve) {
        if (p.heel > 25)
            continue;
        SCOPED_TRACE(p.heel);
        const double phi = DegToRad(p.heel), tn = std::tan(phi);
        EXPECT_NEAR(p.gz, std::sin(phi) * (gm - fsc + (bm - fsc) * tn * tn / 2), 1e-9);
        // KN = GZ + KG sin phi, with G's own shift taken back out.
        const double shift = fsc * (tn * std::cos(phi) + tn * tn / 2 * std::sin(phi));
        EXPECT_NEAR(p.kn, p.gz + kg * std::sin(phi) + shift, 1e-9);
        EXPECT_NEAR(p.g.Y(), fsc * tn, 1e-9);
        EXPECT_NEAR(p.g.Z(), kg + fsc * tn * tn / 2, 1e-9);
        EXPECT_NEAR(p.trim, 0, 1e-9);
        // The barge's mid-length draught on the centreline stays T: the
        // waterplane turns about it.
        EXPECT_NEAR(p.draught, t, 1e-9);
    }
    // The slope at upright is the fluid GM: at 0.5 deg the formula's
    // (BM - FSC) tan^2 / 2 adds 1.0e-4 m to GZ / sin, beside 0.0675 of FSC.
    EXPECT_NEAR(r.curve[1].gz / std::sin(DegToRad(0.5)), s.gm0, 1.2e-4);
}

TEST(StabilityCurve, TrimmedBoxLeversAreHorizontalDistancesInEarthAxes) {
    // A 40 x 10 x 30 box with G far aft trims by about 20 degrees. While the
    // waterplane cuts only its four walls, the immersed body under z = c +
    // p (x - 20) + q y, p = -tan(theta), q = tan(phi) / cos(theta), has its
    // centre in closed form; GZ is (B - G) along the earth's horizontal
    // athwartship axis, row 2 of Rx(phi) Ry(theta).
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -5, 0}, {40, 5, 30}, 4, 2, 6);
    CStabilityInputs in;
    in.lightship = 6150;
    in.lcg = 16;
    in.vcg = 6;
    in.heels = {10, 40};
    const CStabilityResult r = ComputeStability(ship, in);
    const double l = 40, b = 10, a = l * b, v = 6150 / 1.025;
    for (const CStabilityPoint& pt : r.curve) {
        SCOPED_TRACE(pt.heel);
        const double phi = DegToRad(pt.heel), theta = DegToRad(pt.trim), c = pt.draught;
        const double p = -std::tan(theta), q = std::tan(phi) / std::cos(theta);
        ASSERT_GT(std::fabs(pt.trim), 19);
        ASSERT_GT(c - std::fabs(p) * l / 2 - std::fabs(q) * b / 2, 0); // the walls only
        ASSERT_LT(c + std::fabs(p) * l / 2 + std::fabs(q) * b / 2, 30);
        const double lx = b * l * l * l / 12, ly = l * b * b * b / 12;
        EXPECT_NEAR(a * c, v, 1e-6);
        const CVector3 bc(20 + p * lx / v, q * ly / v,
                          (a * c * c + p * p * lx + q * q * ly) / (2 * v));
        const double r21 = std::sin(phi) * std::sin(theta), r22 = std::cos(phi),
                     r23 = std::sin(phi) * std::cos(theta);
        const auto lever = [&](double x, double y, double z) {
            return r21 * (bc.X() - x) + r22 * (bc.Y() - y) + r23 * (bc.Z() - z);
        };
        EXPECT_NEAR(pt.gz, lever(16, 0, 6), 1e-7);
        EXPECT_NEAR(pt.kn, lever(16, 0, 0), 1e-7);
        // In ship axes the lever would be off by 1 % at these attitudes.
        const double shipAxes = r22 * bc.Y() + std::sin(phi) * (bc.Z() - 6);
        EXPECT_GT(std::fabs(shipAxes - pt.gz), 0.005 * std::fabs(pt.gz));
    }
    // Upright: KG from the baseline point under G, square to the
    // waterplane; draughts at the ends of the waterline, 0 and 40.
    const CStabilitySummary& s = r.summary;
    const double tau = std::tan(DegToRad(s.trim));
    EXPECT_NEAR(s.kg, 6 * std::cos(DegToRad(s.trim)), 1e-9);
    EXPECT_NEAR(s.datums.ap, 0, 1e-9);
    EXPECT_NEAR(s.datums.fp, 40, 1e-9);
    EXPECT_NEAR(s.draught_aft, s.draught + 20 * tau, 1e-9);
    EXPECT_NEAR(s.draught_aft - s.draught_fore, 40 * tau, 1e-9);
    // The wall-sided box displaces L B (TA + TF) / 2.
    EXPECT_NEAR(40 * 10 * (s.draught_aft + s.draught_fore) / 2, 6000, 1e-6);
}

TEST(StabilityCurve, ADomeBelowTheBaselineLeavesKGAndTheDraughtOnIt) {
    // The 20 x 8 barge with a 4 x 2 x 2 dome under it floats at T 2 on the
    // baseline z = 0 with 336 m^3; G typed at z = 2 is KG = 2.
    CShipModel ship;
    AddBarge(ship);
    AddGridBox(*ship.AddElement(kindHull), {8, -1, -2}, {12, 1, 0}, 2, 2, 2);
    CStabilityInputs in;
    in.lightship = 336 * 1.025;
    in.lcg = (320 * 10 + 16 * 10) / 336.0;
    in.vcg = 2;
    in.heels = {0};
    const CStabilitySummary s = ComputeStability(ship, in).summary;
    EXPECT_NEAR(s.draught, 2, 1e-9);
    EXPECT_NEAR(s.kg, 2, 1e-12);
    EXPECT_NEAR(s.kmt, (320 - 16) / 336.0 + 20 * 512 / 12.0 / 336, 1e-9);
    in.baseline = -2; // the dome's bottom
    const CStabilitySummary low = ComputeStability(ship, in).summary;
    EXPECT_NEAR(low.draught, 4, 1e-9);
    EXPECT_NEAR(low.kg, 4, 1e-12);
}

TEST(StabilityCurve, AConditionListingToPortIsJudgedHeelingToPort) {
    // The barge is symmetric: G 5 cm to port heeled to port is the mirror
    // of G 5 cm to starboard heeled to starboard. Judged to starboard, the
    // port-listing condition would look better than it is.
    CShipModel ship;
    AddBargeWithTank(ship);
    CStabilityInputs in = BargeCondition();
    in.heels = {0, 10, 20, 30, 40};
    in.tcg = 0.05;
    const CStabilityResult starboard = ComputeStability(ship, in);
    in.tcg = -0.05;
    const CStabilityResult port = ComputeStability(ship, in);
    EXPECT_EQ(starboard.summary.side, 1);
    EXPECT_EQ(port.summary.side, -1);
    ASSERT_EQ(port.curve.size(), starboard.curve.size());
    for (std::size_t i = 0; i < port.curve.size(); ++i) {
        SCOPED_TRACE(starboard.curve[i].heel);
        EXPECT_EQ(port.curve[i].heel, -starboard.curve[i].heel);
        EXPECT_NEAR(port.curve[i].gz, starboard.curve[i].gz, 1e-9);
        EXPECT_NEAR(port.curve[i].kn, starboard.curve[i].kn, 1e-9);
        EXPECT_NEAR(port.curve[i].g.Y(), -starboard.curve[i].g.Y(), 1e-9);
    }
    // Upright the ship lists: a heeling lever, not a righting one.
    EXPECT_LT(port.curve.front().gz, -0.04);
    ASSERT_EQ(port.criteria.size(), starboard.criteria.size());
    for (std::size_t k = 0; k < port.criteria.size(); ++k)
        EXPECT_NEAR(port.criteria[k].value, starboard.criteria[k].value, 1e-9)
            << port.criteria[k].name;
    EXPECT_NE(WriteStabilityReport(port, RecordFormat::tsv, 6).find("\tport\n"), std::string::npos);
}

TEST(StabilityCurve, PressedUpTankHasNoFreeSurface) {
    // A full tank moves nothing: the same curve as its weight fixed at the
    // tank's centre (10, 0, 1.5) in the lightship.
    CShipModel full, solid;
    AddBargeWithTank(full, 1.0);
    AddBarge(solid);
    CStabilityInputs in = BargeCondition();
    in.heels = {0, 10, 20};
    const CStabilityResult a = ComputeStability(full, in);
    in.lightship = 300 + 32;
    in.vcg = (300 * 3 + 32 * 1.5) / 332;
    const CStabilityResult b = ComputeStability(solid, in);
    EXPECT_EQ(a.summary.fsc, 0);
    EXPECT_NEAR(a.summary.displacement, 332, 1e-12);
    ASSERT_EQ(a.curve.size(), b.curve.size());
    for (std::size_t k = 0; k < a.curve.size(); ++k)
        EXPECT_NEAR(a.curve[k].gz, b.curve[k].gz, 1e-10) << a.curve[k].heel;
}

TEST(StabilityCurve, SampleShipSlopeAtUprightIsTheFluidGMAndAllCoresGiveTheSerialBytes) {
    CShipModel ship;
    LoadShipFile(ship, std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav");
    CStabilityInputs in;
    in.lightship = 2200;
    in.lcg = 50;
    in.vcg = 4.5;
    in.heels = {0, 0.25, 5, 15, 25, 35, 45, 55, 65};
    // Openings searched for on both sides, one giving the flooding angle.
    in.openings = {{"vent", 30, 4, 8.5, false}, {"door", 80, -3, 10.5, false}};
    ASSERT_FALSE(CheckStabilityShip(ship, in));
    const CStabilityResult r = ComputeStability(ship, in);
    ASSERT_EQ(r.summary.flooding_source, FloodingSource::opening);
    // The two partly filled tanks: a correction that matters.
    EXPECT_GT(r.summary.fsc, 0.005);
    EXPECT_NEAR(r.summary.gm0, r.summary.gm_solid - r.summary.fsc, 1e-12);
    EXPECT_NEAR(r.curve[1].gz / std::sin(DegToRad(0.25)), r.summary.gm0, 1e-4);
    const std::string parallel = WriteStabilityReport(r, RecordFormat::tsv, 17);
    for (int threads : {1, 4}) {
        tbb::task_arena arena(threads);
        std::string text;
        arena.execute([&] {
            text = WriteStabilityReport(ComputeStability(ship, in), RecordFormat::tsv, 17);
        });
        EXPECT_EQ(text, parallel) << threads;
    }
}

TEST(StabilityCurve, RefusesWhatCannotBeComputedNamingIt) {
    CShipModel ship;
    AddBargeWithTank(ship);
    CStabilityInputs in = BargeCondition();
    EXPECT_FALSE(CheckStabilityInputs(in));
    // 640 m^3 of hull float 656 t of sea water at most.
    in.lightship = 700;
    EXPECT_EQ(CheckStabilityShip(ship, in)->rule, CalcRule::sinks);
    EXPECT_NEAR(CheckStabilityShip(ship, in)->limit, 640 * 1.025, 1e-9);
    in = BargeCondition();
    static_cast<CTank*>(ship.Tanks().GetAt(1))->SetSpecificWeight(0);
    EXPECT_FALSE(CheckStabilityShip(ship, in));
    const struct {
        void (*change)(CStabilityInputs&);
        const char* says;
    } bad[] = {
        {[](CStabilityInputs& i) { i.lightship = 0; }, "lightship"},
        {[](CStabilityInputs& i) { i.lightship = -5; }, "lightship"},
        {[](CStabilityInputs& i) { i.vcg = std::nan(""); }, "vcg"},
        {[](CStabilityInputs& i) { i.density = 0; }, "density"},
        {[](CStabilityInputs& i) {
             i.heels = {0, 90};
         },
         "heels"},
        {[](CStabilityInputs& i) { i.heels = {-5}; }, "heels"},
        {[](CStabilityInputs& i) { i.flooding = 0.0; }, "flooding"},
        {[](CStabilityInputs& i) { i.flooding = 95.0; }, "flooding"},
    };
    for (const auto& b : bad) {
        CStabilityInputs i = BargeCondition();
        b.change(i);
        const CCalcCheck problem = CheckStabilityInputs(i);
        ASSERT_TRUE(problem) << b.says;
        EXPECT_EQ(problem->input, b.says);
    }
    CShipModel empty;
    empty.AddElement(kindHull);
    EXPECT_EQ(CheckStabilityShip(empty, in)->rule, CalcRule::noHull);
}

TEST(StabilityCurve, ProgressCountsEveryHeelComputedInOrder) {
    struct CRecord : CProgress {
        void SetRange(int lower, int upper) override { ranges.push_back({lower, upper}); }
        void SetPos(int pos) override { positions.push_back(pos); }
        std::vector<std::pair<int, int>> ranges;
        std::vector<int> positions;
    } record;
    CShipModel ship;
    AddBargeWithTank(ship);
    const CStabilityResult result = ComputeStability(ship, BargeCondition(), nullptr, &record);
    // Every heel but upright, found with the equilibrium, is computed once;
    // the refinement's batches widen the range after the heels asked for.
    const int computed = static_cast<int>(result.curve.size()) - 1;
    ASSERT_FALSE(record.positions.empty());
    EXPECT_TRUE(std::is_sorted(record.positions.begin(), record.positions.end()));
    EXPECT_EQ(record.positions.back(), computed);
    EXPECT_EQ(record.ranges.back(), std::make_pair(0, computed));
    EXPECT_EQ(record.ranges.front().second,
              static_cast<int>(StabilityHeels(BargeCondition()).size()) - 1);
}

TEST(StabilityCurve, OpeningsImmerseWhereTheWallSidedWaterplaneMeetsThemAndGiveTheFloodingAngle) {
    // The bare barge with G on its midship section floats at T = 300 /
    // 1.025 / 160 without trim; at constant displacement its heeled
    // waterplane turns about the upright waterline's centreline, so an
    // opening at (y, z) goes under at tan phi = (z - T) / |y| on its own
    // side, while the bilge stays under (tan phi < T / 4, 24.6 deg) and the
    // deck edge dry (tan phi < (4 - T) / 4, 28.5 deg).
    CShipModel ship;
    AddBarge(ship);
    CStabilityInputs in = BargeCondition();
    in.heels = {0, 10, 20, 30, 40};
    const double t = 300 / 1.025 / 160;
    const auto at = [&](double y, double z) { return RadToDeg(std::atan((z - t) / std::fabs(y))); };
    in.openings = {{"air pipe", 5, 3, 3, false},  // 21.3 deg to starboard
                   {"hatch", 15, 3.5, 2.9, true}, // 17.0, weathertight
                   {"door", 15, -3, 2.5, false}}; // 12.6 to port
    const CStabilityResult r = ComputeStability(ship, in);
    ASSERT_EQ(r.openings.size(), 3u);
    EXPECT_NEAR(r.openings[0].height, 3 - t, 1e-9);
    EXPECT_NEAR(*r.openings[0].starboard, at(3, 3), 1e-6);
    EXPECT_FALSE(r.openings[0].port);
    EXPECT_NEAR(*r.openings[1].starboard, at(3.5, 2.9), 1e-6);
    EXPECT_NEAR(*r.openings[2].port, at(-3, 2.5), 1e-6);
    EXPECT_FALSE(r.openings[2].starboard);
    // To starboard the weathertight hatch and the door to port do not count.
    const CStabilitySummary& s = r.summary;
    EXPECT_EQ(s.flooding_source, FloodingSource::opening);
    EXPECT_EQ(s.flooding_opening, "air pipe");
    ASSERT_TRUE(s.flooding);
    EXPECT_EQ(*s.flooding, *r.openings[0].starboard);
    EXPECT_EQ(s.limit_angle, *s.flooding);
    EXPECT_EQ(r.criteria[1].name, FormatC("area 0-%g deg (flooding)", *s.flooding));
    EXPECT_TRUE(std::any_of(r.curve.begin(), r.curve.end(),
                            [&](const CStabilityPoint& p) { return p.heel == *s.flooding; }));

    // G to port turns the curve, and the flooding angle, to the door.
    in.tcg = -0.05;
    const CStabilityResult port = ComputeStability(ship, in);
    EXPECT_EQ(port.summary.flooding_opening, "door");
    EXPECT_EQ(*port.summary.flooding, *port.openings[2].port);
    EXPECT_NEAR(*port.openings[2].port, *r.openings[2].port, 1e-6);

    // A typed angle overrides the openings.
    in.tcg = 0;
    in.flooding = 30.0;
    const CStabilityResult typed = ComputeStability(ship, in);
    EXPECT_EQ(typed.summary.flooding_source, FloodingSource::typed);
    EXPECT_EQ(typed.summary.flooding, 30.0);
    EXPECT_EQ(typed.summary.limit_angle, 30);

    // An opening under water upright: with an angle typed it is shown
    // immersed at 0; without, the ship floods before it heels.
    in.openings.push_back({"scupper", 10, -4, 1, false});
    const CStabilityResult wet = ComputeStability(ship, in);
    EXPECT_NEAR(wet.openings[3].height, 1 - t, 1e-9);
    EXPECT_EQ(wet.openings[3].starboard, 0.0);
    EXPECT_EQ(wet.openings[3].port, 0.0);
    in.flooding.reset();
    try {
        ComputeStability(ship, in);
        ADD_FAILURE() << "computed with an opening under water";
    } catch (const CCalcFailure& e) {
        EXPECT_EQ(e.Problem().rule, CalcRule::notAbove);
        EXPECT_EQ(e.Problem().input, "openings");
        EXPECT_EQ(e.Problem().element, "scupper");
        EXPECT_NEAR(e.Problem().value, 1 - t, 1e-9);
    }
    // Weathertight, it stops nothing.
    in.openings.back().weathertight = true;
    EXPECT_EQ(ComputeStability(ship, in).summary.flooding_opening, "air pipe");
}

TEST(StabilityCurve, SampleShipFloatsAtItsVolumeNotOnlyWithinAMillimetre) {
    // The level search alone stopped on a 1 mm bracket, 5e-3 m^3 (2.4e-6
    // of the volume) off on this ship; the float's waterplane now holds the
    // volume to the panels' rounding.
    CShipModel ship;
    LoadShipFile(ship, std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav");
    CStabilityInputs in;
    in.lightship = 2200;
    in.lcg = 50;
    in.vcg = 4.5;
    ASSERT_FALSE(CheckStabilityShip(ship, in));
    in.heels = {5};
    const CStabilityResult whole = ComputeStability(ship, in);
    const double volume = whole.summary.volume; // the tanks' liquids included
    for (double heel : {0.0, 5.0, 40.0}) {
        CStabilityFloat f;
        ASSERT_FALSE(FloatStability(ship, in, whole.summary.datums, heel, f));
        CRotationMatrix r;
        r.SetRotation(f.heel, f.trim, 0);
        CHydroProperties p;
        ship.ImmersedProperties(p, f.waterplane, r, CHydroMethod::Exact());
        EXPECT_NEAR(p.Volume(), volume, 1e-8 * volume) << heel;
    }
}
