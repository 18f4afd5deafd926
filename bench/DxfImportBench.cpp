// Reading hull drawings: the DXF import of one element from a polyface
// drawing of 1M triangles (140 MB of text) and of smaller ones, and
// the same hull as a polygon mesh. The drawings are written once, with the
// project's own writer, into the temporary folder and removed at exit.
//
//   build/bench/brelund-dxf-bench --benchmark_filter=Polyface/1000000
#include "BenchHulls.h"

#include "io/CDxfFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace {

// The drawings written so far, by kind and triangle count; removed at exit.
class CBenchDrawings {
public:
    ~CBenchDrawings() {
        for (const auto& [key, path] : m_paths) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }

    const std::string& Get(int kind, long triangles) {
        std::string& path = m_paths[{kind, triangles}];
        if (!path.empty())
            return path;
        path = (std::filesystem::temp_directory_path() /
                ("brelund-dxf-bench-" + std::to_string(getpid()) + "-" + std::to_string(kind) +
                 "-" + std::to_string(triangles) + ".dxf"))
                   .string();
        CShipModel ship;
        AddBenchHull(ship, triangles, kind);
        const CShipElement& hull = *ship.HullElements().GetAt(1);
        CDxfFile file(path, CFile::modeWrite | CFile::modeCreate);
        file.WriteHead();
        hull.GetAt(1)->ExportDxf(file);
        file.WriteTail();
        file.Close();
        return path;
    }

private:
    std::map<std::pair<int, long>, std::string> m_paths;
};

CBenchDrawings& Drawings() {
    static CBenchDrawings drawings;
    return drawings;
}

// A hull element read from the drawing, as brelund-calc add reads it.
void BM_DxfImport(benchmark::State& state, int kind) {
    const long triangles = state.range(0);
    const std::string& path = Drawings().Get(kind, triangles);
    const auto bytes = std::filesystem::file_size(path);
    long long faces = 0;
    for (auto _ : state) {
        CDxfFile file(path, CFile::modeRead);
        file.FindEntities();
        CShipElement hull;
        hull.ImportDxf(file);
        faces = hull.GetFaceCount();
        benchmark::DoNotOptimize(faces);
    }
    if (faces == 0)
        state.SkipWithError("the drawing gave no faces");
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["triangles/s"] = benchmark::Counter(
        static_cast<double>(triangles), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DxfImportPolyface(benchmark::State& state) {
    BM_DxfImport(state, benchPolyface);
}

void BM_DxfImportGrid(benchmark::State& state) {
    BM_DxfImport(state, benchGrid);
}

} // namespace

BENCHMARK(BM_DxfImportPolyface)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_DxfImportGrid)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

BENCHMARK_MAIN();
