#!/usr/bin/env bash
# Runs the engine benchmarks and the memory probe, and prints ns per
# triangle of each evaluation against the floor loop, the upright table's
# parallel speed-up, the inclined tables' times (KZ on one core and on all,
# GZ per cell), the Bonjean tables, the 19-heel stability curve, a damage
# case, the mesh checks, the peak memory per triangle of a loaded ship, and
# the reading of DXF, STL and OBJ files.
# Usage: scripts/bench.sh [extra Google Benchmark flags]
# The full JSON goes to build/bench.json.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
brelund_install_deps

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$root/build" -DBRELUND_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build" --target brelund-bench brelund-memory-probe brelund-dxf-bench \
  brelund-mesh-file-bench brelund-view-bench brelund-calc -j "$jobs" >/dev/null

"$root/build/bench/brelund-bench" --benchmark_format=json --benchmark_out="$root/build/bench.json" \
  --benchmark_out_format=json "$@" >/dev/null

probe="$root/build/bench/brelund-memory-probe"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '\0\0\0\0\0\0\0\0\0\0\0\0' > "$tmp/empty.nav"
"$probe" write "$tmp/poly.nav" 1000000 0 >/dev/null
"$probe" write "$tmp/grid.nav" 1000000 1 >/dev/null
base=$("$probe" load "$tmp/empty.nav")
poly=$("$probe" load "$tmp/poly.nav")
grid=$("$probe" load "$tmp/grid.nav")

# Importing a 1M-triangle hull with the command line, the mesh check and the
# save included: the best of three runs of `add` into an empty ship.
calc="$root/build/src/cli/brelund-calc"
"$calc" export "$tmp/poly.nav" bench "$tmp/hull.stl" >/dev/null
"$calc" export "$tmp/poly.nav" bench "$tmp/hull.dxf" >/dev/null
add_seconds() {
  local best=""
  for _ in 1 2 3; do
    cp "$tmp/empty.nav" "$tmp/add.nav"
    local start end
    start=$(date +%s.%N)
    "$calc" add "$tmp/add.nav" hull "$1" >/dev/null
    end=$(date +%s.%N)
    best=$(python3 -c "import sys; t = $end - $start; b = '$best'; print(min(t, float(b)) if b else t)")
  done
  echo "$best"
}
add_stl=$(add_seconds "$tmp/hull.stl")
add_dxf=$(add_seconds "$tmp/hull.dxf")

python3 - "$root/build/bench.json" "$base" "$poly" "$grid" "$jobs" "$add_stl" "$add_dxf" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
ns = {b["name"]: b["ns_per_tri"] for b in data["benchmarks"] if "ns_per_tri" in b}
kinds = {"0": "polyface", "1": "grid"}
print("ns per triangle and ratio to the floor")
for n in ("10000", "100000", "1000000"):
    for k in ("0", "1"):
        floor = ns.get(f"BM_Floor/{n}/{k}")
        if floor is None:
            continue
        row = [f"{n:>8} {kinds[k]:8}", f"floor {floor:6.1f}"]
        for op in ("Volume", "ImmersedVolume", "ImmersedProperties"):
            v = ns.get(f"BM_{op}/{n}/{k}")
            if v is not None:
                row.append(f"{op} {v:6.1f} ({v / floor:4.2f}x)")
        print("  ".join(row))
        # The exact rule against the floor without the power function.
        cross = ns.get(f"BM_CrossFloor/{n}/{k}")
        exact = ns.get(f"BM_ExactProperties/{n}/{k}")
        if cross and exact:
            print(f"{'':17}cross floor {cross:6.1f}  ExactProperties {exact:6.1f} "
                  f"({exact / cross:4.2f}x)")
cores = int(sys.argv[5])
for k in ("0", "1"):
    table = [b for b in data["benchmarks"] if b["name"].startswith(f"BM_UprightTable/1000000/{k}")]
    ip = ns.get(f"BM_ImmersedProperties/1000000/{k}")
    if table and ip:
        t = table[0]["real_time"]  # ms
        serial = 100 * ip * 1e6 / 1e6  # 100 evaluations of 1M triangles, in ms
        print(f"upright table, 100 rows, 1M {kinds[k]}: {t:.0f} ms; "
              f"100 serial evaluations / {cores} cores = {serial / cores:.0f} ms; "
              f"ratio {t / (serial / cores):.2f}; speed-up {serial / t:.2f}")
# Inclined tables: wall time per table, the median over repetitions.
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
runs = {}
for b in data["benchmarks"]:
    if b.get("run_type", "iteration") == "iteration" and not b.get("error_occurred"):
        runs.setdefault(b.get("run_name", b["name"]), []).append(b)
