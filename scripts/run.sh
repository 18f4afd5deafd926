#!/usr/bin/env bash
# Builds Brelund in build/ and runs it on a ship file (default: the bundled
# sample Wigley ship). Usage: scripts/run.sh [SHIP.nav]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
brelund_install_deps

ship=${1:-$root/samples/wigley.nav}
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$root" -B "$root/build" -DBRELUND_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build" --target brelund-calc -j "$jobs" >/dev/null

exec "$root/build/src/cli/brelund-calc" list "$ship"
