#include "TestShips.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "model/TrimSearch.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

CRotationMatrix Rotation(double heelDeg = 0, double trimDeg = 0) {
    CRotationMatrix r;
    r.SetRotation(DegToRad(heelDeg), DegToRad(trimDeg), 0);
    return r;
}

// The unit cube (0,0,0)-(1,1,1) as one element of 12 triangles.
std::unique_ptr<CShipElement> UnitCube() {
    auto cube = std::make_unique<CShipElement>();
    cube->Append(BoxMesh(0, 0, 0, 1, 1, 1));
    return cube;
}

// A box barge L x B x D = 20 x 8 x 4 m, x 0..20, y -4..4, z 0..4, in panels.
void AddBarge(CShipModel& ship, int nx = 8, int ny = 4, int nz = 4) {
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("barge");
    AddGridBox(*hull, {0, -4, 0}, {20, 4, 4}, nx, ny, nz);
}

} // namespace

TEST(ElementHydrostatics, UnitCubeAtHalfHeight) {
    // One quadrilateral per side: the cut gives one segment per side.
    CShipElement cube;
    AddGridBox(cube, {0, 0, 0}, {1, 1, 1}, 1, 1, 1);
    CHydroProperties p;
    cube.ImmersedProperties(p, 0.5, Rotation());
    EXPECT_DOUBLE_EQ(p.m_volume, 0.5);
    EXPECT_DOUBLE_EQ(p.m_wetted_area, 3); // bottom 1 + four sides of 0.5
    EXPECT_EQ(p.m_waterline.GetCount(), 4);
    CVector3 b;
    p.BuoyancyCentre(b, 0.5, 0, 0);
    EXPECT_DOUBLE_EQ(b.X(), 0.5);
    EXPECT_DOUBLE_EQ(b.Y(), 0.5);
    EXPECT_DOUBLE_EQ(b.Z(), 0.25);
    p.ComputeWaterplane();
    EXPECT_DOUBLE_EQ(p.m_waterplane_area, 1);
    EXPECT_DOUBLE_EQ(p.m_waterplane_first.X(), 0.5);
    EXPECT_DOUBLE_EQ(p.m_waterplane_first.Y(), 0.5);
    EXPECT_DOUBLE_EQ(p.m_waterplane_second.X(), 1.0 / 3);
    EXPECT_DOUBLE_EQ(p.m_waterplane_second.Y(), 1.0 / 3);
    double rt, rl;
    p.MetacentricRadii(rt, rl, 0.5, 0, 0);
    EXPECT_DOUBLE_EQ(rt, 1.0 / 6); // B^2 / (12 T) = 1 / 6
    EXPECT_DOUBLE_EQ(rl, 1.0 / 6);
    EXPECT_EQ(p.m_waterline_length, 1);
    EXPECT_EQ(p.m_waterline_breadth, 1);
    EXPECT_DOUBLE_EQ(cube.ImmersedVolume(Rotation(), 0.5), 0.5);
    // As triangles, each side's cut crosses both triangles: eight segments,
    // the same waterplane.
    const auto triangles = UnitCube();
    triangles->ImmersedProperties(p, 0.5, Rotation());
    EXPECT_EQ(p.m_waterline.GetCount(), 8);
    p.ComputeWaterplane();
    EXPECT_DOUBLE_EQ(p.m_waterplane_area, 1);
    EXPECT_DOUBLE_EQ(p.m_waterplane_second.Y(), 1.0 / 3);
}

