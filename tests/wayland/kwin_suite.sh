#!/usr/bin/env bash
# KWin's channels against a real headless KWin (kwin_wayland --virtual) in a
# private session bus: the foreground source loads its script, reports each
# native Wayland window that becomes active with its process image, selects
# the bound profile, and unloads the script when it goes; the program itself,
# on the simulated mouse, switches the mouse to the bound window's profile.
# Then the on-screen display as KWin holds it: a script of the suite's own,
# loaded through KWin's scripting interface, prints KWin's windows with their
# properties into KWin's log while the panel shows. The panel must be there
# as KWin's own record of it says: on the layer KWin gives overlay layer
# surfaces, at the top-left corner, at the panel's size, wanting no input
# and not active, while the virtual mouse keeps the focus.
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
# The scripts' print() goes to KWin's log under the kwin_scripting category.
QT_LOGGING_RULES=kwin_scripting.debug=true \
  "$work/kwin_wayland" --virtual --socket wayland-q --width 1024 --height 768 >"$work/kwin.log" 2>&1 &
started+=($!)
scripting() { gdbus call --session -d org.kde.KWin -o /Scripting -m "org.kde.kwin.Scripting.$1" "${@:2}"; }
wait_for 30 scripting isScriptLoaded none || fail "KWin did not come up: $(tail -5 "$work/kwin.log")"
export WAYLAND_DISPLAY=wayland-q

foreground_round kwin KDE
[ "$(scripting isScriptLoaded "quorix-mouse-foreground-$probe_pid")" = "(false,)" ] ||
  fail "the script is still loaded after the source went"

# One line per listing, a window each between bars: its process, KWin's
# layer, place, size, whether it wants input, whether it is active, caption.
# KWin 5.27 names the list clientList, KWin 6 windowList.
cat >"$work/windows.js" <<'SCRIPT'
const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
print("quorix-windows " + windows.map(w => {
  const g = w.frameGeometry;
  return "| " + w.pid + " layer " + w.layer + " at " + g.x + "," + g.y + " size " + g.width + "x" + g.height +
         " wantsInput " + w.wantsInput + " active " + w.active + " " + w.caption + " ";
}).join("") + "|");
SCRIPT
# panel_listed: KWin lists its windows once more (into kwin.log); true once
# a window of the program is on layer 10, KWin 5.27's topmost
# (UnmanagedLayer), where it puts overlay layer surfaces: normal windows are
# on 2, top layer surfaces on 4. (Later KWins number their layers otherwise.)
panel_listed() {
  scripting loadScript "$work/windows.js" quorix-suite-windows >/dev/null && scripting start >/dev/null
  scripting unloadScript quorix-suite-windows >/dev/null
  listing=$(grep "^js: quorix-windows " "$work/kwin.log" | tail -n 1)
  [[ $listing == *"| $mouse layer 10 "* ]]
}
# The simulated user changes the level for 6 s: the panel stands meanwhile.
presses=$(printf 'dpi-up,dpi-down,%.0s' $(seq 30))
XDG_CURRENT_DESKTOP=KDE QT_QPA_PLATFORM=wayland "$program" --simulate --hide --sim-option "press=${presses%,}" \
  >"$work/program.log" 2>&1 &
mouse=$!
started+=("$mouse")
wait_for 20 panel_listed || fail "KWin lists no window of the program on the overlay layer: $listing"
[[ $listing == *"| $mouse layer 10 at 0,0 size 365x300 wantsInput false active false  |"* ]] ||
  fail "the panel is not a top-left 365x300 surface that wants no input: $listing"
[[ $listing == *"| $mouse layer 2 "*" active true Virtual mouse"* ]] ||
  fail "the virtual mouse is not the active window while the panel shows: $listing"
echo "the panel is on KWin's overlay layer, top-left, wants no input, and the virtual mouse keeps the focus"
"$program" /close
wait "$mouse" || fail "the program ended with $?"
echo "kwin suite passed in ${SECONDS}s"
