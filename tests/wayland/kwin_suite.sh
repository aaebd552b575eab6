#!/usr/bin/env bash
# KWin's channels against a real headless KWin (kwin_wayland --virtual) in a
# private session bus: the foreground source loads its script, reports each
# native Wayland window that becomes active with its process image, selects
# the bound profile, and unloads the script when it goes; the program itself,
# on the simulated mouse, switches the mouse to the bound window's profile.
#   kwin_suite.sh PROBE WINDOW DATA_DIR PROGRAM MOUSECTL
# Skips (77) without kwin_wayland, dbus-run-session, gdbus, the Qt window or the program.
set -u
probe=$1 window=$2 program=$4 mousectl=$5
. "$(dirname "$0")/suite_lib.sh"

for tool in kwin_wayland dbus-run-session gdbus; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ -x "$window" ] && [ -x "$program" ] || skip "the plain Wayland window and the program were not built (no Qt)"
SECONDS=0
start_work "$@"
# kwin_wayland carries a file capability (CAP_SYS_RESOURCE) that a container
# may refuse at exec; a copy carries none and runs the same.
cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
"$work/kwin_wayland" --virtual --socket wayland-q --width 1024 --height 768 >"$work/kwin.log" 2>&1 &
started+=($!)
scripting() { gdbus call --session -d org.kde.KWin -o /Scripting -m "org.kde.kwin.Scripting.$1" "${@:2}"; }
wait_for 30 scripting isScriptLoaded none || fail "KWin did not come up: $(tail -5 "$work/kwin.log")"
export WAYLAND_DISPLAY=wayland-q

foreground_round kwin KDE
[ "$(scripting isScriptLoaded "quorix-mouse-foreground-$probe_pid")" = "(false,)" ] ||
  fail "the script is still loaded after the source went"
echo "kwin suite passed in ${SECONDS}s"
