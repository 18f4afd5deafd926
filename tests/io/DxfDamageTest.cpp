// Drawings the reader refuses: a mesh entity that cannot be read whole is
// damage, reported with the file, the entity and the line of the fault, and
// the element keeps the meshes it had.
#include "DxfText.h"

#include "model/CGridMesh.h"

#include <algorithm>
#include <tuple>

using namespace dxftext;

namespace {

// 1-based line of the text that holds its byte at.
std::size_t LineAt(const std::string& text, std::size_t at) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n'));
}

// "POLYLINE starting at line L, line M: " for the POLYLINE at or after from
// and the fault at byte fault.
std::string Where(const std::string& text, std::size_t fault, std::size_t from = 0,
                  const std::string& keyword = "POLYLINE") {
    return keyword + " starting at line " + std::to_string(LineAt(text, text.find(keyword, from))) +
           ", line " + std::to_string(LineAt(text, fault)) + ": ";
}

std::string Box() {
    return BoxPolyface(0, 0, 0, 10, 10, 8); // 800 m3
}

} // namespace

TEST(CDxfDamage, CoordinateThatIsNotAFiniteNumberIsRefused) {
    for (const char* token : {"nan", "-nan", "inf", "-Infinity", "1e999", "-1E999"}) {
        SCOPED_TRACE(token);
        // The y of the third vertex of the box, and the z of a grid point.
        std::string text = Drawing(Grid(2, 3, SquareGridPoints(0)) + Box());
        std::size_t vertex = text.rfind("POLYLINE");
        for (int k = 0; k < 3; ++k)
            vertex = text.find("VERTEX", vertex + 1);
        const std::size_t value = text.find(" 20\r\n", vertex) + 5;
        ASSERT_EQ(text.substr(value, 11), "10.000000\r\n");
        text.replace(value, 9, token);
        EXPECT_EQ(Refusal(text, kindTank), Where(text, value, text.rfind("POLYLINE")) +
                                               "y coordinate \"" + token +
                                               "\" is not a finite number");
        std::string grid = Drawing(Grid(2, 3, SquareGridPoints(0.25)));
        const std::size_t z = grid.rfind("0.250000");
        grid.replace(z, 8, token);
        EXPECT_EQ(Refusal(ToLf(grid), kindHull),
                  Where(grid, z) + "z coordinate \"" + token + "\" is not a finite number");
    }
    // A value too small for a double is 0, as atof reads it.
    std::string tiny = Drawing(Grid(2, 3, SquareGridPoints(0.25)));
    tiny.replace(tiny.rfind("0.250000"), 8, "1e-999");
    const auto element = Import(tiny, kindTank);
    EXPECT_EQ(dynamic_cast<const CGridMesh&>(*element->GetAt(1)).Item(5)->Z(), 0);
}

TEST(CDxfDamage, FaceIndexOutsideTheVerticesIsRefused) {
    // The box's second face record is 5 6 8 7; each corner in turn out of
    // 1..8, the fourth one also at 9.
    const std::string box = Drawing(Box());
    const std::size_t face = box.find(Group(" 71", Count(5)));
    ASSERT_NE(face, std::string::npos);
    const std::pair<const char*, const char*> cases[] = {{" 71", "     0"},
                                                         {" 72", "    -9"},
                                                         {" 73", "     9"},
                                                         {" 74", "     9"},
                                                         {" 73", "99999999999"}};
    for (const auto& [code, index] : cases) {
        SCOPED_TRACE(std::string(code) + " = " + index);
        std::string text = box;
        const std::size_t value = text.find(std::string(code) + "\r\n", face) + 5;
        text.replace(value, 6, index);
        const std::string shown =
            std::string(index) == "99999999999" ? "2147483647" : std::to_string(std::atoi(index));
        EXPECT_EQ(Refusal(text, kindHull),
                  Where(text, value) + "face index " + shown + " outside 1..8");
    }
    // A fourth corner of 0 is a triangle, not damage; a negative one is the
    // corner of an invisible edge.
    std::string triangle = box;
    triangle.replace(box.find(" 74\r\n", face) + 5, 6, "     0");
    EXPECT_EQ(Import(triangle, kindTank)->GetFaceCount(), 11);
    std::string hidden = box;
    hidden.replace(box.find(" 74\r\n", face) + 5, 6, "    -7");
    const auto tank = Import(hidden, kindTank);
    EXPECT_EQ(tank->GetFaceCount(), 12);
    EXPECT_NEAR(tank->Volume(), Import(box, kindTank)->Volume(), 1e-12);
}

