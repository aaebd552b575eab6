#!/usr/bin/env bash
# fault-sweep-full.sh [BUILD_DIR]
#
# The whole fault sweep of tests/faults/fault_sweep.sh: every request number
# of every swept command, at the three levels, with each of the three faults
# (tens of thousands of runs; hours on one core). The levels run side by
# side, one process each. The CTest `fault_sweep_sampled` (label faults) runs
# a sample of it in the default test run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cli=$build/src/cli/quorix-mousectl
[ -x "$cli" ] || { echo "fault-sweep-full: no $cli (build quorix-mousectl first)" >&2; exit 2; }
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
start=$(date +%s)
for level in level11 level5 level0; do
  "$root/tests/faults/fault_sweep.sh" "$cli" 1 "$level" >"$logs/$level" 2>&1 &
done
wait
status=0
for level in level11 level5 level0; do
  grep '^FAIL' "$logs/$level"
  tail -n 1 "$logs/$level" | sed "s/^/$level: /"
  grep -q ', 0 failures$' "$logs/$level" || status=1
done
echo "fault-sweep-full: $(($(date +%s) - start)) s"
exit $status
