// Reading drawings written by other programs: search rules, record windows,
// line ends, and drawings that are damaged or cut short.
#include "DxfText.h"

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/MeshCheck.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <tuple>

using namespace dxftext;

namespace {

std::vector<CVector3> Square() {
    return {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
}

const CPolyfaceMesh& Polyface(const CShipElement& e, int m) {
    return dynamic_cast<const CPolyfaceMesh&>(*e.GetAt(m));
}

const CGridMesh& Grid(const CShipElement& e, int m) {
    return dynamic_cast<const CGridMesh&>(*e.GetAt(m));
}

void ExpectTriangle(const CPolyfaceMesh& mesh, int i, int a, int b, int c) {
    const CFaceIndices* f = mesh.GetFaceIndices(i);
    ASSERT_NE(f, nullptr) << "triangle " << i;
    EXPECT_EQ(f->v[0], a);
    EXPECT_EQ(f->v[1], b);
    EXPECT_EQ(f->v[2], c);
}

// A file opened on the drawing.
std::unique_ptr<CDxfFile> Open(const std::string& text, const std::string& name) {
    const std::string path = TestPath(name);
    WriteText(path, text);
    return std::make_unique<CDxfFile>(path, CFile::modeRead);
}

} // namespace

TEST(CDxfFile, SplitsQuadrilateralFaceIntoTwoTriangles) {
    const std::string drawing = Drawing(Polyface(Square(), {{1, 2, 3, 4}, {4, 3, 2, 0}}) +
                                        Polyface(Square(), {{1, 2, 3, -4}, {3, -2, 1, 0}}));
    auto file = Open(drawing, "quad.dxf");
    int flags = 0, m = 0, n = 0, nv = 0, nf = 0;
    ASSERT_TRUE(file->FindNextPolyline());
    ASSERT_TRUE(file->ReadPolylineHeader(flags, m, n));
    EXPECT_EQ(flags, 64);
    EXPECT_EQ(m, 4);
    EXPECT_EQ(n, 2);
    const std::uint64_t first = file->GetPosition();
    EXPECT_TRUE(file->CountPolyfaceRecords(nv, nf));
    EXPECT_EQ(nv, 4);
    EXPECT_EQ(nf, 3);
    EXPECT_EQ(file->GetPosition(), first) << "counting must not consume the records";

    const auto tank = Import(drawing, kindTank);
    ASSERT_EQ(tank->GetCount(), 2);
    const CPolyfaceMesh& quad = Polyface(*tank, 1);
    ASSERT_EQ(quad.GetFaceCount(), 3);
    ExpectTriangle(quad, 1, 1, 2, 3);
    ExpectTriangle(quad, 2, 1, 3, 4);
    ExpectTriangle(quad, 3, 4, 3, 2);
    EXPECT_EQ(quad.GetVertex(3)->X(), 1);
    EXPECT_EQ(quad.GetVertex(3)->Y(), 1);
    // A negative index marks an invisible edge: its corner is the same.
    ASSERT_EQ(Polyface(*tank, 2).GetFaceCount(), 3);
    ExpectTriangle(Polyface(*tank, 2), 1, 1, 2, 3);
    ExpectTriangle(Polyface(*tank, 2), 2, 1, 3, 4);
    ExpectTriangle(Polyface(*tank, 2), 3, 3, 2, 1);
}

// A record of neither kind after the faces is passed over, whichever way
// the sequence is read, and the polyface after it is read whole.
TEST(CDxfFile, RecordOfNeitherKindAfterTheFacesIsPassedOver) {
    std::string odd = Polyface(Square(), {{1, 2, 3, 4}});
    odd.insert(odd.rfind(Seqend()), VertexRecord(CVector3(7, 7, 7), 1));
    const auto tank = Import(Drawing(odd + Polyface(Square(), {{4, 3, 2, 0}})), kindTank);
    ASSERT_EQ(tank->GetCount(), 2);
    ASSERT_EQ(Polyface(*tank, 1).GetVertexCount(), 4);
    ASSERT_EQ(Polyface(*tank, 1).GetFaceCount(), 2);
    ExpectTriangle(Polyface(*tank, 1), 2, 1, 3, 4);
    ASSERT_EQ(Polyface(*tank, 2).GetFaceCount(), 1);
    ExpectTriangle(Polyface(*tank, 2), 1, 4, 3, 2);
}

TEST(CDxfFile, BoxOfQuadrilateralFacesEnclosesItsVolume) {
    const auto hull = Import(Drawing(BoxPolyface(0, -4, 0, 30, 4, 3)), kindHull);
    ASSERT_EQ(hull->GetCount(), 1);
    EXPECT_EQ(hull->GetFaceCount(), 12);
    EXPECT_NEAR(hull->Volume(), 30.0 * 8.0 * 3.0, 1e-9); // V = L B D
}

TEST(CDxfFile, ReadsGridRowByRow) {
    const auto hull = Import(Drawing(Grid(2, 3, SquareGridPoints(0.25))), kindHull);
    ASSERT_EQ(hull->GetCount(), 1);
    const CGridMesh& grid = Grid(*hull, 1);
    EXPECT_TRUE(grid.GetOrientation());
    ASSERT_EQ(grid.GetRows(), 2);
    ASSERT_EQ(grid.GetCols(), 3);
    EXPECT_EQ(grid.GetFaceCount(), 2);
    EXPECT_EQ(grid.Item(0, 2)->X(), 1.0); // third record: row 0, column 2
    EXPECT_EQ(grid.Item(1, 0)->Y(), 1.0); // fourth record: row 1, column 0
    EXPECT_EQ(grid.Item(1, 2)->Z(), 0.25);
}

TEST(CDxfFile, ReadsTheMeshKindFromItsFlagBitsInFileOrder) {
    // 65: a closed polyface; 17: a grid closed in M, its closing row of
    // faces added; 8 alone: a 3D polyline, no mesh; 24 and 72: a grid and
    // a polyface that are also 3D polylines; 192: a polyface whose linetype
    // runs on.
    const std::string entities =
        Polyface(Square(), {{1, 2, 3, 0}}, 65) + Grid(2, 3, SquareGridPoints(7), 17) +
        Polyface(Square(), {{1, 2, 3, 0}}) + Grid(2, 2, Square(), 8) +
        Grid(2, 3, SquareGridPoints(5), 24) + Polyface(Square(), {{1, 2, 3, 4}}, 72) +
        BoxPolyface(0, 0, 0, 1, 1, 1);
    std::string box = BoxPolyface(0, 0, 0, 1, 1, 1);
    box.replace(box.find(Count(64)), 6, Count(192));
    const auto tank = Import(Drawing(entities + box), kindTank);
    ASSERT_EQ(tank->GetCount(), 7);
    EXPECT_EQ(Polyface(*tank, 1).GetFaceCount(), 1);
    ASSERT_EQ(Grid(*tank, 2).GetRows(), 3);
    EXPECT_EQ(Grid(*tank, 2).GetFaceCount(), 4);
    EXPECT_EQ(Grid(*tank, 2).Item(2, 1)->X(), Grid(*tank, 2).Item(0, 1)->X());
    EXPECT_EQ(Grid(*tank, 2).Item(2, 1)->Y(), 0);
    EXPECT_EQ(Polyface(*tank, 3).GetFaceCount(), 1);
    EXPECT_EQ(Grid(*tank, 4).Item(0)->Z(), 5);
    EXPECT_EQ(Polyface(*tank, 5).GetFaceCount(), 2);
    EXPECT_EQ(Polyface(*tank, 6).GetFaceCount(), 12);
    EXPECT_EQ(Polyface(*tank, 7).GetFaceCount(), 12);
    EXPECT_EQ(Import(Drawing(Group("  0", "LINE") + Group(" 10", "1.0")), kindTank)->GetCount(), 0);
    // Both kinds at once cannot be read as either.
    const std::string both = Drawing(Grid(2, 3, SquareGridPoints(0), 80));
    EXPECT_EQ(Refusal(both, kindHull),
              "POLYLINE starting at line 16, line 28: flags 80 make it both a polyface and a "
              "polygon mesh");
    // A grid closed in N whose N is the largest count: its closing column
    // is counted in 64 bits, and the grid refused as too large.
    const std::string widest =
        Drawing(PolylineHeader(16 + 32, 2, 2147483647) + VertexRecord({0, 0, 0}, 64) + Seqend());
    EXPECT_NE(Refusal(widest, kindHull).find("a grid of 2 x 2147483647 vertices does not fit"),
              std::string::npos);
}

// A torus as one grid: M = 24 rings around the z axis at R = 10, each of
// N = 12 points on a circle of r = 3. Closed in both directions it is a
// closed surface whose volume is M sin(2 pi / M) R A, A the area of the
// 12-gon (the solid between two neighbouring rings is a wedge of the ring's
// polygon, each point moving on a chord).
TEST(CDxfFile, GridClosedInMOrNEnclosesItsClosedFormVolume) {
    constexpr int kM = 24, kN = 12;
    constexpr double kR = 10, kr = 3;
    const double area = kN / 2.0 * kr * kr * std::sin(2 * M_PI / kN);
    const double volume = kM * std::sin(2 * M_PI / kM) * kR * area;
    // rows x cols points; the last row or column repeats the first when
    // the drawing gives it.
    const auto torus = [&](int rows, int cols) {
        std::vector<CVector3> p;
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j) {
                const double theta = -2 * M_PI * (i % kM) / kM, phi = 2 * M_PI * (j % kN) / kN;
                const double rho = kR + kr * std::cos(phi);
                p.emplace_back(rho * std::cos(theta), rho * std::sin(theta), kr * std::sin(phi));
            }
        return p;
    };
    const std::tuple<int, int, int> cases[] = {{kM, kN, 16 + 1 + 32},
                                               {kM + 1, kN, 16 + 32},
                                               {kM, kN + 1, 16 + 1},
                                               {kM, kN, 16 + 1 + 32 + 8}};
    for (const auto& [rows, cols, flags] : cases) {
        SCOPED_TRACE(FormatC("%d x %d, flags %d", rows, cols, flags));
        const auto tank = Import(Drawing(Grid(rows, cols, torus(rows, cols), flags)), kindTank);
        ASSERT_EQ(tank->GetCount(), 1);
        EXPECT_EQ(tank->GetFaceCount(), kM * kN);
        // The points are written with 6 decimals.
        EXPECT_NEAR(tank->Volume(), volume, 1e-6 * volume);
        EXPECT_TRUE(CheckElement(*tank).surface.IsClosed());
    }
    // Open, the same grid lacks the faces that join its ends.
    const auto open = Import(Drawing(Grid(kM, kN, torus(kM, kN))), kindTank);
    EXPECT_EQ(open->GetFaceCount(), (kM - 1) * (kN - 1));
}

