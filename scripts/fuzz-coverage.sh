#!/usr/bin/env bash
# How much of each file reader the fuzzing corpora reach. Builds the libFuzzer
# targets with clang source-based coverage in build-fuzz-coverage/, replays
# each target's corpus once (build-fuzz/corpus/NAME, or the samples when it is
# missing or empty) and reports, per function of the reader's own source
# files, whether the corpus entered it and how many of its lines ran: the
# llvm-cov tables in build-fuzz-coverage/report-NAME.txt, a summary here.
# Usage: scripts/fuzz-coverage.sh [TARGET...]
#   BRELUND_FUZZ_CORPUS=DIR   replay DIR/NAME instead (a copy of a corpus that
#                             a running campaign is still growing)
#   BRELUND_FUZZ_COVERAGE_BUILD=DIR   build and write the reports there
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
# llvm-14 holds llvm-profdata-14, llvm-cov-14 and llvm-cxxfilt-14.
BRELUND_PACKAGES+=(clang libclang-rt-14-dev llvm-14)
brelund_install_deps

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_ship_file fuzz_dxf_reader fuzz_stl_reader fuzz_obj_reader)
build=${BRELUND_FUZZ_COVERAGE_BUILD:-$root/build-fuzz-coverage}
corpora=${BRELUND_FUZZ_CORPUS:-$root/build-fuzz/corpus}
jobs=$(nproc 2>/dev/null || echo 2)

# Functions of the reader's files that the harness does not call by design:
# writers, editing, the engine's accessors of a mesh, other formats, and the
# entry points by path (the mesh harnesses hand the bytes over).
writers='Store|Write|Export|::SetLength[(]|::Flush[(]|CFile::Close[(]|BeginPolyline|EndPolyline|AppendGroup|AppendLine|LineText|ObjName|AppendNumber|AppendIndex'
editing='InvertNormals|AddElement|FindElement|FindIn<|DeleteElement|::Swap[(]|SetLoadVolume|SetFillingRatio|loadnotes::Collect'
by_path='ReadStlFile|ReadObjFile|DetectMeshFile|ReadWholeFile'

# The reader's source files, and the left-out functions in them.
reader() {
  case $1 in
    fuzz_ship_file)
      files=(src/model/ShipFile.cpp src/model/ShipFileIO.cpp src/model/CShipModel.cpp
             src/model/CShipElement.cpp src/model/CTank.cpp src/model/CCompartment.cpp
             src/model/CPolyfaceMesh.cpp src/model/CGridMesh.cpp src/model/CVectorGrid.cpp
             src/model/LoadNotes.cpp src/platform/CFile.cpp)
      outside="$writers|$editing|ImportDxf|Extents|AddSections|::Section[(]|::Assign[(]|GetFace|GetVertex|SetFace|::Item[(]" ;;
    fuzz_dxf_reader)
      files=(src/io/CDxfFile.cpp src/io/DxfMeshReader.cpp src/platform/CFile.cpp)
      # CDxfFile::Open and DropBytes reopen a drawing; ReadVertex is the
      # record reader for callers other than the import.
      outside="$writers|RequireFinite|CDxfFile::Open|DropBytes|CDxfFile::ReadVertex[(]" ;;
    fuzz_stl_reader)
      files=(src/io/StlReader.cpp src/io/MeshFileKind.cpp src/io/MeshFileText.cpp)
      outside="$by_path" ;;
    fuzz_obj_reader)
      files=(src/io/ObjReader.cpp src/io/MeshFileKind.cpp src/io/MeshFileText.cpp)
      outside="$by_path" ;;
    *)
      echo "unknown target $1 (fuzz_ship_file, fuzz_dxf_reader, fuzz_stl_reader, fuzz_obj_reader)" >&2
      exit 2 ;;
  esac
}
for target in "${targets[@]}"; do reader "$target"; done

seconds() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }

start=$(seconds)
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRELUND_BUILD_FUZZ=ON \
  -DBRELUND_FUZZ_COVERAGE=ON -DBRELUND_SANITIZE=OFF -DBRELUND_BUILD_TESTS=OFF \
  -DBRELUND_BUILD_GUI=OFF -DBRELUND_WERROR=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$jobs" >/dev/null
echo "built ${targets[*]} with coverage in $build ($(since "$start") s)"

# llvm-cov's names, with the standard strings written short.
short_names() {
  sed -e 's/std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >/std::string/g' \
      -e 's/std::basic_string_view<char, std::char_traits<char> >/std::string_view/g'
}

