#include "model/TestShips.h"

#include "model/CShipModel.h"
#include "model/MeshCheck.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// The box lo..hi as a polyface mesh of 12 triangles, less the triangles
// whose 1-based numbers are in drop (the top is 3 and 4).
std::unique_ptr<CPolyfaceMesh> BoxWithout(std::initializer_list<int> drop, double x0 = 0,
                                          double x1 = 10) {
    auto box = BoxMesh(x0, 0, 0, x1, 8, 5);
    auto out = std::make_unique<CPolyfaceMesh>();
    out->Allocate(8, 12 - static_cast<int>(drop.size()));
    for (int k = 1; k <= 8; ++k)
        *out->GetVertex(k) = *box->GetVertex(k);
    int f = 1;
    for (int i = 1; i <= 12; ++i) {
        if (std::find(drop.begin(), drop.end(), i) != drop.end())
            continue;
        const CFaceIndices* t = box->GetFaceIndices(i);
        out->SetFace(f++, t->v[0], t->v[1], t->v[2]);
    }
    return out;
}

} // namespace

TEST(MeshCheck, ClosedBoxOutwardThenInward) {
    CShipElement e;
    e.Append(BoxMesh(0, 0, 0, 10, 8, 5));
    CElementCheck c = CheckElement(e);
    EXPECT_TRUE(c.surface.IsClosed());
    EXPECT_TRUE(c.surface.IsConsistent());
    EXPECT_TRUE(c.surface.IsOutward());
    EXPECT_EQ(c.surface.faces, 12);
    EXPECT_EQ(c.surface.vertices, 8);
    EXPECT_NEAR(c.surface.volume, 400, 1e-9);
    EXPECT_NEAR(c.tolerance, 1e-6 * std::sqrt(100 + 64 + 25), 1e-15);
    EXPECT_TRUE(DescribeProblems(e, kindHull, c, "invert").empty());
    e.InvertNormals();
    c = CheckElement(e);
    EXPECT_TRUE(c.surface.IsClosed());
    EXPECT_FALSE(c.surface.IsOutward());
    const auto hull = DescribeProblems(e, kindHull, c, "brelund-calc invert s.nav b");
    ASSERT_EQ(hull.size(), 1u);
    EXPECT_NE(hull[0].find("inward normals: it counts a negative volume (-400"), std::string::npos);
    EXPECT_NE(hull[0].find("brelund-calc invert s.nav b"), std::string::npos);
    const auto room = DescribeProblems(e, kindCompartment, c, "x");
    ASSERT_EQ(room.size(), 1u);
    EXPECT_NE(room[0].find("flooded room"), std::string::npos);
}

TEST(MeshCheck, BoxWithoutItsDeckIsOpenAlongTheDecksOutline) {
    CShipElement e;
    e.SetName("b");
    e.Append(BoxWithout({3, 4}));
    const CElementCheck c = CheckElement(e);
    EXPECT_FALSE(c.surface.IsClosed());
    EXPECT_EQ(c.surface.boundary_edges, 4);
    EXPECT_NEAR(c.surface.boundary_length, 2 * (10 + 8), 1e-9);
    EXPECT_EQ(c.surface.non_manifold, 0);
    EXPECT_TRUE(c.surface.IsConsistent());
    // The deck's outline, to be drawn: four edges at z = 5, 36 m long.
    ASSERT_EQ(c.faults.open_edges.size(), 4u);
    double outline = 0;
    for (const auto& [p, q] : c.faults.open_edges) {
        EXPECT_EQ(p.Z(), 5);
        EXPECT_EQ(q.Z(), 5);
        outline += std::hypot(q.X() - p.X(), q.Y() - p.Y());
    }
    EXPECT_NEAR(outline, 36, 1e-12);
    const auto lines = DescribeProblems(e, kindHull, c, "x");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("hull element 'b' is open: 4 boundary edges, 36 m of boundary"),
              std::string::npos)
        << lines[0];
}

