// Loading and saving ship files: a hull of 1M triangles (one polyface mesh,
// written with the model's own Store) and ships of 1M and 10M empty hull
// elements (13 bytes each, written byte by byte as the file layout gives
// them). Each benchmark reports ns per item (triangle or element) and the
// file's size.
//
// brelund-ship-file-bench --peak triangles|elements COUNT
// writes the file, then loads it once in a fresh process state and prints
// the resident size before the load, the peak during it and the peak
// increase per item (from VmRSS and VmHWM of /proc/self/status; the peak is
// reset through /proc/self/clear_refs before the load).
#include "BenchHulls.h"

#include "model/ShipFile.h"
#include "platform/AtomicFile.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum ItemKind { triangles = 0, elements = 1 };

std::string BenchPath(long count, int kind) {
    return "/tmp/brelund-ship-bench-" + std::to_string(getpid()) + "-" + std::to_string(count) +
           (kind == triangles ? "-tri.nav" : "-empty.nav");
}

void WriteTriangleShip(const std::string& path, long count) {
    CShipModel ship;
    AddBenchHull(ship, count, benchPolyface);
    StoreShipFile(ship, path);
}

// count hull records of 13 bytes (enabled, colour, name length 0, no mesh),
// then no compartment and no tank.
void WriteEmptyElementShip(const std::string& path, long count) {
    std::vector<char> bytes;
    bytes.reserve(static_cast<std::size_t>(count) * 13 + 12);
    auto put = [&](const void* p, std::size_t n) {
        const char* c = static_cast<const char*>(p);
        bytes.insert(bytes.end(), c, c + n);
    };
    const std::int32_t n = static_cast<std::int32_t>(count), zero = 0;
    const std::uint32_t colour = 0x808080;
    const unsigned char enabled = 1;
    put(&n, 4);
    for (long i = 0; i < count; ++i) {
        put(&enabled, 1);
        put(&colour, 4);
        put(&zero, 4);
        put(&zero, 4);
    }
    put(&zero, 4);
    put(&zero, 4);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteShip(const std::string& path, long count, int kind) {
    if (kind == triangles)
        WriteTriangleShip(path, count);
    else
        WriteEmptyElementShip(path, count);
}

class CBenchFiles {
public:
    ~CBenchFiles() {
        for (const auto& [key, path] : m_paths)
            std::remove(path.c_str());
    }
    const std::string& Path(long count, int kind) {
        std::string& path = m_paths[{count, kind}];
        if (path.empty()) {
            path = BenchPath(count, kind);
            WriteShip(path, count, kind);
        }
        return path;
    }

private:
    std::map<std::pair<long, int>, std::string> m_paths;
};

CBenchFiles g_files;

void Report(benchmark::State& state, long count, const std::string& path) {
    state.counters["ns_per_item"] = benchmark::Counter(
        static_cast<double>(count) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    CFile file(path, CFile::modeRead);
    state.counters["file_MB"] = static_cast<double>(file.GetLength()) / 1e6;
}

void BM_Load(benchmark::State& state) {
    const long count = state.range(0);
    const int kind = static_cast<int>(state.range(1));
    const std::string& path = g_files.Path(count, kind);
    for (auto _ : state) {
        CShipModel ship;
        LoadShipFile(ship, path);
        benchmark::DoNotOptimize(ship.GetElementCount());
    }
    Report(state, count, path);
}
BENCHMARK(BM_Load)
    ->ArgNames({"n", "kind"})
    ->Args({1000000, triangles})
    ->Args({1000000, elements})
    ->Args({10000000, elements})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

// Saves into a file of its own on every iteration, the flush to disk of the
// atomic save included.
void BM_Store(benchmark::State& state) {
    const long count = state.range(0);
    const int kind = static_cast<int>(state.range(1));
    CShipModel ship;
    LoadShipFile(ship, g_files.Path(count, kind));
    const std::string path = BenchPath(count, kind) + ".out";
    for (auto _ : state)
        StoreShipFile(ship, path);
    Report(state, count, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_Store)
    ->ArgNames({"n", "kind"})
    ->Args({1000000, triangles})
    ->Args({1000000, elements})
    ->Unit(benchmark::kMillisecond);

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    return -1;
}

int PeakRun(const std::string& what, long count) {
    const int kind = what == "triangles" ? triangles : elements;
    const std::string path = BenchPath(count, kind);
    WriteShip(path, count, kind);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKiB("VmRSS");
    long loaded = 0;
    {
        CShipModel ship;
        LoadShipFile(ship, path);
        loaded = ship.GetElementCount();
    }
    const long peak = StatusKiB("VmHWM");
    std::remove(path.c_str());
    std::printf("%s %ld (elements loaded %ld): rss before %ld KiB, peak %ld KiB, "
                "%.1f bytes per item\n",
                what.c_str(), count, loaded, before, peak,
                (peak - before) * 1024.0 / static_cast<double>(count));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--peak")
        return PeakRun(argv[2], std::atol(argv[3]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
