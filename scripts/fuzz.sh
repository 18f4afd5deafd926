#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers (DXF drawings, ship
# files, STL and OBJ meshes, conditions files) with clang and the sanitizers in build-fuzz/,
# and runs each one for a number of executions (default 10 million), from a
# corpus seeded with the samples and fuzz/seeds/NAME in build-fuzz/corpus/NAME.
# Usage: scripts/fuzz.sh [RUNS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
BRELUND_PACKAGES+=(clang libclang-rt-14-dev)
brelund_install_deps

runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_ship_file fuzz_dxf_reader fuzz_stl_reader fuzz_obj_reader fuzz_conditions_file)
build="$root/build-fuzz"
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRELUND_BUILD_FUZZ=ON \
  -DBRELUND_SANITIZE=ON -DBRELUND_BUILD_TESTS=OFF -DBRELUND_BUILD_GUI=OFF -DBRELUND_WERROR=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$jobs" >/dev/null

for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  case $target in
    fuzz_ship_file) cp -n "$root"/samples/*.nav "$corpus"/ ;;
    fuzz_dxf_reader) cp -n "$root"/samples/*.dxf "$corpus"/ ;;
    fuzz_conditions_file) cp -n "$root"/samples/*.conditions.json "$corpus"/ ;;
  esac
  # Small hand-made files of each format, and the keywords of a text format.
  [ -d "$root/fuzz/seeds/$target" ] && cp -n "$root/fuzz/seeds/$target"/* "$corpus"/
  dict=()
  [ -f "$root/fuzz/seeds/$target.dict" ] && dict=(-dict="$root/fuzz/seeds/$target.dict")
  echo "== $target: $runs executions" >&2
  # Crashes, leaks and slow inputs go under build-fuzz/artifacts, not into
  # the folder the script was started from.
  mkdir -p "$build/artifacts"
  "$build/fuzz/$target" "$corpus" "${dict[@]}" -runs="$runs" -max_len=20000 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" 2>&1 |
    grep -E '^(stat::|#[0-9]+[[:space:]]*DONE|==[0-9]+==ERROR|SUMMARY)' || true
done
