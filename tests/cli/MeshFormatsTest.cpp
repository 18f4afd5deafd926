#include "CalcRunner.h"
#include "model/TestShips.h"

#include "io/CDxfFile.h"
#include "model/MeshFiles.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// The 10 x 8 x 5 m box, written in each way a user may bring it.
std::string Write(const std::string& name, const CShipElement& element, bool dxf) {
    const std::string path = TestPath(name);
    if (dxf) {
        CDxfFile file(path, CFile::modeWrite | CFile::modeCreate);
        file.WriteHead();
        for (int m = 1; m <= element.GetCount(); ++m)
            element.GetAt(m)->ExportDxf(file);
        file.WriteTail();
    } else {
        CFile file(path, CFile::modeWrite | CFile::modeCreate);
        if (name.substr(name.size() - 4) == ".obj")
            WriteObj(element, file);
        else
            WriteStl(element, file);
    }
    return path;
}

std::string AsciiStl(const CPolyfaceMesh& mesh) {
    std::string text = "solid box\n";
    for (int f = 1; f <= mesh.GetFaceCount(); ++f) {
        text += "  facet normal 0 0 0\n    outer loop\n";
        for (int k = 0; k < 3; ++k) {
            const CVector3& p = *mesh.GetVertex(mesh.GetFaceIndices(f)->v[k]);
            text += "      vertex " + std::to_string(p.X()) + " " + std::to_string(p.Y()) + " " +
                    std::to_string(p.Z()) + "\n";
        }
        text += "    endloop\n  endfacet\n";
    }
    return text + "endsolid box\n";
}

// The faces as 3DFACE entities, the fourth corner repeating the third.
std::string Faces3d(const CPolyfaceMesh& mesh) {
    std::string text = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    for (int f = 1; f <= mesh.GetFaceCount(); ++f) {
        text += "  0\r\n3DFACE\r\n  8\r\n0\r\n";
        for (int k = 0; k < 4; ++k) {
            const CVector3& p = *mesh.GetVertex(mesh.GetFaceIndices(f)->v[k < 3 ? k : 2]);
            const std::string digit = std::to_string(k);
            text += " 1" + digit + "\r\n" + std::to_string(p.X()) + "\r\n 2" + digit + "\r\n" +
                    std::to_string(p.Y()) + "\r\n 3" + digit + "\r\n" + std::to_string(p.Z()) +
                    "\r\n";
        }
    }
    return text + "  0\r\nENDSEC\r\n  0\r\nEOF";
}

// The element's line of list, without its name, and the upright table.
std::pair<std::string, std::string> Added(const std::string& file) {
    const std::string ship = TestPath("formats.nav");
    std::remove(ship.c_str());
    const CalcResult add =
        RunCalc("add " + ShellQuote(ship) + " hull " + ShellQuote(file) + " --name box");
    EXPECT_EQ(add.status, 0) << file << ": " << add.err;
    EXPECT_EQ(add.err, "") << file;
    const CalcResult list = RunCalc("list " + ShellQuote(ship));
    const CalcResult upright = RunCalc("upright " + ShellQuote(ship) + " --dz 0.5");
    EXPECT_EQ(upright.status, 0) << file;
    return {list.out, upright.out};
}

} // namespace

