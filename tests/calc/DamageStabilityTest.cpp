#include "TableTests.h"

#include "calc/DamageStability.h"
#include "geometry/Scalar.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// The 20 x 8 x 4 m barge (x 0..20, y -4..4, z 0..4) with a disabled
// compartment lo..hi, permeability 1, its faces outward: the damage case
// opens it whatever the model does with it.
void AddBargeWithCompartment(CShipModel& ship, const CVector3& lo, const CVector3& hi) {
    AddBarge(ship);
    auto* c = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    c->SetName("hold");
    c->SetEnabled(false);
    AddGridBox(*c, lo, hi, 2, 2, 2);
}

// 300 t at (10, 0, 3): V = 292.68 m^3, T = 1.829 m intact.
CDamageInputs BargeCase(std::optional<double> permeability = std::nullopt) {
    CDamageInputs in;
    in.condition.lightship = 300;
    in.condition.lcg = 10;
    in.condition.vcg = 3;
    in.damage.name = "hold open";
    in.damage.compartments = {{"hold", permeability}};
    return in;
}

CDamageResult Damage(const CShipModel& ship, const CDamageInputs& in) {
    EXPECT_FALSE(CheckDamageInputs(in));
    EXPECT_FALSE(CheckDamageShip(ship, in));
    return ComputeDamage(ship, in);
}

} // namespace

TEST(DamageStability, CentralCompartmentSinksTheBargeByTheLostVolumeOverTheWaterplaneLeft) {
    // The hold x 8..12 across the whole breadth: the barge floats on the
    // waterplane left, 20 x 8 - 4 x 8 = 128 m^2, so T' = V / 128, and on
    // that waterplane's inertia: BM' = 16 * 8^3 / 12 / V, KB' = T' / 2. Both
    // parts are wall-sided: GZ = sin phi (GM' + BM' tan^2 phi / 2) until
    // the deck edge (tan phi = (4 - T') / 4, 23 deg).
    CShipModel ship;
    AddBargeWithCompartment(ship, {8, -4, 0}, {12, 4, 4});
    const CDamageResult r = Damage(ship, BargeCase());
    ASSERT_EQ(r.outcome, DamageOutcome::floats);
    const double v = 300 / 1.025, t = v / 128, bm = 16 * 512 / 12.0 / v;
    const double gm = t / 2 + bm - 3;
    EXPECT_NEAR(r.equilibrium.point.heel, 0, 1e-9);
    EXPECT_NEAR(r.equilibrium.point.trim, 0, 1e-9);
    EXPECT_NEAR(r.equilibrium.point.draught, t, 1e-9);
    EXPECT_NEAR(r.draught_aft, t, 1e-9);
    EXPECT_NEAR(r.draught_fore, t, 1e-9);
    EXPECT_NEAR(r.intact_heel, 0, 1e-9);
    EXPECT_NEAR(r.curve.summary.gm0, gm, 1e-9);
    ASSERT_EQ(r.spaces.size(), 1u);
    EXPECT_NEAR(r.spaces[0].lost_volume, 32 * t, 1e-9);
    // The marks are the intact ship's: the waterline's ends upright.
    EXPECT_EQ(r.datums.ap, 0);
    EXPECT_EQ(r.datums.fp, 20);
    for (const CStabilityPoint& p : r.curve.curve) {
        if (p.heel > 20)
            continue;
        SCOPED_TRACE(p.heel);
        const double phi = DegToRad(p.heel), tn = std::tan(phi);
        EXPECT_NEAR(p.gz, std::sin(phi) * (gm + bm * tn * tn / 2), 1e-9);
    }
}