TEST(MeshCheck, OneFlippedFaceIsAgainstItsNeighbours) {
    auto box = BoxMesh(0, 0, 0, 10, 8, 5);
    const CFaceIndices t = *box->GetFaceIndices(5);
    box->SetFace(5, t.v[0], t.v[2], t.v[1]);
    CShipElement e;
    e.Append(std::move(box));
    const CElementCheck c = CheckElement(e);
    EXPECT_TRUE(c.surface.IsClosed());
    EXPECT_EQ(c.surface.flipped_faces, 1);
    // The flipped triangle's outline is the one to be drawn, as it runs.
    const auto* mesh = static_cast<const CPolyfaceMesh*>(e.GetAt(1));
    const int corners[] = {t.v[0], t.v[2], t.v[1]};
    ASSERT_EQ(c.faults.flipped_outlines.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const CVector3& p = c.faults.flipped_outlines[k].first;
        const CVector3& q = *mesh->GetVertex(corners[k]);
        EXPECT_TRUE(p.X() == q.X() && p.Y() == q.Y() && p.Z() == q.Z()) << k;
    }
    EXPECT_TRUE(c.faults.open_edges.empty());
    EXPECT_FALSE(DescribeProblems(e, kindTank, c, "x").empty());
}

TEST(MeshCheck, TwoBoxesSharingAFaceAreNonManifold) {
    CShipElement e;
    e.Append(BoxMesh(0, 0, 0, 10, 8, 5));
    e.Append(BoxMesh(10, 0, 0, 20, 8, 5));
    const CElementCheck c = CheckElement(e);
    EXPECT_GT(c.surface.non_manifold, 0);
    EXPECT_FALSE(c.surface.IsClosed());
    // The shared face's edges, at x = 10.
    EXPECT_EQ(static_cast<long long>(c.faults.non_manifold_edges.size()), c.surface.non_manifold);
    for (const auto& [p, q] : c.faults.non_manifold_edges) {
        EXPECT_EQ(p.X(), 10);
        EXPECT_EQ(q.X(), 10);
    }
    ASSERT_EQ(c.meshes.size(), 2u);
    EXPECT_TRUE(c.meshes[0].IsClosed()); // each box alone is sound
    EXPECT_TRUE(c.meshes[1].IsClosed());
}

TEST(MeshCheck, SeparatelyDrawnMeshesJoinWithinTheToleranceAndAtTJunctions) {
    // The sides, bottom and ends of a box as grids of 2 panels along x, and a
    // deck drawn on its own as one panel whose long edges meet two side
    // panels each, its corners a tenth of the tolerance off.
    CShipElement e;
    AddGridBox(e, {0, 0, 0}, {10, 8, 5}, 2, 1, 1);
    e.RemoveAt(2); // the deck of the grid box
    auto deck = std::make_unique<CGridMesh>();
    deck->Resize(2, 2);
    const double off = 1e-6 * std::sqrt(100 + 64 + 25) / 10;
    deck->Item(0, 0)->Set(0 + off, 0, 5 - off);
    deck->Item(0, 1)->Set(10, 0 - off, 5);
    deck->Item(1, 0)->Set(0, 8, 5 + off);
    deck->Item(1, 1)->Set(10 - off, 8, 5);
    e.Append(std::move(deck));
    CElementCheck c = CheckElement(e);
    EXPECT_EQ(c.surface.t_junctions, 2);
    EXPECT_EQ(c.surface.boundary_edges, 0);
    EXPECT_TRUE(c.surface.IsClosed());
    EXPECT_TRUE(c.surface.IsConsistent());
    EXPECT_NEAR(c.surface.volume, 400, 1e-3);
    // Three tolerances off, a corner no longer meets its neighbours.
    e.GetAt(6)->GetVertex(0)->Set(0, 0, 5 + 30 * off);
    c = CheckElement(e);
    EXPECT_FALSE(c.surface.IsClosed());
}

TEST(MeshCheck, VerticesThatAreNotNumbersAreCounted) {
    auto box = BoxMesh(0, 0, 0, 10, 8, 5);
    box->GetVertex(8)->Set(std::nan(""), 8, 5);
    CShipElement e;
    e.Append(std::move(box));
    const CElementCheck c = CheckElement(e);
    EXPECT_EQ(c.surface.non_finite, 1);
    EXPECT_FALSE(DescribeProblems(e, kindHull, c, "x").empty());
}

