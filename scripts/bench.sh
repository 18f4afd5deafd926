#!/usr/bin/env bash
# Runs the engine benchmarks and the memory probe, and prints ns per
# triangle of each evaluation against the floor loop, the upright table's
# parallel speed-up and the peak memory per triangle of a loaded ship.
# Usage: scripts/bench.sh [extra Google Benchmark flags]
# The full JSON goes to build/bench.json.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
brelund_install_deps

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$root/build" -DBRELUND_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build" --target brelund-bench brelund-memory-probe -j "$jobs" >/dev/null

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

python3 - "$root/build/bench.json" "$base" "$poly" "$grid" "$jobs" <<'PY'
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
base = int(sys.argv[2].split()[1])
for label, probe in (("polyface", sys.argv[3]), ("grid", sys.argv[4])):
    tris, peak = map(int, probe.split())
    print(f"peak memory of a loaded 1M-triangle {label} ship: {(peak - base) / tris:.1f} bytes per triangle")
PY
