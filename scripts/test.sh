#!/usr/bin/env bash
# Builds and runs every test twice: an optimised Release build (with the
# benchmarks) in build/ and an AddressSanitizer + UndefinedBehaviorSanitizer
# Debug build in build/asan/. Both treat warnings as errors.
# Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
brelund_install_deps
brelund_comma_locale

jobs=$(nproc 2>/dev/null || echo 2)
export GTEST_SHUFFLE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_suite() {
  local dir=$1; shift
  echo "== configure $dir $*"
  cmake -S "$root" -B "$dir" -DBRELUND_BUILD_TESTS=ON "$@" >/dev/null
  echo "== build $dir"
  cmake --build "$dir" -j "$jobs"
  echo "== test $dir"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite "$root/build" -DCMAKE_BUILD_TYPE=Release -DBRELUND_WERROR=ON -DBRELUND_BUILD_BENCH=ON
# The Python module is tested in the Release build: an instrumented module
# cannot load into the uninstrumented interpreter.
run_suite "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DBRELUND_WERROR=ON -DBRELUND_SANITIZE=ON \
  -DBRELUND_BUILD_PYTHON=OFF