TEST(MeshCheck, SurfaceFaultsOfTheElementsACalculationReads) {
    CShipModel ship;
    // A 10 x 8 x 5 box turned inside out counts -400 m^3.
    ship.AddElement(kindHull)->Append(BoxMesh(0, 0, 0, 10, 8, 5));
    ship.HullElements().GetAt(1)->InvertNormals();
    ship.AddElement(kindHull)->Append(BoxMesh(20, 0, 0, 30, 8, 5));
    CShipElement* disabled = ship.AddElement(kindHull);
    disabled->Append(BoxMesh(40, 0, 0, 50, 8, 5));
    disabled->InvertNormals();
    disabled->SetEnabled(false);
    // A flooded room is turned inwards on purpose; an open tank is a fault.
    ship.AddElement(kindCompartment)->Append(BoxMesh(0, 0, 0, 2, 2, 2));
    ship.Compartments().GetAt(1)->InvertNormals();
    ship.AddElement(kindTank)->Append(BoxWithout({3, 4}));

    const std::vector<CSurfaceFault> all = FindSurfaceFaults(ship, true, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].element, ship.HullElements().GetAt(1));
    EXPECT_EQ(all[0].kind, kindHull);
    EXPECT_FALSE(all[0].IsOpen());
    EXPECT_NEAR(all[0].surface.volume, -400, 1e-9);
    EXPECT_EQ(all[1].element, ship.Tanks().GetAt(1));
    EXPECT_TRUE(all[1].IsOpen());
    // Tanks only when the calculation reads them.
    EXPECT_EQ(FindSurfaceFaults(ship, true, false).size(), 1u);
}

// Each apex of a bipyramid is shared by all its faces: many edges at one
// vertex, which the edge search orders apart from the rest.
TEST(MeshCheck, ManyFacesAboutOneVertexPairUp) {
    const int n = 40;
    const double pi = std::acos(-1.0);
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(n + 2, 2 * n);
    mesh->GetVertex(1)->Set(0, 0, 3);
    mesh->GetVertex(2)->Set(0, 0, -3);
    for (int k = 0; k < n; ++k)
        mesh->GetVertex(k + 3)->Set(std::cos(2 * pi * k / n), std::sin(2 * pi * k / n), 0);
    for (int k = 0; k < n; ++k) {
        const int a = k + 3, b = (k + 1) % n + 3;
        mesh->SetFace(k + 1, 1, a, b);
        mesh->SetFace(n + k + 1, 2, b, a);
    }
    CShipElement e;
    e.Append(std::move(mesh));
    CElementCheck c = CheckElement(e);
    EXPECT_TRUE(c.surface.IsClosed());
    EXPECT_TRUE(c.surface.IsConsistent());
    EXPECT_EQ(c.surface.vertices, n + 2);
    EXPECT_NEAR(c.surface.volume, 2 * 3 * (n / 2.0) * std::sin(2 * pi / n) / 3, 1e-12);
    auto* m = static_cast<CPolyfaceMesh*>(e.GetAt(1));
    m->SetFace(n + 7, 2, 6 + 3, 7 + 3); // was (2, 10, 9)
    c = CheckElement(e);
    EXPECT_TRUE(c.surface.IsClosed());
    EXPECT_EQ(c.surface.flipped_faces, 1);
    EXPECT_EQ(c.faults.flipped_outlines.size(), 3u);
}

// Level triangles high up, each with a volume term of 6.24e307 (a number)
// and no moments: two add up to a number, three past the largest one, and
// that mesh is refused as the sum in face order has it.
TEST(MeshCheck, VolumesThatAreNumbersWhoseSumIsNotAreAProblem) {
    const double b = 4e76, h = 1.3e154;
    for (const int faces : {2, 3}) {
        CPolyfaceMesh mesh;
        mesh.Allocate(3, faces);
        *mesh.GetVertex(1) = CVector3(-b, -b, h);
        *mesh.GetVertex(2) = CVector3(b, -b, h);
        *mesh.GetVertex(3) = CVector3(0, 2 * b, h);
        for (int f = 1; f <= faces; ++f)
            mesh.SetFace(f, 1, 2, 3);
        EXPECT_EQ(MeshNumberProblem(mesh).english,
                  faces == 3 ? "its volume is beyond the range of numbers" : "")
            << faces;
    }
}
