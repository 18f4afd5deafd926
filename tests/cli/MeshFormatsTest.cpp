#include "CalcRunner.h"
#include "model/TestShips.h"

#include "model/CDxfFile.h"
#include "model/MeshFiles.h"

#include <gtest/gtest.h>

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
