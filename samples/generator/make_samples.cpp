// Writes the DXF drawings of the bundled sample ships. The geometry is
// generated here from closed formulas, so the same bytes come out on every
// machine; scripts/make-samples.sh then builds the ship files from the
// drawings with brelund-calc add and edit.
//
//   wigley*.dxf     a Wigley hull L = 100 m, B = 10 m, T = 6.25 m, D = 10 m
//                   (two sides of 41 x 17 points and a deck of 41 x 2), an
//                   engine room and two tanks inside it;
//   barge*.dxf      a box barge 30 x 8 x 3 m written as a polyface mesh with
//                   quadrilateral face records, a tank, and two compartments
//                   for its damage cases: the fore peak across the bow and
//                   a room on the starboard side;
//   submarine*.dxf  an ellipsoid of revolution 24 m long, 3 m across, axis
//                   at z = 0, and two tanks inside it.
//
// Usage: brelund-make-samples FOLDER
#include "io/CDxfFile.h"
#include "platform/AtomicFile.h"
#include "platform/CFileException.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using P = std::array<double, 3>;

CVector3 V(const P& p) {
    return CVector3(p[0], p[1], p[2]);
}

// A rows x cols grid of points as a DXF polygon mesh (flags 16).
void WriteGrid(CDxfFile& dxf, const std::vector<std::vector<P>>& grid) {
    dxf.WriteGridHeader(static_cast<int>(grid.size()), static_cast<int>(grid[0].size()));
    for (const auto& row : grid)
        for (const P& p : row)
            dxf.WriteGridVertex(V(p));
    dxf.EndPolyline();
}

// One side of a box: origin o and edges u, v with u x v pointing out of the box.
struct Side {
    P o, u, v;
    int nu, nv;
};

P At(const Side& s, int i, int j) {
    const double a = double(i) / s.nu, b = double(j) / s.nv;
    return {s.o[0] + a * s.u[0] + b * s.v[0], s.o[1] + a * s.u[1] + b * s.v[1],
            s.o[2] + a * s.u[2] + b * s.v[2]};
}

std::vector<Side> BoxSides(const P& lo, const P& hi, int nx, int ny, int nz) {
    const P dx{hi[0] - lo[0], 0, 0}, dy{0, hi[1] - lo[1], 0}, dz{0, 0, hi[2] - lo[2]};
    return {
        {lo, dy, dx, ny, nx},                    // bottom, outward -z
        {{lo[0], lo[1], hi[2]}, dx, dy, nx, ny}, // top, outward +z
        {lo, dx, dz, nx, nz},                    // y = lo, outward -y
        {{lo[0], hi[1], lo[2]}, dz, dx, nz, nx}, // y = hi, outward +y
        {lo, dz, dy, nz, ny},                    // x = lo, outward -x
        {{hi[0], lo[1], lo[2]}, dy, dz, ny, nz}, // x = hi, outward +x
    };
}

// A closed box as a polyface mesh whose faces are quadrilateral records
// (index 74 set), the vertices shared between faces.
void WritePolyfaceBox(CDxfFile& dxf, const P& lo, const P& hi, int nx, int ny, int nz) {
    std::map<P, int> index;
    std::vector<P> points;
    std::vector<std::array<int, 4>> quads;
    auto vertex = [&](const P& p) {
        auto [it, added] = index.emplace(p, static_cast<int>(points.size()) + 1);
        if (added)
            points.push_back(p);
        return it->second;
    };
    for (const Side& s : BoxSides(lo, hi, nx, ny, nz))
        for (int j = 0; j < s.nv; ++j)
            for (int i = 0; i < s.nu; ++i)
                quads.push_back({vertex(At(s, i, j)), vertex(At(s, i + 1, j)),
                                 vertex(At(s, i + 1, j + 1)), vertex(At(s, i, j + 1))});
    dxf.WritePolyfaceHeader(static_cast<int>(points.size()), static_cast<int>(quads.size()));
    for (const P& p : points)
        dxf.WritePolyfaceVertex(V(p));
    for (const auto& q : quads)
        dxf.WritePolyfaceFace(q[0], q[1], q[2], q[3]);
    dxf.EndPolyline();
}

// A closed box as six polygon meshes, one per side.
void WriteGridBox(CDxfFile& dxf, const P& lo, const P& hi, int nx, int ny, int nz) {
    for (const Side& s : BoxSides(lo, hi, nx, ny, nz)) {
        // Rows along v, columns along u: each quad runs u then v, outward.
        std::vector<std::vector<P>> grid(static_cast<std::size_t>(s.nv + 1));
        for (int j = 0; j <= s.nv; ++j)
            for (int i = 0; i <= s.nu; ++i)
                grid[static_cast<std::size_t>(j)].push_back(At(s, i, j));
        WriteGrid(dxf, grid);
    }
}

