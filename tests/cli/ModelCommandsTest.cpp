#include "CalcRunner.h"
#include "model/TestShips.h"

#include "io/CDxfFile.h"
#include "model/MeshFiles.h"
#include "model/ShipFile.h"
#include "platform/AtomicFile.h"

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

// DXF text as a CAD program writes it: CR LF line ends, group codes
// right-justified in three characters.
std::string Dxf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

// A 2 x 1 x 1 box as a polyface mesh: 8 vertices, 6 quadrilateral faces.
std::string BoxPolyline() {
    std::string text =
        Dxf({"  0", "POLYLINE", "  8", "0", " 66", "1", " 70", "64", " 71", "8", " 72", "6"});
    for (int k = 0; k < 8; ++k) {
        const std::string x = (k & 1) ? "2.0" : "0.0", y = (k & 2) ? "1.0" : "0.0",
                          z = (k & 4) ? "1.0" : "0.0";
        text += Dxf({"  0", "VERTEX", "  8", "0", " 10"}) + x + "\r\n" + Dxf({" 20"}) + y + "\r\n" +
                Dxf({" 30"}) + z + "\r\n" + Dxf({" 70", "192"});
    }
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    for (const auto& q : quads) {
        text += Dxf(
            {"  0", "VERTEX", "  8", "0", " 10", "0.0", " 20", "0.0", " 30", "0.0", " 70", "128"});
        const char* codes[] = {" 71", " 72", " 73", " 74"};
        for (int c = 0; c < 4; ++c)
            text += std::string(codes[c]) + "\r\n" + std::to_string(q[c]) + "\r\n";
    }
    return text + Dxf({"  0", "SEQEND", "  8", "0"});
}

// The box inside a block definition, and again in the ENTITIES section.
std::string BoxDrawing(bool inBlocks, bool inEntities) {
    std::string text = Dxf({"  0", "SECTION", "  2", "BLOCKS"});
    if (inBlocks)
        text += BoxPolyline();
    text += Dxf({"  0", "ENDSEC", "  0", "SECTION", "  2", "ENTITIES"});
    if (inEntities)
        text += BoxPolyline();
    return text + Dxf({"  0", "ENDSEC"}) + "  0\r\nEOF";
}

std::string WriteText(const std::string& name, const std::string& text) {
    const std::string path = TestPath(name);
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
    return path;
}

std::string Q(const std::string& s) {
    return ShellQuote(s);
}

const std::string kHeader = "kind\tname\tenabled\tmeshes\tfaces\tvolume\tcolour\tpermeability\t"
                            "density_t_m3\tload_volume\tfilling_ratio\n";

struct ModelCommands : ::testing::Test {
    void SetUp() override {
        ship = TestPath("edit.nav");
        std::remove(ship.c_str());
        box = WriteText("box.dxf", BoxDrawing(false, true));
    }
    std::vector<unsigned char> ShipBytes() const { return ReadBytes(ship); }
    std::string ship, box;
};

} // namespace

TEST_F(ModelCommands, AddCreatesTheShipAndNamesElementsUniquely) {
    CalcResult r = RunCalc("add " + Q(ship) + " hull " + Q(box));
    ASSERT_EQ(r.status, 0) << r.err;
    // The default name is the drawing's absolute path; the quads became 12 triangles.
    EXPECT_EQ(r.out, kHeader + "hull\t" + box + "\t1\t1\t12\t2\t8421504\t\t\t\t\n");
    EXPECT_EQ(RunCalc("add " + Q(ship) + " tank " + Q(box) + " --name x").status, 0);
    EXPECT_EQ(RunCalc("add " + Q(ship) + " compartment " + Q(box) + " --name x").status, 0);
    // "x" and "x_" both exist: the third takes "x__", never a duplicate.
    r = RunCalc("add " + Q(ship) + " compartment " + Q(box) + " --name x");
    EXPECT_NE(r.out.find("compartment\tx__\t1\t1\t12\t2\t12582912\t1\t\t\t\n"), std::string::npos)
        << r.out;
    r = RunCalc("add " + Q(ship) + " tank " + Q(box) + " --name 'cassa à'");
    EXPECT_NE(r.out.find("tank\tcassa \xc3\xa0\t"), std::string::npos) << r.out; // UTF-8 bytes
    r = RunCalc("list " + Q(ship));
    EXPECT_EQ(r.out, kHeader + "hull\t" + box + "\t1\t1\t12\t2\t8421504\t\t\t\t\n" +
                         "compartment\tx_\t1\t1\t12\t2\t12582912\t1\t\t\t\n" +
                         "compartment\tx__\t1\t1\t12\t2\t12582912\t1\t\t\t\n" +
                         "tank\tx\t1\t1\t12\t2\t192\t\t0.001\t0\t0\n" +
                         "tank\tcassa \xc3\xa0\t1\t1\t12\t2\t192\t\t0.001\t0\t0\n");
}

