// Writes the bundled sample ships. The geometry is generated here, so the
// same bytes come out on every machine:
//
//   barge.nav  a box barge 30 x 8 x 3 m ("scafo", triangles), an engine room
//              ("sala macchine", six grids, permeability 0.85) and a tank
//              ("cassa 1", 4 x 3 x 2 m, 40 % full of fuel oil).
//
// Run: build/samples/generator/brelund-make-samples samples
#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using P = std::array<double, 3>;

P At(const P& o, const P& u, const P& v, double a, double b) {
    return {o[0] + a * u[0] + b * v[0], o[1] + a * u[1] + b * v[1], o[2] + a * u[2] + b * v[2]};
}

// One side of a box: origin o and edges u, v with u x v pointing out of the box.
struct Side {
    P o, u, v;
    int nu, nv;
};

std::vector<Side> BoxSides(const P& lo, const P& hi, int nx, int ny, int nz) {
    const P dx{hi[0] - lo[0], 0, 0}, dy{0, hi[1] - lo[1], 0}, dz{0, 0, hi[2] - lo[2]};
    return {
        {lo, dy, dx, ny, nx},                    // bottom, outward -z
        {{lo[0], lo[1], hi[2]}, dx, dy, nx, ny}, // top, outward +z
        {lo, dx, dz, nx, nz},                    // port side y = lo, outward -y
        {{lo[0], hi[1], lo[2]}, dz, dx, nz, nx}, // y = hi, outward +y
        {lo, dz, dy, nz, ny},                    // aft end x = lo, outward -x
        {{hi[0], lo[1], lo[2]}, dy, dz, ny, nz}, // fore end x = hi, outward +x
    };
}

// A closed box as one mesh of triangles sharing their vertices, each side
// split into nu x nv quads and each quad into two triangles.
std::unique_ptr<CPolyfaceMesh> PolyfaceBox(const P& lo, const P& hi, int nx, int ny, int nz) {
    std::map<P, int> index;
    std::vector<P> points;
    std::vector<std::array<int, 3>> triangles;
    auto vertex = [&](const P& p) {
        auto [it, added] = index.emplace(p, static_cast<int>(points.size()) + 1);
        if (added)
            points.push_back(p);
        return it->second;
    };
    for (const Side& s : BoxSides(lo, hi, nx, ny, nz))
        for (int j = 0; j < s.nv; ++j)
            for (int i = 0; i < s.nu; ++i) {
                const double a0 = double(i) / s.nu, a1 = double(i + 1) / s.nu;
                const double b0 = double(j) / s.nv, b1 = double(j + 1) / s.nv;
                const int a = vertex(At(s.o, s.u, s.v, a0, b0));
                const int b = vertex(At(s.o, s.u, s.v, a1, b0));
                const int c = vertex(At(s.o, s.u, s.v, a1, b1));
                const int d = vertex(At(s.o, s.u, s.v, a0, b1));
                triangles.push_back({a, b, c});
                triangles.push_back({a, c, d});
            }
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(static_cast<int>(points.size()), static_cast<int>(triangles.size()));
    for (std::size_t k = 0; k < points.size(); ++k)
        mesh->GetVertex(static_cast<int>(k) + 1)->Set(points[k][0], points[k][1], points[k][2]);
    for (std::size_t k = 0; k < triangles.size(); ++k)
        mesh->SetFace(static_cast<int>(k) + 1, triangles[k][0], triangles[k][1], triangles[k][2]);
    return mesh;
}

// A closed box as six grids of quads, one per side.
void AddGridBox(CShipElement& element, const P& lo, const P& hi, int nx, int ny, int nz) {
    for (const Side& s : BoxSides(lo, hi, nx, ny, nz)) {
        auto grid = std::make_unique<CGridMesh>();
        grid->Resize(s.nv + 1, s.nu + 1);
        for (int r = 0; r <= s.nv; ++r)
            for (int j = 0; j <= s.nu; ++j) {
                const P p = At(s.o, s.u, s.v, double(j) / s.nu, double(r) / s.nv);
                grid->Item(r, j)->Set(p[0], p[1], p[2]);
            }
        element.Append(std::move(grid));
    }
}

void MakeBarge(const std::string& path) {
    CShipModel ship;
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("scafo");
    hull->Append(PolyfaceBox({0, -4, 0}, {30, 4, 3}, 15, 4, 3));

    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    room->SetName("sala macchine");
    AddGridBox(*room, {2, -3, 0.5}, {8, 3, 2.5}, 3, 3, 2);
    room->SetPermeability(0.85);

    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    tank->SetName("cassa 1");
    tank->Append(PolyfaceBox({10, -1.5, 0.5}, {14, 1.5, 2.5}, 1, 1, 1));
    tank->SetSpecificWeight(950);
    tank->SetFillingRatio(0.4);

    StoreShipFile(ship, path);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "samples";
    try {
        MakeBarge(folder + "/barge.nav");
    } catch (const CFileException& e) {
        std::fprintf(stderr, "brelund-make-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
