#!/usr/bin/env bash
# The manual page and the bash completion of brelund-calc against its help:
# every command it lists has its section in brelund-calc(1) naming each of
# its options, and the completion offers it and them. When this fails, run
# scripts/make-manpages.py BUILD/src/cli/brelund-calc.
#
#   manpages.sh BRELUND_CALC SOURCE_DIR
set -uo pipefail
calc=$1
src=$2
page=$src/doc/brelund-calc.1
completion=$src/doc/brelund-calc.bash
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

commands=$("$calc" --help | sed -n '/^Subcommands:/,$p' | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "brelund-calc --help lists no command"

# shellcheck source=/dev/null
source "$completion"
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _brelund_calc
  echo " ${COMPREPLY[*]} "
}

offered=$(complete_words brelund-calc "")
for c in $commands; do
  # The command's section: from its .SS line to the next heading.
  section=$(awk -v c="$c" '$0 == ".SS " c {on = 1; next} /^\.S[SH] / {on = 0} on' "$page")
  if [ -z "$section" ]; then
    fail "brelund-calc(1) has no section for the command $c"
    continue
  fi
  [[ $offered == *" $c "* ]] || fail "the completion does not offer the command $c"
  options=$("$calc" "$c" --help | sed -n '/^Options:/,$p' | grep -o -- '--[a-z][a-z0-9-]*' | grep -vx -- --help | sort -u)
  offeredOptions=$(complete_words brelund-calc "$c" SHIP --)
  for o in $options; do
    roff=${o//-/\\-}
    grep -qF -- "$roff" <<<"$section" || fail "brelund-calc(1) does not give $o under $c"
    [[ $offeredOptions == *" $o "* ]] || fail "the completion does not offer $o after $c"
  done
done

# A choice is completed from its values.
[[ $(complete_words brelund-calc hydrostatics SHIP --format j) == " json " ]] ||
  fail "the completion does not complete --format j to json"

# Both pages format without warnings.
for p in "$page" "$src/doc/brelund.1"; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$p" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "man --warnings $(basename "$p"): $out"
done

if [ $failures -ne 0 ]; then
  echo "manual pages: $failures failure(s); regenerate with scripts/make-manpages.py" >&2
  exit 1
fi
echo "manual pages: every command and option of brelund-calc documented and completed"
