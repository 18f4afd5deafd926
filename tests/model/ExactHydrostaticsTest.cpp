// The exact integration rule against closed forms: boxes heeled and trimmed,
// symmetric hulls, the Wigley hull as its panels refine, and compartments.
#include "TestShips.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/ExactIntegrals.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tbb/task_arena.h>

namespace {

constexpr CHydroMethod kExact = CHydroMethod::Exact();

CRotationMatrix Rotation(double heelDeg, double trimDeg = 0) {
    CRotationMatrix r;
    r.SetRotation(DegToRad(heelDeg), DegToRad(trimDeg), 0);
    return r;
}

CVector3 ExactCentre(const CShipModel& ship, double draught, double heelDeg, double trimDeg,
                     CHydroProperties& p) {
    ship.ImmersedProperties(p, draught, Rotation(heelDeg, trimDeg), kExact);
    CVector3 b;
    p.BuoyancyCentre(b, draught, DegToRad(heelDeg), DegToRad(trimDeg));
    return b;
}

CVector3 OnePointCentre(const CShipModel& ship, double draught, double heelDeg, double trimDeg) {
    CHydroProperties p;
    ship.ImmersedProperties(p, draught, Rotation(heelDeg, trimDeg));
    CVector3 b;
    p.BuoyancyCentre(b, draught, DegToRad(heelDeg), DegToRad(trimDeg));
    return b;
}

} // namespace

TEST(ExactRule, CoarseBoxHeeledIsExactWhereTheOnePointRuleIsNot) {
    // A 40 x 10 x 4 m box of 12 triangles, centred on y = 0, heeled 10
    // degrees with the waterplane 2 m above the origin in its own frame: on
    // the centreline the water stands Ts = 2 / cos(phi) above the keel, V =
    // L B Ts, and the wall-sided wedges give YB = B^2 tan(phi) / (12 Ts) =
    // 0.7235 and ZB = Ts / 2 + B^2 tan^2(phi) / (24 Ts).
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -5, 0, 40, 5, 4));
    const double phi = DegToRad(10), c = std::cos(phi), tn = std::tan(phi);
    const double ts = 2 / c;
    CHydroProperties p;
    const CVector3 b = ExactCentre(ship, 2, 10, 0, p);
    EXPECT_NEAR(p.Volume(), 40 * 10 * ts, 1e-11);
    EXPECT_NEAR(b.X(), 20, 1e-12);
    EXPECT_NEAR(b.Y(), 100 * tn / (12 * ts), 1e-13);
    EXPECT_NEAR(b.Y(), 0.7235, 5e-5);
    EXPECT_NEAR(b.Z(), ts / 2 + 100 * tn * tn / (24 * ts), 1e-13);
    // The waterplane is a rectangle L x B / cos(phi) through the
    // centreline: Af, its centre, BMt = (B / c)^3 L / 12 / V and BMl.
    EXPECT_NEAR(p.WaterplaneArea(), 400 / c, 1e-11);
    CVector3 f;
    p.FloatationCentre(f, 2, phi, 0);
    EXPECT_NEAR(f.X(), 20, 1e-12);
    EXPECT_NEAR(f.Y(), 0, 1e-12);
    double bmt = 0, bml = 0;
    p.MetacentricRadii(bmt, bml, 2, phi, 0);
    const double v = 400 * ts;
    EXPECT_NEAR(bmt, 40 * std::pow(10 / c, 3) / 12 / v, 1e-12);
    EXPECT_NEAR(bml, 40 * 40 * 40 * (10 / c) / 12 / v, 1e-10);
    EXPECT_NEAR(p.m_waterline_length, 40, 1e-12);
    EXPECT_NEAR(p.m_waterline_breadth, 10 / c, 1e-12);
    // Wetted: bottom, two sides that average Ts, two trapezoidal ends.
    EXPECT_NEAR(p.WettedArea(), 400 + 2 * 40 * ts + 2 * 10 * ts, 1e-11);
    // The one-point rule, on the same 12 triangles, is far off.
    const CVector3 one = OnePointCentre(ship, 2, 10, 0);
    EXPECT_GT(std::fabs(one.X() - 20), 0.5);
    EXPECT_GT(std::fabs(one.Y() - b.Y()), 0.4);
}

