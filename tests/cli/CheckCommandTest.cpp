#include "CalcRunner.h"
#include "model/TestShips.h"

#include "io/CDxfFile.h"
#include "model/CGridMesh.h"
#include "model/ShipFile.h"

#include <gtest/gtest.h>

namespace {

const std::string kSamples = std::string(BRELUND_SOURCE_DIR) + "/samples/";

// A polyface drawing of the 10 x 8 x 5 m box, less its deck when asked.
std::string BoxDrawing(const std::string& name, bool deck) {
    auto box = BoxMesh(0, 0, 0, 10, 8, 5);
    CPolyfaceMesh mesh;
    mesh.Allocate(8, deck ? 12 : 10);
    for (int k = 1; k <= 8; ++k)
        *mesh.GetVertex(k) = *box->GetVertex(k);
    int f = 1;
    for (int i = 1; i <= 12; ++i)
        if (deck || (i != 3 && i != 4)) {
            const CFaceIndices* t = box->GetFaceIndices(i);
            mesh.SetFace(f++, t->v[0], t->v[1], t->v[2]);
        }
    const std::string path = TestPath(name);
    CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
    dxf.WriteHead();
    mesh.ExportDxf(dxf);
    dxf.WriteTail();
    return path;
}

} // namespace

TEST(CalcCheck, SamplesAreClosedAndTheEngineRoomFacesInwards) {
    CalcResult r = RunCalc("check --strict " + ShellQuote(kSamples + "wigley.nav"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("hull\tscafo\tenabled: 3 meshes, tolerance "), std::string::npos);
    EXPECT_NE(r.out.find("compartment\tsala macchine\tenabled: 1 meshes, tolerance 1.75e-05 m\n"
                         "  surface: closed, consistent, inward; volume -384 m^3"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("surface: open"), std::string::npos) << r.out;
    for (const char* ship : {"barge.nav", "submarine.nav"})
        EXPECT_EQ(RunCalc("check --strict " + ShellQuote(kSamples + ship)).status, 0) << ship;
    r = RunCalc("check " + ShellQuote(kSamples + "barge.nav") + " 'cassa 1' nobody");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no element named 'nobody'"), std::string::npos);
}

TEST(CalcCheck, AddWarnsOfAnOpenSurfaceAndStrictCheckFailsIt) {
    const std::string ship = TestPath("open.nav");
    std::remove(ship.c_str());
    CalcResult r = RunCalc("add " + ShellQuote(ship) + " hull " +
                           ShellQuote(BoxDrawing("nodeck.dxf", false)) + " --name 'no deck'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "brelund-calc: warning: hull element 'no deck' is open: 4 boundary edges, "
                     "36 m of boundary (its volume is not the one it encloses)\n");
    r = RunCalc("check " + ShellQuote(ship));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("surface: open, consistent; volume"), std::string::npos) << r.out;
    EXPECT_EQ(RunCalc("check --strict " + ShellQuote(ship)).status, 1);
    // Disabled, it no longer fails the strict check.
    ASSERT_EQ(RunCalc("edit " + ShellQuote(ship) + " 'no deck' --enabled 0").status, 0);
    EXPECT_EQ(RunCalc("check --strict " + ShellQuote(ship)).status, 0);
}

TEST(CalcCheck, ElementWithoutFacesIsNotClosed) {
    const std::string ship = TestPath("empty.nav");
    std::remove(ship.c_str());
    {
        // A grid of one point: a mesh without faces.
        CShipModel model;
        CShipElement* hull = model.AddElement(kindHull);
        hull->SetName("h");
        hull->Append(BoxMesh(0, 0, 0, 10, 8, 5));
        CShipElement* tank = model.AddElement(kindTank);
        tank->SetName("point");
        auto grid = std::make_unique<CGridMesh>();
        grid->Resize(1, 1);
        tank->Append(std::move(grid));
        StoreShipFile(model, ship);
    }
    CalcResult r = RunCalc("check " + ShellQuote(ship) + " point");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("  surface: empty, not closed; volume 0 m^3; 0 faces"), std::string::npos)
        << r.out;
    EXPECT_EQ(RunCalc("check --strict " + ShellQuote(ship)).status, 1);
    EXPECT_EQ(RunCalc("check --strict " + ShellQuote(ship) + " h").status, 0);
}

