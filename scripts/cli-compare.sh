#!/usr/bin/env bash
# cli-compare.sh MOUSECTL OUTDIR [SKIP]: runs every quorix-mousectl command, the
# refused ones too, on the simulated mouse at three protocol levels, and keeps
# what each printed, its exit code, its feature-report trace and the mouse's
# memory afterwards, one file each under OUTDIR. Two such folders made by two
# builds are compared with `diff -r`: a refactoring that keeps behaviour leaves
# no difference. SKIP, a grep -E pattern, leaves out the commands it matches
# (a change of behaviour meant on purpose, whose later rows would differ too).
set -uo pipefail
ctl=$(realpath "$1")
out=$2
skip=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$out" && mkdir -p "$out"
cd "$out"
cp "$root/fuzz/corpus/macro_file/all_forms.mf" all_forms.mf
cp "$root/tests/macro/data/invalid_opcode.mf" invalid.mf

n=0
# run LEVEL ARGS...: one command on the level's kept memory.
run() {
  local level=$1
  shift
  if [ -n "$skip" ] && grep -qE "$skip" <<<"$*"; then return; fi
  n=$((n + 1))
  local name
  name=$(printf '%s/%03d' "$level" "$n")
  mkdir -p "$level"
  printf '%s\n' "$*" >"$name.cmd"
  HOME="$PWD/home" XDG_CONFIG_HOME="$PWD/home/.config" "$ctl" --simulate="$level" --sim-state "$level/state" \
    --trace-file "$name.trace" "$@" >"$name.out" 2>"$name.err"
  echo "$?" >"$name.rc"
  cp "$level/state" "$name.state" 2>/dev/null || true
}

for level in level11 level5 level0; do
  d="data-$level"
  mkdir -p "$d"
  run $level list
  run $level info
  run $level read 0 48
  run $level read 99999 4
  run $level show
  run $level show --json
  run $level write 16 0102
  run $level write 16 zz
  run $level set profile 1
  run $level set profile 9
  run $level set profile-enabled 2 off
  run $level set profile-enabled 1 off
  run $level set dpi-level 2
  run $level set level-enabled 3 off
  run $level set level-enabled 0 off
  run $level set dpi 1 800 1600
  run $level set dpi 0 0 10
  run $level set report-rate 500
  run $level set report-rate 300
  run $level set angle-snapping on
  run $level set angle-snapping maybe
  run $level set button 0 3 15 8 8 0
  run $level set button 0 0 1 0 0 0
  run $level set button 2 31 5 0 4 0
  run $level set button 0 32 1 0 0 0
  run $level show
  run $level macro import all_forms.mf 3 --mode loop --name Forms
  run $level macro import invalid.mf 4
  run $level macro import invalid.mf 5 --strict
  run $level macro list
  run $level macro show 3
  run $level macro export 3 "export-$level.mf"
  run $level mf show "export-$level.mf"
  run $level macro delete 3
  run $level macro delete 99
  run $level lighting show
  run $level lighting effect 2
  run $level lighting effect 9
  run $level lighting zone 0 1 255 0 10
  run $level lighting preview 1 1 0 255 0
  run $level lift show
  run $level lift set 3
  run $level lift set 99
  run $level lift test 2
  run $level options show --data-dir "$d"
  run $level options set osd 0 --data-dir "$d"
  run $level options set nosuch 1 --data-dir "$d"
  run $level backup "b-$level.bf" --data-dir "$d"
  run $level reset
  run $level restore "b-$level.bf" --data-dir "$d"
  run $level restore invalid.mf --data-dir "$d"
  run $level show --json
  run $level describe 15 8 8 0 --step 100
  run $level describe 256 0 0 0
  run $level texts --lang 1
  run $level nosuch
  run $level --sim-option unplug-after=5 show
  run $level --sim-option silent set profile 2
  run $level --sim-option busy info
done
# An exported macro file carries the time of its export: its contents are
# compared through what `mf show` printed, with the time set aside.
rm -f export-*.mf
sed -i -E 's/^time: .*/time: (the time of the export)/' */*.out
exit 0
