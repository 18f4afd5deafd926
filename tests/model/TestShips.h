// Small closed meshes for the model and file tests.
#pragma once

#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/CShipModel.h"

#include <memory>

// The box lo..hi as 12 triangles, counter-clockwise seen from outside.
inline std::unique_ptr<CPolyfaceMesh> BoxMesh(double x0, double y0, double z0, double x1, double y1,
                                              double z1) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(8, 12);
    // Vertex k + 1 has x from bit 0, y from bit 1, z from bit 2 of k.
    for (int k = 0; k < 8; ++k)
        mesh->GetVertex(k + 1)->Set(k & 1 ? x1 : x0, k & 2 ? y1 : y0, k & 4 ? z1 : z0);
    const int quads[6][4] = {
        {1, 3, 4, 2}, // bottom, -z
        {5, 6, 8, 7}, // top, +z
        {1, 2, 6, 5}, // y0, -y
        {3, 7, 8, 4}, // y1, +y
        {1, 5, 7, 3}, // x0, -x
        {2, 4, 8, 6}, // x1, +x
    };
    int f = 1;
    for (const auto& q : quads) {
        mesh->SetFace(f++, q[0], q[1], q[2]);
        mesh->SetFace(f++, q[0], q[2], q[3]);
    }
    return mesh;
}

// The side z = 0 of a unit square as a 3 x 2 grid (two quads).
inline std::unique_ptr<CGridMesh> SmallGrid() {
    auto grid = std::make_unique<CGridMesh>();
    grid->Resize(2, 3);
    for (int r = 0; r < 2; ++r)
        for (int j = 0; j < 3; ++j)
            grid->Item(r, j)->Set(j * 0.5, r, 0);
    return grid;
}

// The box lo..hi as six grids, nx x ny x nz panels, faces outward.
inline void AddGridBox(CShipElement& element, const CVector3& lo, const CVector3& hi, int nx,
                       int ny, int nz) {
    const double dx = hi.X() - lo.X(), dy = hi.Y() - lo.Y(), dz = hi.Z() - lo.Z();
    struct Side {
        CVector3 o, u, v;
        int nu, nv;
    };
    const Side sides[6] = {
        {lo, {0, dy, 0}, {dx, 0, 0}, ny, nx},
        {{lo.X(), lo.Y(), hi.Z()}, {dx, 0, 0}, {0, dy, 0}, nx, ny},
        {lo, {dx, 0, 0}, {0, 0, dz}, nx, nz},
        {{lo.X(), hi.Y(), lo.Z()}, {0, 0, dz}, {dx, 0, 0}, nz, nx},
        {lo, {0, 0, dz}, {0, dy, 0}, nz, ny},
        {{hi.X(), lo.Y(), lo.Z()}, {0, dy, 0}, {0, 0, dz}, ny, nz},
    };
    for (const Side& s : sides) {
        auto grid = std::make_unique<CGridMesh>();
        grid->Resize(s.nv + 1, s.nu + 1);
        for (int r = 0; r <= s.nv; ++r)
            for (int j = 0; j <= s.nu; ++j) {
                const double a = double(j) / s.nu, b = double(r) / s.nv;
                grid->Item(r, j)->Set(s.o.X() + a * s.u.X() + b * s.v.X(),
                                      s.o.Y() + a * s.u.Y() + b * s.v.Y(),
                                      s.o.Z() + a * s.u.Z() + b * s.v.Z());
            }
        element.Append(std::move(grid));
    }
}

// The two sides of a Wigley hull up to its draught, y = +-B/2 (1 - xi^2)
// (1 - (1 - z/T)^2) with xi = (2x - L)/L, as grids of n x n panels.
inline void AddWigley(CShipModel& ship, double l, double b, double t, int n) {
    CShipElement* hull = ship.AddElement(kindHull);
    for (int side : {1, -1}) {
        auto grid = std::make_unique<CGridMesh>();
        grid->Resize(n + 1, n + 1);
        for (int i = 0; i <= n; ++i)
            for (int k = 0; k <= n; ++k) {
                const double x = l * i / n, z = t * k / n;
                const double xi = (2 * x - l) / l, zeta = 1 - z / t;
                const double y = b / 2 * (1 - xi * xi) * (1 - zeta * zeta);
                // Rows run down the starboard side and up the port side, so
                // that both sides face outwards.
                grid->Item(side > 0 ? n - k : k, i)->Set(x, side * y, z);
            }
        hull->Append(std::move(grid));
    }
}

// The same hull as one polyface mesh of triangles whose port side mirrors
// the starboard side triangle for triangle (the grid quads above are split
// along diagonals that do not mirror), so that the panelled hull is
// symmetric about y = 0.
inline void AddSymmetricWigley(CShipModel& ship, double l, double b, double t, int n) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    const int side = (n + 1) * (n + 1);
    mesh->Allocate(2 * side, 4 * n * n);
    auto index = [&](int s, int i, int k) { return s * side + i * (n + 1) + k + 1; };
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i <= n; ++i)
            for (int k = 0; k <= n; ++k) {
                const double x = l * i / n, z = t * k / n;
                const double xi = (2 * x - l) / l, zeta = 1 - z / t;
                const double y = b / 2 * (1 - xi * xi) * (1 - zeta * zeta);
                mesh->GetVertex(index(s, i, k))->Set(x, s == 0 ? y : -y, z);
            }
    int f = 1;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < n; ++k) {
            // Starboard (y > 0) and port, each facing outwards.
            mesh->SetFace(f++, index(0, i, k), index(0, i + 1, k + 1), index(0, i + 1, k));
            mesh->SetFace(f++, index(0, i, k), index(0, i, k + 1), index(0, i + 1, k + 1));
            mesh->SetFace(f++, index(1, i, k), index(1, i + 1, k), index(1, i + 1, k + 1));
            mesh->SetFace(f++, index(1, i, k), index(1, i + 1, k + 1), index(1, i, k + 1));
        }
    ship.AddElement(kindHull)->Append(std::move(mesh));
}
