#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
CHydroProperties Waterline(std::initializer_list<std::pair<double, double>> loop) {
    CHydroProperties p;
    std::vector<CVector3> pts;
    for (auto [x, y] : loop)
        pts.emplace_back(x, y, 0);
    for (std::size_t k = 0; k < pts.size(); ++k)
        p.m_waterline.Append(CSegment(pts[k], pts[(k + 1) % pts.size()]));
    p.m_volume = 1;
    return p;
}
} // namespace

TEST(CHydroProperties, RightTriangleWaterlineGivesExactIntegrals) {
    // (0,0) (2,0) (0,1): A = 1, int x dA = A * 2/3, int y dA = A * 1/3,
    // int x^2 dA = b^3 h / 12 = 8/12, int y^2 dA = b h^3 / 12 = 2/12.
    CHydroProperties p = Waterline({{0, 0}, {2, 0}, {0, 1}});
    p.ComputeWaterplane();
    EXPECT_DOUBLE_EQ(p.m_waterplane_area, 1);
    EXPECT_DOUBLE_EQ(p.m_waterplane_first.X(), 1.0 / 3);
    EXPECT_DOUBLE_EQ(p.m_waterplane_first.Y(), 2.0 / 3);
    EXPECT_DOUBLE_EQ(p.m_waterplane_second.X(), 1.0 / 6);
    EXPECT_DOUBLE_EQ(p.m_waterplane_second.Y(), 2.0 / 3);
    EXPECT_EQ(p.m_waterline_length, 2);
    EXPECT_EQ(p.m_waterline_breadth, 1);
    // Centre of flotation (2/3, 1/3); radii about it: I - A F^2 over V = 1.
    CVector3 f;
    p.FloatationCentre(f, 0.5, 0, 0);
    EXPECT_DOUBLE_EQ(f.X(), 2.0 / 3);
    EXPECT_DOUBLE_EQ(f.Y(), 1.0 / 3);
    EXPECT_EQ(f.Z(), 0.5);
    double rt = -1, rl = -1;
    p.MetacentricRadii(rt, rl, 0.5, 0, 0);
    EXPECT_NEAR(rt, 1.0 / 6 - 1.0 / 9, 1e-15); // b h^3 / 36
    EXPECT_NEAR(rl, 2.0 / 3 - 4.0 / 9, 1e-15); // h b^3 / 36
}

TEST(CHydroProperties, ClockwiseLoopGivesNegativeAreaAndEmptyWaterlineChangesNothing) {
    CHydroProperties p = Waterline({{0, 0}, {0, 3}, {2, 3}, {2, 0}});
    p.ComputeWaterplane();
    EXPECT_DOUBLE_EQ(p.m_waterplane_area, -6);
    CHydroProperties empty;
    empty.m_waterplane_area = 7;
    empty.m_waterline_length = 3;
    empty.ComputeWaterplane();
    EXPECT_EQ(empty.m_waterplane_area, 7);
    // Reset keeps the waterline extents and the collect flag.
    empty.SetCollect(false);
    empty.Reset();
    EXPECT_EQ(empty.m_waterplane_area, 0);
    EXPECT_EQ(empty.m_waterline_length, 3);
    EXPECT_FALSE(empty.GetCollect());
}

TEST(CHydroProperties, RadiiNeedVolumeAndCollectedWaterline) {
    CHydroProperties p = Waterline({{0, 0}, {2, 0}, {0, 1}});
    p.ComputeWaterplane();
    double rt = 5, rl = 5;
    p.m_volume = 0;
    p.MetacentricRadii(rt, rl, 0, 0, 0);
    EXPECT_EQ(rt, 5); // untouched
    p.m_volume = 1;
    p.SetCollect(false);
    p.MetacentricRadii(rt, rl, 0, 0, 0);
    EXPECT_EQ(rt, 0);
    EXPECT_EQ(rl, 0);
}

TEST(CHydroProperties, AccumulateAddsSumsAndCopiesCollectedWaterline) {
    CHydroProperties a = Waterline({{0, 0}, {1, 0}, {0, 1}});
    CHydroProperties b = Waterline({{5, 5}, {6, 5}, {5, 6}});
    b.m_moments.Set(1, 2, 3);
    a.Accumulate(b);
    EXPECT_EQ(a.m_volume, 2);
    EXPECT_EQ(a.m_moments.Z(), 3);
    EXPECT_EQ(a.m_waterline.GetCount(), 6);
    b.SetCollect(false);
    a.Accumulate(b);
    EXPECT_EQ(a.m_waterline.GetCount(), 6);
    EXPECT_EQ(a.m_volume, 3);
}

TEST(BackRotation, IsTheExactInverseAndEqualsTheAxisFormWithOneAngle) {
    const CVector3 p(12.5, -3.25, 4.75);
    CRotationMatrix r;
    r.SetRotation(0.3, 0.2, 0);
    CMatrix back;
    SetBackRotation(back, 0.3, 0.2);
    CVector3 q, round;
    q.Transform(r, p);
    round.Transform(back, q);
    EXPECT_NEAR(round.X(), p.X(), 1e-13);
    EXPECT_NEAR(round.Y(), p.Y(), 1e-13);
    EXPECT_NEAR(round.Z(), p.Z(), 1e-13);
    // With one angle zero the matrix is bit for bit the rotation by the
    // opposite angles.
    for (auto [heel, trim] : {std::pair{0.3, 0.0}, {0.0, -0.2}, {0.0, 0.0}}) {
        CRotationMatrix axis;
        axis.SetRotation(-heel, -trim, 0);
        SetBackRotation(back, heel, trim);
        for (int k = 1; k <= 9; ++k) {
            EXPECT_EQ(*back.Element(k), *axis.Element(k)) << heel << " " << trim << " " << k;
            EXPECT_EQ(std::signbit(*back.Element(k)), std::signbit(*axis.Element(k)));
        }
    }
}
