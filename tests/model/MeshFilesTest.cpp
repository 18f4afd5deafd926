// An element written out as an OBJ or STL file and read back: the same
// volume, the grid's quads as two triangles each, coordinates exact in OBJ
// and to float in STL.
#include "TestShips.h"
#include "support/ByteBuilder.h"

#include "io/MeshFileKind.h"
#include "io/ObjReader.h"
#include "io/StlReader.h"
#include "model/MeshFiles.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The enclosed volume of the meshes read, as an element of them sums it.
double Volume(std::vector<CTriangleArrays> meshes) {
    CShipElement e;
    for (CTriangleArrays& m : meshes)
        e.Append(MakePolyfaceMesh(std::move(m)));
    return e.Volume();
}

} // namespace

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
    std::vector<CTriangleArrays> meshes = ReadObjFile(objPath);
    ASSERT_EQ(meshes.size(), 8u);
    EXPECT_EQ(meshes[0].faces.size(), 2u * 4 * 3); // the grid's quads as two triangles
    EXPECT_EQ(meshes[0].vertices.size(), 5u * 4);
    EXPECT_EQ(meshes[0].vertices[0].X(), 0.1); // exactly
    EXPECT_EQ(meshes[6].faces.size(), 12u);
    EXPECT_NEAR(Volume(std::move(meshes)), volume, 1e-12 * volume);
    const std::vector<unsigned char> obj = ReadBytes(objPath);
    const std::string objText(obj.begin(), obj.end());
    EXPECT_NE(objText.find("\no Hull_1_7\n"), std::string::npos);
    EXPECT_NE(objText.find("\nv " + FormatC("%.17g %.17g 0", 0.1, -4.3) + "\n"), std::string::npos);

    const std::string stlPath = TestPath("export.stl");
    WriteFileAtomically(stlPath, [&](CFile& file) { WriteStl(element, file); });
    EXPECT_EQ(DetectMeshFile(stlPath), CMeshFileKind::stlBinary);
    CTriangleArrays mesh = ReadStlFile(stlPath);
    EXPECT_EQ(mesh.faces.size(), 2u * 52 + 2 * 12); // 52 quads, two boxes
    // Float coordinates: about 7 digits.
    std::vector<CTriangleArrays> one;
    one.push_back(std::move(mesh));
    EXPECT_NEAR(Volume(std::move(one)), volume, 1e-6 * volume);

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