TEST(CalcCheck, AddScalesAndNamesTheInvertCommandForInwardNormals) {
    const std::string ship = TestPath("scaled.nav");
    std::remove(ship.c_str());
    const std::string box = BoxDrawing("box.dxf", true);
    CalcResult r = RunCalc("add " + ShellQuote(ship) + " tank " + ShellQuote(box) +
                           " --name mm --scale 0.001");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("tank\tmm\t1\t1\t12\t4e-07\t"), std::string::npos) << r.out;
    EXPECT_EQ(RunCalc("add " + ShellQuote(ship) + " tank " + ShellQuote(box) + " --scale 0").status,
              1);
    EXPECT_EQ(
        RunCalc("add " + ShellQuote(ship) + " tank " + ShellQuote(box) + " --scale 1e308").status,
        1);
    // Coordinates whose squares overflow would make every sum infinite;
    // ones whose products fall below the smallest numbers make a tank of
    // nothing, which is added with a warning.
    const auto before = ReadBytes(ship);
    r = RunCalc("add " + ShellQuote(ship) + " tank " + ShellQuote(box) + " --scale 1e200");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("brelund-calc: " + box + ": mesh 1 scaled by 1e+200: vertex ", 0), 0u)
        << r.err;
    EXPECT_NE(r.err.find("(its square is beyond the range of numbers)"), std::string::npos);
    EXPECT_EQ(ReadBytes(ship), before);
    r = RunCalc("add " + ShellQuote(ship) + " tank " + ShellQuote(box) +
                " --name tiny --scale 1e-300");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "brelund-calc: warning: tank 'tiny' encloses no volume: its size (1e-299 "
                     "m) is too small for its volume to be told from 0 (--scale 1e-300)\n");
    ASSERT_EQ(RunCalc("invert " + ShellQuote(ship) + " mm").status, 0);
    ASSERT_EQ(
        RunCalc("export " + ShellQuote(ship) + " mm " + ShellQuote(TestPath("in.dxf"))).status, 0);
    r = RunCalc("add " + ShellQuote(ship) + " hull " + ShellQuote(TestPath("in.dxf")) +
                " --name \"it's in\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("has inward normals: it counts a negative volume"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("turn them with brelund-calc invert " + ship + " 'it'\\''s in'"),
              std::string::npos)
        << r.err;
}

// A tank whose density was never set weighs next to nothing: list and check
// warn of every such tank, stability of those that weigh in.
TEST(CalcCheck, ATankWithTheDensityOfANewOneIsWarnedOf) {
    const std::string ship = TestPath("unset-density.nav");
    WriteBytes(ship, ReadBytes(kSamples + "barge.nav"));
    const std::string s = ShellQuote(ship);
    ASSERT_EQ(RunCalc("add " + s + " tank " + ShellQuote(kSamples + "barge-tank.dxf") +
                      " --name 'new\ttank'")
                  .status,
              0);
    const std::string warning =
        "brelund-calc: warning: tank 'new\\ttank' has a density of 0.001 t/m^3 (1 kg/m^3), below "
        "0.1 t/m^3, lighter than any liquid: most likely never set (a new tank's is 1 kg/m^3); "
        "set it with edit --density\n";
    const std::string stability = "stability " + s + " --lightship 350 --lcg 15 --vcg 2.5";
    CalcResult r = RunCalc("list " + s);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, warning);
    r = RunCalc("check --strict " + s);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, warning);
    EXPECT_EQ(RunCalc("check " + s + " 'cassa 1'").err, "");
    // Empty, the tank weighs nothing whatever its density.
    EXPECT_EQ(RunCalc(stability).err, "");
    ASSERT_EQ(RunCalc("edit " + s + " 'new\ttank' --filling 0.4").status, 0);
    r = RunCalc(stability);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, warning);
    ASSERT_EQ(RunCalc("edit " + s + " 'new\ttank' --enabled 0").status, 0);
    EXPECT_EQ(RunCalc(stability).err, "");
    ASSERT_EQ(RunCalc("edit " + s + " 'new\ttank' --enabled 1 --density 0.85").status, 0);
    for (const std::string& args : {"list " + s, "check " + s, stability}) {
        r = RunCalc(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.err, "") << args;
    }
}

TEST(CalcCheck, CalculationsWarnOfAHullFacingInwardsOrOpen) {
    const std::string ship = TestPath("inverted.nav");
    std::remove(ship.c_str());
    ASSERT_EQ(RunCalc("add " + ShellQuote(ship) + " hull " +
                      ShellQuote(BoxDrawing("box.dxf", true)) + " --name scafo")
                  .status,
              0);
    ASSERT_EQ(RunCalc("invert " + ShellQuote(ship) + " scafo").status, 0);
    // The box 10 x 8 x 5 turned inside out: -400 m^3, said before each
    // calculation whatever comes of it.
    const std::string inward = "brelund-calc: warning: hull 'scafo' faces inwards (its volume is "
                               "-400 m^3): invert it with invert\n";
    const std::pair<const char*, const char*> commands[] = {
        {"upright", ""},
        {"inclined", ""},
        {"bonjean", " --zstart 0 --zend 5 --dz 1 --station0 0 --station20 10"},
        {"trim", " --xg 5 --yg 0 --zg 2 --weight 400 --tolerance 1e-4"},
        {"hydrostatics", ""},
        {"stability", " --lightship 100 --lcg 5 --vcg 2"}};
    for (const auto& [command, options] : commands) {
        const CalcResult r = RunCalc(std::string(command) + " " + ShellQuote(ship) + options);
        EXPECT_NE(r.err.find(inward), std::string::npos) << command << ": " << r.err;
    }
    ASSERT_EQ(RunCalc("invert " + ShellQuote(ship) + " scafo").status, 0);
    EXPECT_EQ(RunCalc("upright " + ShellQuote(ship)).err, "");

    const std::string open = TestPath("open-calc.nav");
    std::remove(open.c_str());
    ASSERT_EQ(RunCalc("add " + ShellQuote(open) + " hull " +
                      ShellQuote(BoxDrawing("nodeck-calc.dxf", false)) + " --name 'no deck'")
                  .status,
              0);
    EXPECT_NE(RunCalc("upright " + ShellQuote(open))
                  .err.find("brelund-calc: warning: hull 'no deck' is open (4 boundary edges, "
                            "36 m of boundary): its volume is not the one it encloses\n"),
              std::string::npos);
}
