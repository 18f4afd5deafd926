// Peak memory of a loaded ship: brelund-memory-probe write FILE TRIANGLES
// KIND writes a benchmark hull; brelund-memory-probe load FILE loads a ship
// file, evaluates it once and prints the process's peak resident size. The
// difference between a dense ship and an empty one, per triangle, is the
// memory the model and one evaluation need.
#include "BenchHulls.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "model/ShipFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "write" && argc == 5) {
        CShipModel ship;
        AddBenchHull(ship, std::atol(argv[3]), std::atoi(argv[4]));
        StoreShipFile(ship, argv[2]);
        std::printf("%ld\n", BenchTriangles(ship));
        return 0;
    }
    if (mode == "load" && argc == 3) {
        CShipModel ship;
        LoadShipFile(ship, argv[2]);
        CRotationMatrix r;
        r.SetRotation(DegToRad(20), DegToRad(3), 0);
        double zmin = 0, zmax = 0;
        ship.ZRange(r, zmin, zmax);
        CHydroProperties p;
        ship.ImmersedProperties(p, (zmin + zmax) / 2, r);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld %ld\n", BenchTriangles(ship), usage.ru_maxrss * 1024L);
        return 0;
    }
    std::fprintf(stderr, "usage: brelund-memory-probe write FILE TRIANGLES KIND | load FILE\n");
    return 2;
}
