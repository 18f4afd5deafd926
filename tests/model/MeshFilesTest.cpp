// STL and OBJ files as other modellers write them (built here byte by byte,
// independently of our writers), damaged ones, the detection of a file's
// kind, and our own writers read back. The program keeps the size of the
// largest heap request, to show that a count in a file is never trusted.
#include "TestShips.h"
#include "support/ByteBuilder.h"

#include "model/MeshFiles.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {
std::atomic<std::size_t> g_largest_allocation{0};
}

void* operator new(std::size_t size) {
    std::size_t seen = g_largest_allocation.load();
    while (size > seen && !g_largest_allocation.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
// Out of line, so that the compiler does not pair a free it sees with the
// operator new of the library.
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using Triangle = std::array<CVector3, 3>;

// The 10 x 8 x 5 m box, 400 m^3, as 12 outward triangles.
std::vector<Triangle> BoxTriangles() {
    const auto box = BoxMesh(0, 0, 0, 10, 8, 5);
    std::vector<Triangle> out;
    CPointList face;
    for (int i = 1; i <= box->GetFaceCount(); ++i) {
        box->GetFace(i, face);
        out.push_back({*face.GetAt(1), *face.GetAt(2), *face.GetAt(3)});
    }
    return out;
}

std::string AsciiStl(const std::vector<Triangle>& triangles, const std::string& eol = "\n") {
    std::string out = "solid box" + eol;
    for (const Triangle& t : triangles) {
        out += "  facet normal 0 0 0" + eol + "    outer loop" + eol;
        for (const CVector3& p : t)
            out += FormatC("      vertex %.6e %.6e %.6e", p.X(), p.Y(), p.Z()) + eol;
        out += "    endloop" + eol + "  endfacet" + eol;
    }
    return out + "endsolid box" + eol;
}

ByteBuilder& F32(ByteBuilder& b, float v) {
    return b.Raw(&v, 4);
}

// A binary STL whose header starts with "solid", as many exporters write it.
ByteBuilder BinaryStl(const std::vector<Triangle>& triangles) {
    ByteBuilder b;
    char header[80] = "solid box exported by another modeller";
    b.Raw(header, sizeof header).U32(static_cast<std::uint32_t>(triangles.size()));
    for (const Triangle& t : triangles) {
        F32(F32(F32(b, 0), 0), 0);
        for (const CVector3& p : t)
            F32(F32(F32(b, static_cast<float>(p.X())), static_cast<float>(p.Y())),
                static_cast<float>(p.Z()));
        b.U8(0).U8(0);
    }
    return b;
}

// The box's corners as OBJ vertices: vertex k + 1 has x from bit 0, y from
// bit 1, z from bit 2 of k, as BoxMesh numbers them.
std::string ObjBoxVertices(double x0, double y0, double z0, double x1, double y1, double z1) {
    std::string out;
    for (int k = 0; k < 8; ++k)
        out += FormatC("v %g %g %g\n", k & 1 ? x1 : x0, k & 2 ? y1 : y0, k & 4 ? z1 : z0);
    return out;
}

// The six outward quads of those vertices, numbered from base + 1 (base -9
// counts back from the last vertex read).
std::string ObjBoxQuads(int base) {
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    std::string out;
    for (const auto& q : quads) {
        out += "f";
        for (int k : q)
            out += FormatC(" %d", base + k);
        out += "\n";
    }
    return out;
}

std::string Write(const std::string& name, const std::string& text) {
    const std::string path = TestPath(name);
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
    return path;
}

std::string Write(const std::string& name, const ByteBuilder& b) {
    const std::string path = TestPath(name);
    WriteBytes(path, b.bytes);
    return path;
}

double Volume(std::unique_ptr<CPolyfaceMesh> mesh) {
    CShipElement e;
    e.Append(std::move(mesh));
    return e.Volume();
}

double Volume(std::vector<std::unique_ptr<CPolyfaceMesh>> meshes) {
    CShipElement e;
    for (auto& m : meshes)
        e.Append(std::move(m));
    return e.Volume();
}

// The exception's detail when reading path with read throws the damaged
// kind; a failure otherwise.
template <class Read> std::string DamageOf(Read read, const std::string& path) {
    try {
        read(path);
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::damaged) << e.what();
        EXPECT_EQ(e.m_file_name, path);
        return e.m_detail;
    }
    ADD_FAILURE() << path << " was read without complaint";
    return {};
}

std::string StlDamage(const std::string& name, const std::string& text) {
    return DamageOf(ReadStl, Write(name, text));
}
std::string ObjDamage(const std::string& name, const std::string& text) {
    return DamageOf(ReadObj, Write(name, text));
}

void ExpectSameTriangles(const CPolyfaceMesh& mesh, const std::vector<Triangle>& triangles) {
    ASSERT_EQ(mesh.GetFaceCount(), static_cast<int>(triangles.size()));
    CPointList face;
    for (int i = 1; i <= mesh.GetFaceCount(); ++i) {
        mesh.GetFace(i, face);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(face.GetAt(k + 1)->X(), triangles[i - 1][k].X()) << i << "," << k;
            EXPECT_EQ(face.GetAt(k + 1)->Y(), triangles[i - 1][k].Y()) << i << "," << k;
            EXPECT_EQ(face.GetAt(k + 1)->Z(), triangles[i - 1][k].Z()) << i << "," << k;
        }
    }
}

} // namespace

