#!/usr/bin/env bash
# The on-screen display on Wayland, against real compositors run headless:
#  1. sway (a layer shell): the panel is a layer surface on the overlay layer,
#     anchored top-left, that takes no keyboard focus and lets clicks through
#     to the window below it;
#     and once it has faded out the program sleeps (no wake-ups);
#  2. weston (no layer shell, as GNOME): notifications stand in, each one
#     replacing the one before on the desktop's notification server (a fake
#     one on a private session bus).
# KWin (a layer shell too) is read back in kwin_suite.sh, beside its other
# channels, from KWin's own list of windows.
#
#   osd_suite.sh QUORIX_MOUSE FAKE_NOTIFICATION_SERVER VIRTUAL_CLICK
#
# Exits 77 (skipped) where sway, weston or Qt's Wayland platform is missing.
# The compositors refuse root: as root it runs itself again as nobody.
set -euo pipefail
program=$(realpath "$1")
notifier=$(realpath "$2")
click=$(realpath "$3")

if [ "${4:-}" != --inside ]; then
  for tool in sway swaymsg weston dbus-run-session python3; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  plugins=$(dirname "$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' -print -quit)")
  [ -n "$plugins" ] && [ "$plugins" != . ] || { echo "skipped: qt6-wayland is not installed"; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  mkdir -m 700 "$work/run" "$work/home"
  mkdir -m 755 "$work/out"
  run=()
  if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$work/run" "$work/home" "$work/out"
    run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    for file in "$0" "$program" "$notifier" "$click"; do
      "${run[@]}" test -x "$file" || { echo "skipped: nobody cannot run $file (a folder on its way is closed)"; exit 77; }
    done
  fi
  # TMPDIR: the program's single-instance socket stays in this run's folder.
  "${run[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" TMPDIR="$work/home" \
    XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 dbus-run-session -- "$0" "$program" "$notifier" "$click" --inside "$work"
  exit $?
fi

cd "$5/out"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in sway.log program.log weston.log notify.log; do
    [ -s "$log" ] && { echo "--- $log (last lines)"; tail -n 15 "$log"; }
  done
  exit 1
}
# wait_for SECONDS COMMAND...: true once COMMAND succeeds.
wait_for() {
  local until=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt "$until" ] || return 1; sleep 0.1; done
}
socket_of() { ls "$XDG_RUNTIME_DIR" | grep -E "^$1\$" | head -n 1; }
has_socket() { [ -n "$(socket_of "$1")" ]; }
focused() {
  swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("focused"): print(n.get("name")); return True
    return any(walk(c) for c in n.get("nodes", []) + n.get("floating_nodes", []))
walk(json.load(sys.stdin))'
}
start=$SECONDS

"$notifier" > notify.log 2>&1 & pids+=($!)
wait_for 10 grep -qs ready notify.log || fail "the fake notification server did not start"

# ---- 1. sway: the overlay ----
cat > sway.conf <<'CONF'
xwayland disable
focus_follows_mouse no
output HEADLESS-1 resolution 640x360
CONF
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -d -c sway.conf > sway.log 2>&1 &
pids+=($!)
wait_for 15 has_socket 'wayland-[0-9]+' || fail "sway did not start"
wait_for 5 has_socket 'sway-ipc\..*\.sock' || fail "sway's IPC socket did not appear"
export WAYLAND_DISPLAY=$(socket_of 'wayland-[0-9]+') SWAYSOCK=$XDG_RUNTIME_DIR/$(socket_of 'sway-ipc\..*\.sock')

# Hidden to start with, the program shows the virtual mouse alone (372x254),
# floating in the middle of the output, focused. The panel (365x300) stands
# at the top-left over the virtual mouse's "Open settings" button (20 px
# above its bottom edge). The simulated mouse's level changes keep the panel
# up for a few seconds.
presses=$(printf 'dpi-up,dpi-down,%.0s' $(seq 30))
QT_QPA_PLATFORM=wayland "$program" --simulate --hide --sim-option "press=${presses%,}" > program.log 2>&1 &
pids+=($!)
mouse=$!
layer='new layer surface: namespace quorix-osd layer ([0-9]+) anchor ([0-9]+) size ([0-9]+)x([0-9]+) margin 0,0,0,0'
wait_for 20 grep -qE "$layer" sway.log || fail "no layer surface of the on-screen display"
read -r kind anchor width height < <(grep -oE "$layer" sway.log | head -n 1 | sed -E "s/$layer/\1 \2 \3 \4/")
[ "$kind" = 3 ] || fail "the panel is on layer $kind, not the overlay layer (3)"
[ "$anchor" = 5 ] || fail "the panel is anchored $anchor, not top-left (5)"
[ "${width}x$height" = 365x300 ] || fail "the panel's size is ${width}x$height"

