// Cost per triangle of the engine's evaluations on dense hulls, against a
// floor loop that does the least any evaluation must: carry every vertex
// into the waterplane frame, and take every triangle's normal length.
//
// Arguments: the requested triangle count, then 0 for a polyface mesh or 1
// for a grid. Each benchmark reports ns_per_tri.
//
// The inclined tables (KZ at even keel, GZ free to trim) run on the sample
// Wigley ship and on the 1M-triangle hulls; their cost is per table, in
// milliseconds of wall time. BM_KZTableStop times how long a KZ table takes
// to give up once asked to stop. BM_TankTable times a tank's calibration
// table of 50 soundings at 5 trims, the tank the 1M-triangle body.
#include "BenchHulls.h"

#include "calc/BonjeanTable.h"
#include "calc/CurvesOfForm.h"
#include "calc/DamageStability.h"
#include "calc/InclinedTable.h"
#include "calc/StabilityCurve.h"
#include "calc/TankTable.h"
#include "calc/UprightTable.h"
#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/ExactIntegrals.h"
#include "geometry/IntegrationRules.h"
#include "geometry/RotationKernel.h"
#include "geometry/Scalar.h"
#include "model/ConditionsFile.h"
#include "model/MeshCheck.h"
#include "model/ShipFile.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <string>
#include <tbb/task_arena.h>
#include <thread>
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

// The floor loops: every vertex of the hull's mesh carried into the
// waterplane frame, then fn(a, b, c) for every triangle, in face order.
template <class Fn> void FloorPass(const CShipModel& ship, benchmark::State& state, Fn&& fn) {
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
        if (poly) {
            for (const CFaceIndices& f : poly->Faces())
                fn(frame[std::size_t(f.v[0] - 1)], frame[std::size_t(f.v[1] - 1)],
                   frame[std::size_t(f.v[2] - 1)]);
        } else {
            const auto& grid = dynamic_cast<const CGridMesh&>(mesh);
            int c[4];
            for (int i = 1; i <= grid.GetFaceCount(); ++i) {
                grid.GetFaceCorners(i, c);
                fn(frame[std::size_t(c[0])], frame[std::size_t(c[1])], frame[std::size_t(c[2])]);
                fn(frame[std::size_t(c[0])], frame[std::size_t(c[2])], frame[std::size_t(c[3])]);
            }
        }
    }
}

CVector3 CrossProduct(const CVector3& a, const CVector3& b, const CVector3& c) {
    CVector3 e1 = b, e2 = c, n;
    e1.Subtract(a);
    e2.Subtract(a);
    n.Cross(e1, e2);
    return n;
}

// Every triangle's area, with the power function as the engine's lengths.
void BM_Floor(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    double area = 0;
    FloorPass(ship, state, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        area += CrossProduct(a, b, c).Length() * 0.5;
    });
    benchmark::DoNotOptimize(area);
    Report(state, ship);
}

// The floor of the exact rule: every triangle's cross product summed,
// without the power function.
void BM_CrossFloor(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    CVector3 sum;
    FloorPass(ship, state, [&](const CVector3& a, const CVector3& b, const CVector3& c) {
        sum.Add(CrossProduct(a, b, c));
    });
    benchmark::DoNotOptimize(sum);
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

// A full evaluation by the exact rule: volume, moments, wetted area,
// waterplane and its extents.
// The exact rule's evaluation in arena: on one core for BM_ExactProperties
// (a mesh of many faces is otherwise summed in pieces on all cores), on all
// for BM_ExactPropertiesAllCores.
void ExactProperties(benchmark::State& state, tbb::task_arena& arena) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    const Waterplane w(ship);
    CHydroProperties p;
    p.SetCollect(false);
    arena.execute([&] {
        for (auto _ : state) {
            ship.ImmersedProperties(p, w.draught, w.r, CHydroMethod::Exact());
            benchmark::DoNotOptimize(p);
        }
    });
    Report(state, ship);
}

void BM_ExactProperties(benchmark::State& state) {
    tbb::task_arena one(1);
    ExactProperties(state, one);
}

void BM_ExactPropertiesAllCores(benchmark::State& state) {
    tbb::task_arena all;
    ExactProperties(state, all);
}

// The 100-row upright table, all cores.
void BM_UprightTable(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    CUprightInputs in;
    CImmersedBody body;
    OpenUprightTable(ship, in, body);
    in.dz = (in.zmax - in.zmin) / 99.5;
    CUprightTable table;
    for (auto _ : state)
        table = ComputeUprightTable(ship, in);
    state.counters["rows"] = static_cast<double>(table.rows.size());
    Report(state, ship);
}