TEST(ElementHydrostatics, WhollyAboveBelowAndOnTheWaterplane) {
    const auto owned = UnitCube();
    const CShipElement& cube = *owned;
    CHydroProperties p;
    cube.ImmersedProperties(p, -0.25, Rotation());
    EXPECT_EQ(p.m_volume, 0);
    EXPECT_EQ(p.m_wetted_area, 0);
    EXPECT_EQ(p.m_waterline.GetCount(), 0);
    cube.ImmersedProperties(p, 1.5, Rotation());
    EXPECT_DOUBLE_EQ(p.m_volume, cube.Volume());
    EXPECT_DOUBLE_EQ(p.m_wetted_area, 6);
    EXPECT_EQ(p.m_waterline.GetCount(), 0);
    // The deck lies in the waterplane: its points count as immersed and it
    // gives no segment; the sides' top edges close the waterline.
    cube.ImmersedProperties(p, 1, Rotation());
    EXPECT_DOUBLE_EQ(p.m_volume, 1);
    EXPECT_EQ(p.m_waterline.GetCount(), 4);
    p.ComputeWaterplane();
    EXPECT_DOUBLE_EQ(p.m_waterplane_area, 1);
    // Collecting nothing leaves the same volume.
    CHydroProperties quiet;
    quiet.SetCollect(false);
    cube.ImmersedProperties(quiet, 0.5, Rotation());
    EXPECT_EQ(quiet.m_waterline.GetCount(), 0);
    EXPECT_DOUBLE_EQ(quiet.m_volume, 0.5);
}

TEST(ElementHydrostatics, VolumePropertiesGiveTheBoxCentroid) {
    CShipElement box;
    AddGridBox(box, {2, -1, 3}, {6, 1, 4}, 4, 2, 3);
    double area, volume;
    CVector3 c;
    box.VolumeProperties(area, volume, c);
    EXPECT_NEAR(area, 2 * (4 * 2 + 2 * 1 + 4 * 1), 1e-12);
    EXPECT_NEAR(volume, 8, 1e-12);
    EXPECT_NEAR(c.X(), 4, 1e-12);
    EXPECT_NEAR(c.Y(), 0, 1e-12);
    EXPECT_NEAR(c.Z(), 3.5, 1e-12);
    CShipElement empty;
    empty.VolumeProperties(area, volume, c);
    EXPECT_EQ(volume, 0);
    EXPECT_TRUE(c.IsZero());
    double zmin = 9, zmax = 9;
    EXPECT_FALSE(empty.ZRange(Rotation(), zmin, zmax));
    EXPECT_EQ(zmin, 9);
}

TEST(ElementHydrostatics, FindLevelBracketsTheTarget) {
    const auto owned = UnitCube();
    const CShipElement& cube = *owned;
    double t = 0.123;
    EXPECT_EQ(cube.FindLevel(0, Rotation(), t, 1e-9), SearchStatus::outOfRange);
    EXPECT_EQ(t, 0.123);
    EXPECT_EQ(cube.FindLevel(1.5, Rotation(), t, 1e-9), SearchStatus::outOfRange);
    EXPECT_EQ(t, 0.123);
    EXPECT_EQ(cube.FindLevel(0.3, Rotation(), t, 1e-9), SearchStatus::converged);
    EXPECT_NEAR(t, 0.3, 1e-9);
    // The whole volume: towards the top.
    EXPECT_EQ(cube.FindLevel(1, Rotation(), t, 1e-9), SearchStatus::converged);
    EXPECT_NEAR(t, 1, 1e-3);
    // Heeled 30 degrees, half the volume still floats at the centre.
    const CRotationMatrix heeled = Rotation(30);
    double zmin, zmax;
    ASSERT_TRUE(cube.ZRange(heeled, zmin, zmax));
    EXPECT_EQ(cube.FindLevel(0.5, heeled, t, 1e-10), SearchStatus::converged);
    EXPECT_NEAR(t, (zmin + zmax) / 2, 1e-6);
}

TEST(ShipHydrostatics, CompartmentPermeabilityScalesOnlyTheVolume) {
    CShipModel ship;
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    AddGridBox(*room, {0, 0, 0}, {1, 1, 1}, 1, 1, 1);
    room->SetPermeability(0.5);
    CHydroProperties p;
    ship.ImmersedProperties(p, 0.5, Rotation());
    EXPECT_DOUBLE_EQ(p.m_volume, 0.25);
    EXPECT_DOUBLE_EQ(p.m_wetted_area, 3);
    EXPECT_DOUBLE_EQ(p.m_moments.X(), 0.25); // integral of x dV of the whole cut
    EXPECT_EQ(p.m_waterline.GetCount(), 4);
    EXPECT_DOUBLE_EQ(ship.ImmersedVolume(Rotation(), 0.5), 0.25);
    EXPECT_DOUBLE_EQ(ship.TotalVolume(), 0.5);
    room->SetEnabled(false);
    EXPECT_EQ(ship.TotalVolume(), 0);
    double t = 0.7;
    EXPECT_EQ(ship.FindDraught(0.2, Rotation(), t, 1e-6), SearchStatus::outOfRange);
    EXPECT_EQ(t, 0.7);
}

