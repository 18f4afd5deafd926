// Cost per triangle of the engine's evaluations on dense hulls, against a
// floor loop that does the least any evaluation must: carry every vertex
// into the waterplane frame, and take every triangle's normal length.
//
// Arguments: the requested triangle count, then 0 for a polyface mesh or 1
// for a grid. Each benchmark reports ns_per_tri.
#include "BenchHulls.h"

#include "calc/UprightTable.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/RotationKernel.h"
#include "geometry/Scalar.h"

#include <benchmark/benchmark.h>
#include <map>
#include <vector>

namespace {

// One hull per size and kind, built once.
const CShipModel& Hull(long triangles, int kind) {
    static std::map<std::pair<long, int>, std::unique_ptr<CShipModel>> hulls;
    auto& ship = hulls[{triangles, kind}];
    if (!ship) {
        ship = std::make_unique<CShipModel>();
        AddBenchHull(*ship, triangles, kind);
    }
    return *ship;
}

// A mid draught with 20 degrees of heel and 3 of trim.
struct Waterplane {
    explicit Waterplane(const CShipModel& ship) {
        r.SetRotation(DegToRad(20), DegToRad(3), 0);
        double zmin = 0, zmax = 0;
        ship.ZRange(r, zmin, zmax);
        draught = (zmin + zmax) / 2;
    }
    CRotationMatrix r;
    double draught = 0;
};

void Report(benchmark::State& state, const CShipModel& ship) {
    state.counters["ns_per_tri"] = benchmark::Counter(
        static_cast<double>(BenchTriangles(ship)) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["triangles"] = static_cast<double>(BenchTriangles(ship));
}

double TriangleArea(const CVector3& a, const CVector3& b, const CVector3& c) {
    CVector3 e1 = b, e2 = c, n;
    e1.Subtract(a);
    e2.Subtract(a);
    n.Cross(e1, e2);
    return n.Length() * 0.5;
}

void BM_Floor(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    const Waterplane w(ship);
    const CRotationKernel kernel(w.r);
    const CMesh& mesh = *ship.HullElements().GetAt(1)->GetAt(1);
    std::vector<CVector3> frame(static_cast<std::size_t>(mesh.GetVertexCount()));
    for (auto _ : state) {
        const auto* poly = dynamic_cast<const CPolyfaceMesh*>(&mesh);
        const CVector3* v =
            poly ? poly->Vertices().data() : dynamic_cast<const CGridMesh&>(mesh).Items().data();
        for (std::size_t k = 0; k < frame.size(); ++k)
            frame[k] = kernel.Apply(v[k], w.draught);
        double area = 0;
        if (poly) {
            for (const CFaceIndices& f : poly->Faces())
                area += TriangleArea(frame[std::size_t(f.v[0] - 1)], frame[std::size_t(f.v[1] - 1)],
                                     frame[std::size_t(f.v[2] - 1)]);
        } else {
            const auto& grid = dynamic_cast<const CGridMesh&>(mesh);
            int c[4];
            for (int i = 1; i <= grid.GetFaceCount(); ++i) {
                grid.GetFaceCorners(i, c);
                area += TriangleArea(frame[std::size_t(c[0])], frame[std::size_t(c[1])],
                                     frame[std::size_t(c[2])]);
                area += TriangleArea(frame[std::size_t(c[0])], frame[std::size_t(c[2])],
                                     frame[std::size_t(c[3])]);
            }
        }
        benchmark::DoNotOptimize(area);
    }
    Report(state, ship);
}

void BM_Volume(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ship.HullElements().GetAt(1)->Volume());
    Report(state, ship);
}

void BM_ImmersedVolume(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    const Waterplane w(ship);
    for (auto _ : state)
        benchmark::DoNotOptimize(ship.ImmersedVolume(w.r, w.draught));
    Report(state, ship);
}

void BM_ImmersedProperties(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    const Waterplane w(ship);
    CHydroProperties p;
    for (auto _ : state) {
        ship.ImmersedProperties(p, w.draught, w.r);
        benchmark::DoNotOptimize(p.m_volume);
    }
    Report(state, ship);
}

// The 100-row upright table, all cores.
void BM_UprightTable(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    CUprightInputs in;
    CImmersedBody body;
    OpenUprightTable(ship, in, body);
    in.dz = (in.zmax - in.zmin) / 99.5;
    CTextGrid grid;
    for (auto _ : state)
        ComputeUprightTable(ship, in, grid, nullptr, nullptr);
    state.counters["rows"] = grid.GetRows() - 1;
    Report(state, ship);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (long n : {10000L, 100000L, 1000000L})
        for (int kind : {benchPolyface, benchGrid})
            b->Args({n, kind});
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Floor)->Apply(Sizes);
BENCHMARK(BM_Volume)->Apply(Sizes);
BENCHMARK(BM_ImmersedVolume)->Apply(Sizes);
BENCHMARK(BM_ImmersedProperties)->Apply(Sizes);
BENCHMARK(BM_UprightTable)
    ->Args({1000000, benchPolyface})
    ->Args({1000000, benchGrid})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