TEST(CDxfFile, HullSkipsPolylinesBeforeEntitiesOtherKindsReadThem) {
    const std::string drawing =
        Drawing(Grid(2, 3, SquareGridPoints(1)), BoxPolyface(0, 0, 0, 2, 2, 2));
    const auto hull = Import(drawing, kindHull);
    ASSERT_EQ(hull->GetCount(), 1);
    EXPECT_EQ(hull->GetAt(1)->GetType(), CMesh::typeGrid);
    for (int kind : {kindCompartment, kindTank}) {
        const auto inner = Import(drawing, kind);
        ASSERT_EQ(inner->GetCount(), 2);
        EXPECT_EQ(inner->GetAt(1)->GetType(), CMesh::typePolyface);
    }
}

TEST(CDxfFile, FindEntitiesFindsKeywordAtAnyOffset) {
    // The file is left 7 bytes before the keyword, at the start when nearer.
    for (std::size_t at = 480; at <= 1010; ++at) {
        auto file = Open(std::string(at, 'x') + "ENTITIES\r\n", "entities-at.dxf");
        ASSERT_TRUE(file->FindEntities()) << "keyword at " << at;
        EXPECT_EQ(file->GetPosition(), at - 7);
    }
    auto file = Open("xxxENTITIES", "first-bytes.dxf");
    EXPECT_TRUE(file->FindEntities());
    EXPECT_EQ(file->GetPosition(), 0u);
    file = Open(std::string(1200, 'x') + "ENTITIE", "no-entities.dxf");
    EXPECT_FALSE(file->FindEntities());
    EXPECT_EQ(file->GetPosition(), file->GetLength());
    // A hull element finds its mesh wherever the section name falls.
    const std::string drawing = Drawing(Grid(2, 3, SquareGridPoints(0)));
    for (std::size_t at = 490; at <= 506; ++at) {
        const std::string shifted = std::string(at - drawing.find("ENTITIES"), 'x') + drawing;
        EXPECT_EQ(Import(shifted, kindHull)->GetCount(), 1) << "ENTITIES at " << at;
    }
}