TEST(ShipHydrostatics, DisabledHullWidensTheBracketButAddsNoVolume) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, 0, 0, 1, 1, 1));
    CShipElement* off = ship.AddElement(kindHull);
    off->Append(BoxMesh(5, 0, -10, 6, 1, 10));
    off->SetEnabled(false);
    double zmin, zmax;
    ASSERT_TRUE(ship.ZRange(Rotation(), zmin, zmax));
    EXPECT_EQ(zmin, -10);
    EXPECT_EQ(zmax, 10);
    EXPECT_DOUBLE_EQ(ship.TotalVolume(), 1);
    double t = 0;
    EXPECT_EQ(ship.FindDraught(0.4, Rotation(), t, 1e-9), SearchStatus::converged);
    EXPECT_NEAR(t, 0.4, 1e-9);
    double area, volume;
    CVector3 c;
    ship.VolumeCentroid(area, volume, c);
    EXPECT_DOUBLE_EQ(volume, 1);
    EXPECT_DOUBLE_EQ(c.X(), 0.5);
    CShipModel empty;
    empty.VolumeCentroid(area, volume, c);
    EXPECT_EQ(volume, 0);
    EXPECT_TRUE(c.IsZero());
}

TEST(ShipHydrostatics, BoxBargeUprightMatchesClosedForms) {
    CShipModel ship;
    AddBarge(ship);
    for (double t : {0.7, 1.6, 2.5, 3.3}) {
        CHydroProperties p;
        ship.ImmersedProperties(p, t, Rotation());
        p.ComputeWaterplane();
        EXPECT_NEAR(p.m_volume, 20 * 8 * t, 1e-10) << t; // V = L B T
        EXPECT_NEAR(p.m_wetted_area, 20 * 8 + 2 * t * (20 + 8), 1e-10);
        CVector3 b, f;
        p.BuoyancyCentre(b, t, 0, 0);
        EXPECT_NEAR(b.X(), 10, 1e-10);
        EXPECT_NEAR(b.Y(), 0, 1e-12);
        EXPECT_NEAR(b.Z(), t / 2, 1e-10); // KB = T / 2
        EXPECT_NEAR(p.m_waterplane_area, 160, 1e-10);
        p.FloatationCentre(f, t, 0, 0);
        EXPECT_NEAR(f.X(), 10, 1e-10);
        EXPECT_NEAR(f.Z(), t, 1e-12);
        double rt, rl;
        p.MetacentricRadii(rt, rl, t, 0, 0);
        EXPECT_NEAR(rt, 8.0 * 8 / (12 * t), 1e-10);  // BMt = B^2 / (12 T)
        EXPECT_NEAR(rl, 20.0 * 20 / (12 * t), 1e-9); // BMl = L^2 / (12 T)
        EXPECT_NEAR(p.m_waterline_length, 20, 1e-12);
        EXPECT_NEAR(p.m_waterline_breadth, 8, 1e-12);
    }
}