// The ships of the table benchmarks, by their first argument.
enum TableShip { tableWigley = 0, tablePolyface1M = 1, tableGrid1M = 2 };

// Null when the sample ship cannot be read.
const CShipModel* TableShipModel(long which) {
    if (which == tablePolyface1M)
        return &Hull(1000000, benchPolyface);
    if (which == tableGrid1M)
        return &Hull(1000000, benchGrid);
    static const auto wigley = []() -> std::unique_ptr<CShipModel> {
        auto ship = std::make_unique<CShipModel>();
        try {
            LoadShipFile(*ship, std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav");
        } catch (...) {
            return nullptr;
        }
        return ship;
    }();
    return wigley.get();
}

// The dialog's opening values, then rows for the given number of volumes,
// equally spaced from lo to hi times the wholly immersed volume, and columns
// for the heels from 0 to 45 degrees in steps of 5.
CInclinedInputs TableInputs(const CShipModel& ship, CalculationKind kind, double lo, double hi,
                            int volumes) {
    CInclinedInputs in;
    OpenInclinedTable(ship, in);
    in.kind = kind;
    in.vi = lo * in.vmax;
    in.vf = hi * in.vmax;
    in.dv = (in.vf - in.vi) / (volumes - 1);
    in.ai = 0;
    in.af = 45;
    in.da = 5;
    return in;
}

// Runs the table once per iteration, through run (which may place it in an
// arena), after checking that the inputs give the intended rows and columns.
// Reports the cells and the cells shown as "-".
template <class Run>
void RunInclinedTable(benchmark::State& state, const CShipModel& ship, CInclinedInputs in,
                      int volumes, Run&& run) {
    if (in.vmax <= 0 || CorrectInclinedInputs(in) || InclinedVolumeCount(in) + 1 != volumes ||
        InclinedAngleCount(in) + 1 != 10) {
        state.SkipWithError("the inputs do not give the intended table");
        return;
    }
    std::vector<CInclinedCellNote> notes;
    long long evaluations = 0;
    for (auto _ : state) {
        const long long before = CShipModel::EvaluationCount();
        run([&] { notes = InclinedNotes(ComputeInclinedTable(ship, in)); });
        evaluations += CShipModel::EvaluationCount() - before;
    }
    state.counters["cells"] = volumes * 10;
    state.counters["dash_cells"] = static_cast<double>(notes.size());
    // Ship evaluations made on this thread: all of them when the cells run
    // in order (GZ, or KZ on one thread).
    state.counters["evaluations_per_cell"] =
        static_cast<double>(evaluations) / static_cast<double>(state.iterations()) / (volumes * 10);
}

// KZ at even keel, 10 volumes (10% to 90% of the wholly immersed volume) by
// 10 heels. Second argument 1: on one thread; 0: on all cores.
void BM_KZTable(benchmark::State& state) {
    const CShipModel* ship = TableShipModel(state.range(0));
    if (!ship) {
        state.SkipWithError("cannot read samples/wigley.nav");
        return;
    }
    const CInclinedInputs in = TableInputs(*ship, EvenKeelKZ, 0.1, 0.9, 10);
    if (state.range(1) == 1) {
        tbb::task_arena arena(1);
        RunInclinedTable(state, *ship, in, 10, [&](auto&& table) { arena.execute(table); });
    } else {
        RunInclinedTable(state, *ship, in, 10, [](auto&& table) { table(); });
    }
}

// GZ free to trim, 5 volumes (30% to 70% of the wholly immersed volume) by 10
// heels; the cells run one after the other whatever the cores. G lies under
// the centroid of the wholly immersed body, a quarter of the way down to the
// keel, low enough that every lever off upright is positive on these hulls,
// and 1 m aft of it, so that every cell searches its trim.
void BM_GZTable(benchmark::State& state) {
    const CShipModel* ship = TableShipModel(state.range(0));
    if (!ship) {
        state.SkipWithError("cannot read samples/wigley.nav");
        return;
    }
    CInclinedInputs in = TableInputs(*ship, FreeToTrimGZ, 0.3, 0.7, 5);
    CRotationMatrix upright;
    upright.SetRotation(0, 0, 0);
    double zmin = 0, zmax = 0;
    ship->ZRange(upright, zmin, zmax);
    in.xg -= 1;
    in.yg = 0;
    in.zg -= (in.zg - zmin) / 4;
    RunInclinedTable(state, *ship, in, 5, [](auto&& table) { table(); });
}

// Counts the cells handed over.
struct CCellCount final : CProgress {
    void SetRange(int, int) override {}
    void SetPos(int) override { ++cells; }
    std::atomic<int> cells{0};
};

// A KZ table of 50 volumes (10% to 90% of the wholly immersed volume) by 91
// heels (0 to 90 by 1) on all cores, asked to stop once 20 cells are done:
// the time from the request to the compute's return, the wait a person has
// after "Interrompi". Reports the longest wait too.
void BM_KZTableStop(benchmark::State& state) {
    const CShipModel* ship = TableShipModel(state.range(0));
    if (!ship) {
        state.SkipWithError("cannot read samples/wigley.nav");
        return;
    }
    CInclinedInputs in = TableInputs(*ship, EvenKeelKZ, 0.1, 0.9, 50);
    in.af = 90;
    in.da = 1;
    if (CorrectInclinedInputs(in) || InclinedVolumeCount(in) + 1 != 50 ||
        InclinedAngleCount(in) + 1 != 91) {
        state.SkipWithError("the inputs do not give the intended table");
        return;
    }
    double longest = 0;
    bool stopped = true;
    for (auto _ : state) {
        CStopRequest stop;
        CCellCount volumes;
        bool gaveUp = false;
        std::thread run([&] {
            try {
                ComputeInclinedTable(*ship, in, {&volumes, &stop});
            } catch (const CCalculationStopped&) {
                gaveUp = true;
            }
        });
        while (volumes.cells < 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto asked = std::chrono::steady_clock::now();
        stop.Request();
        run.join();
        const std::chrono::duration<double> wait = std::chrono::steady_clock::now() - asked;
        state.SetIterationTime(wait.count());
        longest = std::max(longest, wait.count());
        stopped = stopped && gaveUp;
    }
    if (!stopped)
        state.SkipWithError("a table ran to its end");
    state.counters["longest_ms"] = longest * 1000;
}

// Bonjean tables of 21 regular and 10 additional stations by 50 waterlines
// from keel to top. Third argument 1: on one thread; 0: on all cores.
void BM_BonjeanTable(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    CBonjeanModelData data;
    OpenBonjeanTables(ship, data);
    CBonjeanInputs in;
    in.zstart = data.zmin;
    in.zend = data.zmax;
    in.dz = (data.zmax - data.zmin) / 49;
    in.station0 = data.xmin;
    in.station20 = data.xmax;
    for (int k = 0; k < 10; ++k)
        in.extra += (k ? "\r\n" : "") + std::to_string(2 * k + 0.5);
    if (CheckBonjeanInputs(&ship, in, data) || BonjeanWaterlineCount(in) != 50) {
        state.SkipWithError("the inputs do not give the intended tables");
        return;
    }
    CBonjeanTables tables;
    const auto run = [&] { tables = ComputeBonjeanTables(ship, in, data); };
    tbb::task_arena arena(state.range(2) == 1 ? 1 : tbb::task_arena::automatic);
    for (auto _ : state)
        arena.execute(run);
    state.counters["stations"] = tables.Stations();
    Report(state, ship);
}

// The curves of form, 20 draughts from keel to deck by the exact rule.
// Third argument 1: on one thread; 0: on all cores.
void BM_CurvesOfForm(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    double depth = 0;
    HullDepth(ship, 0, 0, depth);
    CCurvesOfFormInputs in;
    for (int k = 1; k <= 20; ++k)
        in.draughts.push_back(depth * k / 20);
    tbb::task_arena arena(state.range(2) == 1 ? 1 : tbb::task_arena::automatic);
    CRecordTable table;
    for (auto _ : state)
        arena.execute([&] { table = ComputeCurvesOfForm(ship, in); });
    state.counters["rows"] = static_cast<double>(table.rows.size());
    Report(state, ship);
}

// A 19-heel GZ curve free to trim by the exact rule (2.5 deg, and 0 to 85
// by 5, 30 and 40 among them): a condition of half the
// hull's volume with G a quarter of the way from the axis down to the keel
// and 1 m aft of the middle, so that every heel searches its trim. Third
// argument 1: on one thread; 0: on all cores.
void BM_StabilityCurve(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    CStabilityInputs in;
    in.lightship = ship.TotalVolume(CHydroMethod::Exact()) / 2 * in.density;
    in.lcg = 49;
    in.vcg = -2;
    in.heels.push_back(2.5);
    for (int k = 0; k <= 17; ++k)
        in.heels.push_back(5.0 * k);
    if (CheckStabilityShip(ship, in) || StabilityHeels(in).size() != 19) {
        state.SkipWithError("the condition does not give the intended curve");
        return;
    }
    tbb::task_arena arena(state.range(2) == 1 ? 1 : tbb::task_arena::automatic);
    CStabilityResult result;
    long long evaluations = 0;
    try {
        for (auto _ : state) {
            const long long before = CShipModel::EvaluationCount();
            arena.execute([&] { result = ComputeStability(ship, in); });
            evaluations += CShipModel::EvaluationCount() - before;
        }
    } catch (const CCalcFailure&) {
        state.SkipWithError("no equilibrium at a heel");
        return;
    }
    state.counters["heels"] = static_cast<double>(result.curve.size());
    state.counters["GM0_m"] = result.summary.gm0;
    // Ship evaluations on this thread: all of them on one thread.
    state.counters["evaluations_on_caller"] =
        static_cast<double>(evaluations) / static_cast<double>(state.iterations());
}

// The GZ curves of every loading condition of a sample ship (0: the
// Wigley hull, 1: the barge), on one thread: what the searches cost on the
// ships as drawn. Second argument 1: with the ship's openings, whose
// immersion heels take further equilibria; 0: the curve alone.
void BM_SampleStabilityCurve(benchmark::State& state) {
    const std::string path = std::string(BRELUND_SOURCE_DIR) + "/samples/" +
                             (state.range(0) == 0 ? "wigley" : "barge") + ".nav";
    CShipModel ship;
    CLoadingConditions conditions;
    try {
        LoadShipFile(ship, path);
        LoadConditionsFile(path, conditions);
    } catch (...) {
        state.SkipWithError("cannot read the sample ship or its conditions");
        return;
    }
    std::vector<CStabilityInputs> inputs;
    for (const CLoadingCondition& c : conditions.All()) {
        inputs.push_back(ConditionStabilityInputs(ship, c));
        if (state.range(1) == 1)
            inputs.back().openings = conditions.Openings();
    }
    tbb::task_arena arena(1);
    long long evaluations = 0, heels = 0;
    try {
        for (auto _ : state) {
            const long long before = CShipModel::EvaluationCount();
            heels = 0;
            for (const CStabilityInputs& in : inputs)
                arena.execute([&] { heels += ComputeStability(ship, in).curve.size(); });
            evaluations += CShipModel::EvaluationCount() - before;
        }
    } catch (const CCalcFailure&) {
        state.SkipWithError("no equilibrium at a heel");
        return;
    }
    state.counters["heels"] = static_cast<double>(heels);
    state.counters["evaluations_per_heel"] = static_cast<double>(evaluations) /
                                             static_cast<double>(state.iterations()) /
                                             static_cast<double>(heels);
}

// A tank's calibration table of 50 soundings by 5 trims (-2 to 2 deg) on
// the 1M-triangle body made a tank: 250 cuts by the exact rule, each
// sounding in the middle of one fiftieth of the body's 16 m. Third argument
// 1: on one thread; 0: on all cores.
void BM_TankTable(benchmark::State& state) {
    static std::map<std::pair<long, int>, std::unique_ptr<CShipModel>> ships;
    auto& ship = ships[{state.range(0), static_cast<int>(state.range(1))}];
    if (!ship) {
        ship = std::make_unique<CShipModel>();
        auto* tank = static_cast<CTank*>(ship->AddElement(kindTank));
        tank->SetName("bench");
        tank->SetSpecificWeight(1000);
        AddBenchBody(*tank, state.range(0), static_cast<int>(state.range(1)));
    }
    CTankTableInputs in;
    for (int k = 0; k < 50; ++k)
        in.soundings.push_back(16 * (k + 0.5) / 50);
    in.trims = {-2, -1, 0, 1, 2};
    if (CheckTankTableInputs(in) || CheckTankTableShip(*ship, in)) {
        state.SkipWithError("the tank does not give the intended table");
        return;
    }
    tbb::task_arena arena(state.range(2) == 1 ? 1 : tbb::task_arena::automatic);
    CRecordTable table;
    for (auto _ : state)
        arena.execute([&] { table = ComputeTankTable(*ship, in); });
    state.counters["rows"] = static_cast<double>(table.rows.size());
    state.counters["triangles"] = static_cast<double>(state.range(0));
}

// A damage case on the 1M-triangle hulls: the condition of
// BM_StabilityCurve with the room off the centreline (AddBenchCompartment)
// open to the sea. The intact and damaged equilibria searched over the
// heel, then the curve after damage with its refinement, on all cores.
void BM_DamageCase(benchmark::State& state) {
    static std::map<int, std::unique_ptr<CShipModel>> ships;
    auto& ship = ships[static_cast<int>(state.range(1))];
    if (!ship) {
        ship = std::make_unique<CShipModel>();
        AddBenchHull(*ship, state.range(0), static_cast<int>(state.range(1)));
        AddBenchCompartment(*ship);
    }
    CDamageInputs in;
    in.condition.lightship = ship->TotalVolume(CHydroMethod::Exact()) / 2 * in.condition.density;
    in.condition.lcg = 49;
    in.condition.vcg = -2;
    in.damage.name = "room";
    in.damage.compartments = {{"room", std::nullopt}};
    if (CheckDamageInputs(in) || CheckDamageShip(*ship, in)) {
        state.SkipWithError("the case cannot be computed");
        return;
    }
    CDamageResult result;
    long long evaluations = 0;
    try {
        for (auto _ : state) {
            const long long before = CShipModel::EvaluationCount();
            result = ComputeDamage(*ship, in);
            evaluations += CShipModel::EvaluationCount() - before;
        }
    } catch (const CCalcFailure&) {
        state.SkipWithError("a search did not settle");
        return;
    }
    if (result.outcome != DamageOutcome::floats) {
        state.SkipWithError("the ship does not float after damage");
        return;
    }
    state.counters["heel_deg"] = result.equilibrium.point.heel;
    state.counters["heels"] = static_cast<double>(result.curve.curve.size());
    state.counters["evaluations_on_caller"] =
        static_cast<double>(evaluations) / static_cast<double>(state.iterations());
}

// The checks of a whole element: matching vertices, edges, orientation.
void BM_CheckElement(benchmark::State& state) {
    const CShipModel& ship = Hull(state.range(0), static_cast<int>(state.range(1)));
    const CShipElement& hull = *ship.HullElements().GetAt(1);
    bool closed = false;
    for (auto _ : state) {
        const CElementCheck check = CheckElement(hull);
        closed = check.surface.IsClosed();
        benchmark::DoNotOptimize(check.surface.volume);
    }
    state.counters["closed"] = closed;
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
BENCHMARK(BM_CrossFloor)->Apply(Sizes);
BENCHMARK(BM_Volume)->Apply(Sizes);
BENCHMARK(BM_ImmersedVolume)->Apply(Sizes);
BENCHMARK(BM_ImmersedProperties)->Apply(Sizes);
BENCHMARK(BM_ExactProperties)->Apply(Sizes);
BENCHMARK(BM_ExactPropertiesAllCores)
    ->Args({1000000, benchPolyface})
    ->Args({1000000, benchGrid})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_UprightTable)
    ->Args({1000000, benchPolyface})
    ->Args({1000000, benchGrid})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_BonjeanTable)
    ->ArgNames({"triangles", "grid", "serial"})
    ->ArgsProduct({{100000, 1000000}, {benchPolyface, benchGrid}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CurvesOfForm)
    ->ArgNames({"triangles", "grid", "serial"})
    ->ArgsProduct({{1000000}, {benchPolyface, benchGrid}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SampleStabilityCurve)
    ->ArgNames({"ship", "openings"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StabilityCurve)
    ->ArgNames({"triangles", "grid", "serial"})
    ->ArgsProduct({{1000000}, {benchPolyface, benchGrid}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_TankTable)
    ->ArgNames({"triangles", "grid", "serial"})
    ->ArgsProduct({{1000000}, {benchPolyface, benchGrid}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DamageCase)
    ->ArgNames({"triangles", "grid"})
    ->ArgsProduct({{1000000}, {benchPolyface, benchGrid}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_CheckElement)
    ->Args({1000000, benchPolyface})
    ->Args({1000000, benchGrid})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_KZTable)
    ->ArgNames({"ship", "serial"})
    ->ArgsProduct({{tableWigley, tablePolyface1M, tableGrid1M}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_KZTableStop)
    ->ArgName("ship")
    ->DenseRange(tableWigley, tableGrid1M)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_GZTable)
    ->ArgName("ship")
    ->DenseRange(tableWigley, tableGrid1M)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