TEST(CDxfFile, FindNextPolylineFindsKeywordAcrossChunkBoundaries) {
    // Chunks start at 0, 493 and 986: every offset around both boundaries.
    for (std::size_t at = 480; at <= 1000; ++at) {
        auto file = Open(std::string(at, 'x') + "POLYLINE" + "yyyy", "straddle.dxf");
        ASSERT_TRUE(file->FindNextPolyline()) << "keyword at " << at;
        EXPECT_EQ(file->GetPosition(), at);
    }
    for (std::size_t length : {0, 5, 500, 503, 1200}) {
        auto file = Open(std::string(length, 'x'), "no-polyline.dxf");
        EXPECT_FALSE(file->FindNextPolyline()) << length;
    }
}

// Each way of writing the same drawing against its padded CR LF twin: group
// codes without blanks or with more, LF-only line ends, line ends mixed line
// by line, and stray CRs.
TEST(CDxfFile, PaddingAndLineEndsGiveTheSameMeshes) {
    const std::string crlf =
        Drawing(BoxPolyface(0, -4, 0, 30, 4, 3) + Polyface(Square(), {{1, 2, 3, 4}}) +
                Grid(2, 3, SquareGridPoints(0.5)));
    const auto lf = [](std::size_t) { return std::string("\n"); };
    const auto crLf = [](std::size_t) { return std::string("\r\n"); };
    const auto mixed = [](std::size_t k) { return std::string(k % 3 == 0 ? "\r\n" : "\n"); };
    // One CR LF in an LF-only drawing, in the middle of the first POLYLINE.
    const std::size_t strayLine = SplitLines(crlf).size() / 3;
    const auto stray = [&](std::size_t k) { return std::string(k == strayLine ? "\r\n" : "\n"); };
    std::string strayInValue = ToLf(crlf);
    strayInValue.insert(strayInValue.find("\n0\n", strayInValue.find("VERTEX")) + 1, 1, '\r');
    const std::vector<std::pair<const char*, std::string>> twins = {
        {"LF only", ToLf(crlf)},
        {"codes without blanks", Rewritten(crlf, "", "", crLf)},
        {"codes with more blanks", Rewritten(crlf, "    ", "  ", crLf)},
        {"codes without blanks, LF only", Rewritten(crlf, "", "", lf)},
        {"line ends mixed", Rewritten(crlf, " ", "", mixed)},
        {"one CR LF in LF text", Rewritten(crlf, " ", "", stray)},
        {"a CR inside a layer name", strayInValue},
    };
    for (int kind : {kindHull, kindTank}) {
        const auto expected = Import(crlf, kind, "crlf.dxf");
        ASSERT_EQ(expected->GetCount(), 3);
        ASSERT_EQ(expected->GetFaceCount(), 12 + 2 + 2);
        for (const auto& [what, text] : twins) {
            SCOPED_TRACE(what);
            ExpectSameMeshes(*Import(text, kind, "twin.dxf"), *expected);
        }
    }
}

