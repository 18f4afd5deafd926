#!/usr/bin/env bash
# Installs the "desktop" component of a configured build into a scratch
# prefix and checks what a Linux desktop needs from it: the launcher, the
# MIME type of ship files (*.nav), the themed icons, and the toolbar icons
# compiled into the program.
#
#   test-install.sh BUILD_DIR SOURCE_DIR
#
# SOURCE_DIR is the folder holding brelund.qrc. Needs desktop-file-validate
# (desktop-file-utils) and update-mime-database (shared-mime-info).
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SOURCE_DIR" >&2
  exit 2
fi
build=$1
src=$2
cmake_bin=${CMAKE:-cmake}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for tool in "$cmake_bin" desktop-file-validate update-mime-database od; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    case $tool in
      desktop-file-validate) pkg=desktop-file-utils ;;
      update-mime-database)  pkg=shared-mime-info ;;
      od)                    pkg=coreutils ;;
      *)                     pkg=cmake ;;
    esac
    echo "FAIL: $tool not found (Debian package $pkg)" >&2
    exit 1
  fi
done

prefix=$(mktemp -d "${TMPDIR:-/tmp}/brelund-install.XXXXXX") || exit 1
trap 'rm -rf "$prefix"' EXIT

if ! "$cmake_bin" --install "$build" --prefix "$prefix" --component desktop >"$prefix.log" 2>&1; then
  cat "$prefix.log" >&2
  rm -f "$prefix.log"
  echo "FAIL: cmake --install $build --component desktop failed" >&2
  exit 1
fi
rm -f "$prefix.log"

# PNG header: signature, then the IHDR chunk with big-endian width and
# height, bit depth and colour type. Prints "WIDTH HEIGHT COLOURTYPE".
png_header() {
  local b
  b=($(od -An -v -tu1 -N26 "$1")) || return 1
  [ ${#b[@]} -eq 26 ] || return 1
  [ "${b[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || return 1
  [ "${b[*]:12:4}" = "73 72 68 82" ] || return 1
  echo $(( (b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19] )) \
       $(( (b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23] )) \
       "${b[25]}"
}

# check_png FILE SIZE: FILE is a SIZE x SIZE PNG with an alpha channel.
check_png() {
  local file=$1 size=$2 hdr w h ct
  if [ ! -f "$file" ]; then
    fail "missing $file"
    return
  fi
  if ! hdr=$(png_header "$file"); then
    fail "$file is not a PNG file"
    return
  fi
  read -r w h ct <<<"$hdr"
  [ "$w" -eq "$size" ] && [ "$h" -eq "$size" ] ||
    fail "$file is ${w}x${h}, expected ${size}x${size}"
  [ "$ct" -eq 6 ] || fail "$file has PNG colour type $ct, expected 6 (RGBA)"
}

share=$prefix/share

# Installed files.
desktop_file=$share/applications/brelund.desktop
expected=(
  "$desktop_file"
  "$share/mime/packages/brelund-nav.xml"
  "$share/icons/hicolor/scalable/apps/brelund.svg"
  "$share/icons/hicolor/scalable/mimetypes/application-x-brelund-nav.svg"
)
for f in "${expected[@]}"; do
  [ -f "$f" ] || fail "missing installed file ${f#"$prefix"/}"
done
for size in 48 128 256; do
  check_png "$share/icons/hicolor/${size}x${size}/apps/brelund.png" "$size"
  check_png "$share/icons/hicolor/${size}x${size}/mimetypes/application-x-brelund-nav.png" "$size"
done

# Launcher: errors and warnings fail; hints are only shown.
if [ -f "$desktop_file" ]; then
  out=$(desktop-file-validate "$desktop_file" 2>&1)
  rc=$?
  [ -n "$out" ] && echo "$out" >&2
  if [ $rc -ne 0 ] || grep -qE ': (error|warning): ' <<<"$out"; then
    fail "desktop-file-validate rejects brelund.desktop"
  fi
  grep -qx 'MimeType=application/x-brelund-nav;' "$desktop_file" ||
    fail "brelund.desktop does not declare MimeType=application/x-brelund-nav;"
  grep -qx 'Icon=brelund' "$desktop_file" ||
    fail "brelund.desktop does not use Icon=brelund"
fi

# MIME database built from the installed package alone.
if [ -f "$share/mime/packages/brelund-nav.xml" ]; then
  # With the prefix on the search path, any output is a complaint about the
  # package and not the note that the folder is not searched.
  out=$(XDG_DATA_DIRS="$share" update-mime-database "$share/mime" 2>&1)
  rc=$?
  if [ $rc -ne 0 ] || [ -n "$out" ]; then
    echo "$out" >&2
    fail "update-mime-database complains about brelund-nav.xml"
  fi
  type_file=$share/mime/application/x-brelund-nav.xml
  if [ ! -f "$type_file" ]; then
    fail "update-mime-database made no application/x-brelund-nav.xml"
  else
    grep -q '>Nave Document<' "$type_file" ||
      fail "application/x-brelund-nav.xml lacks the comment \"Nave Document\""
  fi
  if [ ! -f "$share/mime/globs2" ]; then
    fail "update-mime-database made no globs2"
  else
    grep -qE '^[0-9]+:application/x-brelund-nav:\*\.nav$' "$share/mime/globs2" ||
      fail "globs2 does not map *.nav to application/x-brelund-nav"
  fi
  grep -qx 'application/x-brelund-nav:application-x-brelund-nav' "$share/mime/icons" 2>/dev/null ||
    fail "the MIME database does not give application/x-brelund-nav the icon application-x-brelund-nav"
fi

# Icons compiled into the program through brelund.qrc.
qrc=$src/brelund.qrc
toolbar=(new open save about autozoom zoomin zoomout axes elementtree
         upright inclined bonjean submergedtrim)
if [ ! -f "$qrc" ]; then
  fail "missing $qrc"
else
  grep -q '<qresource prefix="/icons">' "$qrc" ||
    fail "brelund.qrc has no <qresource prefix=\"/icons\">"
  for name in "${toolbar[@]}" brelund; do
    line=$(grep -E "<file alias=\"$name\\.png\">" "$qrc")
    if [ -z "$line" ]; then
      fail "brelund.qrc does not list $name.png (alias $name.png)"
      continue
    fi
    path=$(sed -E 's|.*<file alias="[^"]*">([^<]*)</file>.*|\1|' <<<"$line")
    if [ ! -f "$src/$path" ]; then
      fail "brelund.qrc lists $path, which does not exist"
    elif [ "$name" = brelund ]; then
      check_png "$src/$path" 256
    else
      check_png "$src/$path" 32
    fi
  done
fi

if [ $failures -ne 0 ]; then
  echo "desktop install check: $failures failure(s)" >&2
  exit 1
fi
echo "desktop install check: all files present and valid"
