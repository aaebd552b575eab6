#!/usr/bin/env bash
# Sets everything up, builds, and opens the desktop program on the simulated
# mouse, with the virtual mouse window to press its buttons. Without a
# display it prints the simulated mouse's settings instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" >/dev/null
exec "$root/build/src/app/quorix-mouse" --simulate "$@"