// An LF-only drawing of six boxes that holds one CR LF line end: every box
// whole, whichever line the CR falls on.
TEST(CDxfFile, StrayCrLeavesEveryMeshWhole) {
    std::string boxes;
    for (int k = 0; k < 6; ++k)
        boxes += BoxPolyface(3 * k, 0, 0, 3 * k + 2, 2, 3); // 12 m3 each
    const std::string lf = ToLf(Drawing(boxes));
    for (std::size_t at = lf.find("POLYLINE"); at < lf.size(); at += 97) {
        std::string text = lf;
        text.insert(text.find('\n', at), 1, '\r');
        const auto tank = Import(text, kindTank);
        ASSERT_EQ(tank->GetCount(), 6) << "CR at " << at;
        EXPECT_NEAR(tank->Volume(), 72, 1e-9) << "CR at " << at;
    }
}

// A code line where a value belongs is never taken for a code, and a group
// in its usual form wins over one written otherwise.
TEST(CDxfFile, CodesAreTakenOnlyWhereCodeLinesBelong) {
    // Face indices 10 and 74 written without blanks, as codes would be.
    std::vector<CVector3> points(74);
    for (int k = 0; k < 74; ++k)
        points[k] = CVector3(k, k % 7, k % 5);
    std::string entity = Polyface(points, {{10, 74, 73, 0}, {74, 10, 20, 30}});
    for (const char* index : {"    10", "    74", "    73", "    20", "    30"})
        for (std::size_t at;
             (at = entity.find(std::string("\r\n") + index + "\r\n")) != std::string::npos;)
            entity.replace(at + 2, 6, index + 4);
    const auto tank = Import(Drawing(entity), kindTank);
    ASSERT_EQ(tank->GetCount(), 1);
    ASSERT_EQ(Polyface(*tank, 1).GetFaceCount(), 3);
    ExpectTriangle(Polyface(*tank, 1), 1, 10, 74, 73);
    ExpectTriangle(Polyface(*tank, 1), 3, 74, 20, 30);
    // A record with both " 10" and "10": the padded one is read.
    std::string both = Grid(2, 3, SquareGridPoints(0));
    both.insert(both.find(" 10\r\n"), Group("10", "5.0"));
    EXPECT_EQ(Grid(*Import(Drawing(both), kindTank), 1).Item(0)->X(), 0);
}