// Wigley half-breadth: (B/2) (1 - ((2x - L)/L)^2) (1 - ((T - z)/T)^2) up to
// the draught, vertical sides above it.
double WigleyHalfBreadth(double x, double z) {
    const double L = 100, B = 10, T = 6.25;
    const double xi = (2 * x - L) / L;
    const double zeta = z < T ? (T - z) / T : 0;
    return B / 2 * (1 - xi * xi) * (1 - zeta * zeta);
}

void WriteWigleyHull(CDxfFile& dxf) {
    const int nx = 41, nz = 17;
    const double L = 100, D = 10;
    std::vector<std::vector<P>> starboard, port, deck;
    for (int i = 0; i < nx; ++i) {
        const double x = L * i / (nx - 1);
        std::vector<P> s, p;
        for (int k = 0; k < nz; ++k) {
            // Starboard runs up from the keel, port down from the deck, so
            // that both sides face outwards.
            const double zs = D * k / (nz - 1), zp = D * (nz - 1 - k) / (nz - 1);
            s.push_back({x, WigleyHalfBreadth(x, zs), zs});
            p.push_back({x, -WigleyHalfBreadth(x, zp), zp});
        }
        starboard.push_back(s);
        port.push_back(p);
        const double h = WigleyHalfBreadth(x, D);
        deck.push_back({{x, h, D}, {x, -h, D}});
    }
    WriteGrid(dxf, starboard);
    WriteGrid(dxf, port);
    WriteGrid(dxf, deck);
}

// Ellipsoid of revolution about the x axis: rows along x, columns around
// the axis, the last column repeating the first to close the surface.
void WriteSubmarine(CDxfFile& dxf) {
    const int nx = 49, nt = 33;
    const double L = 24, R = 1.5;
    std::vector<std::vector<P>> grid;
    for (int i = 0; i < nx; ++i) {
        const double x = L * i / (nx - 1);
        const double xi = (2 * x - L) / L;
        const double r = R * std::sqrt(std::fmax(0.0, 1 - xi * xi));
        std::vector<P> row;
        for (int k = 0; k < nt; ++k) {
            const int kk = k % (nt - 1);
            const double t = 2 * 3.141592654 * kk / (nt - 1);
            row.push_back({x, r * std::cos(t), r * std::sin(t)});
        }
        grid.push_back(row);
    }
    WriteGrid(dxf, grid);
}

template <class Draw> void Drawing(const std::string& path, Draw draw) {
    WriteFileAtomically<CDxfFile>(path, [&](CDxfFile& dxf) {
        dxf.WriteHead();
        draw(dxf);
        dxf.WriteTail();
    });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brelund-make-samples FOLDER\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        Drawing(dir + "wigley.dxf", WriteWigleyHull);
        Drawing(dir + "wigley-engine-room.dxf", [](CDxfFile& d) {
            WritePolyfaceBox(d, {42, -2, 2}, {58, 2, 8}, 8, 2, 3);
        });
        Drawing(dir + "wigley-tank-aft.dxf", [](CDxfFile& d) {
            WriteGridBox(d, {30, -1.5, 3}, {38, 1.5, 6}, 4, 2, 2);
        });
        Drawing(dir + "wigley-tank-fore.dxf", [](CDxfFile& d) {
            WriteGridBox(d, {62, -1.5, 3}, {70, 1.5, 6}, 4, 2, 2);
        });
        Drawing(dir + "barge.dxf", [](CDxfFile& d) {
            WritePolyfaceBox(d, {0, -4, 0}, {30, 4, 3}, 15, 4, 3);
        });
        Drawing(dir + "barge-tank.dxf", [](CDxfFile& d) {
            WritePolyfaceBox(d, {10, -1.5, 0.5}, {14, 1.5, 2.5}, 1, 1, 1);
        });
        Drawing(dir + "barge-fore-peak.dxf", [](CDxfFile& d) {
            WritePolyfaceBox(d, {27, -4, 0}, {30, 4, 3}, 1, 2, 1);
        });
        Drawing(dir + "barge-starboard-room.dxf", [](CDxfFile& d) {
            WritePolyfaceBox(d, {16, 1, 0}, {22, 4, 3}, 2, 1, 1);
        });
        Drawing(dir + "submarine.dxf", WriteSubmarine);
        Drawing(dir + "submarine-tank-aft.dxf", [](CDxfFile& d) {
            WriteGridBox(d, {6, -0.6, -0.6}, {9, 0.6, 0.6}, 3, 2, 2);
        });
        Drawing(dir + "submarine-tank-fore.dxf", [](CDxfFile& d) {
            WriteGridBox(d, {15, -0.6, -0.6}, {18, 0.6, 0.6}, 3, 2, 2);
        });
    } catch (const CFileException& e) {
        std::fprintf(stderr, "brelund-make-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