TEST(MeshFormats, TheSameBoxFromEveryKindOfFileGivesTheSameShip) {
    CShipElement polyface;
    polyface.Append(BoxMesh(0, 0, 0, 10, 8, 5));
    const auto& mesh = static_cast<const CPolyfaceMesh&>(*polyface.GetAt(1));
    const std::string ascii = TestPath("box-ascii.stl");
    const std::string text = AsciiStl(mesh);
    WriteBytes(ascii, std::vector<unsigned char>(text.begin(), text.end()));

    const std::string faces = TestPath("box-3dface.dxf");
    const std::string faceText = Faces3d(mesh);
    WriteBytes(faces, std::vector<unsigned char>(faceText.begin(), faceText.end()));

    const auto reference = Added(Write("box.dxf", polyface, true));
    EXPECT_NE(reference.first.find("hull\tbox\t1\t1\t12\t400\t"), std::string::npos)
        << reference.first;
    for (const std::string& file : {ascii, faces, Write("box-binary.stl", polyface, false),
                                    Write("box.obj", polyface, false)})
        EXPECT_EQ(Added(file), reference) << file;

    // As six grids the box lists other meshes and faces, but floats the same.
    CShipElement grids;
    AddGridBox(grids, {0, 0, 0}, {10, 8, 5}, 1, 1, 1);
    const auto fromGrids = Added(Write("box-grid.dxf", grids, true));
    EXPECT_NE(fromGrids.first.find("hull\tbox\t1\t6\t6\t400\t"), std::string::npos)
        << fromGrids.first;
    EXPECT_EQ(fromGrids.second, reference.second);
}

TEST(MeshFormats, ExportWritesStlAndObjThatReadBack) {
    const std::string ship = TestPath("export.nav");
    std::remove(ship.c_str());
    CShipElement grids;
    AddGridBox(grids, {0, 0, 0}, {10, 8, 5}, 4, 2, 2);
    ASSERT_EQ(RunCalc("add " + ShellQuote(ship) + " tank " +
                      ShellQuote(Write("grid.dxf", grids, true)) + " --name g")
                  .status,
              0);
    for (const char* name : {"g.stl", "g.OBJ"}) {
        const std::string out = TestPath(name);
        ASSERT_EQ(RunCalc("export " + ShellQuote(ship) + " g " + ShellQuote(out)).status, 0);
        const CalcResult r =
            RunCalc("add " + ShellQuote(ship) + " tank " + ShellQuote(out) + " --name back");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("\t400\t"), std::string::npos) << name << r.out;
        EXPECT_EQ(r.err, "") << name; // closed and outward
        ASSERT_EQ(RunCalc("delete " + ShellQuote(ship) + " back").status, 0);
    }
    // An STL without a facet holds no mesh.
    const std::string empty = TestPath("empty.stl");
    const std::string text = "solid nothing\nendsolid nothing\n";
    WriteBytes(empty, std::vector<unsigned char>(text.begin(), text.end()));
    const CalcResult r = RunCalc("add " + ShellQuote(ship) + " hull " + ShellQuote(empty));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no mesh found in"), std::string::npos) << r.err;
}

TEST(MeshFormats, ADamagedDrawingIsRefusedAndTheShipLeftAsItWas) {
    const std::string ship = TestPath("kept.nav");
    WriteBytes(ship, ReadBytes(std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav"));
    const auto before = ReadBytes(ship);
    CShipElement polyface;
    polyface.Append(BoxMesh(0, 0, 0, 10, 8, 5));
    const std::string good = Write("good.dxf", polyface, true);
    const auto bytes = ReadBytes(good);
    const std::string text(bytes.begin(), bytes.end());
    // The first vertex's x, then one face index, spoiled in turn.
    const std::size_t x = text.find(" 10\r\n", text.find("VERTEX")) + 5;
    const std::size_t index = text.find(" 71\r\n", text.find("\r\n   128\r\n")) + 5;
    for (const auto& [at, length, value, what] :
         {std::tuple{x, text.find("\r\n", x) - x, std::string("nan"), "not a finite number"},
          std::tuple{x, text.find("\r\n", x) - x, std::string("1e999"), "not a finite number"},
          std::tuple{index, text.find("\r\n", index) - index, std::string("9"),
                     "face index 9 outside 1..8"}}) {
        std::string spoiled = text;
        spoiled.replace(at, length, value);
        const std::string path = TestPath("spoiled.dxf");
        WriteBytes(path, std::vector<unsigned char>(spoiled.begin(), spoiled.end()));
        const CalcResult r = RunCalc("add " + ShellQuote(ship) + " hull " + ShellQuote(path));
        EXPECT_EQ(r.status, 1) << value;
        EXPECT_NE(r.err.find("spoiled.dxf"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("POLYLINE starting at line"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(what), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadBytes(ship), before) << value;
    }
}
