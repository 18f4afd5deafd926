#include "geometry/CPointList.h"
#include "geometry/CSegment.h"
#include "geometry/CTriangle.h"
#include "geometry/PolygonIntegrals.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// A face's corners and the volume term of its fan. Out of line, so that the
// compiler does not warn of the fan's reach into polygons it sees are short.
struct Poly {
    Poly(std::initializer_list<CVector3> corners) : points(corners) {}
    [[gnu::noinline]] double Volume() const {
        return polygon::Volume(points.data(), static_cast<int>(points.size()));
    }
    std::vector<CVector3> points;
};
} // namespace

TEST(PolygonFan, VolumeOfTheFacesOfATetrahedronAddsUp) {
    // Tetrahedron (0,0,0), (2,0,0), (0,3,0), (0,0,4): V = 2 * 3 * 4 / 6 = 4.
    // Faces counter-clockwise seen from outside.
    const CVector3 o(0, 0, 0), a(2, 0, 0), b(0, 3, 0), c(0, 0, 4);
    const Poly faces[] = {Poly({o, b, a}), Poly({o, a, c}), Poly({o, c, b}), Poly({a, b, c})};
    double volume = 0;
    for (const Poly& f : faces)
        volume += f.Volume();
    EXPECT_NEAR(volume, 4.0, 1e-14);
    // Reversed faces count negative.
    const Poly reversed = Poly({a, c, b});
    EXPECT_NEAR(reversed.Volume(), -faces[3].Volume(), 1e-15);
}

TEST(PolygonFan, QuadFanEqualsItsTwoTrianglesAndShortPolygonsGiveNothing) {
    // A sloping quad: the fan (1,2,3) + (1,3,4) over the field (0, 0, z).
    const CVector3 p1(0, 0, 1), p2(2, 0, 2), p3(2, 3, 3), p4(0, 3, 2);
    const Poly quad = Poly({p1, p2, p3, p4});
    const Poly t1 = Poly({p1, p2, p3}), t2 = Poly({p1, p3, p4});
    EXPECT_EQ(quad.Volume(), t1.Volume() + t2.Volume());
    // zc * A * n.z is the mean z times the area projected on the xy plane:
    // both triangles have mean z (1 + 2 + 3) / 3 = (1 + 3 + 2) / 3 = 2 and
    // projected area 3, so 2 * 3 + 2 * 3.
    EXPECT_NEAR(quad.Volume(), 2.0 * 3 + 2.0 * 3, 1e-14);
    EXPECT_EQ(Poly({p1, p2}).Volume(), 0);
    EXPECT_EQ(Poly({}).Volume(), 0);
    // Doubled vertices add zero-area triangles that contribute nothing.
    const Poly doubled = Poly({p1, p1, p2, p2, p3, p3, p4, p4});
    EXPECT_NEAR(doubled.Volume(), quad.Volume(), 1e-14);
}

TEST(CTriangle, NormalAndCentroid) {
    CTriangle t;
    t.V(1).Set(0, 0, 0);
    t.V(2).Set(1, 0, 0);
    t.V(3).Set(0, 1, 0);
    CVector3 n, c;
    t.Normal(n);
    EXPECT_EQ(n.Z(), 1);
    t.Centroid(c);
    EXPECT_DOUBLE_EQ(c.X(), 1.0 / 3);
    t.V(3) = t.V(2); // degenerate: zero normal, no volume
    t.Normal(n);
    EXPECT_TRUE(n.IsZero());
}

TEST(CPointList, OneBasedAccessAndEmptying) {
    CPointList list;
    EXPECT_EQ(list.GetAt(1), nullptr);
    list.Append(CVector3(1, 2, 3));
    list.Append();
    list.Append(CVector3(7, 8, 9));
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(3)->X(), 7);
    EXPECT_EQ(list.GetAt(1)->Z(), 3);
    EXPECT_TRUE(list.GetAt(2)->IsZero());
    EXPECT_EQ(list.GetAt(4), nullptr);
    EXPECT_EQ(list.GetAt(0), nullptr);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetAt(1), nullptr);
}

TEST(CSegment, ParametersAtXAndZ) {
    CSegment s(CVector3(1, 2, 3), CVector3(5, 2, 3));
    EXPECT_EQ(s.Direction().X(), 4);
    CVector3 out(9, 9, 9);
    EXPECT_EQ(s.ParameterAtX(2, out), 0.25);
    EXPECT_EQ(out.X(), 2);
    CVector3 untouched(9, 9, 9);
    EXPECT_EQ(s.ParameterAtZ(0, untouched), -1); // D.z = 0
    EXPECT_EQ(untouched.X(), 9);
    CVector3 end;
    s.PointAt(1, end);
    EXPECT_EQ(end.X(), 5);
}
