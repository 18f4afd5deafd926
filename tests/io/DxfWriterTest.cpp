// The text the writer leaves, byte for byte, and what survives a round trip
// through a drawing.
#include "DxfText.h"
#include "model/TestShips.h"

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"

#include <clocale>

using namespace dxftext;

namespace {

const char* const kHead = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
const char* const kTail = "  0\r\nENDSEC\r\n  0\r\nEOF";

// The drawing written by write between the head and the tail.
template <class Write> std::string Written(const std::string& name, Write write) {
    const std::string path = TestPath(name);
    {
        CDxfFile file(path, CFile::modeWrite | CFile::modeCreate);
        file.WriteHead();
        write(file);
        file.WriteTail();
        file.Close();
    }
    return ReadText(path);
}

std::string Body(const std::string& drawing) {
    const std::size_t head = std::string(kHead).size(), tail = std::string(kTail).size();
    EXPECT_EQ(drawing.substr(0, head), kHead);
    EXPECT_EQ(drawing.substr(drawing.size() - tail), kTail);
    return drawing.substr(head, drawing.size() - head - tail);
}

std::unique_ptr<CShipElement> RoundTrip(const CShipElement& element, int kind) {
    const std::string drawing = Written("roundtrip.dxf", [&](CDxfFile& file) {
        for (int m = 1; m <= element.GetCount(); ++m)
            element.GetAt(m)->ExportDxf(file);
    });
    return Import(drawing, kind);
}

} // namespace

TEST(CDxfFile, EmptyDrawingIsEightLinesWithoutFinalLineEnd) {
    EXPECT_EQ(Written("empty.dxf", [](CDxfFile&) {}),
              "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF");
}

TEST(CDxfFile, WritesLineWithAndWithoutColour) {
    const std::string body = Body(Written("line.dxf", [](CDxfFile& file) {
        file.WriteLine(CVector3(1, 2, 3), CVector3(4, 5, 6));
        file.WriteLine(CVector3(-0.125, 1.0 / 3, 0), CVector3(1e6, 0, -2), 1);
    }));
    EXPECT_EQ(body, "  0\r\nLINE\r\n  8\r\nDEFAULT\r\n"
                    "  10\r\n1.00000000\r\n  20\r\n2.00000000\r\n  30\r\n3.00000000\r\n"
                    "  11\r\n4.00000000\r\n  21\r\n5.00000000\r\n  31\r\n6.00000000\r\n"
                    "  0\r\nLINE\r\n  8\r\nDEFAULT\r\n  62\r\n1\r\n"
                    "  10\r\n-0.12500000\r\n  20\r\n0.33333333\r\n  30\r\n0.00000000\r\n"
                    "  11\r\n1000000.00000000\r\n  21\r\n0.00000000\r\n  31\r\n-2.00000000\r\n");
}

TEST(CDxfFile, WritesPolylineHeaderOfEachKind) {
    const std::string common = "  0\r\nPOLYLINE\r\n  8\r\nDEFAULT\r\n 66\r\n1\r\n"
                               " 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0\r\n 70\r\n";
    EXPECT_EQ(Body(Written("headers.dxf",
                           [](CDxfFile& file) {
                               file.WriteGridHeader(3, 4);
                               file.WritePolyfaceHeader(8, 12);
                               file.BeginPolyline(0, 5, 6);
                               file.EndPolyline();
                           })),
              common + "   16\r\n 71\r\n3\r\n 72\r\n4\r\n" + common +
                  "   64\r\n 71\r\n8\r\n 72\r\n12\r\n" + common + " 8\r\n" +
                  " 0\r\nSEQEND\r\n  8\r\nDEFAULT\r\n");
}

