#!/usr/bin/env bash
# fault_sweep.sh CLI [STEP] [LEVELS]
#
# Unplugs the simulated mouse after every possible number of requests N of
# show, reset, restore, macro import, set dpi and backup, at each level. A
# cut run must either give exactly the clean result with exit 0, or exit
# non-zero with one line on stderr; running the command again afterwards
# must give the clean result. STEP > 1 samples every STEP-th cut point (the
# CTest does that); LEVELS defaults to "level11 level5 level0".
set -uo pipefail
cli=$1
step=${2:-1}
levels=${3:-level11 level5 level0}
here=$(cd "$(dirname "$0")" && pwd)
macro="$here/../macro/data/all_forms.mf"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

runs=0
failures=0
fail() {
  echo "FAIL $*" >&2
  failures=$((failures + 1))
}

# What the mouse holds, read without faults from a copy of a state file.
snapshot() {
  cp "$1" "$work/look"
  "$cli" --simulate="$level" --sim-state "$work/look" show --json
  "$cli" --simulate="$level" --sim-state "$work/look" macro list
}

# run STATE [extra options...]: the command under test, output in $work/out, $work/err.
run() {
  local state=$1
  shift
  "$cli" --simulate="$level" --sim-state "$state" "$@" "${command[@]}" >"$work/out" 2>"$work/err"
}

for level in $levels; do
  # A factory mouse, and a backup of one whose settings differ from it.
  rm -f "$work/base" "$work/other"
  "$cli" --simulate="$level" --sim-state "$work/base" info >/dev/null || fail "$level: cannot make a state"
  cp "$work/base" "$work/other"
  "$cli" --simulate="$level" --sim-state "$work/other" set dpi 1 60 70 >/dev/null || fail "$level: set dpi"
  "$cli" --simulate="$level" --sim-state "$work/other" backup "$work/source.bf" --data-dir "$work/data" >/dev/null ||
    fail "$level: backup for restore"

  for name in show reset restore macro-import set-dpi backup; do
    case $name in
      show) command=(show) ;;
      reset) command=(reset) ;;
      restore) command=(restore "$work/source.bf" --data-dir "$work/data") ;;
      macro-import) command=(macro import "$macro" 2) ;;
      set-dpi) command=(set dpi 1 50 50) ;;
      backup) command=(backup "$work/made.bf" --data-dir "$work/data") ;;
    esac
    # The clean run: its output, what it leaves in the mouse, its request count.
    cp "$work/base" "$work/state"
    rm -f "$work/made.bf"
    if ! run "$work/state" --trace; then
      fail "$level $name: clean run: $(head -c 300 "$work/err")"
      continue
    fi
    requests=$(grep -c '^>' "$work/err")
    cp "$work/out" "$work/clean.out"
    snapshot "$work/state" >"$work/clean.snap" 2>/dev/null
    [ "$name" = backup ] && cp "$work/made.bf" "$work/clean.bf"

    for ((n = 0; n <= requests; n += step)); do
      runs=$((runs + 1))
      cp "$work/base" "$work/state"
      rm -f "$work/made.bf"
      if run "$work/state" --sim-option "unplug-after=$n"; then
        cmp -s "$work/out" "$work/clean.out" || fail "$level $name cut $n: exit 0 with other output"
        snapshot "$work/state" 2>/dev/null | cmp -s - "$work/clean.snap" ||
          fail "$level $name cut $n: exit 0 but the mouse differs"
      else
        lines=$(wc -l <"$work/err")
        if [ "$lines" -ne 1 ] || ! grep -q '^quorix-mousectl: ' "$work/err"; then
          fail "$level $name cut $n: not one clear line: $(head -c 300 "$work/err")"
        fi
        [ "$name" = backup ] && [ -e "$work/made.bf" ] && fail "$level $name cut $n: a failed backup left a file"
      fi
      # Running it again repairs whatever the cut left.
      rm -f "$work/made.bf"
      if ! run "$work/state"; then
        fail "$level $name cut $n: the run after the cut failed: $(head -c 300 "$work/err")"
        continue
      fi
      [ "$name" = show ] && ! cmp -s "$work/out" "$work/clean.out" && fail "$level $name cut $n: show differs after"
      [ "$name" = backup ] && ! cmp -s "$work/made.bf" "$work/clean.bf" && fail "$level $name cut $n: backup differs after"
      snapshot "$work/state" 2>/dev/null | cmp -s - "$work/clean.snap" ||
        fail "$level $name cut $n: the mouse differs after running again"
    done
    echo "$level $name: $requests requests, cut points 0..$requests step $step" >&2
  done
done
echo "fault sweep: $runs cut runs, $failures failures"
[ "$failures" -eq 0 ]
