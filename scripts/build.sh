#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds into DIR.
# Debug unless the options say otherwise; warnings are errors in every build
# this script makes, optimized ones included.
set -euo pipefail
dir=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORIX_WERROR=ON "$@" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