TEST(DamageStability, OffCentreCompartmentHeelsTheBargeAsTheWallSidedFormulaSays) {
    // The hold x 8..12, y 0..4: the waterplane left, A = 144 m^2, has its
    // centre at yF = -16 * 2 / 144 and its inertia about it I = 20 * 8^3 /
    // 12 - 4 * 4^3 / 3 - A yF^2. Inclined about that axis the wall-sided
    // body keeps its volume, T' = V / A at yF, and B moves by I / V (tan
    // phi, tan^2 phi / 2): the ship rests where
    //   tan phi (GM' + BM' tan^2 phi / 2) = -yF,
    // GM' = T' / 2 + BM' - KG, heeled to the side of the hold. With the
    // bulkhead deck at the hull's top, the deck edge's lowest point is the
    // +y side's, (4 - T' - (4 - yF) tan phi) cos phi above the water.
    CShipModel ship;
    AddBargeWithCompartment(ship, {8, 0, 0}, {12, 4, 4});
    CDamageInputs in = BargeCase();
    in.damage.bulkhead_deck = 4;
    in.openings = {{"vent", 10, 4, 3.5, false}, {"hatch", 10, 4, 3.5, true}};
    const CDamageResult r = Damage(ship, in);
    ASSERT_EQ(r.outcome, DamageOutcome::floats);
    const double v = 300 / 1.025, a = 144, yf = -32 / a, t = v / a;
    const double i = 20 * 512 / 12.0 - 4 * 64 / 3.0 - a * yf * yf, bm = i / v;
    const double gm = t / 2 + bm - 3;
    double lo = 0, hi = 1;
    for (int k = 0; k < 200; ++k) {
        const double m = (lo + hi) / 2;
        (m * (gm + bm * m * m / 2) < -yf ? lo : hi) = m;
    }
    const double tn = lo, phi = std::atan(tn);
    EXPECT_NEAR(r.equilibrium.point.heel, RadToDeg(phi), 1e-5);
    EXPECT_NEAR(r.equilibrium.point.trim, 0, 1e-9);
    // The centreline's draught, y = 0, lies -yF tan phi above the axis.
    EXPECT_NEAR(r.equilibrium.point.draught, t - yf * tn, 1e-6);
    EXPECT_NEAR(r.curve.summary.gm0,
                t / 2 + (20 * 512 / 12.0 - 4 * 64 / 3.0) / v - 3 - a * yf * yf / v, 1e-9);
    ASSERT_EQ(r.spaces.size(), 1u);
    EXPECT_NEAR(r.spaces[0].lost_volume, 16 * (t + (2 - yf) * tn), 1e-5);
    ASSERT_TRUE(r.deck_edge && r.margin_line);
    const double deck = (4 - t - (4 - yf) * tn) * std::cos(phi);
    EXPECT_NEAR(*r.deck_edge, deck, 1e-5);
    EXPECT_NEAR(*r.margin_line, deck - 0.076 * std::cos(phi), 1e-5);
    // The openings at y = 4 lie as the deck edge does, 0.5 m lower.
    ASSERT_EQ(r.openings.size(), 2u);
    EXPECT_NEAR(r.openings[0].height, deck - 0.5 * std::cos(phi), 1e-5);
    // The curve runs to the side of the heel, its first crossing the rest.
    EXPECT_EQ(r.side, 1);
    EXPECT_GT(r.range, 0);
    const std::vector<CDamageCriterion>& c = r.criteria;
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[0].name.english, "equilibrium heel (deck edge not immersed)");
    EXPECT_EQ(c[0].limit, 30);
    EXPECT_NEAR(c[0].value, RadToDeg(phi), 1e-5);
    EXPECT_TRUE(c[0].Passes());
    EXPECT_NEAR(c[1].value, r.range, 0);
    // The vent lies below the water (the hatch, weathertight, counts not).
    EXPECT_EQ(c[4].value, r.openings[0].height < 0 ? 1 : 0);
}

TEST(DamageStability, ASpaceAboveTheWaterOrOfPermeabilityZeroChangesNothing) {
    CShipModel intact;
    AddBarge(intact);
    CStabilityInputs condition = BargeCase().condition;
    const CStabilityResult i = ComputeStability(intact, condition);
    for (const auto& [lo, hi, mu] :
         {std::tuple{CVector3(8, -4, 3), CVector3(12, 4, 4), std::optional<double>()},
          std::tuple{CVector3(8, 0, 0), CVector3(12, 4, 4), std::optional<double>(0)}}) {
        SCOPED_TRACE(lo.Z());
        CShipModel ship;
        AddBargeWithCompartment(ship, lo, hi);
        const CDamageResult r = Damage(ship, BargeCase(mu));
        ASSERT_EQ(r.outcome, DamageOutcome::floats);
        EXPECT_NEAR(r.equilibrium.point.heel, 0, 1e-9);
        EXPECT_NEAR(r.equilibrium.point.draught, i.summary.draught, 1e-12);
        EXPECT_NEAR(r.curve.summary.gm0, i.summary.gm0, 1e-12);
        EXPECT_EQ(r.spaces[0].lost_volume, 0);
    }
}

TEST(DamageStability, ACaseBeyondWhatTheDamagedShipFloatsSinksItAndNoRestCapsizesIt) {
    // 600 t: 585 m^3, within the hull's 640 but beyond the 512 left when
    // the hold across the barge takes 128 off it.
    CShipModel ship;
    AddBargeWithCompartment(ship, {8, -4, 0}, {12, 4, 4});
    CDamageInputs in = BargeCase();
    in.condition.lightship = 600;
    CDamageResult r = Damage(ship, in);
    EXPECT_EQ(r.outcome, DamageOutcome::sinks);
    EXPECT_NEAR(r.capacity, 512, 1e-9);
    EXPECT_NEAR(r.displacement, 600, 1e-12);
    EXPECT_TRUE(r.criteria.empty());
    // G 3.6 m up: upright intact (GM 0.23 m), but with the hold on one side
    // open GM' is 0.016 m and the deck edge dips at 25 deg before the
    // lever rights the ship.
    CShipModel side;
    AddBargeWithCompartment(side, {8, 0, 0}, {12, 4, 4});
    in = BargeCase();
    in.condition.vcg = 3.6;
    r = Damage(side, in);
    EXPECT_EQ(r.outcome, DamageOutcome::capsizes);
    EXPECT_EQ(r.intact_heel, 0);
    // A compartment the ship lacks is refused, naming it.
    in.damage.compartments = {{"peak", std::nullopt}};
    const CCalcCheck p = CheckDamageShip(side, in);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->rule, CalcRule::unknownElement);
    EXPECT_EQ(p->element, "peak");
}