TEST(CDxfDamage, GridShortOfVertexRecordsIsRefused) {
    std::vector<CVector3> five = SquareGridPoints(1);
    five.pop_back();
    // Ended by SEQEND, and by the end of the section without SEQEND.
    std::string text = Drawing(Grid(2, 3, five));
    EXPECT_EQ(Refusal(text, kindTank),
              Where(text, text.find("SEQEND")) + "5 vertex records for a grid of 2 x 3");
    std::string open = Grid(2, 3, five);
    open.erase(open.find("  0\r\nSEQEND"));
    text = Drawing(open);
    EXPECT_EQ(Refusal(text, kindHull),
              Where(text, text.rfind("ENDSEC")) + "5 vertex records for a grid of 2 x 3");
}

TEST(CDxfDamage, RefusedDrawingLeavesTheElementAsItWas) {
    const std::string good = Drawing(Box() + Grid(2, 3, SquareGridPoints(1)));
    std::string bad = good;
    bad.replace(bad.rfind("1.000000"), 8, "nan");
    const std::string path = TestPath("keep.dxf");
    CShipElement element;
    WriteText(path, good);
    CDxfFile goodFile(path, CFile::modeRead);
    element.ImportDxf(goodFile);
    WriteText(path, bad);
    CDxfFile badFile(path, CFile::modeRead);
    EXPECT_THROW(element.ImportDxf(badFile), CFileException);
    ASSERT_EQ(element.GetCount(), 2);
    ExpectSameMeshes(element, *Import(good, kindTank));
}

TEST(CDxfDamage, ValueThatIsNotANumberOfItsKindIsRefused) {
    // A coordinate: of a grid point (z), of a polyface vertex (x) and of a
    // 3DFACE corner (y of corner 2); never read as 0 or as its first digits.
    const std::string face3d = Group("  0", "3DFACE") + Group("  8", "0") + Group(" 10", "0.0") +
                               Group(" 20", "0.0") + Group(" 30", "0.0") + Group(" 11", "1.0") +
                               Group(" 21", "0.0") + Group(" 31", "0.0") + Group(" 12", "1.0") +
                               Group(" 22", "1.0") + Group(" 32", "0.0");
    for (const char* token :
         {"abc", "", "12abc", "1.2.3", "1,5", "- 1", "1e", ".", "0x1p-3", "-0X10", "0x1p9999"}) {
        SCOPED_TRACE(std::string("\"") + token + "\"");
        std::string grid = Drawing(Grid(2, 3, SquareGridPoints(0.25)));
        const std::size_t z = grid.rfind("0.250000");
        grid.replace(z, 8, token);
        EXPECT_EQ(Refusal(grid, kindTank),
                  Where(grid, z) + "z coordinate \"" + token + "\" is not a number");
        std::string box = Drawing(Box());
        const std::size_t x = box.find(" 10\r\n", box.find("VERTEX")) + 5;
        box.replace(x, 8, token);
        EXPECT_EQ(Refusal(box, kindHull),
                  Where(box, x) + "x coordinate \"" + token + "\" is not a number");
        std::string faces = Drawing(face3d);
        const std::size_t y = faces.find(" 21\r\n") + 5;
        faces.replace(y, 3, token);
        EXPECT_EQ(Refusal(faces, kindTank), Where(faces, y, 0, "3DFACE") +
                                                "corner 2 y coordinate \"" + token +
                                                "\" is not a number");
    }
    // An integer group: a header's count, a vertex's flags, a face index.
    const std::string box = Drawing(Box());
    const std::size_t face = box.find(Group(" 71", Count(5)));
    const std::tuple<std::size_t, const char*, std::string> integers[] = {
        {box.find(" 71\r\n"), " 71", "8.0"},
        {box.find(" 70\r\n", box.find("VERTEX")), " 70", "192abc"},
        {box.find(" 70\r\n", box.find("VERTEX")), " 70", ""},
        {box.find(" 73\r\n", face), " 73", "1E20"},
        {box.find(" 72\r\n", face), " 72", "6.5"}};
    for (const auto& [code, name, token] : integers) {
        SCOPED_TRACE(std::string(name) + " = \"" + token + "\"");
        std::string text = box;
        const std::size_t value = code + 5;
        text.replace(value, 6, token);
        EXPECT_EQ(Refusal(text, kindTank), Where(text, value) + "group " +
                                               std::string(name).substr(1) + " \"" + token +
                                               "\" is not an integer");
    }
    // Blanks around a value are no damage, nor is a sign.
    std::string padded = Drawing(Grid(2, 3, SquareGridPoints(0.25)));
    padded.replace(padded.rfind("0.250000"), 8, "   +2.5E-1  ");
    padded.replace(padded.rfind(Count(64)), 6, "+64  ");
    EXPECT_EQ(dynamic_cast<const CGridMesh&>(*Import(padded, kindTank)->GetAt(1)).Item(5)->Z(),
              0.25);
}