def table_ms(name):
    found = runs.get(name + "/real_time")
    if not found:
        return None, None
    times = sorted(b["real_time"] * scale[b["time_unit"]] for b in found)
    return times[len(times) // 2], found[0]
ships = (("0", "Wigley"), ("1", "1M polyface"), ("2", "1M grid"))
if any(name.startswith(("BM_KZTable", "BM_GZTable")) for name in runs):
    print("inclined tables, ms per table (wall): KZ 10 volumes x 10 heels, GZ 5 x 10")
for s, label in ships:
    row = []
    serial, _ = table_ms(f"BM_KZTable/ship:{s}/serial:1")
    parallel, _ = table_ms(f"BM_KZTable/ship:{s}/serial:0")
    if serial is not None:
        row.append(f"KZ serial {serial:8.1f}")
    if parallel is not None:
        row.append(f"KZ parallel {parallel:8.1f}")
    if serial is not None and parallel is not None:
        row.append(f"speed-up {serial / parallel:4.2f} on {cores} cores")
    gz, run = table_ms(f"BM_GZTable/ship:{s}")
    if gz is not None:
        row.append(f"GZ {gz:8.1f} ({gz / run['cells']:.2f} ms per cell, "
                   f"{run['evaluations_per_cell']:.1f} ship evaluations per cell)")
    if row:
        print(f"  {label:12} " + "  ".join(row))
for n, label in (("100000", "100k"), ("1000000", "1M")):
    for k in ("0", "1"):
        serial, _ = table_ms(f"BM_BonjeanTable/triangles:{n}/grid:{k}/serial:1")
        parallel, _ = table_ms(f"BM_BonjeanTable/triangles:{n}/grid:{k}/serial:0")
        if serial is not None and parallel is not None:
            print(f"Bonjean tables, 31 stations x 50 waterlines, {label} {kinds[k]}: "
                  f"serial {serial:.0f} ms, parallel {parallel:.0f} ms, "
                  f"speed-up {serial / parallel:.2f} on {cores} cores")
for k in ("0", "1"):
    name = f"BM_StabilityCurve/triangles:1000000/grid:{k}/serial:"
    serial, run = table_ms(name + "1/iterations:2")
    parallel, _ = table_ms(name + "0/iterations:2")
    if serial is not None and parallel is not None:
        print(f"stability curve, 19 heels free to trim, 1M {kinds[k]}: serial {serial:.0f} ms "
              f"({run['evaluations_on_caller']:.0f} ship evaluations), parallel {parallel:.0f} ms, "
              f"speed-up {serial / parallel:.2f} on {cores} cores")
for k in ("0", "1"):
    damage, run = table_ms(f"BM_DamageCase/triangles:1000000/grid:{k}/iterations:2")
    if damage is not None:
        print(f"damage case (a room open to the sea), 1M {kinds[k]}: {damage:.0f} ms on {cores} "
              f"cores, equilibrium at {run['heel_deg']:.2f} deg, {run['heels']:.0f} heels")
for k in ("0", "1"):
    check, _ = table_ms(f"BM_CheckElement/1000000/{k}")
    if check is not None:
        print(f"mesh checks of a 1M-triangle {kinds[k]} element: {check:.0f} ms")
# The speed goals, each figure beside its goal.
print("goals: figure (goal)")
for k in ("0", "1"):
    v = ns.get(f"BM_ExactProperties/1000000/{k}")
    if v is not None:
        all_cores = ns.get(f"BM_ExactPropertiesAllCores/1000000/{k}/real_time")
        beside = f"; {all_cores:.1f} on {cores} cores" if all_cores is not None else ""
        print(f"  exact evaluation, 1M {kinds[k]}, one core: {v:.1f} ns per triangle (5){beside}")
for k in ("0", "1"):
    name = f"BM_StabilityCurve/triangles:1000000/grid:{k}/serial:"
    serial, run = table_ms(name + "1/iterations:2")
    parallel, _ = table_ms(name + "0/iterations:2")
    if run is not None:
        print(f"  stability curve, 1M {kinds[k]}: {run['evaluations_on_caller'] / run['heels']:.1f} "
              f"evaluations per heel (4)")
    if parallel is not None:
        print(f"  stability curve, 19 heels, 1M {kinds[k]}, {cores} cores: {parallel / 1000:.2f} s (0.3)")
for ship, label in (("0", "Wigley"), ("1", "barge")):
    for run in runs.get(f"BM_SampleStabilityCurve/ship:{ship}/openings:0", [])[:1]:
        print(f"  stability curves of the {label} sample's conditions: "
              f"{run['evaluations_per_heel']:.1f} evaluations per heel (4)")
print(f"  add of a 1M-triangle binary STL: {float(sys.argv[6]):.2f} s (0.25)")
print(f"  add of a 1M-triangle DXF: {float(sys.argv[7]):.2f} s (0.8)")
base = int(sys.argv[2].split()[1])
for label, probe in (("polyface", sys.argv[3]), ("grid", sys.argv[4])):
    tris, peak = map(int, probe.split())
    print(f"peak memory of a loaded 1M-triangle {label} ship: {(peak - base) / tris:.1f} bytes per triangle")
PY

# Reading meshes drawn elsewhere: DXF drawings, STL and OBJ files.
echo "reading and writing mesh files (ms of wall time):"
for bench in brelund-dxf-bench brelund-mesh-file-bench; do
  "$root/build/bench/$bench" --benchmark_format=console 2>/dev/null | grep -E '^BM_' | sed 's/^/  /'
done

# Drawing the ship in the 3D view: Mesa's software OpenGL on an Xvfb server.
if command -v xvfb-run >/dev/null; then
  echo "drawing in the 3D view, 1024 x 768 (ms of wall time per frame; Mesa llvmpipe on Xvfb):"
  echo "  ship 0 = Wigley sample, 1 = 100k triangles, 2 = 1M; triangles 0 = edges as GL_LINES, 1 = filled"
  mkdir -m 700 "$tmp/xdg"
  XDG_RUNTIME_DIR="$tmp/xdg" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$root/build/bench/brelund-view-bench" \
    --benchmark_format=console 2>/dev/null | grep -E '^BM_' | sed 's/^/  /'
else
  echo "drawing in the 3D view: skipped (xvfb-run is not installed)"
fi
