#include "geometry/CMatrix.h"
#include "geometry/CVector3.h"
#include "geometry/Scalar.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
CVector3 Rotated(double heel, double trim, const CVector3& p) {
    CRotationMatrix r;
    r.SetRotation(heel, trim, 0);
    CVector3 out;
    out.Transform(r, p);
    return out;
}
} // namespace

TEST(CRotationMatrix, CarriesAPointIntoTheWaterplaneFrame) {
    // The written-out rotation: x' = x cos(trim) - z sin(trim),
    // y' = x sin(heel) sin(trim) + y cos(heel) + z sin(heel) cos(trim),
    // z' = x cos(heel) sin(trim) - y sin(heel) + z cos(heel) cos(trim).
    const double heel = 0.3, trim = -0.1;
    const CVector3 p(2, -1.5, 4);
    const CVector3 q = Rotated(heel, trim, p);
    const double ch = std::cos(heel), sh = std::sin(heel), ct = std::cos(trim), st = std::sin(trim);
    EXPECT_NEAR(q.X(), 2 * ct - 4 * st, 1e-15);
    EXPECT_NEAR(q.Y(), 2 * sh * st - 1.5 * ch + 4 * sh * ct, 1e-15);
    EXPECT_NEAR(q.Z(), 2 * ch * st + 1.5 * sh + 4 * ch * ct, 1e-15);
}

TEST(CRotationMatrix, BackRotationIsExactInverseOnlyForOneAngle) {
    const CVector3 p(12.5, -3.25, 4.75);
    for (double a : {0.2, -0.7}) {
        const CVector3 heeled = Rotated(a, 0, p);
        const CVector3 back = Rotated(-a, 0, heeled);
        EXPECT_NEAR(back.X(), p.X(), 1e-12);
        EXPECT_NEAR(back.Y(), p.Y(), 1e-12);
        EXPECT_NEAR(back.Z(), p.Z(), 1e-12);
        const CVector3 trimmed = Rotated(0, a, p);
        const CVector3 untrimmed = Rotated(0, -a, trimmed);
        EXPECT_NEAR(untrimmed.X(), p.X(), 1e-12);
        EXPECT_NEAR(untrimmed.Z(), p.Z(), 1e-12);
    }
    // Rx(-a) Ry(-b) undoes Rx(a) Ry(b) only approximately: the error grows
    // with a * b * |p|.
    const CVector3 both = Rotated(0.3, 0.2, p);
    const CVector3 back = Rotated(-0.3, -0.2, both);
    const double dx = back.X() - p.X(), dy = back.Y() - p.Y(), dz = back.Z() - p.Z();
    EXPECT_GT(std::sqrt(dx * dx + dy * dy + dz * dz), 0.1);
}

TEST(CRotationMatrix, IsTheProductOfTheAxisRotations) {
    CMatrix rx, ry, rz, rxy, expected, r;
    rx.SetRotationX(0.4);
    ry.SetRotationY(-0.25);
    rz.SetRotationZ(1.1);
    rxy.Product(rx, ry);
    expected.Product(rxy, rz);
    r.SetRotation(0.4, -0.25, 1.1);
    ASSERT_EQ(r.Rows(), 3);
    ASSERT_EQ(r.Cols(), 3);
    for (int k = 1; k <= 9; ++k)
        EXPECT_EQ(*r.Element(k), *expected.Element(k)) << k;
    // Row 2 of Rx(a) is (0, cos a, sin a).
    EXPECT_EQ(*rx.Element(2, 3), std::sin(0.4));
    EXPECT_EQ(*ry.Element(1, 3), -std::sin(-0.25));
}

TEST(CMatrix, ProductNeedsMatchingShapesAndElementsStayInside) {
    CMatrix a(2, 3), b(2, 2), c;
    for (int k = 1; k <= 6; ++k)
        *a.Element(k) = k;
    c.Product(a, b); // 3 columns against 2 rows: nothing
    EXPECT_EQ(c.Rows(), 0);
    CMatrix d(3, 1);
    *d.Element(1) = 1;
    *d.Element(2) = 10;
    *d.Element(3) = 100;
    c.Product(a, d);
    ASSERT_EQ(c.Rows(), 2);
    ASSERT_EQ(c.Cols(), 1);
    EXPECT_EQ(*c.Element(1, 1), 321);
    EXPECT_EQ(*c.Element(2, 1), 654);
    EXPECT_EQ(a.Element(3, 1), nullptr);
    EXPECT_EQ(a.Element(1, 4), nullptr);
    EXPECT_EQ(a.Element(7), nullptr);
    EXPECT_EQ(a.Element(0), nullptr);
    CMatrix neg(-2, 5);
    EXPECT_EQ(neg.Rows(), 0);
    EXPECT_EQ(neg.Element(1), nullptr);
    neg.Scale(2); // no storage: nothing happens
}

TEST(CVector3, CopiesOnlyFromAThreeByOneSource) {
    CVector3 v(1, 2, 3);
    CMatrix wrong(1, 3);
    *wrong.Element(1) = 9;
    v.CopyFrom(wrong);
    EXPECT_EQ(v.X(), 1);
    CMatrix column(CVector3(4, 5, 6));
    v.CopyFrom(column);
    EXPECT_EQ(v.Y(), 5);
    // Copies are deep.
    CVector3 w = v;
    w.Set(0, 0, 0);
    EXPECT_EQ(v.Z(), 6);
    EXPECT_EQ(v.Element(4), nullptr);
    EXPECT_EQ(v.Element(0), nullptr);
    EXPECT_EQ(*v.Element(3), 6);
    EXPECT_EQ(v.Element(1, 2), nullptr);
}

TEST(CVector3, ArithmeticLengthAndNormal) {
    CVector3 a(1, 0, 0), b(0, 1, 0), n;
    n.Cross(a, b);
    EXPECT_EQ(n.Z(), 1);
    n.Cross(b, a);
    EXPECT_EQ(n.Z(), -1);
    CVector3 v(3, 4, 12);
    EXPECT_EQ(v.Length(), 13);
    v.Normalize();
    EXPECT_DOUBLE_EQ(v.Length(), 1);
    CVector3 zero;
    zero.Normalize();
    EXPECT_TRUE(zero.IsZero());
    CVector3 s(1, 2, 3);
    s.Divide(4);
    EXPECT_EQ(s.Y(), 0.5);
    s.Round(0);
    EXPECT_EQ(s.X(), 0); // 0.25 rounds down
    EXPECT_EQ(s.Y(), 1); // 0.5 rounds up
    CVector3 t(2, 3, 4);
    t.Transform(CMatrix(2, 3), CVector3(1, 1, 1)); // not 3 x 3: unchanged
    EXPECT_EQ(t.X(), 2);
}

TEST(CVector3, TransformSumsFromZeroSoNegativeZeroBecomesZero) {
    // A product term of -0 summed from +0 gives +0, as a matrix product does.
    CRotationMatrix r;
    r.SetRotation(0, 0, 0);
    CVector3 out;
    out.Transform(r, CVector3(-0.0, -0.0, -0.0));
    EXPECT_FALSE(std::signbit(out.X()));
    EXPECT_FALSE(std::signbit(out.Z()));
}
