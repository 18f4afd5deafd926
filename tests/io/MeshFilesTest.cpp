// STL and OBJ files as other modellers write them (built here byte by byte,
// independently of our writers), damaged ones, and the detection of a
// file's kind. The program keeps the size of the largest heap request, to
// show that a count in a file is never trusted.
#include "support/ByteBuilder.h"

#include "io/MeshFileKind.h"
#include "io/ObjReader.h"
#include "io/StlReader.h"
#include "platform/CFileException.h"
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

// The six outward quads of a box's corners: corner k + 1 has x from bit 0,
// y from bit 1, z from bit 2 of k.
constexpr int kBoxQuads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                                 {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};

// The 10 x 8 x 5 m box, 400 m^3, as 12 outward triangles, each quad split
// from its first corner.
std::vector<Triangle> BoxTriangles() {
    const auto corner = [](int k) {
        --k;
        return CVector3(k & 1 ? 10 : 0, k & 2 ? 8 : 0, k & 4 ? 5 : 0);
    };
    std::vector<Triangle> out;
    for (const auto& q : kBoxQuads) {
        out.push_back({corner(q[0]), corner(q[1]), corner(q[2])});
        out.push_back({corner(q[0]), corner(q[2]), corner(q[3])});
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
    std::string out;
    for (const auto& q : kBoxQuads) {
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

// The volume the triangles enclose: the sum of a . (b x c) / 6.
double Volume(const CTriangleArrays& mesh) {
    double sum = 0;
    for (const CFaceIndices& f : mesh.faces) {
        const CVector3& a = mesh.vertices.at(static_cast<std::size_t>(f.v[0] - 1));
        CVector3 bc;
        bc.Cross(mesh.vertices.at(static_cast<std::size_t>(f.v[1] - 1)),
                 mesh.vertices.at(static_cast<std::size_t>(f.v[2] - 1)));
        sum += a.X() * bc.X() + a.Y() * bc.Y() + a.Z() * bc.Z();
    }
    return sum / 6;
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
    return DamageOf(ReadStlFile, Write(name, text));
}
std::string ObjDamage(const std::string& name, const std::string& text) {
    return DamageOf(ReadObjFile, Write(name, text));
}

void ExpectSameTriangles(const CTriangleArrays& mesh, const std::vector<Triangle>& triangles) {
    ASSERT_EQ(mesh.faces.size(), triangles.size());
    for (std::size_t i = 0; i < mesh.faces.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            const CVector3& p = mesh.vertices.at(static_cast<std::size_t>(mesh.faces[i].v[k] - 1));
            EXPECT_EQ(p.X(), triangles[i][k].X()) << i << "," << k;
            EXPECT_EQ(p.Y(), triangles[i][k].Y()) << i << "," << k;
            EXPECT_EQ(p.Z(), triangles[i][k].Z()) << i << "," << k;
        }
    }
}

} // namespace

TEST(StlFiles, BoxReadsBackFromAsciiAndBinaryWithSharedVerticesAndFileOrder) {
    const auto box = BoxTriangles();
    const auto ascii = ReadStlFile(Write("box-ascii.stl", AsciiStl(box, "\r\n")));
    const auto binary = ReadStlFile(Write("box-binary.stl", BinaryStl(box)));
    for (const CTriangleArrays* mesh : {&ascii, &binary}) {
        EXPECT_EQ(mesh->vertices.size(), 8u);
        ExpectSameTriangles(*mesh, box);
        EXPECT_DOUBLE_EQ(Volume(*mesh), 400);
    }

    // -0 is the same coordinate as 0; upper-case keywords are read too.
    std::string text = AsciiStl(box);
    for (const char* from : {"solid", "facet", "vertex", "endloop", "endfacet"}) {
        std::string upper = from;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(c));
        text.replace(text.find(from), std::strlen(from), upper);
    }
    text.replace(text.find("vertex 0.000000e+00"), 19, "vertex -0.0");
    const auto signedZero = ReadStlFile(Write("box-minus-zero.stl", text));
    EXPECT_EQ(signedZero.vertices.size(), 8u);
    EXPECT_DOUBLE_EQ(Volume(signedZero), 400);
}

