#!/usr/bin/env bash
# fuzz.sh SECONDS [NAME...]: runs every libFuzzer target (or the named ones)
# for SECONDS each and prints, per target, the edges reached and whether it
# crashed. Exits non-zero when one crashed or did not run.
#
# - Builds build-fuzz/ with clang first (configured once, whole tree
#   instrumented; see QUORIX_BUILD_FUZZ).
# - Each target fuzzes a working copy of fuzz/corpus/NAME/ in
#   build-fuzz/fuzz-runs/NAME/corpus/, so the repository only changes at the end.
# - New inputs are kept minimized by coverage, not by size: a libFuzzer merge
#   adds to fuzz/corpus/NAME/ only the inputs that reach coverage the corpus
#   did not (files named by their SHA-1). Review and commit them or not.
# - Crash, leak and timeout inputs go to build-fuzz/fuzz-runs/NAME/crashes/,
#   the full log to build-fuzz/fuzz-runs/NAME/fuzz.log. Reproduce one with
#   build-fuzz/fuzz/NAME_fuzz FILE.
set -uo pipefail
if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [NAME...]" >&2
  exit 2
fi
seconds=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-fuzz"

if [ $# -gt 0 ]; then
  names=("$@")
else
  names=()
  for src in "$root"/fuzz/*_fuzz.cpp; do
    n=$(basename "$src" .cpp)
    names+=("${n%_fuzz}")
  done
fi

if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORIX_BUILD_FUZZ=ON -DQUORIX_WERROR=ON -DQUORIX_BUILD_TESTS=OFF -DQUORIX_BUILD_BENCH=OFF >/dev/null ||
    exit 1
fi
targets=()
for n in "${names[@]}"; do targets+=("${n}_fuzz"); done
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}" || exit 1

status=0
report=()
for n in "${names[@]}"; do
  run="$dir/fuzz-runs/$n"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/crashes"
  mkdir -p "$root/fuzz/corpus/$n"
  cp -r "$root/fuzz/corpus/$n/." "$run/corpus/"
  echo "== $n: fuzzing ${seconds}s" >&2
  "$dir/fuzz/${n}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$run/crashes/" "$run/corpus" >"$run/fuzz.log" 2>&1
  rc=$?
  # The last status line carries the coverage reached ("#N DONE cov: E ft: F ...").
  cov=$(grep -oE 'cov: [0-9]+' "$run/fuzz.log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -oE 'ft: [0-9]+' "$run/fuzz.log" | tail -n 1 | cut -d' ' -f2)
  runs=$(grep -oE '^stat::number_of_executed_units: [0-9]+' "$run/fuzz.log" | cut -d' ' -f2)
  before=$(find "$root/fuzz/corpus/$n" -type f | wc -l)
  "$dir/fuzz/${n}_fuzz" -merge=1 -use_counters=0 "$root/fuzz/corpus/$n" "$run/corpus" >"$run/merge.log" 2>&1
  kept=$(($(find "$root/fuzz/corpus/$n" -type f | wc -l) - before))
  crashes=$(find "$run/crashes" -type f | wc -l)
  if [ "$rc" -ne 0 ] || [ "$crashes" -gt 0 ]; then
    result="CRASHED (exit $rc, $crashes file(s) in ${run#"$root"/}/crashes)"
    status=1
  else
    result="no crash"
  fi
  report+=("$(printf '%-22s %6s %7s %10s %5s  %s' "$n" "${cov:-?}" "${ft:-?}" "${runs:-?}" "$kept" "$result")")
done

printf '%-22s %6s %7s %10s %5s  %s\n' target cov ft runs kept result
printf '%s\n' "${report[@]}"
exit "$status"
