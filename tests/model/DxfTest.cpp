// Reading drawings written by other programs: search rules, record windows,
// line ends, and drawings that are damaged or cut short.
#include "DxfText.h"

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"

#include <climits>

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
                                        Polyface(Square(), {{1, 2, 3, -5}, {3, 2, 1, 0}}));
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
    // A negative fourth corner gives one triangle.
    ASSERT_EQ(Polyface(*tank, 2).GetFaceCount(), 2);
    ExpectTriangle(Polyface(*tank, 2), 1, 1, 2, 3);
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

TEST(CDxfFile, ReadsOnlyPolylinesFlaggedExactly16Or64InFileOrder) {
    const std::string entities = Polyface(Square(), {{1, 2, 3, 0}}, 65) +
                                 Grid(2, 3, SquareGridPoints(7), 17) +
                                 Polyface(Square(), {{1, 2, 3, 0}}) + Grid(2, 2, Square(), 8) +
                                 Grid(2, 3, SquareGridPoints(5)) + BoxPolyface(0, 0, 0, 1, 1, 1);
    const auto tank = Import(Drawing(entities), kindTank);
    ASSERT_EQ(tank->GetCount(), 3);
    EXPECT_EQ(Polyface(*tank, 1).GetFaceCount(), 1);
    EXPECT_EQ(Grid(*tank, 2).Item(0)->Z(), 5);
    EXPECT_EQ(Polyface(*tank, 3).GetFaceCount(), 12);
    EXPECT_EQ(Import(Drawing(Group("  0", "LINE") + Group(" 10", "1.0")), kindTank)->GetCount(), 0);
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

TEST(CDxfFile, FindEntitiesMissesKeywordSplitBetweenChunks) {
    auto file = Open(std::string(496, 'x') + "ENTITIES\r\n", "split-entities.dxf");
    EXPECT_FALSE(file->FindEntities());
    EXPECT_EQ(file->GetPosition(), file->GetLength());
    // Whole in the second chunk: 7 bytes before it; near the start: the start.
    file = Open(std::string(500, 'x') + "ENTITIES", "second-chunk.dxf");
    EXPECT_TRUE(file->FindEntities());
    EXPECT_EQ(file->GetPosition(), 493u);
    file = Open("xxxENTITIES", "first-bytes.dxf");
    EXPECT_TRUE(file->FindEntities());
    EXPECT_EQ(file->GetPosition(), 0u);
    // So a hull element finds nothing when the section name straddles a chunk.
    const std::string drawing = Drawing(Grid(2, 3, SquareGridPoints(0)));
    const std::string split = std::string(496 - drawing.find("ENTITIES"), 'x') + drawing;
    ASSERT_EQ(split.find("ENTITIES"), 496u);
    EXPECT_EQ(Import(split, kindHull)->GetCount(), 0);
    EXPECT_EQ(Import(split, kindTank)->GetCount(), 1);
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

TEST(CDxfFile, LineFeedOnlyDrawingGivesSameMeshesAsCrLf) {
    const std::string crlf =
        Drawing(BoxPolyface(0, -4, 0, 30, 4, 3) + Polyface(Square(), {{1, 2, 3, 4}}) +
                Grid(2, 3, SquareGridPoints(0.5)));
    for (int kind : {kindHull, kindTank}) {
        const auto a = Import(crlf, kind, "crlf.dxf");
        const auto b = Import(ToLf(crlf), kind, "lf.dxf");
        ASSERT_EQ(a->GetCount(), 3);
        ExpectSameMeshes(*a, *b);
    }
}

TEST(CDxfFile, GroupCodesWithoutLeadingSpaceGiveNoMesh) {
    std::string drawing = Drawing(BoxPolyface(0, 0, 0, 1, 1, 1) + Grid(2, 3, SquareGridPoints(0)));
    for (const char* code : {"10", "20", "30", "70", "71", "72", "73", "74"}) {
        const std::string from = std::string("\n ") + code + "\r",
                          to = std::string("\n") + code + "\r";
        for (std::size_t at; (at = drawing.find(from)) != std::string::npos;)
            drawing.replace(at, from.size(), to);
    }
    EXPECT_EQ(Import(drawing, kindTank)->GetCount(), 0);
}

TEST(CDxfFile, SkipsEntityWhoseRecordDoesNotFitItsWindow) {
    const std::string next = BoxPolyface(0, 0, 0, 2, 1, 1);
    const auto expected = Import(Drawing(next), kindTank, "expected.dxf");
    const std::string comment = Group("999", std::string(1200, 'c'));
    // A vertex record, a face record, a grid point and a POLYLINE header
    // longer than their 1000-byte window.
    std::string longVertex = Polyface(Square(), {{1, 2, 3, 0}});
    longVertex.insert(longVertex.find("VERTEX") + 8, comment);
    std::string longFace = Polyface(Square(), {{1, 2, 3, 0}});
    longFace.insert(longFace.rfind(" 70\r\n"), comment);
    std::string longPoint = Grid(2, 3, SquareGridPoints(0));
    longPoint.insert(longPoint.rfind(" 10\r\n"), comment);
    std::string longHeader = Grid(2, 3, SquareGridPoints(0));
    longHeader.insert(longHeader.find(" 70\r\n"), comment);
    for (const std::string& entity : {longVertex, longFace, longPoint, longHeader}) {
        const auto tank = Import(Drawing(entity + next), kindTank);
        ExpectSameMeshes(*tank, *expected);
    }
    // The last record of a drawing cut short has no keyword after it.
    const std::string grid = Grid(2, 3, SquareGridPoints(0));
    const auto cut = Import(grid + grid.substr(0, grid.rfind("  0\r\nSEQEND")), kindTank);
    EXPECT_EQ(cut->GetCount(), 1);
}

TEST(CDxfFile, PolylineWithoutVerticesLeavesNextEntityWhole) {
    const std::string next = BoxPolyface(0, 0, 0, 2, 1, 1) + Grid(2, 3, SquareGridPoints(0));
    const auto expected = Import(Drawing(next), kindTank, "expected.dxf");
    for (int flags : {64, 16}) {
        const auto tank = Import(Drawing(PolylineHeader(flags, 0, 0) + Seqend() + next), kindTank);
        ExpectSameMeshes(*tank, *expected);
    }
}

TEST(CDxfFile, GridLargerThanTheRestOfTheFileIsSkipped) {
    const std::string points = VertexRecord(CVector3(1, 2, 3), 64) + Seqend();
    const std::string tail = Grid(2, 3, SquareGridPoints(9));
    for (auto [m, n] : {std::pair{INT_MAX, INT_MAX}, std::pair{100000, 100000},
                        std::pair{1000, 1000}, std::pair{2, INT_MAX}}) {
        const auto tank = Import(Drawing(PolylineHeader(16, m, n) + points + tail), kindTank);
        ASSERT_EQ(tank->GetCount(), 1) << m << " x " << n;
        EXPECT_EQ(Grid(*tank, 1).Item(0)->Z(), 9);
    }
    // A negative count leaves the grid empty; nothing is read into it.
    const auto negative = Import(Drawing(PolylineHeader(16, -3, -4) + points + tail), kindTank);
    ASSERT_EQ(negative->GetCount(), 2);
    EXPECT_EQ(negative->GetAt(1)->GetVertexCount(), 0);
    EXPECT_EQ(negative->GetAt(1)->GetFaceCount(), 0);
}

TEST(CDxfFile, FaceIndexOutsideVerticesResolvesToVertexOne) {
    std::string entity = Polyface(Square(), {{2, -1, 3, 0}, {2, 3, 77, 0}});
    entity.replace(entity.find("    77"), 6, "1E20");
    const auto tank = Import(Drawing(entity), kindTank);
    ASSERT_EQ(tank->GetCount(), 1);
    const CPolyfaceMesh& mesh = Polyface(*tank, 1);
    ExpectTriangle(mesh, 2, 2, 3, INT_MAX);
    CPointList face;
    mesh.GetFace(1, face);
    EXPECT_EQ(face.GetAt(2)->X(), 0); // vertex 1 is the origin
    mesh.GetFace(2, face);
    EXPECT_EQ(face.GetAt(3)->X(), 0);
    EXPECT_EQ(face.GetAt(3)->Y(), 0);
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

TEST(CDxfFile, ReadPolylineHeaderTruncatesTowardZeroAndNeedsVertexInWindow) {
    const std::string header =
        Group("  0", "POLYLINE") + Group(" 70", "64.9") + Group(" 71", "-2.7");
    auto file = Open(header + VertexRecord(CVector3(), 192), "header.dxf");
    int flags, m, n;
    ASSERT_TRUE(file->ReadPolylineHeader(flags, m, n));
    EXPECT_EQ(flags, 64);
    EXPECT_EQ(m, -2);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(file->GetPosition(), header.size() + 5); // at "VERTEX", after "  0\r\n"
    file = Open(header + std::string(1200, ' ') + "VERTEX", "far-vertex.dxf");
    EXPECT_FALSE(file->ReadPolylineHeader(flags, m, n));
    EXPECT_EQ(file->GetPosition(), 1000u);
}

// Every prefix of a drawing gives the first k meshes of the whole one, each
// whole, never a mesh made of half-read records.
TEST(CDxfFile, TruncatedDrawingGivesWholeMeshesOrNone) {
    const std::string full =
        Drawing(Polyface(Square(), {{1, 2, 3, 4}}) + Grid(2, 3, SquareGridPoints(1)));
    for (const std::string& text : {full, ToLf(full)}) {
        const auto whole = Import(text, kindTank, "whole.dxf");
        ASSERT_EQ(whole->GetCount(), 2);
        for (std::size_t length = 0; length <= text.size(); ++length) {
            for (int kind : {kindHull, kindTank}) {
                const auto part = Import(text.substr(0, length), kind, "prefix.dxf");
                ASSERT_LE(part->GetCount(), 2) << length;
                for (int m = 1; m <= part->GetCount(); ++m)
                    ExpectSameMesh(*part->GetAt(m), *whole->GetAt(m));
            }
        }
    }
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
    for (const std::string& text : drawings) {
        for (int kind : {kindHull, kindTank}) {
            const auto element = Import(text, kind, "damaged.dxf");
            CPointList face;
            for (int m = 1; m <= element->GetCount(); ++m)
                for (int i = 1; i <= element->GetAt(m)->GetFaceCount(); ++i)
                    element->GetAt(m)->GetFace(i, face);
        }
    }
    EXPECT_EQ(Import(drawings[3], kindTank)->GetCount(), 0);
}