TEST(CDxfFile, ReadsRecordsLongerThanAnyWindowWhole) {
    const std::string comment = Group("999", std::string(1200, 'c'));
    // A vertex record of 3000 bytes (a long layer name), a face record, a
    // grid point and a POLYLINE header with long comments.
    std::string longVertex = Polyface(Square(), {{1, 2, 3, 0}});
    longVertex.replace(longVertex.find("  8\r\n0\r\n", longVertex.find("VERTEX")) + 5, 1,
                       std::string(2950, 'L'));
    std::string longFace = Polyface(Square(), {{1, 2, 3, 0}});
    longFace.insert(longFace.rfind(" 70\r\n"), comment);
    std::string longPoint = Grid(2, 3, SquareGridPoints(0));
    longPoint.insert(longPoint.rfind(" 10\r\n"), comment);
    std::string longHeader = Grid(2, 3, SquareGridPoints(0));
    longHeader.insert(longHeader.find(" 70\r\n"), comment);
    const std::size_t vertex = longVertex.find("VERTEX");
    ASSERT_GE(longVertex.find("VERTEX", vertex + 1) - vertex, 3000u);
    const std::string next = BoxPolyface(0, 0, 0, 2, 1, 1);
    const std::string plain[] = {Polyface(Square(), {{1, 2, 3, 0}}),
                                 Polyface(Square(), {{1, 2, 3, 0}}),
                                 Grid(2, 3, SquareGridPoints(0)), Grid(2, 3, SquareGridPoints(0))};
    const std::string* entity = plain;
    for (const std::string& longer : {longVertex, longFace, longPoint, longHeader}) {
        const auto expected = Import(Drawing(*entity++ + next), kindTank, "expected.dxf");
        ASSERT_EQ(expected->GetCount(), 2);
        ExpectSameMeshes(*Import(Drawing(longer + next), kindTank), *expected);
    }
}

// A sequence without its SEQEND ends at the next POLYLINE or at the end of
// the section, not inside the next entity; those words as layer names end
// nothing.
TEST(CDxfFile, SequenceWithoutSeqendEndsAtNextEntity) {
    const std::string polyface = BoxPolyface(0, 0, 0, 2, 1, 1);
    const std::string grid = Grid(2, 3, SquareGridPoints(0));
    const auto expected = Import(Drawing(polyface + grid + polyface), kindTank, "expected.dxf");
    ASSERT_EQ(expected->GetCount(), 3);
    const auto open = [](std::string entity) {
        return entity.erase(entity.rfind("  0\r\nSEQEND"));
    };
    for (const std::string& text : {Drawing(open(polyface) + grid + polyface),
                                    Drawing(polyface + open(grid) + open(polyface)),
                                    ToLf(Drawing(open(polyface) + open(grid) + open(polyface)))}) {
        ExpectSameMeshes(*Import(text, kindTank), *expected);
    }
    std::string layers = Drawing(polyface + grid + polyface);
    for (const char* name : {"POLYLINE", "ENDSEC", "POLYLINE", "ENDSEC"})
        layers.replace(layers.find("  8\r\n0\r\n", layers.find("VERTEX", layers.find(name))) + 5, 1,
                       name);
    ExpectSameMeshes(*Import(layers, kindTank), *expected);
}