TEST(ExactRule, BoxAtHeelAndTrimTogetherAgreesWithAFinelyPanelledBox) {
    // Both exact: 12 triangles or 16 x 8 x 8 quads of the same box give the
    // same integrals to rounding, heeled and trimmed at once.
    CShipModel coarse, fine;
    coarse.AddElement(kindHull)->Append(BoxMesh(0, -4, 0, 20, 4, 4));
    AddGridBox(*fine.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 16, 8, 8);
    for (const auto& [heel, trim, t] : {std::tuple{7.0, 2.0, 1.8}, {-15.0, -1.5, 2.5}}) {
        CHydroProperties a, b;
        const CVector3 ca = ExactCentre(coarse, t, heel, trim, a);
        const CVector3 cb = ExactCentre(fine, t, heel, trim, b);
        EXPECT_NEAR(a.Volume(), b.Volume(), 1e-10);
        for (int k = 1; k <= 3; ++k)
            EXPECT_NEAR(*ca.Element(k), *cb.Element(k), 1e-11) << heel << " " << k;
        EXPECT_NEAR(a.WaterplaneArea(), b.WaterplaneArea(), 1e-10);
        EXPECT_NEAR(a.WaterplaneSecondX(), b.WaterplaneSecondX(), 1e-7);
        EXPECT_NEAR(a.WaterplaneSecondY(), b.WaterplaneSecondY(), 1e-8);
        EXPECT_NEAR(a.WettedArea(), b.WettedArea(), 1e-10);
        EXPECT_NEAR(a.m_waterline_length, b.m_waterline_length, 1e-12);
    }
}

TEST(ExactRule, SymmetricHullsKeepTheirCentreOnTheCentrelineAtAnyTrim) {
    CShipModel box, wigley;
    box.AddElement(kindHull)->Append(BoxMesh(0, -5, 0, 40, 5, 4));
    AddSymmetricWigley(wigley, 100, 10, 6.25, 12);
    // The Wigley hull is open above its draught of 6.25 m: the trims keep
    // the waterplane below it.
    for (double trim : {-1.5, 1.0, 1.5}) {
        CHydroProperties p;
        EXPECT_NEAR(ExactCentre(box, 2, 0, trim, p).Y(), 0, 1e-14) << trim;
        p.Reset();
        EXPECT_NEAR(ExactCentre(wigley, 3, 0, trim, p).Y(), 0, 1e-14) << trim;
        CVector3 f;
        p.FloatationCentre(f, 3, 0, DegToRad(trim));
        EXPECT_NEAR(f.Y(), 0, 1e-13);
    }
    // The one-point rule puts the trimmed coarse box's centre off it.
    EXPECT_GT(std::fabs(OnePointCentre(box, 2, 0, 1).Y()), 0.05);
}

TEST(ExactRule, WigleyHullConvergesNoSlowerThanTheOnePointRule) {
    // At the design draught T: V = 4/9 L B T, KB = 5/8 T and BMt = 3 B^2 /
    // (35 T) (the waterplane's I = 4/105 B^3 L).
    const double l = 100, b = 10, t = 6.25;
    const double v0 = 4.0 / 9 * l * b * t, kb0 = 5.0 / 8 * t, bm0 = 3 * b * b / (35 * t);
    double previous[3] = {0, 0, 0};
    for (int n : {4, 8, 16, 32}) {
        CShipModel ship;
        AddWigley(ship, l, b, t, n);
        const CRotationMatrix upright = Rotation(0);
        CHydroProperties e;
        ship.ImmersedProperties(e, t, upright, kExact);
        CHydroProperties o;
        ship.ImmersedProperties(o, t, upright);
        o.ComputeWaterplane();
        double bmt = 0, bml = 0, rt = 0, rl = 0;
        e.MetacentricRadii(bmt, bml, t, 0, 0);
        o.MetacentricRadii(rt, rl, t, 0, 0);
        const double exact[3] = {std::fabs(e.Volume() - v0),
                                 std::fabs(e.m_moments.Z() / e.Volume() + t - kb0),
                                 std::fabs(bmt - bm0)};
        const double onePoint[3] = {std::fabs(o.m_volume - v0),
                                    std::fabs(o.m_moments.Z() / o.m_volume + t - kb0),
                                    std::fabs(rt - bm0)};
        for (int k = 0; k < 3; ++k) {
            // Upright, what is left is the faceting of the hull, which
            // both rules see alike: the errors agree within 2 %, and both
            // fall to a quarter at each halving of the panels.
            EXPECT_LE(exact[k], onePoint[k] * 1.02) << n << " " << k;
            if (previous[k] != 0) {
                EXPECT_LT(exact[k], previous[k] / 3) << n << " " << k;
            }
            previous[k] = exact[k];
        }
    }
    EXPECT_LT(previous[0] / v0, 2e-3);
}

