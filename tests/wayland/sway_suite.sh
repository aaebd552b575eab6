#!/usr/bin/env bash
# Per-application profile switching and the acceleration switch under a real
# sway, headless: sway and two native Wayland clients (foot, copied to two
# names so that each has an image and an app id of its own: "alpha", "beta"),
# then the in-session checks and quorix-mousectl's foreground view.
# sway refuses to run as root: as root everything runs as nobody.
# Usage: sway_suite.sh SWAY_SESSION_TEST QUORIX_MOUSECTL
# Exit 77 (skipped) when sway or foot is missing.
set -u
session_test=$1
mousectl=$2
for tool in sway swaymsg foot dbus-run-session setpriv; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
started=$(date +%s%N)

work=$(mktemp -d /tmp/quorix-sway.XXXXXX)
sway_pid=
cleanup() {
  # sway itself, not its dbus-run-session: that one then ends its bus and
  # returns; killed first, it would leave sway and the bus behind.
  if [ -n "$sway_pid" ]; then
    for pid in $(pgrep -f "^sway -c $work/config"); do kill "$pid" 2>/dev/null; done
    wait "$sway_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" TERM INT  # a timed-out run cleans up too
chmod 755 "$work"
mkdir -p "$work/run" "$work/home" "$work/bin"
chmod 700 "$work/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$work/run" "$work/home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# Copies that the unprivileged user can run wherever the build tree is.
cp "$(command -v foot)" "$work/bin/alpha"
cp "$(command -v foot)" "$work/bin/beta"
cp "$session_test" "$work/bin/session_test"
cp "$mousectl" "$work/bin/mousectl"
chmod 755 "$work/bin"/*
printf 'xwayland disable\ndefault_border none\n' >"$work/config"
chmod 644 "$work/config"

base_env=(HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PATH=/usr/bin:/bin LANG=C.UTF-8)
"${as_user[@]}" env -i "${base_env[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  dbus-run-session -- sway -c "$work/config" >"$work/sway.log" 2>&1 &
sway_pid=$!

fail() {
  echo "FAIL: $*"
  echo "--- sway log (last lines)"
  tail -n 15 "$work/sway.log"
  exit 1
}
wait_for() {  # wait_for SECONDS COMMAND...: true once COMMAND succeeds
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
socket() { ls "$work/run"/sway-ipc.*.sock 2>/dev/null | head -n 1; }
has_socket() { test -n "$(socket)"; }
wait_for 15 has_socket || fail "sway did not start"
sock=$(socket)
display=$(cd "$work/run" && ls wayland-* | grep -v lock | head -n 1)
session_env=("${base_env[@]}" SWAYSOCK="$sock" WAYLAND_DISPLAY="$display")
in_session() { "${as_user[@]}" env -i "${session_env[@]}" "$@"; }
msg() { in_session swaymsg "$@" >/dev/null; }
has_window() { in_session swaymsg -t get_tree | grep -q "\"app_id\": \"$1\""; }

msg exec "$work/bin/alpha --app-id=alpha sleep 120" || fail "swaymsg exec"
wait_for 15 has_window alpha || fail "the first client (alpha) did not open a window"
msg exec "$work/bin/beta --app-id=beta sleep 120"
wait_for 15 has_window beta || fail "the second client (beta) did not open a window"

status=0
echo "--- in-session checks"
in_session QUORIX_ALPHA_IMAGE="$work/bin/alpha" QUORIX_BETA_IMAGE="$work/bin/beta" "$work/bin/session_test" ||
  status=1

# quorix-mousectl's foreground view: focus alpha, beta, alpha while it
# watches; each report names the profile the binding selects.
reports() { test "$(grep -c '^foreground:' "$work/watch.out")" -ge "$1"; }
watch() {  # watch [VAR=VALUE...]: the view's reports of three foregrounds
  msg '[app_id="beta"] focus'
  # sway's window list shows a window activated once its client has drawn
  # that state (the IPC tells at once): a moment for the last focus to land.
  sleep 0.5
  in_session "$@" "$work/bin/mousectl" watch-apps --bind "1=$work/bin/alpha" --bind "3=$work/bin/beta" \
    --count 3 --interval 20 >"$work/watch.out" 2>&1 &
  local view=$!
  wait_for 5 grep -q "^foreground:" "$work/watch.out"
  msg '[app_id="alpha"] focus'
  wait_for 5 reports 2
  msg '[app_id="beta"] focus'
  wait_for 5 reports 3
  kill "$view" 2>/dev/null
  wait "$view" 2>/dev/null
  grep '^foreground:' "$work/watch.out"
}
check_watch() {  # check_watch NAME EXPECTED_LINES
  local got
  got=$(watch "${@:3}")
  if [ "$got" = "$2" ]; then
    echo "ok: $1"
  else
    echo "FAIL: $1"
    echo "expected:"
    echo "$2"
    echo "got:"
    cat "$work/watch.out"
    status=1
  fi
}
echo "--- quorix-mousectl watch-apps"
check_watch "the sway IPC source names each image and its profile" \
  "foreground: beta ($work/bin/beta) -> profile 3 \"beta\"
foreground: alpha ($work/bin/alpha) -> profile 1 \"alpha\"
foreground: beta ($work/bin/beta) -> profile 3 \"beta\""
# Without $SWAYSOCK the choice falls to the wlroots window list.
check_watch "the window list names each application id and its profile" \
  "foreground: application id beta -> profile 3 \"beta\"
foreground: application id alpha -> profile 1 \"alpha\"
foreground: application id beta -> profile 3 \"beta\"" SWAYSOCK=

echo "sway suite: $(((($(date +%s%N) - started)) / 1000000)) ms"
exit "$status"
