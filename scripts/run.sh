#!/usr/bin/env bash
# Builds Brelund in build/ and opens a ship file (default: the bundled sample
# Wigley ship) in the desktop application when a display is available;
# without one it says so and prints the ship's elements with brelund-calc.
# Usage: scripts/run.sh [SHIP.nav]
# Says what it is doing on stderr, with the build's progress; the full
# configure and build output goes to build/run-build.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
brelund_install_deps

ship=${1:-$root/samples/wigley.nav}
jobs=$(nproc 2>/dev/null || echo 2)

say() { echo "run.sh: $*" >&2; }
log="$root/build/run-build.log"
mkdir -p "$root/build"

# The build's progress lines: "[ NN%] ..." from make, "[N/M] ..." from ninja.
progress='^\[ *[0-9]+%\]|^\[[0-9]+/[0-9]+\]'

# The failed step's last lines other than progress, then where the rest is.
fail() {
  grep -vE "$progress" "$log" | tail -n 25 >&2
  say "$1 failed; the full output is in $log"
  exit 1
}

say "full configure and build output: $log"
say "configuring in $root/build"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBRELUND_BUILD_TESTS=OFF \
  >"$log" 2>&1 || fail "configuring"

say "building brelund and brelund-calc on $jobs cores"
# Only the progress lines reach the terminal.
set +e
cmake --build "$root/build" --target brelund brelund-calc -j "$jobs" 2>&1 | tee -a "$log" |
  grep --line-buffered -E "$progress" >&2
status=${PIPESTATUS[0]}
set -e
[ "$status" -eq 0 ] || fail "building"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  say "starting brelund on $ship"
  exec "$root/build/src/ui/app/brelund" "$ship"
fi
say "no display (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot be shown"
say "running brelund-calc list $ship instead"
exec "$root/build/src/cli/brelund-calc" list "$ship"