// Whatever form a decimal number takes, a coordinate is the double the C
// library's strtod gives for it (what is not a number, a hexadecimal one
// among them, is damage: CDxfDamage).
TEST(CDxfFile, CoordinatesAreTheDecimalNumbersStrtodReads) {
    std::vector<std::string> tokens = {
        "0",        "-0",     "  12.5", "+3",    "1e5",    "1E-5",       "-.5",     "5.",
        "4.9e-324", "1e-320", "1e308",  "12\t3", "12.5  ", "00000.0001", "-1.5E+2", "1e-400"};
    std::uint32_t seed = 2024;
    const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    const char* const formats[] = {"%.6f", "%1.8G", "%.17g", "%.3e", "%.20f"};
    for (int k = 0; k < 600; ++k) {
        double v = static_cast<double>(next()) / 4294967296.0;
        v = std::ldexp(v, static_cast<int>(next() % 200) - 100) * (next() % 2 ? 1 : -1);
        tokens.push_back(FormatC(formats[k % 5], v));
        std::string digits(1 + next() % 24, '0');
        for (char& c : digits)
            c = static_cast<char>('0' + next() % 10);
        digits.insert(next() % digits.size(), 1, '.');
        tokens.push_back(digits +
                         (k % 3 ? "" : FormatC("e%d", static_cast<int>(next() % 60) - 30)));
    }
    std::string records;
    for (const std::string& token : tokens)
        records += Group("  0", "VERTEX") + Group(" 10", token) + Group(" 20", "0") +
                   Group(" 30", "0") + Group(" 70", Count(64));
    // Two rows, so that the grid has faces.
    if (tokens.size() % 2 != 0) {
        tokens.push_back("1");
        records += Group("  0", "VERTEX") + Group(" 10", "1") + Group(" 70", Count(64));
    }
    const int n = static_cast<int>(tokens.size());
    const auto tank = Import(Drawing(PolylineHeader(16, 2, n / 2) + records + Seqend()), kindTank);
    const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    ASSERT_EQ(tank->GetCount(), 1);
    for (int i = 0; i < n; ++i) {
        const std::string value = tokens[i].substr(0, tokens[i].find('\t'));
        const double x = Grid(*tank, 1).Item(i)->X(),
                     expected = strtod_l(value.c_str(), nullptr, cLocale);
        EXPECT_TRUE(x == expected && std::signbit(x) == std::signbit(expected))
            << '"' << tokens[i] << "\" gives " << x << " for " << expected;
    }
    freelocale(cLocale);
}

TEST(CDxfFile, PolylineWithoutVerticesLeavesNextEntityWhole) {
    const std::string next = BoxPolyface(0, 0, 0, 2, 1, 1) + Grid(2, 3, SquareGridPoints(0));
    const auto expected = Import(Drawing(next), kindTank, "expected.dxf");
    for (int flags : {64, 16}) {
        const auto tank = Import(Drawing(PolylineHeader(flags, 0, 0) + Seqend() + next), kindTank);
        ExpectSameMeshes(*tank, *expected);
    }
}

TEST(CDxfFile, GridLargerThanTheRestOfTheFileIsRefused) {
    const std::string points = VertexRecord(CVector3(1, 2, 3), 64) + Seqend();
    const std::string tail = Grid(2, 3, SquareGridPoints(9));
    for (auto [m, n] : {std::pair{INT_MAX, INT_MAX}, std::pair{100000, 100000},
                        std::pair{1000, 1000}, std::pair{2, INT_MAX}}) {
        const std::string detail =
            Refusal(Drawing(PolylineHeader(16, m, n) + points + tail), kindTank);
        EXPECT_NE(detail.find("POLYLINE starting at line 16, line 30: a grid of " +
                              std::to_string(m) + " x " + std::to_string(n)),
                  std::string::npos)
            << detail;
    }
    // A count below 1 is no grid to read the records into.
    EXPECT_EQ(Refusal(Drawing(PolylineHeader(16, -3, -4) + points + tail), kindTank),
              "POLYLINE starting at line 16, line 30: a grid of -3 x -4 vertices: M (group 71) "
              "and N (group 72) must be 1 or more");
    EXPECT_EQ(Refusal(Drawing(PolylineHeader(16, 2, 0) + points + tail), kindTank),
              "POLYLINE starting at line 16, line 32: a grid of 2 x 0 vertices: M (group 71) "
              "and N (group 72) must be 1 or more");
    // One row or one column is a grid without faces: no mesh.
    const auto row = Import(Drawing(PolylineHeader(16, 1, 1) + points + tail), kindTank);
    ASSERT_EQ(row->GetCount(), 1);
    EXPECT_EQ(Grid(*row, 1).Item(0)->Z(), 9);
}

TEST(CDxfFile, ReadVertexStopsAtLineFeedBeforeNextKeyword) {
    // The second record lacks its y group and keeps the first record's y.
    std::string second = VertexRecord(CVector3(4, 5, 6), 0);
    second.erase(second.find(" 20\r\n"), 5 + 10);
    const std::string text =
        Drawing(PolylineHeader(64, 2, 0) + VertexRecord(CVector3(1, 2.5, 3), 192) + second +
                FaceRecord({1, 2, 2, 0}) + Seqend());
    auto file = Open(text, "records.dxf");
    int flags, m, n;
    ASSERT_TRUE(file->FindNextPolyline());
    ASSERT_TRUE(file->ReadPolylineHeader(flags, m, n));
    CDxfVertex v;
    bool damaged = true;
    ASSERT_TRUE(file->ReadVertex(v, &damaged));
    EXPECT_FALSE(damaged);
    EXPECT_EQ(v.m_flags70, 192);
    EXPECT_EQ(text.substr(file->GetPosition(), 7), "\nVERTEX");
    ASSERT_TRUE(file->ReadVertex(v));
    EXPECT_EQ(v.X(), 4);
    EXPECT_EQ(v.Y(), 2.5);
    EXPECT_EQ(v.m_flags70, 0);
    ASSERT_TRUE(file->ReadVertex(v));
    EXPECT_EQ(v.m_flags70, 128);
    EXPECT_EQ(v.m_index73, 2);
    EXPECT_EQ(v.m_index74, 0);
    for (int twice = 0; twice < 2; ++twice) {
        EXPECT_FALSE(file->ReadVertex(v, &damaged));
        EXPECT_FALSE(damaged);
        EXPECT_EQ(text.substr(file->GetPosition(), 7), "\nSEQEND");
    }
}