TEST(StlFiles, BoxReadsBackFromAsciiAndBinaryWithSharedVerticesAndFileOrder) {
    const auto box = BoxTriangles();
    auto ascii = ReadStl(Write("box-ascii.stl", AsciiStl(box, "\r\n")));
    auto binary = ReadStl(Write("box-binary.stl", BinaryStl(box)));
    for (auto* mesh : {ascii.get(), binary.get()}) {
        EXPECT_EQ(mesh->GetVertexCount(), 8);
        ExpectSameTriangles(*mesh, box);
    }
    EXPECT_DOUBLE_EQ(Volume(std::move(ascii)), 400);
    EXPECT_DOUBLE_EQ(Volume(std::move(binary)), 400);

    // -0 is the same coordinate as 0; upper-case keywords are read too.
    std::string text = AsciiStl(box);
    for (const char* from : {"solid", "facet", "vertex", "endloop", "endfacet"}) {
        std::string upper = from;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(c));
        text.replace(text.find(from), std::strlen(from), upper);
    }
    text.replace(text.find("vertex 0.000000e+00"), 19, "vertex -0.0");
    const auto signedZero = ReadStl(Write("box-minus-zero.stl", text));
    EXPECT_EQ(signedZero->GetVertexCount(), 8);
    EXPECT_DOUBLE_EQ(Volume(ReadStl(Write("box-minus-zero.stl", text))), 400);
}

TEST(StlFiles, BinaryWhoseSizeDoesNotMatchItsCountIsRefusedBeforeAllocating) {
    const auto box = BoxTriangles();
    ByteBuilder truncated = BinaryStl(box);
    truncated.bytes.resize(truncated.bytes.size() - 30);
    EXPECT_NE(DamageOf(ReadStl, Write("truncated.stl", truncated)).find("12 triangles"),
              std::string::npos);

    ByteBuilder padded = BinaryStl(box);
    padded.U8(0);
    EXPECT_NE(DamageOf(ReadStl, Write("padded.stl", padded)).find("685"), std::string::npos);

    // Two triangles' bytes under a count of 4e9: nothing near 200 GB (nor
    // the 48 GB of the triangles alone) may be asked for.
    ByteBuilder claims = BinaryStl({box[0], box[1]});
    const std::uint32_t huge = 4000000000u;
    std::memcpy(claims.bytes.data() + 80, &huge, 4);
    const std::string path = Write("claims-more.stl", claims);
    g_largest_allocation = 0;
    const std::string detail = DamageOf(ReadStl, path);
    EXPECT_LT(g_largest_allocation.load(), 4096u);
    EXPECT_NE(detail.find("4000000000 triangles"), std::string::npos) << detail;
}

