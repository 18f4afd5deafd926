// Drawings whose faces are 3DFACE entities, read when the drawing has no
// mesh POLYLINE: one polyface mesh of all of them.
#include "DxfText.h"

#include "model/CPolyfaceMesh.h"

using namespace dxftext;

namespace {

std::string Face3d(const std::array<CVector3, 4>& c, const std::string& layer = "0") {
    std::string out = Group("  0", "3DFACE") + Group("  8", layer);
    for (int k = 0; k < 4; ++k)
        out += Group(" 1" + std::to_string(k), Number(c[k].X())) +
               Group(" 2" + std::to_string(k), Number(c[k].Y())) +
               Group(" 3" + std::to_string(k), Number(c[k].Z()));
    return out;
}

// The box of BoxPolyface, face by face in the same corner order.
std::string Box3dFaces(double x0, double y0, double z0, double x1, double y1, double z1) {
    const auto v = [&](int k) {
        return CVector3(k & 1 ? x1 : x0, k & 2 ? y1 : y0, k & 4 ? z1 : z0);
    };
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    std::string out;
    for (const auto& q : quads)
        out += Face3d({v(q[0] - 1), v(q[1] - 1), v(q[2] - 1), v(q[3] - 1)});
    return out;
}

const CPolyfaceMesh& OnlyPolyface(const CShipElement& e) {
    EXPECT_EQ(e.GetCount(), 1);
    return dynamic_cast<const CPolyfaceMesh&>(*e.GetAt(1));
}

} // namespace

TEST(CDxf3dFace, BoxGivesTheTrianglesAndVolumeOfThePolyfaceBox) {
    const auto faces = Import(Drawing(Box3dFaces(0, -4, 0, 30, 4, 3)), kindHull);
    const auto polyface = Import(Drawing(BoxPolyface(0, -4, 0, 30, 4, 3)), kindHull);
    const CPolyfaceMesh& mesh = OnlyPolyface(*faces);
    EXPECT_EQ(mesh.GetVertexCount(), 8); // shared corners
    ASSERT_EQ(mesh.GetFaceCount(), 12);
    // The same triangles, corner by corner, so the same volume to the bit.
    CPointList a, b;
    for (int i = 1; i <= 12; ++i) {
        mesh.GetFace(i, a);
        polyface->GetAt(1)->GetFace(i, b);
        for (int k = 1; k <= 3; ++k) {
            SCOPED_TRACE("face " + std::to_string(i) + " corner " + std::to_string(k));
            EXPECT_EQ(a.GetAt(k)->X(), b.GetAt(k)->X());
            EXPECT_EQ(a.GetAt(k)->Y(), b.GetAt(k)->Y());
            EXPECT_EQ(a.GetAt(k)->Z(), b.GetAt(k)->Z());
        }
    }
    EXPECT_EQ(faces->Volume(), polyface->Volume());
    EXPECT_NEAR(faces->Volume(), 720, 1e-9);
    // Written without blanks and with LF line ends: the same mesh.
    const std::string lf = Rewritten(Drawing(Box3dFaces(0, -4, 0, 30, 4, 3)), "", "",
                                     [](std::size_t) { return std::string("\n"); });
    ExpectSameMeshes(*Import(lf, kindHull), *faces);
}

TEST(CDxf3dFace, TrianglesQuadrilateralsAndSharedCorners) {
    const CVector3 a(0, 0, 0), b(1, 0, 0), c(1, 1, 0), d(0, 1, 0);
    std::string noFourth = Face3d({b, c, d, d});
    noFourth.erase(noFourth.find(" 13\r\n"));
    std::string negativeZero = Face3d({a, b, d, d});
    negativeZero.replace(negativeZero.find(" 10\r\n") + 5, 8, "-0.0");
    const auto tank = Import(
        Drawing(Face3d({a, b, c, c}) + Face3d({a, b, c, d}) + noFourth + negativeZero), kindTank);
    const CPolyfaceMesh& mesh = OnlyPolyface(*tank);
    EXPECT_EQ(mesh.GetVertexCount(), 4);
    const int expected[5][3] = {{1, 2, 3}, {1, 2, 3}, {1, 3, 4}, {2, 3, 4}, {1, 2, 4}};
    ASSERT_EQ(mesh.GetFaceCount(), 5);
    for (int i = 1; i <= 5; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(mesh.GetFaceIndices(i)->v[k], expected[i - 1][k]) << i;
}

TEST(CDxf3dFace, ReadOnlyWithoutMeshPolylinesAndOnlyAsEntities) {
    const std::string faces = Box3dFaces(0, 0, 0, 1, 1, 1);
    // A mesh POLYLINE wins; a 3D polyline (flags 8) is no mesh.
    EXPECT_NEAR(Import(Drawing(faces + BoxPolyface(0, 0, 0, 2, 2, 2)), kindTank)->Volume(), 8,
                1e-12);
    EXPECT_NEAR(Import(Drawing(Grid(2, 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, 8) + faces),
                       kindTank)
                    ->Volume(),
                1, 1e-12);
    // Before ENTITIES for other kinds only; a layer named 3DFACE is no face.
    const std::string blocks = Drawing(Group("  0", "LINE") + Group("  8", "3DFACE"), faces);
    EXPECT_EQ(Import(blocks, kindHull)->GetCount(), 0);
    EXPECT_EQ(Import(blocks, kindTank)->GetFaceCount(), 12);
}

TEST(CDxf3dFace, FaceMissingACornerOrNotFiniteIsRefused) {
    const std::string good =
        Face3d({CVector3(0, 0, 0), CVector3(1, 0, 0), CVector3(1, 1, 0), CVector3(0, 1, 0)});
    std::string noY = good;
    noY.erase(noY.find(" 21\r\n"), 5 + 10);
    std::string text = Drawing(good + noY);
    const auto line = [&](std::size_t at) {
        return std::to_string(1 + std::count(text.begin(), text.begin() + at, '\n'));
    };
    const std::size_t second = text.rfind("3DFACE");
    EXPECT_EQ(Refusal(text, kindTank), "3DFACE starting at line " + line(second) + ", line " +
                                           line(second) + ": corner 2 has no y (group 21)");
    std::string nan = good;
    nan.replace(nan.find(" 32\r\n") + 5, 8, "nan");
    text = Drawing(nan);
    const std::size_t value = text.find(" 32\r\n") + 5;
    EXPECT_EQ(Refusal(text, kindTank),
              "3DFACE starting at line " + line(text.find("3DFACE")) + ", line " + line(value) +
                  ": corner 3 z coordinate \"nan\" is not a finite number");
    text = good;
    EXPECT_NE(Refusal(text, kindTank).find("the drawing ends inside the entity"),
              std::string::npos);
}

TEST(CDxf3dFace, DrawingCutShortBetweenFacesIsRefused) {
    const std::string text = Drawing(Box3dFaces(0, 0, 0, 2, 1, 1));
    const std::size_t sectionEnd = text.rfind("ENDSEC") + 6;
    for (std::size_t length = text.find("3DFACE"); length <= text.size(); ++length) {
        const std::string prefix = text.substr(0, length);
        if (length < sectionEnd) {
            EXPECT_NE(Refusal(prefix, kindTank), "") << length;
            continue;
        }
        const auto tank = Import(prefix, kindTank);
        EXPECT_EQ(tank->GetFaceCount(), 12) << length;
        EXPECT_NEAR(tank->Volume(), 2, 1e-12) << length;
    }
}
