#include "TestShips.h"

#include "model/CShipElement.h"

#include <gtest/gtest.h>

TEST(CPolyfaceMesh, GetFaceReusesAThreePointListAndRebuildsAnyOther) {
    auto mesh = BoxMesh(0, 0, 0, 1, 1, 1);
    CPointList list;
    list.Append();
    list.Append();
    list.Append();
    const CVector3* first = list.GetAt(1);
    mesh->GetFace(2, list);          // the bottom's second triangle (1, 4, 2)
    EXPECT_EQ(list.GetAt(1), first); // overwritten in place
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(2)->X(), 1); // vertex 4 = (1, 1, 0)
    EXPECT_EQ(list.GetAt(2)->Y(), 1);

    CPointList four;
    for (int k = 0; k < 4; ++k)
        four.Append(CVector3(9, 9, 9));
    mesh->GetFace(1, four);
    EXPECT_EQ(four.GetCount(), 3);
    EXPECT_EQ(four.GetAt(2)->Y(), 1); // vertex 3 = (0, 1, 0)

    CPointList untouched;
    untouched.Append(CVector3(5, 5, 5));
    mesh->GetFace(0, untouched);
    mesh->GetFace(13, untouched);
    EXPECT_EQ(untouched.GetCount(), 1);
    EXPECT_EQ(untouched.GetAt(1)->X(), 5);
}

TEST(CPolyfaceMesh, IndicesOutsideTheVerticesResolveToVertexOne) {
    CPolyfaceMesh mesh;
    mesh.Allocate(3, 1);
    mesh.GetVertex(1)->Set(1, 1, 1);
    mesh.GetVertex(2)->Set(2, 2, 2);
    mesh.GetVertex(3)->Set(3, 3, 3);
    mesh.SetFace(1, 0, -7, 4);
    CPointList face;
    mesh.GetFace(1, face);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(face.GetAt(k)->X(), 1) << k;
    mesh.SetFace(2, 1, 2, 3); // beyond nf: ignored
    EXPECT_EQ(mesh.GetFaceIndices(2), nullptr);
    EXPECT_EQ(mesh.GetVertex(0), nullptr);
    EXPECT_EQ(mesh.GetVertex(4), nullptr);
    EXPECT_EQ(mesh.GetType(), 1);
}

TEST(CPolyfaceMesh, AllocateNeedsBothCountsAndInvertTwiceRestores) {
    CPolyfaceMesh mesh;
    mesh.Allocate(0, 5);
    EXPECT_EQ(mesh.GetVertexCount(), 0);
    EXPECT_EQ(mesh.GetFaceCount(), 0);
    mesh.Allocate(4, -1);
    EXPECT_EQ(mesh.GetVertexCount(), 0);
    auto box = BoxMesh(0, 0, 0, 1, 2, 3);
    box->InvertNormals();
    EXPECT_EQ(box->GetFaceIndices(1)->v[0], 4); // (1, 3, 4) became (4, 3, 1)
    EXPECT_EQ(box->GetFaceIndices(1)->v[2], 1);
    box->InvertNormals();
    const auto fresh = BoxMesh(0, 0, 0, 1, 2, 3);
    for (int i = 1; i <= 12; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(box->GetFaceIndices(i)->v[k], fresh->GetFaceIndices(i)->v[k]);
    box->FreeArrays();
    EXPECT_EQ(box->GetFaceCount(), 0);
}

TEST(CGridMesh, FacesRunRowByRowWithTheWindingOfTheFlag) {
    auto grid = SmallGrid(); // 2 rows x 3 columns: two quads
    EXPECT_EQ(grid->GetFaceCount(), 2);
    EXPECT_EQ(grid->GetVertexCount(), 6);
    EXPECT_EQ(grid->GetType(), 2);
    CPointList face;
    grid->GetFace(2, face); // top-left corner (0, 1)
    ASSERT_EQ(face.GetCount(), 4);
    // Flag true: (r, j), (r, j+1), (r+1, j+1), (r+1, j).
    EXPECT_EQ(face.GetAt(1)->X(), 0.5);
    EXPECT_EQ(face.GetAt(2)->X(), 1.0);
    EXPECT_EQ(face.GetAt(3)->Y(), 1.0);
    EXPECT_EQ(face.GetAt(4)->X(), 0.5);
    EXPECT_EQ(face.GetAt(4)->Y(), 1.0);
    // Inverting flips the flag: (r, j), (r+1, j), (r+1, j+1), (r, j+1).
    grid->InvertNormals();
    EXPECT_FALSE(grid->GetOrientation());
    grid->GetFace(2, face);
    EXPECT_EQ(face.GetAt(2)->X(), 0.5);
    EXPECT_EQ(face.GetAt(2)->Y(), 1.0);
    EXPECT_EQ(face.GetAt(4)->X(), 1.0);
    EXPECT_EQ(face.GetAt(4)->Y(), 0.0);
    grid->GetFace(3, face);
    EXPECT_EQ(face.GetCount(), 0);
    EXPECT_EQ(grid->GetVertex(0)->X(), 0);
    EXPECT_EQ(grid->GetVertex(6), nullptr);
}

TEST(CGridMesh, DegenerateGridsHaveNoFaces) {
    CGridMesh grid;
    EXPECT_EQ(grid.GetFaceCount(), 0);
    grid.Resize(1, 5);
    EXPECT_EQ(grid.GetFaceCount(), 0);
    EXPECT_EQ(grid.GetVertexCount(), 5);
    grid.Resize(-1, 3); // ignored
    EXPECT_EQ(grid.GetRows(), 1);
    EXPECT_EQ(grid.Item(0, 5), nullptr);
    EXPECT_EQ(grid.Item(1, 0), nullptr);
    EXPECT_EQ(grid.Item(-1), nullptr);
}

TEST(CGridMesh, ClosedGridBoxHasTheBoxVolume) {
    // Six 2 x 2 grids (one quad each) around the box 0..2 x 0..1 x 0..3.
    CShipElement box;
    auto side = [&](CVector3 o, CVector3 u, CVector3 v) {
        auto g = std::make_unique<CGridMesh>();
        g->Resize(2, 2);
        for (int r = 0; r < 2; ++r)
            for (int j = 0; j < 2; ++j) {
                CVector3 p = o, du = u, dv = v;
                du.Scale(j);
                dv.Scale(r);
                p.Add(du);
                p.Add(dv);
                *g->Item(r, j) = p;
            }
        box.Append(std::move(g));
    };
    side({0, 0, 0}, {0, 1, 0}, {2, 0, 0}); // bottom, u x v = -z
    side({0, 0, 3}, {2, 0, 0}, {0, 1, 0}); // top
    side({0, 0, 0}, {2, 0, 0}, {0, 0, 3}); // y = 0
    side({0, 1, 0}, {0, 0, 3}, {2, 0, 0}); // y = 1
    side({0, 0, 0}, {0, 0, 3}, {0, 1, 0}); // x = 0
    side({2, 0, 0}, {0, 1, 0}, {0, 0, 3}); // x = 2
    EXPECT_NEAR(box.Volume(), 2.0 * 1 * 3, 1e-12);
    box.InvertNormals();
    EXPECT_NEAR(box.Volume(), -6.0, 1e-12);
}