TEST(StlFiles, TextWithAStrayNulIsSaidToBeNeitherKind) {
    std::string text = AsciiStl(BoxTriangles());
    const std::size_t at = text.find("outer loop") + 5;
    text[at] = '\0';
    const std::string detail = StlDamage("stray-nul.stl", text);
    EXPECT_EQ(detail.rfind("not an STL file, neither ASCII (the text starts with 'solid' but holds "
                           "a NUL byte at byte " +
                               std::to_string(at) + ") nor binary (a count of ",
                           0),
              0u)
        << detail;
}

TEST(StlFiles, EmptyFiles) {
    EXPECT_EQ(
        ReadStl(Write("empty-solid.stl", "solid nothing\nendsolid nothing\n"))->GetFaceCount(), 0);
    EXPECT_EQ(ReadStl(Write("empty-binary.stl", BinaryStl({})))->GetFaceCount(), 0);
    EXPECT_NE(StlDamage("zero-bytes.stl", "").find("empty"), std::string::npos);
    EXPECT_NE(StlDamage("short.stl", "not an stl").find("not an STL"), std::string::npos);
}

TEST(StlFiles, NonFiniteCoordinatesAreRefused) {
    const auto box = BoxTriangles();
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()}) {
        ByteBuilder b = BinaryStl(box);
        // Triangle 5, corner 2, y.
        std::memcpy(b.bytes.data() + 84 + 4 * 50 + 12 + 12 + 4, &bad, 4);
        EXPECT_NE(DamageOf(ReadStl, Write("nan.stl", b)).find("triangle 5"), std::string::npos);
    }
    std::string text = AsciiStl(box);
    text.replace(text.find("vertex 0.000000e+00"), 19, "vertex inf");
    EXPECT_NE(StlDamage("inf.stl", text).find("line 4: a coordinate is not finite"),
              std::string::npos);
    // A normal is not used: exporters write nan for a degenerate facet.
    text = AsciiStl(box);
    text.replace(text.find("normal 0 0 0"), 12, "normal nan nan nan");
    EXPECT_EQ(ReadStl(Write("nan-normal.stl", text))->GetFaceCount(), 12);
}

TEST(StlFiles, NumbersTooSmallForADoubleReadAsZeroAndTooLargeOnesAreOutOfRange) {
    std::string text = AsciiStl(BoxTriangles());
    text.replace(text.find("vertex 0.000000e+00"), 19, "vertex -1e-400");
    text.replace(text.find("normal 0 0 0"), 12, "normal 1e-999 0 0");
    const auto mesh = ReadStl(Write("underflow.stl", text));
    EXPECT_EQ(mesh->GetVertexCount(), 8);
    EXPECT_DOUBLE_EQ(Volume(ReadStl(Write("underflow.stl", text))), 400);
    text.replace(text.find("vertex -1e-400"), 14, "vertex -1e400");
    EXPECT_NE(StlDamage("overflow.stl", text).find("line 4: '-1e400' is out of range"),
              std::string::npos)
        << StlDamage("overflow.stl", text);
    EXPECT_EQ(ReadObj(Write("underflow.obj", "v 0 0 1e-400\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"))
                  .at(0)
                  ->GetVertex(1)
                  ->Z(),
              0);
}

