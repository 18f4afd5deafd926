// The tables by the exact rule on a 100 x 20 x 10 m box of 12 triangles,
// which the one-point rule gets badly wrong, against the box's closed forms:
// the immersed cross-section is the rectangle cut by a straight waterline,
// whose area and centroid the shoelace formula gives.
#include "TableTests.h"

#include "calc/InclinedTable.h"
#include "calc/UprightTable.h"
#include "geometry/Scalar.h"
#include "platform/NumberText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr double kL = 100, kB = 20, kD = 10;

struct CSection {
    double area = 0, y = 0, z = 0;
};

// The part of the box's section (y -10..10, z 0..10) with -s y + c z <= t,
// which is where the rotation of a heel phi puts the water (z' = -s y + c z).
CSection Immersed(double phi, double t) {
    const double s = std::sin(phi), c = std::cos(phi);
    const std::vector<std::pair<double, double>> box = {
        {-kB / 2, 0}, {kB / 2, 0}, {kB / 2, kD}, {-kB / 2, kD}};
    std::vector<std::pair<double, double>> in;
    const auto level = [&](const std::pair<double, double>& p) {
        return -s * p.first + c * p.second - t;
    };
    for (std::size_t k = 0; k < box.size(); ++k) {
        const auto& a = box[k];
        const auto& b = box[(k + 1) % box.size()];
        const double la = level(a), lb = level(b);
        if (la <= 0)
            in.push_back(a);
        if ((la < 0) != (lb < 0) && la != lb) {
            const double u = la / (la - lb);
            in.push_back({a.first + u * (b.first - a.first), a.second + u * (b.second - a.second)});
        }
    }
    CSection r;
    for (std::size_t k = 0; k < in.size(); ++k) {
        const auto& [y0, z0] = in[k];
        const auto& [y1, z1] = in[(k + 1) % in.size()];
        const double cross = y0 * z1 - y1 * z0;
        r.area += cross / 2;
        r.y += (y0 + y1) * cross / 6;
        r.z += (z0 + z1) * cross / 6;
    }
    r.y /= r.area;
    r.z /= r.area;
    return r;
}

// KZ of the box at volume v and heel phi: the level that holds v, by
// bisection, and the lever y c + z s of the centroid.
double ClosedFormKZ(double v, double phi) {
    double lo = -kB, hi = kB + kD;
    for (int k = 0; k < 200; ++k) {
        const double mid = (lo + hi) / 2;
        (Immersed(phi, mid).area * kL < v ? lo : hi) = mid;
    }
    const CSection s = Immersed(phi, lo);
    return s.y * std::cos(phi) + s.z * std::sin(phi);
}

CShipModel& TwelveTriangleBox() {
    static CShipModel ship;
    if (ship.GetElementCount() == 0)
        ship.AddElement(kindHull)->Append(BoxMesh(0, -kB / 2, 0, kL, kB / 2, kD));
    return ship;
}

// The levers of the inclined table at volume 10000 m^3, 5 and 30 degrees.
std::vector<std::string> Levers(CalculationKind kind, IntegrationRule rule, double zg = 0) {
    CInclinedInputs in;
    in.rule = rule;
    OpenInclinedTable(TwelveTriangleBox(), in);
    in.kind = kind;
    in.vi = in.vf = 10000;
    in.dv = 0;
    in.ai = 5;
    in.af = 30;
    in.da = 25;
    in.precision = 1e-7;
    in.xg = 50;
    in.yg = 0;
    in.zg = zg;
    CTextGrid grid;
    WriteInclinedHeaders(grid);
    WriteInclinedTable(grid, ComputeInclinedTable(TwelveTriangleBox(), in));
    return {grid.GetText(2, 2), grid.GetText(2, 3)};
}

std::string Printed(double lever) {
    return FormatC("%.4G", lever);
}

} // namespace

TEST(ExactRuleTables, TwelveTriangleBoxGivesItsClosedFormLevers) {
    const double kz5 = ClosedFormKZ(10000, DegToRad(5)), kz30 = ClosedFormKZ(10000, DegToRad(30));
    EXPECT_NEAR(kz5, 0.80115, 1e-5);
    EXPECT_NEAR(kz30, 5.02591, 1e-5); // deck edge in, bilge out
    EXPECT_EQ(Levers(EvenKeelKZ, IntegrationRule::exact),
              (std::vector<std::string>{Printed(kz5), Printed(kz30)}));
    // The one-point rule, on the same 12 triangles, is far off.
    EXPECT_EQ(Levers(EvenKeelKZ, IntegrationRule::onePoint),
              (std::vector<std::string>{"0.4173", "3.793"}));
    // Free to trim with G on the box's middle: no trim, GZ = KZ - zG sin(phi).
    const double zg = 6;
    EXPECT_EQ(Levers(FreeToTrimGZ, IntegrationRule::exact, zg),
              (std::vector<std::string>{Printed(kz5 - zg * std::sin(DegToRad(5))),
                                        Printed(kz30 - zg * std::sin(DegToRad(30)))}));
}

TEST(ExactRuleTables, TwelveTriangleBoxUprightRowIsItsClosedForm) {
    CUprightInputs in;
    in.rule = IntegrationRule::exact;
    CImmersedBody body;
    OpenUprightTable(TwelveTriangleBox(), in, body);
    EXPECT_EQ(body.volume, kL * kB * kD);
    in.zmin = 5;
    in.zmax = 10;
    in.dz = 5;
    const CTextGrid grid = UprightText(TwelveTriangleBox(), in);
    // T = 5: V = L B T, BMt = B^2 / 12 T, BMl = L^2 / 12 T, B at (L/2, 0,
    // T/2), Af = L B, S = L B + 2 (L + B) T; at the deck the deck is not
    // wetted and the waterplane is the lid: S = L B + 2 (L + B) D.
    EXPECT_EQ(Row(grid, 1),
              (std::vector<std::string>{"5", "0", "10000", "6.6667", "166.667", "50", "0", "2.5",
                                        "2000", "50", "0", "100", "20", "3200"}));
    EXPECT_EQ(Row(grid, 2)[13], "4400");
}
