#include "geometry/CSectionContour.h"
#include "geometry/CSegment.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The rectangle y -b/2..b/2, z 0..d of a transverse section at x,
// counter-clockwise seen from ahead (+x): bottom, starboard side, top, port
// side.
CSectionContour Rectangle(double b, double d, double x = 5) {
    CSectionContour c;
    const CVector3 p[4] = {{x, -b / 2, 0}, {x, b / 2, 0}, {x, b / 2, d}, {x, -b / 2, d}};
    for (int k = 0; k < 4; ++k)
        c.Append(CSegment(p[k], p[(k + 1) % 4]));
    return c;
}

// A face's corners, cut by polygon::CutAtX.
struct Face {
    explicit Face(std::vector<CVector3> corners) : points(std::move(corners)) {
        for (const CVector3& p : points)
            pointers.push_back(&p);
    }
    bool CutAtX(double x, CSegment& out) const {
        return polygon::CutAtX(pointers.data(), static_cast<int>(pointers.size()), x, out);
    }
    std::vector<CVector3> points;
    std::vector<const CVector3*> pointers;
};

CVector3 Start(const CSegment& s) {
    return s.Start();
}
CVector3 End(const CSegment& s) {
    CVector3 e;
    s.PointAt(1, e);
    return e;
}

} // namespace

TEST(SectionContour, RectangleBelowAWaterlineHasItsAreaAndMoment) {
    const CSectionContour c = Rectangle(8, 3);
    for (double t : {0.5, 1.0, 2.0, 3.0}) {
        double a, q, l;
        c.Properties(t, a, q, l);
        EXPECT_DOUBLE_EQ(a, 8 * t) << t;
        EXPECT_DOUBLE_EQ(q, 8 * t * t / 2) << t;
        EXPECT_NEAR(l, 0, 1e-12) << t; // symmetric about y = 0
    }
    // Above the whole section the area stops growing; below it there is none.
    double a, q, l;
    c.Properties(5, a, q, l);
    EXPECT_DOUBLE_EQ(a, 24);
    EXPECT_DOUBLE_EQ(q, 24 * 1.5);
    c.Properties(-1, a, q, l);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(q, 0);
    c.Properties(0, a, q, l); // the bottom lies on the waterline
    EXPECT_EQ(a, 0);
    EXPECT_EQ(q, 0);
}

TEST(SectionContour, ClipBelowKeepsThePartUnderTheWaterline) {
    const CSectionContour c = Rectangle(8, 3);
    CSegment out(CVector3(1, 2, 3), CVector3(4, 5, 6));
    // Horizontal bottom: nothing, and out zeroed.
    EXPECT_FALSE(c.ClipBelow(1, 1, out));
    EXPECT_EQ(Start(out).X(), 0);
    EXPECT_EQ(out.Direction().Z(), 0);
    // Rising side crossing z = 1: from its start up to the waterline, in
    // waterline coordinates.
    ASSERT_TRUE(c.ClipBelow(1, 2, out));
    EXPECT_EQ(Start(out).Z(), -1);
    EXPECT_EQ(End(out).Z(), 0);
    EXPECT_EQ(End(out).Y(), 4);
    // Descending side: from the waterline down to its end.
    ASSERT_TRUE(c.ClipBelow(1, 4, out));
    EXPECT_EQ(Start(out).Z(), 0);
    EXPECT_EQ(End(out).Z(), -1);
    // Wholly below: the whole segment, shifted.
    ASSERT_TRUE(c.ClipBelow(4, 2, out));
    EXPECT_EQ(Start(out).Z(), -4);
    EXPECT_EQ(End(out).Z(), -1);
    // Wholly above, or not a segment.
    EXPECT_FALSE(c.ClipBelow(-1, 2, out));
    EXPECT_FALSE(c.ClipBelow(-1, 4, out));
    EXPECT_FALSE(c.ClipBelow(1, 0, out));
    EXPECT_FALSE(c.ClipBelow(1, 5, out));
}

TEST(SectionTerms, IntegrateAlongTheSegmentExactly) {
    // From (y, z) = (1, 2) to (3, 6): the integral of y dz is 2 x 4 = 8,
    // of y z dz is the integral over t of (1 + 2t)(2 + 4t) 4 dt = 4 x 26/3.
    const CSegment s(CVector3(0, 1, 2), CVector3(0, 3, 6));
    EXPECT_DOUBLE_EQ(s.SectionAreaTerm(), 8);
    EXPECT_DOUBLE_EQ(s.SectionMomentTerm(), -4 * 26.0 / 3);
    EXPECT_DOUBLE_EQ(s.SectionLateralTerm(), 2 * 26.0 / 3);
}

TEST(CutAtX, CutsAFaceWhereThePlaneCrossesIt) {
    const Face face({{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}});
    CSegment s;
    ASSERT_TRUE(face.CutAtX(0.5, s));
    // Beyond the first vertex: from the second crossing (on the top edge)
    // to the first (on the bottom edge).
    EXPECT_EQ(Start(s).Z(), 2);
    EXPECT_EQ(End(s).Z(), 0);
    EXPECT_EQ(Start(s).X(), 0.5);
    // Through an edge lying in the plane: that edge, oriented by the rule.
    ASSERT_TRUE(face.CutAtX(2, s));
    EXPECT_EQ(Start(s).Z(), 2);
    EXPECT_EQ(End(s).Z(), 0);
    ASSERT_TRUE(face.CutAtX(0, s));
    EXPECT_EQ(Start(s).Z(), 0);
    EXPECT_EQ(End(s).Z(), 2);
    EXPECT_FALSE(face.CutAtX(-1, s));
    // Through a single vertex: found on both edges that meet there, a cut
    // of zero length.
    const Face triangle({{0, 0, 0}, {2, 0, 0}, {1, 0, 2}});
    ASSERT_TRUE(triangle.CutAtX(2, s));
    EXPECT_EQ(Start(s).X(), 2);
    EXPECT_EQ(s.Direction().X(), 0);
    EXPECT_EQ(s.Direction().Z(), 0);
    const Face line({{0, 0, 0}, {1, 0, 0}});
    EXPECT_FALSE(line.CutAtX(0.5, s));
}