TEST(CDxfFile, WritesVertexOfEachKindWithEightSignificantDigits) {
    const std::string body = Body(Written("vertices.dxf", [](CDxfFile& file) {
        file.WritePolyfaceVertex(CVector3(0.5, 123456789, -0.000012345678));
        file.WriteGridVertex(CVector3(12345678, 0.0001, 100000000));
        file.WriteVertex(CVector3(-2.25, 0, 1), 0, 7, 7, 7, 7);
        file.WritePolyfaceFace(1, 2, 3, 0);
        file.WritePolyfaceFace(4, 5, 6, 7);
        file.WritePolyfaceFace(1, 2, 3, -1);
        // A face with a corner at 0 or below cannot be drawn: nothing written.
        file.WritePolyfaceFace(0, 2, 3, 4);
        file.WritePolyfaceFace(1, -2, 3, 0);
        file.WritePolyfaceFace(1, 2, 0, 0);
    }));
    const std::string head = " 0\r\nVERTEX\r\n 8\r\nDEFAULT\r\n";
    const std::string origin = head + " 10\r\n0\r\n 20\r\n0\r\n 30\r\n0\r\n 70\r\n   128\r\n";
    EXPECT_EQ(
        body,
        head + " 10\r\n0.5\r\n 20\r\n1.2345679E+08\r\n 30\r\n-1.2345678E-05\r\n 70\r\n   192\r\n" +
            head + " 10\r\n12345678\r\n 20\r\n0.0001\r\n 30\r\n1E+08\r\n 70\r\n   64\r\n" + head +
            " 10\r\n-2.25\r\n 20\r\n0\r\n 30\r\n1\r\n 70\r\n   32\r\n" + origin +
            " 71\r\n1\r\n 72\r\n2\r\n 73\r\n3\r\n" + origin +
            " 71\r\n4\r\n 72\r\n5\r\n 73\r\n6\r\n 74\r\n7\r\n" + origin +
            " 71\r\n1\r\n 72\r\n2\r\n 73\r\n3\r\n");
}

TEST(CDxfFile, WriteHeadEmptiesLongerExistingFile) {
    const std::string path = TestPath("reused.dxf");
    WriteText(path, std::string(5000, '#'));
    {
        CDxfFile file(path, CFile::modeReadWrite); // opened without truncating
        file.Seek(100, CFile::begin);
        file.WriteHead();
        file.SeekToBegin(); // entities still go to the end
        file.WriteLine(CVector3(), CVector3());
        file.WriteTail();
    }
    const std::string text = ReadText(path);
    EXPECT_EQ(text.find('#'), std::string::npos);
    EXPECT_EQ(text.substr(0, std::string(kHead).size() + 9), std::string(kHead) + "  0\r\nLINE");
    // LINE: "  0" LINE, "  8" DEFAULT, then six groups of "  10" and "0.00000000".
    EXPECT_EQ(text.size(), std::string(kHead).size() + (5 + 6) + (5 + 9) + 6 * (6 + 12) +
                               std::string(kTail).size());
}

TEST(CDxfFile, NumbersKeepDecimalPointUnderCommaLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "it_IT.UTF-8"), nullptr)
        << "the it_IT.UTF-8 locale is missing";
    const std::string body = Body(Written("comma.dxf", [](CDxfFile& file) {
        file.WriteLine(CVector3(1.5, 0, 0), CVector3(0, 0, 0));
        file.WritePolyfaceVertex(CVector3(0.25, 0, 0));
    }));
    const auto tank = Import(Drawing(BoxPolyface(0, 0, 0, 0.5, 1.5, 2.25)), kindTank);
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(body.find("\r\n1.50000000\r\n"), std::string::npos);
    EXPECT_NE(body.find("\r\n0.25\r\n"), std::string::npos);
    ASSERT_EQ(tank->GetCount(), 1);
    EXPECT_EQ(tank->GetAt(1)->GetVertex(8)->Z(), 2.25);
    EXPECT_EQ(tank->GetAt(1)->GetVertex(8)->Y(), 1.5);
}

TEST(CDxfFile, ExportThenImportGivesSameMeshes) {
    CShipElement element;
    element.Append(BoxMesh(0, -4, 0, 30, 4, 3));
    element.Append(SmallGrid());
    element.Append(BoxMesh(-1.5, 0.125, 2, 2.75, 1, 3.5));
    for (int kind : {kindHull, kindTank}) {
        const auto back = RoundTrip(element, kind);
        ExpectSameMeshes(*back, element);
        EXPECT_EQ(back->Volume(), element.Volume());
    }
}

