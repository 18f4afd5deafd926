// Closed hulls of a requested number of triangles for the benchmarks: an
// ellipsoid of revolution 100 m long and 16 m across, axis at z = 0, as a
// grid of quadrilaterals (two triangles each) or as a polyface mesh of the
// same triangles.
#pragma once

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/CShipModel.h"

#include <cmath>
#include <memory>

enum BenchMeshKind { benchPolyface = 0, benchGrid = 1 };

// nt columns around and 2 nt stations along: 4 nt^2 triangles, appended to
// element.
inline void AddBenchBody(CShipElement& element, long triangles, int kind) {
    const int nt = static_cast<int>(std::lround(std::sqrt(triangles / 4.0)));
    const int nx = 2 * nt + 1;
    const double length = 100, radius = 8;
    auto point = [&](int i, int k, CVector3& p) {
        const double x = length * i / (nx - 1);
        const double xi = (2 * x - length) / length;
        const double r = radius * std::sqrt(std::fmax(0.0, 1 - xi * xi));
        const double t = 2 * 3.141592654 * (k % nt) / nt;
        p.Set(x, r * std::cos(t), r * std::sin(t));
    };
    if (kind == benchGrid) {
        auto grid = std::make_unique<CGridMesh>();
        grid->Resize(nx, nt + 1);
        for (int i = 0; i < nx; ++i)
            for (int k = 0; k <= nt; ++k)
                point(i, k, *grid->Item(i, k));
        element.Append(std::move(grid));
        return;
    }
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(nx * nt, 2 * (nx - 1) * nt);
    for (int i = 0; i < nx; ++i)
        for (int k = 0; k < nt; ++k)
            point(i, k, *mesh->GetVertex(i * nt + k + 1));
    int f = 1;
    for (int i = 0; i + 1 < nx; ++i)
        for (int k = 0; k < nt; ++k) {
            // The grid's quad (i, k), (i, k+1), (i+1, k+1), (i+1, k), split.
            const int a = i * nt + k + 1, b = i * nt + (k + 1) % nt + 1;
            const int c = (i + 1) * nt + (k + 1) % nt + 1, d = (i + 1) * nt + k + 1;
            mesh->SetFace(f++, a, b, c);
            mesh->SetFace(f++, a, c, d);
        }
    element.Append(std::move(mesh));
}

// The body as the ship's hull element "bench".
inline void AddBenchHull(CShipModel& ship, long triangles, int kind) {
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("bench");
    AddBenchBody(*hull, triangles, kind);
}

// A compartment inside the bench hull, off the centreline to starboard:
// the box x 40..50, y 0..4, z -6..4 as 12 triangles facing outward,
// disabled in the model (a damage case opens it).
inline void AddBenchCompartment(CShipModel& ship) {
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    room->SetName("room");
    room->SetEnabled(false);
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(8, 12);
    // Vertex k + 1 has x from bit 0, y from bit 1, z from bit 2 of k.
    for (int k = 0; k < 8; ++k)
        mesh->GetVertex(k + 1)->Set(k & 1 ? 50 : 40, k & 2 ? 4 : 0, k & 4 ? 4 : -6);
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    int f = 1;
    for (const auto& q : quads) {
        mesh->SetFace(f++, q[0], q[1], q[2]);
        mesh->SetFace(f++, q[0], q[2], q[3]);
    }
    room->Append(std::move(mesh));
}

inline long BenchTriangles(const CShipModel& ship) {
    long n = 0;
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i) {
        const CShipElement& e = *ship.HullElements().GetAt(i);
        for (int m = 1; m <= e.GetCount(); ++m)
            n += e.GetAt(m)->GetType() == CMesh::typeGrid ? 2L * e.GetAt(m)->GetFaceCount()
                                                          : e.GetAt(m)->GetFaceCount();
    }
    return n;
}
