// Import and export of element meshes: the bench ellipsoid hull (a polyface
// mesh, 100k and 1M triangles) written once with our writers to files in
// /tmp, then read back, and written again, on every iteration. Arguments:
// the triangle count, then the kind of file (0 binary STL, 1 ASCII STL,
// 2 OBJ). Each benchmark reports ns_per_tri and the file's size.
#include "BenchHulls.h"

#include "io/ObjReader.h"
#include "io/StlReader.h"
#include "model/MeshFiles.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

namespace {

enum FileKind { binaryStl = 0, asciiStl = 1, obj = 2 };

const CShipElement& Hull(long triangles) {
    static std::map<long, std::unique_ptr<CShipModel>> hulls;
    auto& ship = hulls[triangles];
    if (!ship) {
        ship = std::make_unique<CShipModel>();
        AddBenchHull(*ship, triangles, benchPolyface);
    }
    return *ship->HullElements().GetAt(1);
}

// ASCII STL has no writer of ours: written here as exporters write it.
void WriteAsciiStl(const CShipElement& element, CFile& file) {
    std::string out = "solid bench\n";
    CPointList face;
    const CMesh& mesh = *element.GetAt(1);
    for (int i = 1; i <= mesh.GetFaceCount(); ++i) {
        mesh.GetFace(i, face);
        out += " facet normal 0 0 0\n  outer loop\n";
        for (int k = 1; k <= 3; ++k) {
            const CVector3& p = *face.GetAt(k);
            out += FormatC("   vertex %.9g %.9g %.9g\n", p.X(), p.Y(), p.Z());
        }
        out += "  endloop\n endfacet\n";
    }
    out += "endsolid bench\n";
    file.Write(out.data(), out.size());
}

class CBenchFiles {
public:
    ~CBenchFiles() {
        for (const auto& [key, path] : m_paths)
            std::remove(path.c_str());
    }
    // The hull of that many triangles in a file of that kind, written once.
    const std::string& Path(long triangles, int kind) {
        std::string& path = m_paths[{triangles, kind}];
        if (path.empty()) {
            static const char* const extensions[] = {".stl", "-ascii.stl", ".obj"};
            path = "/tmp/brelund-mesh-bench-" + std::to_string(getpid()) + "-" +
                   std::to_string(triangles) + extensions[kind];
            const CShipElement& hull = Hull(triangles);
            WriteFileAtomically(path, [&](CFile& file) {
                if (kind == binaryStl)
                    WriteStl(hull, file);
                else if (kind == asciiStl)
                    WriteAsciiStl(hull, file);
                else
                    WriteObj(hull, file);
            });
        }
        return path;
    }

private:
    std::map<std::pair<long, int>, std::string> m_paths;
};

CBenchFiles g_files;

void Report(benchmark::State& state, long triangles, const std::string& path) {
    state.counters["ns_per_tri"] = benchmark::Counter(
        static_cast<double>(triangles) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    CFile file(path, CFile::modeRead);
    state.counters["file_MB"] = static_cast<double>(file.GetLength()) / 1e6;
}

void BM_ReadStl(benchmark::State& state) {
    const long triangles = state.range(0);
    const std::string& path = g_files.Path(triangles, static_cast<int>(state.range(1)));
    for (auto _ : state) {
        const CTriangleArrays mesh = ReadStlFile(path);
        benchmark::DoNotOptimize(mesh.faces.size());
    }
    Report(state, triangles, path);
}
BENCHMARK(BM_ReadStl)
    ->ArgNames({"tri", "kind"})
    ->Args({100000, binaryStl})
    ->Args({1000000, binaryStl})
    ->Args({100000, asciiStl})
    ->Args({1000000, asciiStl})
    ->Unit(benchmark::kMillisecond);

void BM_ReadObj(benchmark::State& state) {
    const long triangles = state.range(0);
    const std::string& path = g_files.Path(triangles, obj);
    for (auto _ : state) {
        const std::vector<CTriangleArrays> meshes = ReadObjFile(path);
        benchmark::DoNotOptimize(meshes.front().faces.size());
    }
    Report(state, triangles, path);
}
BENCHMARK(BM_ReadObj)->ArgName("tri")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Export into a file of its own, rewritten on every iteration (the flush to
// disk of the atomic save included).
void BM_Write(benchmark::State& state) {
    const long triangles = state.range(0);
    const int kind = static_cast<int>(state.range(1));
    const CShipElement& hull = Hull(triangles);
    const std::string path = "/tmp/brelund-mesh-bench-" + std::to_string(getpid()) + "-out" +
                             (kind == obj ? ".obj" : ".stl");
    for (auto _ : state)
        WriteFileAtomically(path, [&](CFile& file) {
            if (kind == obj)
                WriteObj(hull, file);
            else
                WriteStl(hull, file);
        });
    Report(state, triangles, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_Write)
    ->ArgNames({"tri", "kind"})
    ->Args({1000000, binaryStl})
    ->Args({1000000, obj})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
