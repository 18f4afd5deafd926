#include "CalcRunner.h"
#include "model/ShipFile.h"
#include "model/TestShips.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {
const std::string kWigley = std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav";
const std::string kBarge = std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav";
const std::string kSubmarine = std::string(BRELUND_SOURCE_DIR) + "/samples/submarine.nav";

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// A ship file of no element: three zero counts.
std::string EmptyShip() {
    const std::string path = TestPath("empty.nav");
    WriteBytes(path, std::vector<unsigned char>(12, 0));
    return path;
}
} // namespace

TEST(CalcInclined, PrintsTheOpeningTableOfHalfTheBody) {
    const CalcResult r = RunCalc("inclined " + ShellQuote(kWigley));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3);
    EXPECT_EQ(FirstLine(r.out), "\tTeta [°]\t0\t15\t30\t45");
    EXPECT_NE(r.out.find("\nV [m^3]\tKZ [m]\t\t\t\t\n"), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);

    const CalcResult gz = RunCalc("inclined " + ShellQuote(kWigley) + " --kind gz");
    ASSERT_EQ(gz.status, 0) << gz.err;
    EXPECT_NE(gz.out.find("\nV [m^3]\tGZ [m]\t"), std::string::npos);
    EXPECT_EQ(RunCalc("inclined " + ShellQuote(kWigley) + " --kind xb").status, 2);
}

TEST(CalcInclined, SaysWhenItCorrectsAndWarnsOfCellsWithoutValue) {
    CalcResult r = RunCalc("inclined " + ShellQuote(kBarge) + " --af 400 --da 90");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err,
              "brelund-calc: warning: --af 400 was taken as 360, as the dialog corrects it\n");
    EXPECT_EQ(FirstLine(r.out), "\tTeta [°]\t0\t90\t180\t270\t360");

    // Volume 0 has no waterline: a "-" at every angle, a warning for each,
    // and the table all the same.
    r = RunCalc("inclined " + ShellQuote(kBarge) + " --vi 0 --vf 360 --dv 360 --af 15");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n0\t\t-\t-\n"), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_NE(r.err.find("warning: cell (2, 2), V = 0 m^3, Teta = 0 deg"), std::string::npos)
        << r.err;
}

TEST(CalcInclined, RefusesWhatCannotBeComputed) {
    CalcResult r = RunCalc("inclined " + ShellQuote(EmptyShip()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no enabled volume"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    r = RunCalc("inclined " + ShellQuote(kBarge) + " --zg nan");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "brelund-calc: --zg (nan) is not a finite number\n");
    EXPECT_EQ(RunCalc("inclined " + ShellQuote(kBarge) + " --vi abc").status, 2);
    r = RunCalc("inclined " + ShellQuote(kBarge) + " --vi 1 --vf 700 --dv 0.0001");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    r = RunCalc("inclined " + ShellQuote(kBarge) + " --trajectories " +
                ShellQuote(TestPath("no-folder/t.dxf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST(CalcInclined, WritesTheTrajectoriesWhole) {
    const std::string path = TestPath("paths.dxf");
    const CalcResult r =
        RunCalc("inclined " + ShellQuote(kWigley) +
                " --vi 1000 --vf 3000 --dv 1000 --trajectories " + ShellQuote(path));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto bytes = ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 29), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
    EXPECT_EQ(text.substr(text.size() - 21), "  0\r\nENDSEC\r\n  0\r\nEOF");
    std::size_t polylines = 0;
    for (std::size_t at = text.find("POLYLINE"); at != std::string::npos;
         at = text.find("POLYLINE", at + 1))
        ++polylines;
    EXPECT_EQ(polylines, 3u);
}

TEST(CalcTrim, PrintsTheAnglesInDegrees) {
    const CalcResult r =
        RunCalc("trim " + ShellQuote(kSubmarine) +
                " --xg 12 --yg 0 --zg -0.3 --weight 100 --tolerance 0.0001 --heel 0.05");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "Teta x\t2.86479\n");
    EXPECT_EQ(r.out.rfind("Teta y\t", r.out.size()), r.out.find('\n') + 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
    // G level with the centre of buoyancy but 12 m from it along x: the
    // lever vanishes only with the body on end, where the search comes to
    // rest fourteen turns away from its start.
    const CalcResult hanging =
        RunCalc("trim " + ShellQuote(kSubmarine) +
                " --xg 0 --yg 0 --zg 0 --weight 10 --tolerance 1e-12 --trim 0.02");
    EXPECT_EQ(hanging.out, "Teta x\t0\nTeta y\t-90\n") << hanging.err;
}

TEST(CalcTrim, NeedsItsFiveInputsAndRefusesABodyWithoutWeight) {
    const std::string ship = ShellQuote(kSubmarine);
    EXPECT_EQ(RunCalc("trim " + ship + " --xg 12 --yg 0 --zg 0 --weight 1").status, 2);
    CalcResult r = RunCalc("trim " + ShellQuote(EmptyShip()) +
                           " --xg 1 --yg 0 --zg 0 --weight 1 --tolerance 0.001");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no enabled volume"), std::string::npos) << r.err;
    // With its tanks disabled and W = 0 the body weighs nothing.
    const std::string copy = TestPath("sub.nav");
    WriteBytes(copy, ReadBytes(kSubmarine));
    ASSERT_EQ(RunCalc("edit " + ShellQuote(copy) + " 'cassa poppa' --enabled 0").status, 0);
    ASSERT_EQ(RunCalc("edit " + ShellQuote(copy) + " 'cassa prua' --enabled 0").status, 0);
    r = RunCalc("trim " + ShellQuote(copy) + " --xg 12 --yg 0 --zg 0 --weight 0 --tolerance 0.001");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no weight"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CalcInclined, ExactRuleGivesTheTwelveTriangleBoxItsClosedForms) {
    // A 100 x 20 x 10 m box of 12 triangles at 10000 m^3: the levers of its
    // immersed section, the rectangle cut by the waterline (the deck edge in
    // and the bilge out at 30 deg), are KZ 0.80115 and 5.02591 m; with G at
    // (50, 0, 6) the box does not trim, GZ = KZ - 6 sin(phi).
    const std::string ship = TestPath("twelve.nav");
    {
        CShipModel model;
        model.AddElement(kindHull)->Append(BoxMesh(0, -10, 0, 100, 10, 10));
        StoreShipFile(model, ship);
    }
    const std::string args = " --vi 10000 --vf 10000 --dv 0 --ai 5 --af 30 --da 25 "
                             "--precision 1e-7 --xg 50 --yg 0 --zg 6 --rule exact";
    CalcResult r = RunCalc("inclined " + ShellQuote(ship) + args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n1e+04\t\t0.8012\t5.026\n"), std::string::npos) << r.out;
    r = RunCalc("inclined " + ShellQuote(ship) + args + " --kind gz");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n1e+04\t\t0.2782\t2.026\n"), std::string::npos) << r.out;
}