TEST(ExactRule, PermeabilityScalesTheCompartmentsMomentsAndWaterplane) {
    // A 20 x 8 x 4 box barge at T = 2 with a flooded room 4 x 4 x 3 (faces
    // inwards: lost buoyancy) at x 2..6, permeability 0.5: the room's
    // immersed 32 m^3 count for half, everywhere.
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 8, 4, 4);
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    room->Append(BoxMesh(2, -2, 0, 6, 2, 3));
    room->InvertNormals();
    room->SetPermeability(0.5);
    CHydroProperties p;
    const CVector3 b = ExactCentre(ship, 2, 0, 0, p);
    EXPECT_NEAR(p.Volume(), 320 - 0.5 * 32, 1e-11);
    EXPECT_NEAR(b.X(), (320 * 10 - 16 * 4) / 304.0, 1e-12);
    EXPECT_NEAR(b.Z(), 1, 1e-12);
    EXPECT_NEAR(p.WaterplaneArea(), 160 - 0.5 * 16, 1e-11);
    CVector3 f;
    p.FloatationCentre(f, 2, 0, 0);
    EXPECT_NEAR(f.X(), (160 * 10 - 8 * 4) / 152.0, 1e-12);
    // The room's walls are not the ship's wetted surface.
    EXPECT_NEAR(p.WettedArea(), 160 + 2 * 2 * (20 + 8), 1e-11);
    // The draught search by the exact rule finds the same waterplane.
    double draught = 0;
    ASSERT_EQ(ship.FindDraught(304, Rotation(0), draught, 1e-9, kExact), SearchStatus::converged);
    EXPECT_NEAR(draught, 2, 1e-9);
    EXPECT_NEAR(ship.TotalVolume(kExact), 640 - 0.5 * 48, 1e-10);
}

TEST(ExactRule, FreeToTrimBoxFollowsTheWallSidedFormula) {
    // A 20 x 8 x 4 m box, V = 320 m^3, G = (10.5, 0, 3), heel 15 degrees:
    // the wall-sided GZ = sin(phi) (GM + BM tan^2(phi) / 2) = 0.197 m, with
    // KB = 1, BM = 8^2 / 24, KG = 3.
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 4, 2, 2);
    const CVector3 g(10.5, 0, 3);
    const double heel = DegToRad(15);
    double trim = 0, draught = 0;
    ASSERT_EQ(ship.FindTrimEquilibrium(g, 320, heel, trim, draught, 1e-9, 1e-7, kExact),
              SearchStatus::converged);
    CHydroProperties p;
    ship.ImmersedProperties(p, draught, Rotation(15, RadToDeg(trim)), kExact);
    EXPECT_NEAR(p.TrimmingLever(g, draught, heel, trim), 0, 1e-7);
    EXPECT_NEAR(RadToDeg(trim), -1.94, 0.02);
    // At even keel the formula holds to rounding on these 4 x 2 x 2 panels.
    const double bm = 64.0 / 24, gm = 1 + bm - 3;
    const double wallSided = std::sin(heel) * (gm + bm / 2 * std::tan(heel) * std::tan(heel));
    double evenKeel = 0;
    ASSERT_EQ(ship.FindDraught(320, Rotation(15), evenKeel, 1e-11, kExact),
              SearchStatus::converged);
    CHydroProperties q;
    ship.ImmersedProperties(q, evenKeel, Rotation(15), kExact);
    EXPECT_NEAR(q.RightingLever(g, evenKeel, heel, 0), wallSided, 1e-10);
    // Free to trim the sides are no longer square to the waterplane's
    // heeling axis; the 2 degrees of trim raise GZ by about 3 mm.
    EXPECT_NEAR(p.RightingLever(g, draught, heel, trim), wallSided + 0.0029, 3e-4);
}

