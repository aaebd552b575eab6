#!/usr/bin/env bash
# Sets everything up, builds, and shows the simulated mouse.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" >/dev/null
exec "$root/build/src/cli/quorix-mousectl" --simulate info