TEST(CDxfFile, ExportKeepsEightSignificantDigits) {
    CShipElement element;
    auto* grid = static_cast<CGridMesh*>(element.Append(std::make_unique<CGridMesh>()));
    grid->Resize(2, 2); // a grid with a face, or it would be no mesh
    grid->Item(0)->Set(1.23456789012, 123456789, -3.14159265358979e-7);
    grid->Item(1)->Set(0.1, 99999999.5, 1e-300);
    const auto back = RoundTrip(element, kindTank);
    ASSERT_EQ(back->GetCount(), 1);
    const CVector3& a = *back->GetAt(1)->GetVertex(0);
    const CVector3& b = *back->GetAt(1)->GetVertex(1);
    EXPECT_EQ(a.X(), 1.2345679);
    EXPECT_EQ(a.Y(), 123456790);
    EXPECT_EQ(a.Z(), -3.1415927e-07);
    EXPECT_EQ(b.X(), 0.1);
    EXPECT_EQ(b.Y(), 1e8);
    EXPECT_EQ(b.Z(), 1e-300);
}

TEST(CDxfFile, InvertedGridComesBackWithOrientationTrue) {
    CShipElement element;
    element.Append(SmallGrid())->InvertNormals();
    const auto back = RoundTrip(element, kindTank);
    ASSERT_EQ(back->GetCount(), 1);
    EXPECT_TRUE(back->GetAt(1)->GetOrientation());
    // Same points, but every quad now runs the other way: corners 2 and 4 swap.
    CPointList before, after;
    for (int i = 1; i <= 2; ++i) {
        element.GetAt(1)->GetFace(i, before);
        back->GetAt(1)->GetFace(i, after);
        for (int k : {1, 3})
            EXPECT_EQ(after.GetAt(k)->X(), before.GetAt(k)->X());
        EXPECT_EQ(after.GetAt(2)->X(), before.GetAt(4)->X());
        EXPECT_EQ(after.GetAt(2)->Y(), before.GetAt(4)->Y());
        EXPECT_EQ(after.GetAt(4)->Y(), before.GetAt(2)->Y());
    }
    EXPECT_EQ(back->Volume(), -element.Volume());
}

TEST(CDxfFile, ExportDropsPolyfaceFacesWithIndexAtZeroOrBelow) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(3, 4);
    mesh->GetVertex(2)->Set(1, 0, 0);
    mesh->GetVertex(3)->Set(0, 1, 0);
    mesh->SetFace(1, 1, 2, 3);
    mesh->SetFace(2, 0, 1, 2);
    mesh->SetFace(3, 3, -1, 2);
    mesh->SetFace(4, 3, 2, 1);
    CPolyfaceMesh* written = mesh.get();
    CShipElement element;
    element.Append(std::move(mesh));
    const auto back = RoundTrip(element, kindTank);
    ASSERT_EQ(back->GetCount(), 1);
    const auto& read = dynamic_cast<const CPolyfaceMesh&>(*back->GetAt(1));
    ASSERT_EQ(read.GetFaceCount(), 2);
    const int expected[2][3] = {{1, 2, 3}, {3, 2, 1}};
    for (int i = 1; i <= 2; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(read.GetFaceIndices(i)->v[k], expected[i - 1][k]) << i;
    EXPECT_EQ(read.GetVertex(3)->Y(), 1);
    // An index beyond the vertices can be drawn, so it is written as it is;
    // reading it back is refused.
    written->SetFace(4, 1, 2, 7);
    const std::string drawing =
        Written("beyond.dxf", [&](CDxfFile& file) { written->ExportDxf(file); });
    EXPECT_NE(drawing.find(" 73\r\n7\r\n"), std::string::npos);
    EXPECT_NE(Refusal(drawing, kindTank).find("face index 7 outside 1..3"), std::string::npos);
}