TEST(StlFiles, BrokenAsciiStructureNamesTheLine) {
    const std::string facet = "facet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                              "vertex 0 1 0\nendloop\nendfacet\n";
    ASSERT_EQ(ReadStl(Write("one.stl", "solid a\n" + facet + "endsolid a\n"))->GetFaceCount(), 1);
    const struct {
        std::string text, detail;
    } cases[] = {
        {"solid a\n" + facet, "the file ends at line 8 before 'endsolid'"},
        {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nendloop\n",
         "line 6: a facet has 2 vertices instead of 3"},
        {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
         "vertex 1 1 0\n",
         "line 7: a facet has more than 3 vertices"},
        {"solid a\nfacet normal 0 0 1\nvertex 0 0 0\n", "line 3: expected 'outer loop'"},
        {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0\n", "line 4: 'vertex' needs 3"},
        {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 1,5\n", "line 4: '1,5' is not a"},
        {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 1 2\n", "line 4: 'vertex' takes 3"},
        {"solid a\nfacet 0 0 1\n", "line 2: expected 'facet normal'"},
        {"solid a\n" + facet + "endloop\n", "line 9: expected 'facet' or 'endsolid'"},
        {"solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
         "endloop\nendsolid a\n",
         "line 8: expected 'endfacet'"},
    };
    for (const auto& c : cases)
        EXPECT_NE(StlDamage("broken.stl", c.text).find(c.detail), std::string::npos)
            << c.text << "\n-> " << StlDamage("broken.stl", c.text);
}

TEST(ObjFiles, BoxOfQuadsReadsBackWithTheQuadsSplitFromTheFirstCorner) {
    // Corners in each of the forms, with comments, texture and normal lines,
    // and lines of kinds that are passed over.
    std::string text = "# a box\nmtllib box.mtl\n" + ObjBoxVertices(0, 0, 0, 10, 8, 5) +
                       "vt 0 0\nvt 1 0\nvn 0 0 1\nusemtl grey\ns off\n";
    text += "f 1/1 3/2 4/1 2/2\nf 5//1 6//1 8//1 7//1\nf 1/1/1 2/2/1 6/1/1 5/2/1\n";
    text += "f 3 7 8 4\nf 1 5 7 3\nf 2 4 8 6\nl 1 2\n";
    auto meshes = ReadObj(Write("box.obj", text));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0]->GetVertexCount(), 8);
    // The same triangles, in the same order, as BoxMesh splits its quads.
    ExpectSameTriangles(*meshes[0], BoxTriangles());
    EXPECT_DOUBLE_EQ(Volume(std::move(meshes)), 400);

    // A pentagon is fanned: (1, 2, 3), (1, 3, 4), (1, 4, 5).
    auto fan = ReadObj(Write("pentagon.obj", "v 0 0 0\nv 1 0 0\nv 2 1 0\nv 1 2 0\nv 0 1 0\n"
                                             "f 1 2 3 4 5\n"));
    ASSERT_EQ(fan.size(), 1u);
    ASSERT_EQ(fan[0]->GetFaceCount(), 3);
    EXPECT_EQ(fan[0]->GetFaceIndices(3)->v[0], 1);
    EXPECT_EQ(fan[0]->GetFaceIndices(3)->v[1], 4);
    EXPECT_EQ(fan[0]->GetFaceIndices(3)->v[2], 5);
}

TEST(ObjFiles, EachObjectOrGroupWithFacesIsAMeshOfItsOwnVertices) {
    // Faces before any o/g, then two objects (the first with an empty group
    // line before it), the last with indices counted back; a repeated
    // vertex is shared within a mesh.
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 0 0\nf 1 2 3\nf 1 4 3\n";
    text += "o hull\ng hull\n" + ObjBoxVertices(0, 0, 0, 10, 8, 5) + ObjBoxQuads(4);
    text += "g tank\n" + ObjBoxVertices(1, 1, 1, 3, 2, 2) + ObjBoxQuads(-9);
    text += "o nothing\n";
    auto meshes = ReadObj(Write("groups.obj", text));
    ASSERT_EQ(meshes.size(), 3u);
    EXPECT_EQ(meshes[0]->GetVertexCount(), 3);
    EXPECT_EQ(meshes[0]->GetFaceCount(), 2);
    for (int m : {1, 2}) {
        EXPECT_EQ(meshes[m]->GetVertexCount(), 8);
        EXPECT_EQ(meshes[m]->GetFaceCount(), 12);
    }
    EXPECT_DOUBLE_EQ(Volume(std::move(meshes[1])), 400);
    EXPECT_DOUBLE_EQ(Volume(std::move(meshes[2])), 2);
    EXPECT_TRUE(ReadObj(Write("no-faces.obj", "# nothing\nv 1 2 3\n")).empty());
}

TEST(ObjFiles, DamageNamesTheLine) {
    const std::string square = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
    const struct {
        std::string text, detail;
    } cases[] = {
        {square + "f 1 2 5\n",
         "line 5: face corner '5': vertex index 5 out of range (4 read so far)"},
        {square + "f 1 2 0\n", "line 5: face corner '0': vertex index 0 out of range"},
        {square + "f -1 -2 -5\n", "line 5: face corner '-5'"},
        {"v 0 0 0\nf 1 2 3\nv 1 0 0\nv 1 1 0\n", "line 2: face corner '2'"},
        {square + "f 1/1 2/1 3/1\n", "line 5: face corner '1/1': texture index 1 out of range"},
        {square + "vn 0 0 1\nf 1//1 2//2 3//1\n",
         "line 6: face corner '2//2': normal index 2 out of range"},
        {square + "f 1/ 2 3\n", "line 5: face corner '1/' is not v, v/vt"},
        {square + "f 1 2 3 a\n", "line 5: face corner 'a': 'a' is not an index"},
        {square + "f 1 2\n", "line 5: a face needs 3 corners, this one has 2"},
        {"v 0 0 0\nv 1 0 x\n", "line 2: 'x' is not a number"},
        {"v 0 0 0\nv 1 0\n", "line 2: a vertex needs 3 coordinates"},
        {"v 0 0 0\nv 1 nan 0\n", "line 2: a coordinate is not finite"},
        {"v 0 0 0\nv 1 1e999 0\n", "line 2: '1e999' is out of range (beyond 1.79769e+308)"},
        {"v 0 0 0\nv 1 0 0 red\n", "line 2: 'red' is not a number"},
    };
    for (const auto& c : cases)
        EXPECT_NE(ObjDamage("broken.obj", c.text).find(c.detail), std::string::npos)
            << c.text << "\n-> " << ObjDamage("broken.obj", c.text);
}

TEST(MeshFileKinds, ContentDecidesBeforeTheExtension) {
    const auto box = BoxTriangles();
    const std::string dxf =
        "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n  0\r\nEOF\r\n";
    const std::string obj = "# exported\nmtllib x.mtl\no box\n" + ObjBoxVertices(0, 0, 0, 1, 1, 1);
    EXPECT_EQ(DetectMeshFile(Write("ascii.txt", AsciiStl(box))), CMeshFileKind::stlAscii);
    // The header of this binary file starts with "solid".
    EXPECT_EQ(DetectMeshFile(Write("binary.obj", BinaryStl(box))), CMeshFileKind::stlBinary);
    EXPECT_EQ(DetectMeshFile(Write("drawing.stl", dxf)), CMeshFileKind::dxf);
    EXPECT_EQ(DetectMeshFile(Write("mesh.dat", obj)), CMeshFileKind::obj);

    // Content that says nothing: the extension, in any case.
    ByteBuilder cut = BinaryStl(box);
    cut.bytes.resize(200);
    EXPECT_EQ(DetectMeshFile(Write("cut.STL", cut)), CMeshFileKind::stlBinary);
    EXPECT_EQ(DetectMeshFile(Write("cut.bin", cut)), CMeshFileKind::unknown);
    EXPECT_EQ(DetectMeshFile(Write("blank.obj", "\n")), CMeshFileKind::obj);
    EXPECT_EQ(DetectMeshFile(Write("blank.Dxf", "")), CMeshFileKind::dxf);
    EXPECT_EQ(DetectMeshFile(Write("solid.stl", "solid x\n")), CMeshFileKind::stlAscii);
    EXPECT_EQ(DetectMeshFile(Write("notes.txt", "solid ground\nvertical\n")),
              CMeshFileKind::unknown);

    try {
        DetectMeshFile(TestPath("missing.stl"));
        ADD_FAILURE() << "a missing file was detected";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
}

TEST(MeshFileWriters, PolyfaceAndGridMeshesReadBackToTheSameVolume) {
    // Coordinates that float and short decimals cannot hold exactly.
    CShipElement element;
    element.SetName("Hull 1");
    AddGridBox(element, {0.1, -4.3, 0}, {20.7, 4.3, 1.0 / 3}, 4, 3, 2);
    element.Append(BoxMesh(30, -2, 0, 40, 2, 3));
    auto inverted = BoxMesh(31, -1, 1, 32, 1, 2); // inwards: its volume counts negative
    inverted->InvertNormals();
    element.Append(std::move(inverted));
    const double volume = element.Volume();
    ASSERT_NEAR(volume, 20.6 * 8.6 / 3 + 120 - 2, 1e-9);

    const std::string objPath = TestPath("export.obj");
    WriteFileAtomically(objPath, [&](CFile& file) { WriteObj(element, file); });
    auto meshes = ReadObj(objPath);
    ASSERT_EQ(meshes.size(), 8u);
    EXPECT_EQ(meshes[0]->GetFaceCount(), 2 * 4 * 3); // the grid's quads as two triangles
    EXPECT_EQ(meshes[0]->GetVertexCount(), 5 * 4);
    EXPECT_EQ(meshes[0]->GetVertex(1)->X(), 0.1); // exactly
    EXPECT_EQ(meshes[6]->GetFaceCount(), 12);
    EXPECT_NEAR(Volume(std::move(meshes)), volume, 1e-12 * volume);
    const std::vector<unsigned char> obj = ReadBytes(objPath);
    const std::string objText(obj.begin(), obj.end());
    EXPECT_NE(objText.find("\no Hull_1_7\n"), std::string::npos);
    EXPECT_NE(objText.find("\nv " + FormatC("%.17g %.17g 0", 0.1, -4.3) + "\n"), std::string::npos);

    const std::string stlPath = TestPath("export.stl");
    WriteFileAtomically(stlPath, [&](CFile& file) { WriteStl(element, file); });
    EXPECT_EQ(DetectMeshFile(stlPath), CMeshFileKind::stlBinary);
    auto mesh = ReadStl(stlPath);
    EXPECT_EQ(mesh->GetFaceCount(), 2 * 52 + 2 * 12); // 52 quads, two boxes
    // Float coordinates: about 7 digits.
    EXPECT_NEAR(Volume(std::move(mesh)), volume, 1e-6 * volume);

    const std::vector<unsigned char> stl = ReadBytes(stlPath);
    EXPECT_EQ(std::string(stl.begin(), stl.begin() + 22), "Brelund element Hull 1");
    // The first triangle is on the grid box's bottom: its normal is -z.
    float normal[3];
    std::memcpy(normal, stl.data() + 84, sizeof normal);
    EXPECT_EQ(normal[0], 0);
    EXPECT_EQ(normal[1], 0);
    EXPECT_EQ(normal[2], -1);
}

TEST(MeshFileWriters, DegenerateTriangleHasAZeroNormal) {
    CShipElement element;
    auto flat = std::make_unique<CPolyfaceMesh>();
    flat->Allocate(3, 1);
    flat->GetVertex(2)->Set(1, 1, 1);
    flat->GetVertex(3)->Set(2, 2, 2);
    flat->SetFace(1, 1, 2, 3);
    element.Append(std::move(flat));
    const std::string path = TestPath("degenerate.stl");
    WriteFileAtomically(path, [&](CFile& file) { WriteStl(element, file); });
    const std::vector<unsigned char> stl = ReadBytes(path);
    ASSERT_EQ(stl.size(), 84u + 50u);
    float values[12];
    std::memcpy(values, stl.data() + 84, sizeof values);
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], 0);
    EXPECT_EQ(values[2], 0);
    EXPECT_EQ(values[9], 2); // the third corner's x
}
