#!/usr/bin/env bash
# Installs the "calc" component of a configured build alone into a scratch
# prefix, as on a machine without a display, and checks that it holds
# brelund-calc and nothing else, and that brelund-calc runs from there.
#
#   calc-install.sh BUILD_DIR SHIP
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SHIP" >&2
  exit 2
fi
build=$1
ship=$2
cmake_bin=${CMAKE:-cmake}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/brelund-calc-install.XXXXXX") || exit 1
trap 'rm -rf "$prefix" "$prefix.log"' EXIT

if ! "$cmake_bin" --install "$build" --prefix "$prefix" --component calc >"$prefix.log" 2>&1; then
  cat "$prefix.log" >&2
  echo "FAIL: cmake --install $build --component calc failed" >&2
  exit 1
fi

installed=$(cd "$prefix" && find . ! -type d | sort)
if [ "$installed" != "./bin/brelund-calc" ]; then
  echo "FAIL: the calc component installs [${installed//$'\n'/ }], not ./bin/brelund-calc alone" >&2
  exit 1
fi

if ! out=$("$prefix/bin/brelund-calc" list "$ship" 2>&1) || ! grep -q $'^hull\tscafo\t' <<<"$out"; then
  echo "$out" >&2
  echo "FAIL: the installed brelund-calc does not list $ship" >&2
  exit 1
fi
echo "calc install check: bin/brelund-calc alone, and it runs"
