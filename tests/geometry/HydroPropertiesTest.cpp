#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/CPolygon.h"
#include "geometry/CTriangle.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

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

TEST(CTriangle, ImmersedContributionRecordsTheWaterlineAgainstTheVertexOrder) {
    // A vertical triangle with its edge V1-V2 on z = 0, within rounding.
    CTriangle t;
    t.V(1).Set(1, 0, 1e-9);
    t.V(2).Set(0, 0, -1e-9);
    t.V(3).Set(0, 0, -1);
    CHydroProperties r;
    t.ImmersedContribution(r);
    ASSERT_EQ(r.m_waterline.GetCount(), 1);
    const CSegment& s = *r.m_waterline.GetAt(1);
    EXPECT_EQ(s.Start().X(), 0); // from V2 to V1
    EXPECT_EQ(s.Direction().X(), 1);
    EXPECT_EQ(t.V(1).Z(), 0); // rounded in place
    EXPECT_NEAR(r.m_wetted_area, 0.5, 1e-8);
    // A horizontal triangle in the waterplane gives no segment.
    CTriangle flat;
    flat.V(1).Set(0, 0, 0);
    flat.V(2).Set(1, 0, 0);
    flat.V(3).Set(0, 1, 0);
    flat.ImmersedContribution(r);
    EXPECT_EQ(r.m_waterline.GetCount(), 0);
    EXPECT_DOUBLE_EQ(r.m_wetted_area, 0.5);
    EXPECT_EQ(r.m_volume, 0);
    // Without collecting, nothing is recorded and nothing rounded.
    r.SetCollect(false);
    t.V(1).Set(1, 0, 1e-9);
    t.ImmersedContribution(r);
    EXPECT_EQ(r.m_waterline.GetCount(), 0);
    EXPECT_EQ(t.V(1).Z(), 1e-9);
}

namespace {
// The fan as the record of each triangle would be summed: V1 copied once per
// polygon (and kept rounded once rounded), V2 and V3 copied per triangle,
// every triangle's record accumulated, zero-area ones included.
CHydroProperties TriangleByTriangle(const CPolygon& poly) {
    CHydroProperties sum;
    sum.Reset();
    CTriangle t;
    t.V(1) = *poly.GetAt(1);
    for (int i = 2; i + 1 <= poly.GetCount(); ++i) {
        t.V(2) = *poly.GetAt(i);
        t.V(3) = *poly.GetAt(i + 1);
        CHydroProperties one;
        t.ImmersedContribution(one);
        sum.Accumulate(one);
    }
    return sum;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

TEST(CPolygon, FanSumsEqualTheTriangleRecordsBitForBit) {
    // Polygons with doubled vertices and points within rounding of z = 0,
    // as the clipping of faces near the waterplane makes them.
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> coord(-3, 3);
    std::uniform_int_distribution<int> pick(0, 5);
    int segments = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        CPolygon poly;
        const int corners = 3 + trial % 4;
        for (int k = 0; k < corners; ++k) {
            CVector3 p(coord(random), coord(random), coord(random));
            const int kind = pick(random);
            if (kind <= 1)
                p.Set(p.X(), p.Y(), kind == 0 ? 0.0 : 3e-7 * coord(random));
            poly.Append(p);
            if (kind == 2 || kind == 3)
                poly.Append(p);
        }
        CHydroProperties fast;
        poly.ImmersedProperties(fast);
        const CHydroProperties slow = TriangleByTriangle(poly);
        ASSERT_TRUE(SameBits(fast.m_volume, slow.m_volume)) << trial;
        ASSERT_TRUE(SameBits(fast.m_wetted_area, slow.m_wetted_area)) << trial;
        for (int c = 1; c <= 3; ++c)
            ASSERT_TRUE(SameBits(*fast.m_moments.Element(c), *slow.m_moments.Element(c))) << trial;
        ASSERT_EQ(fast.m_waterline.GetCount(), slow.m_waterline.GetCount()) << trial;
        for (int s = 1; s <= fast.m_waterline.GetCount(); ++s)
            for (int c = 1; c <= 3; ++c) {
                ASSERT_TRUE(SameBits(*fast.m_waterline.GetAt(s)->Start().Element(c),
                                     *slow.m_waterline.GetAt(s)->Start().Element(c)));
                ASSERT_TRUE(SameBits(*fast.m_waterline.GetAt(s)->Direction().Element(c),
                                     *slow.m_waterline.GetAt(s)->Direction().Element(c)));
            }
        segments += fast.m_waterline.GetCount();
        // Without the waterline nothing is rounded: the plain fan volume.
        CHydroProperties quiet;
        quiet.SetCollect(false);
        poly.ImmersedProperties(quiet);
        EXPECT_TRUE(SameBits(poly.Volume(), quiet.m_volume)) << trial;
    }
    EXPECT_GT(segments, 200); // the cases near the waterline were reached
}