TEST_F(ModelCommands, HullSkipsPolylinesBeforeEntitiesButTanksReadThem) {
    const std::string blocks = WriteText("blocks.dxf", BoxDrawing(true, false));
    // No mesh for a hull: refused, and nothing saved, unless asked for.
    CalcResult r = RunCalc("add " + Q(ship) + " hull " + Q(blocks) + " --name h");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no mesh found in"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(ShipBytes().empty());
    r = RunCalc("add " + Q(ship) + " hull " + Q(blocks) + " --name h --allow-empty");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("hull\th\t1\t0\t0\t0\t"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("warning: no mesh found"), std::string::npos) << r.err;
    r = RunCalc("add " + Q(ship) + " tank " + Q(blocks) + " --name t");
    EXPECT_NE(r.out.find("tank\tt\t1\t1\t12\t2\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    const std::string both = WriteText("both.dxf", BoxDrawing(true, true));
    r = RunCalc("add " + Q(ship) + " compartment " + Q(both) + " --name c");
    EXPECT_NE(r.out.find("compartment\tc\t1\t2\t24\t4\t"), std::string::npos) << r.out;
}

TEST_F(ModelCommands, DrawingWhoseOnlyMeshHasNoFacesIsNoMesh) {
    // A grid of M x N points: one point has no face; M below 1 is damage.
    const auto grid = [](const char* m, const char* n) {
        return Dxf({"  0", "SECTION", "  2", "ENTITIES", "  0", "POLYLINE", "  8",
                    "0",   " 66",     "1",   " 70",      "16",  " 71",      m,
                    " 72", n,         "  0", "VERTEX",   "  8", "0",        " 10",
                    "1.0", " 20",     "2.0", " 30",      "3.0", " 70",      "64",
                    "  0", "SEQEND",  "  0", "ENDSEC",   "  0", "EOF"});
    };
    CalcResult r = RunCalc("add " + Q(ship) + " tank " + Q(WriteText("point.dxf", grid("1", "1"))));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no mesh found in"), std::string::npos) << r.err;
    r = RunCalc("add " + Q(ship) + " tank " + Q(WriteText("minus.dxf", grid("-5", "1"))));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("minus.dxf"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("POLYLINE starting at line 6, line 14: a grid of -5 x 1 vertices"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(ShipBytes().empty());
}

TEST_F(ModelCommands, ExportRefusesAVertexThatIsNotANumber) {
    CShipModel model;
    CShipElement* hull = model.AddElement(kindHull);
    hull->SetName("h");
    hull->Append(BoxMesh(0, 0, 0, 2, 1, 1));
    hull->GetAt(1)->GetVertex(3)->Set(1, std::nan(""), 0);
    StoreShipFile(model, ship);
    for (const char* name : {"nan.dxf", "nan.obj", "nan.stl"}) {
        const std::string out = TestPath(name);
        std::remove(out.c_str());
        // The ship file reader refuses such a ship before export is reached.
        const CalcResult r = RunCalc("export " + Q(ship) + " h " + Q(out));
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find("not a number"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
    }
    // The writers refuse it too, whatever model they are handed.
    const auto refusal = [&](const std::string& name, auto write) {
        try {
            WriteFileAtomically<CDxfFile>(TestPath(name), write);
        } catch (const CFileException& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_NE(refusal("nan-direct.dxf", [&](CDxfFile& f) { hull->GetAt(1)->ExportDxf(f); })
                  .find("nan is not a finite number"),
              std::string::npos);
    EXPECT_NE(refusal("nan-direct.obj", [&](CDxfFile& f) { WriteObj(*hull, f); })
                  .find("nan is not a finite number"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(TestPath("nan-direct.dxf")));
}

TEST_F(ModelCommands, RefusedInputLeavesTheShipFileUntouched) {
    ASSERT_EQ(RunCalc("add " + Q(ship) + " tank " + Q(box) + " --name t").status, 0);
    ASSERT_EQ(RunCalc("add " + Q(ship) + " hull " + Q(box) + " --name h").status, 0);
    const auto before = ShipBytes();
    const auto check = [&](const std::string& args, int status, const std::string& message) {
        const CalcResult r = RunCalc(args);
        EXPECT_EQ(r.status, status) << args << "\n" << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(ShipBytes(), before) << args;
    };
    check("add " + Q(ship) + " tank " + Q(TestPath("missing.dxf")), 1, "missing.dxf");
    check("add " + Q(ship) + " boat " + Q(box), 2, "boat");
    check("add " + Q(ship) + " tank " + Q(box) + " --name ''", 2, "empty");
    check("edit " + Q(ship) + " t --filling 1.5", 1, "'t': --filling (1.5) lies outside 0 to 1\n");
    check("edit " + Q(ship) + " t --filling nan", 1,
          "'t': --filling (nan) is not a finite number\n");
    check("edit " + Q(ship) + " t --specific-weight inf", 1,
          "'t': --specific-weight (inf) is not a finite number\n");
    check("edit " + Q(ship) + " t --filling 0.5 --load-volume 1", 2, "excludes");
    check("edit " + Q(ship) + " h --permeability 0.5", 2, "compartments only");
    check("edit " + Q(ship) + " h --filling 0.5", 2, "tanks only");
    check("edit " + Q(ship) + " h --enabled 2", 2, "enabled");
    check("edit " + Q(ship) + " h --colour red", 2, "colour");
    check("edit " + Q(ship) + " nobody --enabled 0", 1, "no element named 'nobody'");
    check("delete " + Q(ship) + " nobody", 1, "nobody");
    check("invert " + Q(ship) + " nobody", 1, "nobody");
    check("export " + Q(ship) + " h " + Q(TestPath("no-folder/out.dxf")), 1, "out.dxf");
    // A damaged ship file is never replaced by a new one.
    WriteBytes(ship, {1, 0, 0, 0, 1});
    const auto damaged = ShipBytes();
    const CalcResult r = RunCalc("add " + Q(ship) + " tank " + Q(box));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("damaged"), std::string::npos) << r.err;
    EXPECT_EQ(ShipBytes(), damaged);
}

TEST_F(ModelCommands, EditStoresValuesAsThePropertiesDialogDoes) {
    ASSERT_EQ(RunCalc("add " + Q(ship) + " tank " + Q(box) + " --name t").status, 0);
    ASSERT_EQ(RunCalc("add " + Q(ship) + " compartment " + Q(box) + " --name c").status, 0);
    ASSERT_EQ(RunCalc("add " + Q(ship) + " hull " + Q(box) + " --name h").status, 0);
    // A load volume beyond the tank's 2 m^3 is clamped to it, ratio 1.
    CalcResult r = RunCalc("edit " + Q(ship) + " t --specific-weight 850 --load-volume 5");
    EXPECT_EQ(r.out, kHeader + "tank\tt\t1\t1\t12\t2\t192\t\t0.85\t2\t1\n");
    // Without a load option the current filling ratio is stored again.
    r = RunCalc("edit " + Q(ship) + " t --specific-weight -4");
    EXPECT_EQ(r.out, kHeader + "tank\tt\t1\t1\t12\t2\t192\t\t0\t2\t1\n");
    r = RunCalc("edit " + Q(ship) + " t --filling 0.25 --colour 255 --enabled 0");
    EXPECT_EQ(r.out, kHeader + "tank\tt\t0\t1\t12\t2\t255\t\t0\t0.5\t0.25\n");
    r = RunCalc("edit " + Q(ship) + " c --permeability 0.6");
    EXPECT_EQ(r.out, kHeader + "compartment\tc\t1\t1\t12\t2\t12582912\t0.6\t\t\t\n");
    // Renaming to another element's name appends an underscore; to its own
    // name changes nothing.
    r = RunCalc("edit " + Q(ship) + " c --rename h");
    EXPECT_NE(r.out.find("compartment\th_\t"), std::string::npos) << r.out;
    r = RunCalc("edit " + Q(ship) + " h --rename h");
    EXPECT_NE(r.out.find("hull\th\t"), std::string::npos) << r.out;
}

TEST_F(ModelCommands, InvertDeleteAndExportRoundTrip) {
    ASSERT_EQ(RunCalc("add " + Q(ship) + " hull " + Q(box) + " --name h").status, 0);
    CalcResult r = RunCalc("invert " + Q(ship) + " h");
    EXPECT_EQ(r.out, kHeader + "hull\th\t1\t1\t12\t-2\t8421504\t\t\t\t\n");
    RunCalc("invert " + Q(ship) + " h");
    const std::string out = TestPath("exported.dxf");
    r = RunCalc("export " + Q(ship) + " h " + Q(out));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto text = ReadBytes(out);
    ASSERT_GT(text.size(), 8u);
    EXPECT_EQ(std::string(text.end() - 5, text.end()), "\r\nEOF");
    // The exported drawing reads back to the same element.
    r = RunCalc("add " + Q(ship) + " tank " + Q(out) + " --name again");
    EXPECT_EQ(r.out, kHeader + "tank\tagain\t1\t1\t12\t2\t192\t\t0.001\t0\t0\n");
    EXPECT_EQ(RunCalc("delete " + Q(ship) + " h").status, 0);
    r = RunCalc("list " + Q(ship));
    EXPECT_EQ(r.out, kHeader + "tank\tagain\t1\t1\t12\t2\t192\t\t0.001\t0\t0\n");
}

TEST_F(ModelCommands, DensityIsTypedInTonnesPerCubicMetreAndKeptInKilograms) {
    const auto kept = [&] {
        CShipModel model;
        LoadShipFile(model, ship);
        return static_cast<const CTank*>(model.FindElement("t"))->GetSpecificWeight();
    };
    CalcResult r = RunCalc("add " + Q(ship) + " tank " + Q(box) + " --name t --density 0.85");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kHeader + "tank\tt\t1\t1\t12\t2\t192\t\t0.85\t0\t0\n");
    EXPECT_EQ(kept(), 850);
    r = RunCalc("edit " + Q(ship) + " t --density 1.025 --filling 0.5");
    EXPECT_EQ(r.out, kHeader + "tank\tt\t1\t1\t12\t2\t192\t\t1.025\t1\t0.5\n");
    EXPECT_EQ(kept(), 1025);
    // The older option keeps its unit.
    r = RunCalc("edit " + Q(ship) + " t --specific-weight 900");
    EXPECT_EQ(r.out, kHeader + "tank\tt\t1\t1\t12\t2\t192\t\t0.9\t1\t0.5\n");
    EXPECT_EQ(kept(), 900);
    r = RunCalc("edit " + Q(ship) + " t --density -0.5");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("--density -0.5 t/m^3 was taken as 0 t/m^3: a density is not negative"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(kept(), 0);

    ASSERT_EQ(RunCalc("add " + Q(ship) + " hull " + Q(box) + " --name h").status, 0);
    const auto before = ShipBytes();
    const auto refused = [&](const std::string& args, int status, const std::string& message) {
        const CalcResult r = RunCalc(args);
        EXPECT_EQ(r.status, status) << args << "\n" << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << "\n" << r.err;
        EXPECT_EQ(ShipBytes(), before) << args;
    };
    // Both ways of giving the liquid are a usage error naming both.
    refused("edit " + Q(ship) + " t --density 0.9 --specific-weight 900", 2,
            "--density excludes --specific-weight");
    refused("edit " + Q(ship) + " h --density 1", 2, "tanks only");
    refused("add " + Q(ship) + " compartment " + Q(box) + " --density 1", 2, "tanks only");
    refused("edit " + Q(ship) + " t --density inf", 1,
            "'t': --density (inf) is not a finite number\n");
    refused("edit " + Q(ship) + " t --density 1e306", 1, "--density (1e+306 t/m^3)");
    refused("add " + Q(ship) + " tank " + Q(box) + " --density nan", 1,
            "--density (nan) is not a finite number\n");
}