TEST(ExactRule, TrimSlopesMatchCentralDifferences) {
    // The slopes the equilibrium search steps with, against central
    // differences of the evaluation itself: a box heeled and trimmed, and
    // the Wigley hull of plane triangles, whose waterplane is curved, its
    // open top kept above water, G off the centreline.
    struct CCase {
        bool wigley;
        double draught, heelDeg, trimDeg;
        CVector3 g;
    };
    const CCase cases[] = {{false, 1.5, 25, 3, CVector3(10.5, 0.3, 3)},
                           {true, 3.5, 10, 0.5, CVector3(48, -0.2, 2.5)},
                           {true, 2.2, 30, -0.7, CVector3(53, 0.4, 4)}};
    for (const CCase& c : cases) {
        CShipModel ship;
        if (c.wigley)
            AddSymmetricWigley(ship, 100, 10, 6.25, 24);
        else
            AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 4, 2, 2);
        const double heel = DegToRad(c.heelDeg), trim = DegToRad(c.trimDeg);
        auto at = [&](double draught, double t, double& volume, double& lever) {
            CRotationMatrix r;
            r.SetRotation(heel, t, 0);
            CHydroProperties p;
            ship.ImmersedProperties(p, draught, r, kExact);
            volume = p.Volume();
            lever = p.TrimmingLever(c.g, draught, heel, t);
        };
        CRotationMatrix r;
        r.SetRotation(heel, trim, 0);
        CHydroProperties p;
        ship.ImmersedProperties(p, c.draught, r, kExact);
        const CHydroProperties::CTrimSlopes s = p.TrimSlopes(c.g, c.draught, heel, trim);
        const double dT = 1e-4, dt = 1e-5;
        double v1, l1, v2, l2;
        at(c.draught + dT, trim, v1, l1);
        at(c.draught - dT, trim, v2, l2);
        EXPECT_NEAR(s.volume_draught, (v1 - v2) / (2 * dT), 1e-6 * std::fabs(s.volume_draught));
        EXPECT_NEAR(s.lever_draught, (l1 - l2) / (2 * dT),
                    1e-6 + 1e-5 * std::fabs(s.lever_draught));
        at(c.draught, trim + dt, v1, l1);
        at(c.draught, trim - dt, v2, l2);
        EXPECT_NEAR(s.volume_trim, (v1 - v2) / (2 * dt), 1e-6 * std::fabs(s.volume_trim) + 1e-3);
        EXPECT_NEAR(s.lever_trim, (l1 - l2) / (2 * dt), 1e-6 * std::fabs(s.lever_trim) + 1e-4);
        // Not a degenerate case: every slope counts.
        EXPECT_GT(std::fabs(s.volume_trim), 1);
        EXPECT_GT(std::fabs(s.lever_draught), 1e-4);
    }
}

