// The thinned wireframe drawn while the camera moves, without a window: the
// shares of the budget, the edges of a small element kept whole, a dense one
// brought under its share with its extent kept, and when a kept picture is
// built again.
#include "ui/view/CCoarseWireframe.h"

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/CShipElement.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The unit cube as 12 triangles on its 8 corners.
std::unique_ptr<CPolyfaceMesh> UnitCube() {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(8, 12);
    for (int k = 0; k < 8; ++k)
        mesh->GetVertex(k + 1)->Set(k & 1, (k >> 1) & 1, (k >> 2) & 1);
    // Two triangles a face, on the diagonal from its first corner.
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    int f = 1;
    for (const auto& q : quads) {
        mesh->SetFace(f++, q[0], q[1], q[2]);
        mesh->SetFace(f++, q[0], q[2], q[3]);
    }
    return mesh;
}

// A plate 100 x 50 m in z = 0 as a grid of n x n quadrilaterals.
std::unique_ptr<CGridMesh> Plate(int n) {
    auto grid = std::make_unique<CGridMesh>();
    grid->Resize(n + 1, n + 1);
    for (int i = 0; i <= n; ++i)
        for (int k = 0; k <= n; ++k)
            grid->Item(i, k)->Set(100.0 * i / n, 50.0 * k / n, 0);
    return grid;
}

} // namespace

TEST(CCoarseWireframe, SharesTheBudgetByFacesWithAFloor) {
    EXPECT_EQ(CoarseEdgeShare(1000000, 1000000), kCoarseEdgeBudget);
    EXPECT_EQ(CoarseEdgeShare(250000, 1000000), kCoarseEdgeBudget / 4);
    EXPECT_EQ(CoarseEdgeShare(12, 1000012), kCoarseEdgeFloor);
    EXPECT_EQ(CoarseEdgeShare(0, 0), kCoarseEdgeFloor);
}

TEST(CCoarseWireframe, KeepsASmallElementWholeAndThinsADenseOne) {
    // The cube: 12 edges and 6 face diagonals, each once although the 36
    // fan edges hold each twice.
    CShipElement cube;
    cube.Append(UnitCube());
    const CCoarseEdges whole = BuildCoarseEdges(cube, kCoarseEdgeFloor);
    ASSERT_EQ(whole.Count(), 12 + 6);
    for (const float c : whole.points)
        EXPECT_TRUE(c == 0 || c == 1) << c;

    // 300 x 300 quads: 5 edges a quad (2 sides shared, 1 diagonal), about
    // 270000. A share of 2000 keeps at most 2000 and not far fewer; the
    // cells start at sqrt(6 A / share) = sqrt(6 5000 / 2000) = 3.9 m a side,
    // and a mean point lies in its cell: the outline reaches within about a
    // cell of the plate's sides.
    CShipElement plate;
    plate.Append(Plate(300));
    const CCoarseEdges thin = BuildCoarseEdges(plate, 2000);
    EXPECT_LE(thin.Count(), 2000);
    EXPECT_GE(thin.Count(), 1000);
    float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
    for (std::size_t i = 0; i < thin.points.size(); ++i) {
        low[i % 3] = std::min(low[i % 3], thin.points[i]);
        high[i % 3] = std::max(high[i % 3], thin.points[i]);
    }
    EXPECT_LT(low[0], 5);
    EXPECT_GT(high[0], 95);
    EXPECT_LT(low[1], 5);
    EXPECT_GT(high[1], 45);
    EXPECT_EQ(low[2], 0);
    EXPECT_EQ(high[2], 0);
}

TEST(CCoarseWireframe, BuildsAgainOnlyForOtherMeshesAShareOrAClear) {
    CShipElement element;
    element.Append(UnitCube());
    CCoarseWireframes pictures;
    EXPECT_EQ(pictures.Get(element, 500).Count(), 18);
    pictures.Get(element, 500);
    EXPECT_EQ(pictures.Builds(), 1);
    // A second cube on vertices of its own: 36 edges.
    element.Append(UnitCube());
    EXPECT_EQ(pictures.Get(element, 500).Count(), 36);
    EXPECT_EQ(pictures.Builds(), 2);
    pictures.Get(element, 600);
    EXPECT_EQ(pictures.Builds(), 3);
    pictures.Clear();
    pictures.Get(element, 600);
    EXPECT_EQ(pictures.Builds(), 4);
}
