#!/usr/bin/env bash
# fault_sweep.sh CLI [STEP] [LEVELS] [FAULTS]
#
# Strikes the simulated mouse with a fault at every possible request number N
# of show, reset, restore, macro import, set dpi and backup, and of show on
# an erased mouse (which resets it first), at each level. The faults are
# unplug-after (the mouse is gone before request N arrives),
# lose-answer-after (it carries out request N and every later one but answers
# none) and reset-after (its firmware restarts before request N). A struck
# run must either give exactly the clean result with exit 0, or exit non-zero
# with one line on stderr; running the command again afterwards must give the
# clean result. After a failed reset or restore (also the one on the erased
# mouse), show must not present a half-written memory: it fails, or shows
# the mouse as before, as the clean run left it, or reset to defaults.
# STEP > 1 samples every STEP-th request number (the CTest does that);
# LEVELS defaults to "level11 level5 level0", FAULTS to all three.
set -uo pipefail
cli=$1
step=${2:-1}
levels=${3:-level11 level5 level0}
faults=${4:-unplug-after lose-answer-after reset-after}
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

# Whether show on a copy of state file $1 fails, or shows a whole image: the
# mouse as before, as the clean run leaves it, or reset to defaults.
shows_whole() {
  cp "$1" "$work/look"
  "$cli" --simulate="$level" --sim-state "$work/look" show >"$work/look.show" 2>/dev/null || return 0
  cmp -s "$work/look.show" "$work/base.show" || cmp -s "$work/look.show" "$work/clean.show" ||
    cmp -s "$work/look.show" "$work/reset.show"
}

# Whether the mouse in state file $1 is the one the clean run left. A mouse
# that restarted comes up in the selection its memory stores: its live
# selection is its own doing, not the program's.
clean_mouse() {
  local live='^$'
  [ "$fault" = reset-after ] && live='"active(Level|Profile)"'
  snapshot "$1" 2>/dev/null | grep -Ev "$live" | cmp -s - <(grep -Ev "$live" "$work/clean.snap")
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
  # The same mouse with its whole memory erased.
  sed -E 's/^[0-9a-f]{64}$/ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff/' "$work/base" >"$work/erased"
  cmp -s "$work/base" "$work/erased" && fail "$level: cannot make an erased state"
  # The whole images show may find after a struck reset or restore: the mouse
  # as before, and the defaults of the reset the next load starts on an
  # erased mouse (besides what the clean run leaves).
  cp "$work/base" "$work/look"
  "$cli" --simulate="$level" --sim-state "$work/look" show >"$work/base.show" 2>/dev/null || fail "$level: show"
  "$cli" --simulate="$level" --sim-state "$work/look" reset >/dev/null 2>&1 || fail "$level: reset"
  "$cli" --simulate="$level" --sim-state "$work/look" show >"$work/reset.show" 2>/dev/null || fail "$level: show"

  for name in show show-erased reset restore macro-import set-dpi backup; do
    start=$work/base
    case $name in
      show) command=(show) ;;
      show-erased) command=(show) start=$work/erased ;;
      reset) command=(reset) ;;
      restore) command=(restore "$work/source.bf" --data-dir "$work/data") ;;
      macro-import) command=(macro import "$macro" 2) ;;
      set-dpi) command=(set dpi 1 50 50) ;;
      backup) command=(backup "$work/made.bf" --data-dir "$work/data") ;;
    esac
    # The clean run: its output, what it leaves in the mouse, its request count.
    cp "$start" "$work/state"
    rm -f "$work/made.bf"
    if ! run "$work/state" --trace; then
      fail "$level $name: clean run: $(head -c 300 "$work/err")"
      continue
    fi
    requests=$(grep -c '^>' "$work/err")
    cp "$work/out" "$work/clean.out"
    snapshot "$work/state" >"$work/clean.snap" 2>/dev/null
    [ "$name" = backup ] && cp "$work/made.bf" "$work/clean.bf"
    cp "$work/state" "$work/look"
    "$cli" --simulate="$level" --sim-state "$work/look" show >"$work/clean.show" 2>/dev/null

    for fault in $faults; do
    for ((n = 0; n <= requests; n += step)); do
      runs=$((runs + 1))
      cut="$fault $n"
      cp "$start" "$work/state"
      rm -f "$work/made.bf"
      if run "$work/state" --sim-option "$fault=$n"; then
        cmp -s "$work/out" "$work/clean.out" || fail "$level $name $cut: exit 0 with other output"
        clean_mouse "$work/state" || fail "$level $name $cut: exit 0 but the mouse differs"
      else
        lines=$(wc -l <"$work/err")
        if [ "$lines" -ne 1 ] || ! grep -q '^quorix-mousectl: ' "$work/err"; then
          fail "$level $name $cut: not one clear line: $(head -c 300 "$work/err")"
        fi
        [ "$name" = backup ] && [ -e "$work/made.bf" ] && fail "$level $name $cut: a failed backup left a file"
        case $name in
          reset | restore | show-erased)
            shows_whole "$work/state" || fail "$level $name $cut: show takes a half-written memory for settings" ;;
        esac
      fi
      # Running it again repairs whatever the cut left.
      rm -f "$work/made.bf"
      if ! run "$work/state"; then
        fail "$level $name $cut: the run after it failed: $(head -c 300 "$work/err")"
        continue
      fi
      case $name in show*) ! cmp -s "$work/out" "$work/clean.out" && fail "$level $name $cut: show differs after" ;; esac
      [ "$name" = backup ] && ! cmp -s "$work/made.bf" "$work/clean.bf" && fail "$level $name $cut: backup differs after"
      clean_mouse "$work/state" || fail "$level $name $cut: the mouse differs after running again"
    done
    done
    echo "$level $name: $requests requests, faults at 0..$requests step $step: $faults" >&2
  done
done
echo "fault sweep: $runs struck runs, $failures failures"
[ "$failures" -eq 0 ]
