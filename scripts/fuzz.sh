#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers (DXF drawings, ship
# files, STL and OBJ meshes) with clang and the sanitizers in build-fuzz/,
# and runs each one for a number of executions (default 10 million), from a
# corpus seeded with the samples in build-fuzz/corpus/NAME.
# Usage: scripts/fuzz.sh [RUNS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
BRELUND_PACKAGES+=(clang libclang-rt-14-dev)
brelund_install_deps

runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_ship_file fuzz_dxf_reader fuzz_stl_reader fuzz_obj_reader)
build="$root/build-fuzz"
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRELUND_BUILD_FUZZ=ON \
  -DBRELUND_SANITIZE=ON -DBRELUND_BUILD_TESTS=OFF -DBRELUND_WERROR=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$jobs" >/dev/null

for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  case $target in
    fuzz_ship_file) cp -n "$root"/samples/*.nav "$corpus"/ ;;
    fuzz_dxf_reader) cp -n "$root"/samples/*.dxf "$corpus"/ ;;
  esac
  echo "== $target: $runs executions" >&2
  "$build/fuzz/$target" "$corpus" -runs="$runs" -max_len=20000 -print_final_stats=1 2>&1 |
    grep -E '^(stat::|#[0-9]+ *DONE|==[0-9]+==ERROR|SUMMARY)' || true
done