TEST(CDxfFile, ReadPolylineHeaderReadsIntegersAndReadsHeaderWhole) {
    const std::string header = Group("  0", "POLYLINE") + Group(" 70", "64") + Group(" 71", " -2 ");
    auto file = Open(header + VertexRecord(CVector3(), 192), "header.dxf");
    int flags, m, n;
    bool damaged = true;
    ASSERT_TRUE(file->ReadPolylineHeader(flags, m, n, &damaged));
    EXPECT_FALSE(damaged);
    EXPECT_EQ(flags, 64);
    EXPECT_EQ(m, -2);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(file->GetPosition(), header.size() + 5); // at "VERTEX", after "  0\r\n"
    const std::string far = header + Group("999", std::string(5000, ' ')) + "  0\r\n";
    file = Open(far + "VERTEX", "far-vertex.dxf");
    ASSERT_TRUE(file->ReadPolylineHeader(flags, m, n));
    EXPECT_EQ(flags, 64);
    EXPECT_EQ(file->GetPosition(), far.size());
    // Nothing after the header: the file is left at its end.
    file = Open(header, "bare-header.dxf");
    EXPECT_FALSE(file->ReadPolylineHeader(flags, m, n, &damaged));
    EXPECT_FALSE(damaged);
    EXPECT_EQ(file->GetPosition(), header.size());
    // A flag that is not an integer is damage, not its leading digits.
    file = Open(Group("  0", "POLYLINE") + Group(" 70", "64.9") + VertexRecord(CVector3(), 192),
                "fraction.dxf");
    EXPECT_FALSE(file->ReadPolylineHeader(flags, m, n, &damaged));
    EXPECT_TRUE(damaged);
}

// Every prefix of a drawing is refused unless it holds the ENDSEC of the
// ENTITIES section, and then gives the meshes of the whole drawing: never
// a mesh made of half-read records, nor a part of the meshes. Cut inside
// the records of a mesh, the refusal names the mesh.
TEST(CDxfFile, TruncatedDrawingIsRefusedUnlessItsEntitiesSectionIsWhole) {
    const std::string full =
        Drawing(Polyface(Square(), {{1, 2, 3, 4}}) + Grid(2, 3, SquareGridPoints(1)));
    for (const std::string& text : {full, ToLf(full)}) {
        const auto whole = Import(text, kindTank, "whole.dxf");
        ASSERT_EQ(whole->GetCount(), 2);
        // Cut from the end of the first "VERTEX" of a mesh to the end of its
        // "SEQEND", the mesh is cut short.
        std::vector<std::pair<std::size_t, std::size_t>> inside;
        for (std::size_t at = text.find("POLYLINE"); at != std::string::npos;
             at = text.find("POLYLINE", at + 1))
            inside.emplace_back(text.find("VERTEX", at) + 6, text.find("SEQEND", at) + 6);
        const std::size_t sectionEnd = text.rfind("ENDSEC") + 6;
        for (std::size_t length = 0; length <= text.size(); ++length) {
            bool cut = false;
            for (auto [from, to] : inside)
                cut = cut || (length >= from && length < to);
            for (int kind : {kindHull, kindTank}) {
                const std::string prefix = text.substr(0, length);
                const std::string refusal = Refusal(prefix, kind, "prefix.dxf");
                ASSERT_EQ(refusal.empty(), length >= sectionEnd) << length << ": " << refusal;
                if (cut) {
                    EXPECT_TRUE(refusal.find("the drawing ends inside the entity") !=
                                    std::string::npos ||
                                refusal.find("does not fit in the rest of the drawing") !=
                                    std::string::npos)
                        << refusal;
                } else if (length < sectionEnd) {
                    EXPECT_TRUE(refusal.find("ENTITIES section starting at line 14, line ") == 0 ||
                                refusal.find("without an ENTITIES section: it was cut short") !=
                                    std::string::npos)
                        << length << ": " << refusal;
                } else {
                    // The "EOF" end is not asked for.
                    ExpectSameMeshes(*Import(prefix, kind, "prefix.dxf"), *whole);
                }
            }
        }
    }
    const std::string cut = full.substr(0, full.find("  0\r\nPOLYLINE", full.find("SEQEND")));
    EXPECT_EQ(Refusal(cut, kindTank),
              FormatC("ENTITIES section starting at line 14, line %zu: the drawing ends before "
                      "the ENDSEC of the section: it was cut short",
                      static_cast<std::size_t>(std::count(cut.begin(), cut.end(), '\n'))));
}

