#!/usr/bin/env bash
# Sets everything up, builds, and runs every test three times: as built
# (Debug), under AddressSanitizer and UndefinedBehaviorSanitizer, and in the
# Release build packagers make (with -Werror here, so optimizer-only warnings
# fail CI too). Ends with a summary.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" || exit 1

passed=0
failed=0
status=0

# run_suite NAME DIR [cmake options...]
run_suite() {
  local name=$1 dir=$2
  shift 2
  echo "== $name: build" >&2
  if ! "$root/scripts/build.sh" "$dir" "$@"; then
    echo "== $name: build failed" >&2
    failed=$((failed + 1))
    status=1
    return
  fi
  echo "== $name: test" >&2
  local log="$dir/ctest.log"
  (cd "$dir" && ctest --output-on-failure -j"$(nproc)" --timeout 600 ${CTEST_EXTRA:-}) 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local total bad
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  [ "$rc" -eq 0 ] || status=1
}

run_suite "tests" "$root/build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
CTEST_EXTRA="-LE vm" run_suite "tests under ASan+UBSan" "$root/build-asan" -DQUORIX_SANITIZE=ON -DQUORIX_BUILD_BENCH=OFF
CTEST_EXTRA="-LE vm" run_suite "tests in Release" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DQUORIX_BUILD_BENCH=OFF

echo "tests: $passed passed, $failed failed"
exit "$status"
