#!/usr/bin/env bash
# Builds the Debian package brelund_VERSION_amd64.deb from a Release build in
# build/package/ (installed under /usr), checks it and leaves it there:
# its control fields and contents (dpkg-deb), the programs and the Python
# module run from the unpacked package, and lintian reports no error.
#
#   scripts/package.sh            # prints the package's path last
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
# Packaging alone: dpkg-shlibdeps (dpkg-dev), file (CPack's ELF search),
# lintian.
BRELUND_PACKAGES+=(dpkg-dev file lintian)
brelund_install_deps

dir=${BRELUND_PACKAGE_BUILD:-$root/build/package}
jobs=$(nproc 2>/dev/null || echo 2)
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
echo "== configure $dir"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBRELUND_BUILD_TESTS=OFF -DBRELUND_WERROR=ON -DBRELUND_BUILD_PYTHON=ON "${launcher[@]}" >/dev/null
echo "== build $dir"
cmake --build "$dir" -j "$jobs"
echo "== package"
rm -f "$dir"/brelund_*.deb
(cd "$dir" && cpack -G DEB >cpack.log 2>&1) || { cat "$dir/cpack.log" >&2; exit 1; }
debs=("$dir"/brelund_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "package.sh: cpack made no brelund_*_amd64.deb" >&2; exit 1; }

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

echo "== check $(basename "$deb")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brelund ] || fail "Package is not brelund"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is not amd64"
version=$(field Version)
[[ $(basename "$deb") == "brelund_${version}_amd64.deb" ]] || fail "file name does not carry version $version"
depends=$(field Depends)
for d in libqt6widgets6 libtbb12 libc6 python3 python3-numpy qt6-qpa-plugins; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
expected=(
  /usr/bin/brelund /usr/bin/brelund-calc
  /usr/share/applications/brelund.desktop /usr/share/mime/packages/brelund-nav.xml
  /usr/share/icons/hicolor/48x48/apps/brelund.png /usr/share/icons/hicolor/scalable/apps/brelund.svg
  /usr/share/icons/hicolor/scalable/mimetypes/application-x-brelund-nav.svg
  /usr/share/man/man1/brelund.1.gz /usr/share/man/man1/brelund-calc.1.gz
  /usr/share/bash-completion/completions/brelund-calc
  /usr/share/doc/brelund/copyright /usr/share/doc/brelund/changelog.gz
  /usr/share/doc/brelund/examples/gz_box_barges.py
  /usr/share/brelund/samples/barge.nav /usr/share/brelund/samples/wigley.nav
  /usr/share/brelund/samples/wigley.conditions.json
)
for f in "${expected[@]}"; do
  grep -qx -- "$f" <<<"$contents" || fail "the package lacks $f"
done
grep -qE '^/usr/lib/python3/dist-packages/brelund\.cpython-[0-9]+-x86_64-linux-gnu\.so$' <<<"$contents" ||
  fail "the package lacks the Python module in /usr/lib/python3/dist-packages"

# The programs and the module as unpacked, on a sample ship of the package.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/brelund-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
barge=$scratch/usr/share/brelund/samples/barge.nav
"$scratch/usr/bin/brelund-calc" --version >/dev/null || fail "brelund-calc from the package does not run"
fromCalc=$("$scratch/usr/bin/brelund-calc" hydrostatics "$barge" --draughts 1,2 --format json --digits 17) ||
  fail "brelund-calc hydrostatics fails on the packaged barge"
fromPython=$(PYTHONPATH=$scratch/usr/lib/python3/dist-packages /usr/bin/python3 -c '
import json, sys, brelund
r = brelund.Ship.load(sys.argv[1]).hydrostatics([1, 2])["curves"]
print(json.dumps([float(v) for v in r["KMt_m"]]))' "$barge") || fail "the packaged Python module does not load"
if [ -n "${fromCalc:-}" ] && [ -n "${fromPython:-}" ]; then
  kmt=$(/usr/bin/python3 -c 'import json, sys; print(json.dumps([c["KMt_m"] for c in json.loads(sys.argv[1])["curves"]]))' "$fromCalc")
  [ "$kmt" = "$fromPython" ] || fail "the packaged module's KMt $fromPython differs from brelund-calc's $kmt"
fi

echo "== lintian"
# Errors fail the package; warnings are shown.
if ! lintian --fail-on error --tag-display-limit 0 "$deb"; then
  fail "lintian reports errors"
fi

if [ $failures -ne 0 ]; then
  echo "package.sh: $failures failure(s) in $deb" >&2
  exit 1
fi
echo "$deb"