// The ENDSEC is looked for at the end of the file first; a drawing cut in a
// long section after the entities has none there, and is read all the same.
TEST(CDxfFile, DrawingCutAfterItsEntitiesSectionIsRead) {
    const std::string whole = Drawing(BoxPolyface(0, 0, 0, 2, 1, 1));
    std::string objects = Group("  0", "SECTION") + Group("  2", "OBJECTS");
    while (objects.size() < (std::size_t{5} << 20))
        objects += Group("999", std::string(200, 'c'));
    const std::string cut = whole.substr(0, whole.rfind("  0\r\nEOF")) + objects;
    EXPECT_NEAR(Import(cut, kindHull)->Volume(), 2, 1e-12);
    const std::string early = whole.substr(0, whole.rfind("  0\r\nENDSEC")) + objects;
    EXPECT_NE(Refusal(early, kindHull).find("the drawing ends before the ENDSEC"),
              std::string::npos);
}

TEST(CDxfFile, DamagedDrawingsEndWithoutHangingOrReadingOutOfRange) {
    std::vector<std::string> drawings = {"POLYLINE",
                                         "VERTEX",
                                         "SEQEND",
                                         [] {
                                             std::string s;
                                             for (int i = 0; i < 300; ++i)
                                                 s += "POLYLINE";
                                             return s;
                                         }(),
                                         "POLYLINE\r\n 70\r\n64\r\nVERTEX",
                                         "POLYLINE\r\n 70\r\n16\r\n 71\r\n2\r\n 72\r\n2\r\nVERTEX",
                                         "POLYLINE\n 70\n64\nVERTEX\n 70\n128\n 71\n9\nSEQEND",
                                         "POLYLINE\r\n 70\r\n64\r\n  0\r\nVERTEX\r\n 70\r\n128\r\n "
                                         " 0\r\nVERTEX\r\n 10\r\nnan\r\n 71\r\n-9e99\r\nSEQEND"};
    // Deterministic byte damage to a real drawing.
    const std::string base =
        Drawing(BoxPolyface(0, 0, 0, 1, 2, 3) + Grid(2, 3, SquareGridPoints(1)));
    std::uint32_t seed = 12345;
    for (int k = 0; k < 300; ++k) {
        std::string damaged = base;
        for (int hit = 0; hit < 4; ++hit) {
            seed = seed * 1664525u + 1013904223u;
            damaged[seed % damaged.size()] = "\r\n 0VSP7"[(seed >> 16) % 8];
        }
        drawings.push_back(damaged);
    }
    // Each is refused or gives meshes whose faces hold finite points only.
    int refused = 0;
    for (const std::string& text : drawings) {
        for (int kind : {kindHull, kindTank}) {
            if (!Refusal(text, kind, "damaged.dxf").empty()) {
                ++refused;
                continue;
            }
            const auto element = Import(text, kind, "damaged.dxf");
            CPointList face;
            for (int m = 1; m <= element->GetCount(); ++m) {
                const CMesh& mesh = *element->GetAt(m);
                if (const auto* polyface = dynamic_cast<const CPolyfaceMesh*>(&mesh)) {
                    for (const CFaceIndices& f : polyface->Faces())
                        for (int k : f.v)
                            ASSERT_TRUE(k >= 1 && k <= mesh.GetVertexCount()) << k;
                }
                for (int i = 1; i <= mesh.GetFaceCount(); ++i) {
                    mesh.GetFace(i, face);
                    for (int k = 1; k <= face.GetCount(); ++k)
                        ASSERT_TRUE(std::isfinite(face.GetAt(k)->X() + face.GetAt(k)->Y() +
                                                  face.GetAt(k)->Z()));
                }
            }
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(Refusal(drawings[3], kindTank), "the drawing ends at line 1 without an ENTITIES "
                                              "section: it was cut short, or is no drawing");
}