TEST(StlFiles, BinaryWhoseSizeDoesNotMatchItsCountIsRefusedBeforeAllocating) {
    const auto box = BoxTriangles();
    ByteBuilder truncated = BinaryStl(box);
    truncated.bytes.resize(truncated.bytes.size() - 30);
    EXPECT_NE(DamageOf(ReadStlFile, Write("truncated.stl", truncated)).find("12 triangles"),
              std::string::npos);

    ByteBuilder padded = BinaryStl(box);
    padded.U8(0);
    EXPECT_NE(DamageOf(ReadStlFile, Write("padded.stl", padded)).find("685"), std::string::npos);

    // Two triangles' bytes under a count of 4e9: nothing near 200 GB (nor
    // the 48 GB of the triangles alone) may be asked for.
    ByteBuilder claims = BinaryStl({box[0], box[1]});
    const std::uint32_t huge = 4000000000u;
    std::memcpy(claims.bytes.data() + 80, &huge, 4);
    const std::string path = Write("claims-more.stl", claims);
    g_largest_allocation = 0;
    const std::string detail = DamageOf(ReadStlFile, path);
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
    EXPECT_TRUE(
        ReadStlFile(Write("empty-solid.stl", "solid nothing\nendsolid nothing\n")).faces.empty());
    EXPECT_TRUE(ReadStlFile(Write("empty-binary.stl", BinaryStl({}))).faces.empty());
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
        EXPECT_NE(DamageOf(ReadStlFile, Write("nan.stl", b)).find("triangle 5"), std::string::npos);
    }
    std::string text = AsciiStl(box);
    text.replace(text.find("vertex 0.000000e+00"), 19, "vertex inf");
    EXPECT_NE(StlDamage("inf.stl", text).find("line 4: a coordinate is not finite"),
              std::string::npos);
    // A normal is not used: exporters write nan for a degenerate facet.
    text = AsciiStl(box);
    text.replace(text.find("normal 0 0 0"), 12, "normal nan nan nan");
    EXPECT_EQ(ReadStlFile(Write("nan-normal.stl", text)).faces.size(), 12u);
}

TEST(StlFiles, NumbersTooSmallForADoubleReadAsZeroAndTooLargeOnesAreOutOfRange) {
    std::string text = AsciiStl(BoxTriangles());
    text.replace(text.find("vertex 0.000000e+00"), 19, "vertex -1e-400");
    text.replace(text.find("normal 0 0 0"), 12, "normal 1e-999 0 0");
    const auto mesh = ReadStlFile(Write("underflow.stl", text));
    EXPECT_EQ(mesh.vertices.size(), 8u);
    EXPECT_DOUBLE_EQ(Volume(mesh), 400);
    text.replace(text.find("vertex -1e-400"), 14, "vertex -1e400");
    EXPECT_NE(StlDamage("overflow.stl", text).find("line 4: '-1e400' is out of range"),
              std::string::npos)
        << StlDamage("overflow.stl", text);
    EXPECT_EQ(ReadObjFile(Write("underflow.obj", "v 0 0 1e-400\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"))
                  .at(0)
                  .vertices.at(0)
                  .Z(),
              0);
}

TEST(StlFiles, BrokenAsciiStructureNamesTheLine) {
    const std::string facet = "facet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                              "vertex 0 1 0\nendloop\nendfacet\n";
    ASSERT_EQ(ReadStlFile(Write("one.stl", "solid a\n" + facet + "endsolid a\n")).faces.size(), 1u);
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
    const auto meshes = ReadObjFile(Write("box.obj", text));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].vertices.size(), 8u);
    // The same triangles, in the same order, as the quads split from their
    // first corner.
    ExpectSameTriangles(meshes[0], BoxTriangles());
    EXPECT_DOUBLE_EQ(Volume(meshes[0]), 400);

    // A pentagon is fanned: (1, 2, 3), (1, 3, 4), (1, 4, 5).
    const auto fan =
        ReadObjFile(Write("pentagon.obj", "v 0 0 0\nv 1 0 0\nv 2 1 0\nv 1 2 0\nv 0 1 0\n"
                                          "f 1 2 3 4 5\n"));
    ASSERT_EQ(fan.size(), 1u);
    ASSERT_EQ(fan[0].faces.size(), 3u);
    EXPECT_EQ(fan[0].faces[2].v[0], 1);
    EXPECT_EQ(fan[0].faces[2].v[1], 4);
    EXPECT_EQ(fan[0].faces[2].v[2], 5);
}

TEST(ObjFiles, EachObjectOrGroupWithFacesIsAMeshOfItsOwnVertices) {
    // Faces before any o/g, then two objects (the first with an empty group
    // line before it), the last with indices counted back; a repeated
    // vertex is shared within a mesh.
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 0 0\nf 1 2 3\nf 1 4 3\n";
    text += "o hull\ng hull\n" + ObjBoxVertices(0, 0, 0, 10, 8, 5) + ObjBoxQuads(4);
    text += "g tank\n" + ObjBoxVertices(1, 1, 1, 3, 2, 2) + ObjBoxQuads(-9);
    text += "o nothing\n";
    const auto meshes = ReadObjFile(Write("groups.obj", text));
    ASSERT_EQ(meshes.size(), 3u);
    EXPECT_EQ(meshes[0].vertices.size(), 3u);
    EXPECT_EQ(meshes[0].faces.size(), 2u);
    for (int m : {1, 2}) {
        EXPECT_EQ(meshes[m].vertices.size(), 8u);
        EXPECT_EQ(meshes[m].faces.size(), 12u);
    }
    EXPECT_DOUBLE_EQ(Volume(meshes[1]), 400);
    EXPECT_DOUBLE_EQ(Volume(meshes[2]), 2);
    EXPECT_TRUE(ReadObjFile(Write("no-faces.obj", "# nothing\nv 1 2 3\n")).empty());
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