main="QUORIX Gaming Mouse Software"
before=$(focused)
[ -n "$before" ] && [ "$before" != "$main" ] || fail "the virtual mouse is not focused while the panel shows ($before)"
# Open settings: x 134+86..134+286, y 53+200..53+232; (300, 270) is in the panel's area.
"$click" 300 270 640 360 || fail "the virtual pointer could not click"
grep -q "Layer surface destroyed (quorix-osd)" sway.log && fail "the panel was gone before the click: no proof"
wait_for 5 sh -c "swaymsg -t get_tree | grep -q '\"name\": \"$main\"'" ||
  fail "the click in the panel's area did not reach the virtual mouse's Open settings button below it"
echo "sway: overlay layer, top-left, no keyboard, clicks pass through ($((SECONDS - start)) s)"
kill "$mouse"; wait "$mouse" 2>/dev/null || true

# Once the panel has faded out, the program sleeps: the overlay's connection
# wakes nothing (its work happens inside its calls).
count() { grep -c "$1" sway.log || true; }
made=$(count 'new layer surface: namespace quorix-osd') gone=$(count 'Layer surface destroyed (quorix-osd)')
# Presses during the first load are not reported: ten of them, 100 ms apart.
QT_QPA_PLATFORM=wayland "$program" --simulate --hide --sim-option "press=$(seq -s, 10 | sed -E 's/[0-9]+/dpi-up/g')" \
  > program.log 2>&1 &
pids+=($!)
mouse=$!
shown_and_gone() {
  [ "$(count 'new layer surface: namespace quorix-osd')" -gt "$made" ] &&
    [ "$(count 'Layer surface destroyed (quorix-osd)')" -gt "$gone" ]
}
wait_for 20 shown_and_gone || fail "the panel did not show and hide again"
sleep 1
# "TID SWITCHES" for every thread; a thread that ended meanwhile is left out.
switches() {
  for t in /proc/"$mouse"/task/*; do
    echo "${t##*/} $(awk '/ctxt_switches/ { s += $2 } END { print s }' "$t/status" 2>/dev/null)"
  done
}
switches > idle.0; sleep 3; switches > idle.1
woke=$(awk 'NR == FNR { before[$1] = $2; next } { s += $2 - before[$1] } END { print s + 0 }' idle.0 idle.1)
[ "$woke" -le 2 ] || fail "the idle program woke $woke times in 3 s"
echo "sway: idle after the panel, $woke wake-ups in 3 s ($((SECONDS - start)) s)"
kill "$mouse"; wait "$mouse" 2>/dev/null || true

# ---- 2. weston: no layer shell, notifications replace each other ----
weston --backend=headless-backend.so --socket=wayland-weston --shell=kiosk-shell.so --idle-time=0 \
  > weston.log 2>&1 & pids+=($!)
wait_for 15 test -S "$XDG_RUNTIME_DIR/wayland-weston" || fail "weston did not start"
WAYLAND_DISPLAY=wayland-weston QT_QPA_PLATFORM=wayland "$program" --simulate --hide \
  --sim-option press=dpi-up,dpi-up,dpi-down,dpi-down,dpi-up,dpi-down > program.log 2>&1 &
pids+=($!)
# A notice that comes while the one before waits for its id waits too, the
# latest only: six level changes 100 ms apart make two notices or more.
notices() { [ "$(grep -c '^Notify' notify.log)" -ge "$1" ]; }
wait_for 20 notices 2 || fail "fewer than two notifications came"
sleep 1
first=$(grep -m1 '^Notify' notify.log)
[[ $first == "Notify replaces_id=0 id="* ]] || fail "the first notice replaced something: $first"
id=${first#* id=}; id=${id%% *}
others=$(grep '^Notify' notify.log | tail -n +2)
if grep -qv "^Notify replaces_id=$id id=$id " <<<"$others"; then
  fail "a later notice did not replace the first (id $id): $(grep -v "replaces_id=$id" <<<"$others" | head -n 1)"
fi
grep -q 'body=Lv\.' <<<"$first" || fail "the notice does not say the level: $first"
echo "weston: $(grep -c '^Notify' notify.log) notices, each replacing id $id ($((SECONDS - start)) s)"