TEST(ShipHydrostatics, HeeledWallSidedBoxRadiusIsTakenAboutTheInclinedWaterplane) {
    // Before the deck edge immerses the waterplane is a rectangle L x B / cos
    // phi, so BMt = B^2 / (12 T cos^3 phi) with T = V / (L B).
    CShipModel ship;
    AddBarge(ship);
    const double phi = 10, volume = 320, T = volume / (20 * 8);
    const CRotationMatrix r = Rotation(phi);
    double draught = 0;
    ASSERT_EQ(ship.FindDraught(volume, r, draught, 1e-10), SearchStatus::converged);
    CHydroProperties p;
    ship.ImmersedProperties(p, draught, r);
    p.ComputeWaterplane();
    double rt = 0, rl = 0;
    p.MetacentricRadii(rt, rl, draught, DegToRad(phi), 0);
    const double c = std::cos(DegToRad(phi));
    // The waterline passes within rounding of the grid point (20, 0, 2) on
    // the centreline: the thin triangles along it must not add segments.
    // The waterline's points are rounded to 6 decimals: the integrals agree
    // to that.
    EXPECT_NEAR(p.m_waterplane_area, 160 / c, 1e-5);
    EXPECT_NEAR(p.m_waterline_breadth, 8 / c, 1e-5);
    EXPECT_NEAR(rt, 8.0 * 8 / (12 * T * c * c * c), 1e-6);
    EXPECT_NEAR(rl, 20.0 * 20 / (12 * T * c), 1e-5); // L^3 (B / cos) / 12 / V
}

TEST(ShipHydrostatics, FreeToTrimRightingLeverOfAHeeledBox) {
    // Box 20 x 8 x 4 m in 32 x 16 x 16 panels, V = 320 m^3, G = (10.5, 0, 3),
    // heeled 15 degrees: the wall-sided formula GZ = sin(phi) (GM + BM
    // tan^2(phi) / 2) with KB = 1, BM = 8^2 / 24, KG = 3 gives 0.197 m.
    CShipModel ship;
    AddBarge(ship, 32, 16, 16);
    const CVector3 g(10.5, 0, 3);
    const double heel = DegToRad(15);
    double trim = 0, draught = 0;
    ASSERT_EQ(ship.FindTrimEquilibrium(g, 320, heel, trim, draught, 1e-6, 0.002),
              SearchStatus::converged);
    EXPECT_NEAR(RadToDeg(trim), -1.94, 0.02);
    // Started at its own equilibrium, the search returns at once.
    double again = trim, againDraught = draught;
    ASSERT_EQ(ship.FindTrimEquilibrium(g, 320, heel, again, againDraught, 1e-6, 0.002),
              SearchStatus::converged);
    EXPECT_EQ(again, trim);
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    CHydroProperties p;
    ship.ImmersedProperties(p, draught, r);
    const double bm = 64.0 / 24, gm = 1 + bm - 3;
    const double wallSided = std::sin(heel) * (gm + bm / 2 * std::tan(heel) * std::tan(heel));
    EXPECT_NEAR(wallSided, 0.197, 0.0005);
    EXPECT_NEAR(p.RightingLever(g, draught, heel, trim), 0.198, 0.001);
    // Turned back with Rx(-heel) Ry(-trim) instead of the exact inverse, the
    // centre of buoyancy moves by about heel x trim x its distance from the
    // origin, and the lever comes out near 0.107 m.
    CVector3 b = p.m_moments;
    b.Divide(p.m_volume);
    b.Set(b.X(), b.Y(), b.Z() + draught);
    CRotationMatrix wrong;
    wrong.SetRotation(-heel, -trim, 0);
    CVector3 bw;
    bw.Transform(wrong, b);
    EXPECT_NEAR((bw.Y() - g.Y()) * std::cos(heel) + (bw.Z() - g.Z()) * std::sin(heel), 0.107,
                0.002);
}