TEST(ExactRule, FreeToTrimSearchMeetsItsVolumeToleranceInFewEvaluations) {
    // The 20 x 8 x 4 m box heeled 40 degrees, its deck edge under water and
    // its bilge out of it, so that the volume curves with the draught, G aft
    // of the middle: the volume to 1e-10 of itself (the level search alone
    // stops on a 1 mm bracket), from even keel and from a start far
    // outside the body alike.
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 4, 2, 2);
    const double volume = 320, heel = DegToRad(40);
    const CVector3 g(9.5, 0, 3);
    auto gravity = [&](double, double, CVector3& at) {
        at = g;
        return true;
    };
    const CTrimStart far{0.3, 50};
    double first = 0;
    for (const CTrimStart* start : {static_cast<const CTrimStart*>(nullptr), &far}) {
        double trim = 0, draught = 0;
        CHydroProperties p;
        p.SetCollect(false);
        const long long before = CShipModel::EvaluationCount();
        ASSERT_EQ(ship.FindTrimEquilibrium(gravity, volume, heel, trim, draught, 1e-10 * volume,
                                           1e-7, kExact, start, &p),
                  SearchStatus::converged);
        const long long evaluations = CShipModel::EvaluationCount() - before;
        if (!start) {
            EXPECT_LE(evaluations, 6);
        }
        // The record is the ship's at the answer.
        CHydroProperties q;
        q.SetCollect(false);
        CRotationMatrix r;
        r.SetRotation(heel, trim, 0);
        ship.ImmersedProperties(q, draught, r, kExact);
        EXPECT_EQ(q.Volume(), p.Volume());
        EXPECT_NEAR(q.Volume(), volume, 1e-10 * volume);
        EXPECT_NEAR(q.TrimmingLever(g, draught, heel, trim), 0, 1e-7);
        // Both starts find the one equilibrium, to the lever's tolerance
        // over the lever's slope with trim (some 20 m).
        if (!start)
            first = trim;
        EXPECT_NEAR(trim, first, 2e-8);
    }
    // The draught alone at that heel, even keel: Newton's steps on the
    // waterplane area, the volume met in a few evaluations.
    double draught = 0;
    const long long before = CShipModel::EvaluationCount();
    ASSERT_EQ(ship.FindDraught(volume, Rotation(40), draught, 1e-10 * volume, kExact),
              SearchStatus::converged);
    EXPECT_LE(CShipModel::EvaluationCount() - before, 4);
    EXPECT_NEAR(ship.ImmersedVolume(Rotation(40), draught, kExact), volume, 1e-10 * volume);
}

// Meshes of more than 2^17 faces are summed in pieces side by side: the
// box's closed forms still hold, the Wigley hull's sums agree with the
// serial walk (taken when the waterline is collected for drawing), and the
// bits are the same on one thread and on four.
TEST(ExactRule, LargeMeshesSummedInPiecesKeepTheirSumsAndBits) {
    CShipModel box;
    AddGridBox(*box.AddElement(kindHull), {0, -5, 0}, {40, 5, 4}, 800, 200, 100);
    CShipModel wigley;
    AddSymmetricWigley(wigley, 100, 10, 6, 200);
    const double phi = DegToRad(10), ts = 2 / std::cos(phi);
    auto evaluate = [](const CShipModel& ship, int threads, double draught, double heel,
                       bool collect) {
        CHydroProperties p;
        p.SetCollect(collect);
        tbb::task_arena(threads).execute(
            [&] { ship.ImmersedProperties(p, draught, Rotation(heel), kExact); });
        return p;
    };
    const CHydroProperties one = evaluate(box, 1, 2, 10, false);
    const CHydroProperties four = evaluate(box, 4, 2, 10, false);
    EXPECT_NEAR(one.Volume(), 400 * ts, 1e-9);
    EXPECT_NEAR(one.WettedArea(), 400 + 2 * 40 * ts + 2 * 10 * ts, 1e-9);
    EXPECT_NEAR(one.WaterplaneArea(), 400 / std::cos(phi), 1e-9);
    const CHydroProperties serial = evaluate(wigley, 1, 3, 20, true);
    const CHydroProperties pieces = evaluate(wigley, 1, 3, 20, false);
    EXPECT_NEAR(pieces.Volume(), serial.Volume(), 1e-11 * serial.Volume());
    EXPECT_NEAR(pieces.WettedArea(), serial.WettedArea(), 1e-11 * serial.WettedArea());
    EXPECT_NEAR(pieces.WaterplaneArea(), serial.WaterplaneArea(), 1e-11 * serial.WaterplaneArea());
    EXPECT_EQ(pieces.m_waterline_length, serial.m_waterline_length);
    const CHydroProperties wigleyFour = evaluate(wigley, 4, 3, 20, false);
    for (const auto& [a, b] : {std::pair{&one, &four}, std::pair{&pieces, &wigleyFour}}) {
        EXPECT_EQ(a->Volume(), b->Volume());
        EXPECT_EQ(a->WettedArea(), b->WettedArea());
        EXPECT_EQ(a->m_moments.X(), b->m_moments.X());
        EXPECT_EQ(a->m_moments.Y(), b->m_moments.Y());
        EXPECT_EQ(a->m_moments.Z(), b->m_moments.Z());
        EXPECT_EQ(a->WaterplaneArea(), b->WaterplaneArea());
    }
}