failed=0
for target in "${targets[@]}"; do
  reader "$target"
  corpus="$corpora/$target"
  if [ -z "$(ls -A "$corpus" 2>/dev/null)" ]; then
    # As scripts/fuzz.sh seeds it, without writing into the fuzzing corpus.
    corpus="$build/seed/$target"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    case $target in
      fuzz_ship_file) cp "$root"/samples/*.nav "$corpus"/ ;;
      fuzz_dxf_reader) cp "$root"/samples/*.dxf "$corpus"/ ;;
    esac
  fi
  count=$(find "$corpus" -maxdepth 1 -type f | wc -l)
  # Every input whole: libFuzzer would cut those above -max_len.
  longest=$(find "$corpus" -maxdepth 1 -type f -printf '%s\n' | sort -n | tail -1)
  longest=${longest:-0}
  [ "$longest" -ge 4096 ] || longest=4096

  profiles="$build/profiles/$target"
  rm -rf "$profiles"
  mkdir -p "$profiles"
  start=$(seconds)
  # -runs=0: each input of the corpus once (and the empty input), no fuzzing.
  if ! LLVM_PROFILE_FILE="$profiles/%p.profraw" "$build/fuzz/$target" "$corpus" -runs=0 \
      -max_len="$longest" -artifact_prefix="$build/crash-$target-" \
      >"$build/replay-$target.log" 2>&1; then
    echo "== $target: the replay failed, see $build/replay-$target.log" >&2
    failed=1
    continue
  fi
  replayed=$(since "$start")
  llvm-profdata-14 merge -sparse "$profiles"/*.profraw -o "$build/$target.profdata"

  paths=()
  for f in "${files[@]}"; do paths+=("$root/$f"); done
  cov=(llvm-cov-14 report "$build/fuzz/$target" -instr-profile="$build/$target.profdata")
  by_file=$("${cov[@]}" "${paths[@]}")
  by_function=$("${cov[@]}" -show-functions -Xdemangler=llvm-cxxfilt-14 "${paths[@]}" | short_names)

  # Per function: Name Regions Miss Cover Lines Miss Cover [Branches Miss Cover].
  # Never entered: every region missed (the function's entry is a region).
  entry=$(OUTSIDE="$outside" awk '
    /^Name +Regions/ { for (i = 2; i <= NF; ++i) if ($i == "Lines") lines = i - NF; tail = NF - 1; next }
    /^File / || /^-+$/ || /^TOTAL / || NF <= tail { next }
    {
      name = $1; for (i = 2; i <= NF - tail; ++i) name = name " " $i
      regions = $(NF - tail + 1); rmiss = $(NF - tail + 2)
      l = $(NF + lines); lmiss = $(NF + lines + 1)
      out = name ~ ENVIRON["OUTSIDE"]
      print (out ? "outside" : "reader") "\t" (rmiss == regions ? 0 : 1) "\t" l "\t" lmiss "\t" name
    }' <<<"$by_function")

  report="$build/report-$target.txt"
  {
    echo "Coverage of $target replaying $corpus ($count files)"
    echo "source: $root at $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?')$(git -C "$root" diff --quiet 2>/dev/null || echo ' with local changes'), $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo
    echo "$by_file"
    echo
    echo "$by_function"
    echo
    echo "Never entered, the reader's functions:"
    awk -F'\t' '$1 == "reader" && $2 == 0 { print "  " $5 }' <<<"$entry"
    echo "Never entered, left out as not the reader's (writers, editing, other formats, by path):"
    awk -F'\t' '$1 == "outside" && $2 == 0 { print "  " $5 }' <<<"$entry"
  } >"$report"

  echo
  echo "== $target: $count corpus files in $corpus, replayed in $replayed s"
  [ "$count" -gt 0 ] || echo "  no corpus and no samples to seed one: only the empty input ran"
  printf '  %-16s %-16s %s\n' functions lines file
  # Filename Regions Missed Cover Functions Missed Executed Lines Missed Cover ...
  for f in "${files[@]}"; do
    row=$(awk -v want="/$f" '
      function ends(s, t) { return length(s) >= length(t) && substr(s, length(s) - length(t) + 1) == t }
      # One file is named by its whole path, several by what follows their
      # common folder.
      NF >= 10 && $1 != "Filename" && $1 != "TOTAL" {
        have = substr($1, 1, 1) == "/" ? $1 : "/" $1
        if (ends(want, have) || ends(have, want)) print
      }' <<<"$by_file")
    if [ -z "$row" ]; then
      printf '  %-33s %s\n' "" "$f: no code of it in the binary"
      continue
    fi
    awk -v f="$f" '{ printf "  %4d/%-4d %5.1f%%  %5d/%-5d %5.1f%%  %s\n", $5 - $6, $5, $7, $8 - $9, $8, $10, f }' <<<"$row"
  done
  awk -v n=${#files[@]} '$1 == "TOTAL" { printf "  %4d/%-4d %5.1f%%  %5d/%-5d %5.1f%%  all %d files\n", $5 - $6, $5, $7, $8 - $9, $8, $10, n }' <<<"$by_file"
  # Template instantiations and lambdas count as functions of their own here.
  awk -F'\t' '
    $1 == "reader" { ++n; entered += $2; lines += $3; missed += $4 }
    $1 == "outside" { ++left; if ($2 == 0) ++leftNever }
    END {
      printf "  the reader'"'"'s functions: %d/%d entered (%.1f%%), lines %d/%d (%.1f%%); %d left out (%d never entered)\n",
             entered, n, n ? 100 * entered / n : 0, lines - missed, lines, lines ? 100 * (lines - missed) / lines : 0, left, leftNever
    }' <<<"$entry"
  never=$(awk -F'\t' '$1 == "reader" && $2 == 0 { print "    " $5 }' <<<"$entry")
  if [ -n "$never" ]; then
    echo "  never entered:"
    echo "$never"
  else
    echo "  every function of the reader was entered"
  fi
  echo "  full report: $report"
done
exit $failed