TEST(ShipHydrostatics, LiquidLoadsMoveTheCentreOfGravity) {
    CShipModel ship;
    AddBarge(ship);
    CVector3 g(10, 0, 2);
    EXPECT_EQ(ship.CentreOfGravity(g, 1000, 0.2, 0), SearchStatus::converged);
    EXPECT_NEAR(g.X(), 10, 1e-12); // no tank: the weights cancel
    EXPECT_NEAR(g.Z(), 2, 1e-12);

    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    AddGridBox(*tank, {2, -1, 1}, {6, 1, 3}, 4, 2, 2); // 16 m^3
    tank->SetSpecificWeight(1000);
    tank->SetLoadVolume(8); // half full: level z = 2 upright
    CVector3 c;
    ASSERT_EQ(tank->TankLiquidCentre(0, 0, c), SearchStatus::converged);
    EXPECT_NEAR(c.X(), 4, 1e-9);
    EXPECT_NEAR(c.Z(), 1.5, 1e-9);
    // Heeled, the liquid runs to the low side: y > 0 under a positive heel,
    // as the hull's own centre of buoyancy moves.
    ASSERT_EQ(tank->TankLiquidCentre(DegToRad(10), 0, c), SearchStatus::converged);
    CHydroProperties hull;
    ship.ImmersedProperties(hull, 2, Rotation(10));
    CVector3 b;
    hull.BuoyancyCentre(b, 2, DegToRad(10), 0);
    EXPECT_GT(c.Y() * b.Y(), 0);
    // 8 t at (10, 0, 2) and 8 m^3 of 1000 kg/m^3, 8 t, at (4, 0, 1.5).
    g.Set(10, 0, 2);
    ship.CentreOfGravity(g, 8, 0, 0);
    EXPECT_NEAR(g.X(), (8 * 10 + 8 * 4) / 16.0, 1e-9);
    EXPECT_NEAR(g.Z(), (8 * 2 + 8 * 1.5) / 16.0, 1e-9);
    // An empty or disabled tank counts for nothing.
    tank->SetLoadVolume(0);
    g.Set(10, 0, 2);
    ship.CentreOfGravity(g, 8, 0, 0);
    EXPECT_NEAR(g.X(), 10, 1e-12);
}

TEST(ShipHydrostatics, SubmergedBodyTrimsUntilGIsBelowB) {
    // A box wholly under water with its fixed weight aft of the centre of
    // buoyancy: the trim settles where B.x - G.x and B.z - G.z balance.
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -1, -1, 10, 1, 1));
    const CVector3 g0(4.9, 0, -0.5);
    double trim = 0;
    ASSERT_EQ(ship.FindSubmergedTrim(g0, 20, 0, trim, 1e-6f), SearchStatus::converged);
    // cos(t) (5 - 4.9) - sin(t) (0 + 0.5) = 0: tan(t) = 0.1 / 0.5.
    EXPECT_NEAR(trim, std::atan(0.2), 1e-6);
    EXPECT_NEAR(TrimmingLeverOf({5, 0, 0}, g0, trim), 0, 1e-6);
}

TEST(TrimSearch, StepsTowardsTheChangeOfSignThenRefines) {
    int calls = 0;
    double trim = 0;
    // Lever 0.1 - t: positive at the start, so the trim rises by 1.5 degree
    // steps (to 6 degrees, where it turns negative), then false position.
    EXPECT_EQ(FindLeverZero(trim, 1e-12,
                            [&](double t) {
                                ++calls;
                                return 0.1 - t;
                            }),
              SearchStatus::converged);
    EXPECT_NEAR(trim, 0.1, 1e-12);
    EXPECT_EQ(calls, 1 + 4 + 1);
    // Already within the tolerance: no step at all.
    calls = 0;
    trim = 0.3;
    EXPECT_EQ(FindLeverZero(trim, 0.002,
                            [&](double) {
                                ++calls;
                                return 0.001;
                            }),
              SearchStatus::converged);
    EXPECT_EQ(trim, 0.3);
    EXPECT_EQ(calls, 1);
}

TEST(TrimSearch, StopsOnALeverThatNeverChangesSignOrIsNotANumber) {
    int calls = 0;
    double trim = 0;
    EXPECT_EQ(FindLeverZero(trim, 0.002,
                            [&](double t) {
                                ++calls;
                                return 1 + t * t;
                            }),
              SearchStatus::notConverged);
    EXPECT_EQ(calls, kMaxSearchEvaluations);
    calls = 0;
    EXPECT_EQ(FindLeverZero(trim, 0.002,
                            [&](double) {
                                ++calls;
                                return std::nan("");
                            }),
              SearchStatus::notConverged);
    EXPECT_EQ(calls, 1);
}
