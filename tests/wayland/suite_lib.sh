# Shared by kwin_suite.sh and gnome_suite.sh (sourced): a private runtime
# folder, the plain Wayland windows, the probe on a pipe, and the foreground
# round that both compositors must pass. Sets $work; the caller sets
# $probe, $window, $program and $mousectl (the binaries) and WAYLAND_DISPLAY
# before the round.

skip() {
  echo "SKIP: $*"
  exit 77
}

fail() {
  echo "FAIL: $*"
  [ -f "$work/probe.out" ] && sed 's/^/  probe: /' "$work/probe.out"
  for log in "$work"/*.log; do
    [ -f "$log" ] && tail -n 3 "$log" | sed "s|^|  $(basename "$log"): |"
  done
  exit 1
}

started=()
stop_all() {
  exec 3>&- 2>/dev/null
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
}

# start_work "$@": a private home and runtime folder, then the suite again
# inside its own session bus, which starts its services (dconf, the
# accessibility bus) with that home, so the user's own settings stay untouched.
start_work() {
  if [ -z "${QUORIX_SUITE_WORK:-}" ]; then
    QUORIX_SUITE_WORK=$(mktemp -d)
    export QUORIX_SUITE_WORK XDG_RUNTIME_DIR=$QUORIX_SUITE_WORK/run HOME=$QUORIX_SUITE_WORK/home
    export XDG_CONFIG_HOME=$HOME/config XDG_DATA_HOME=$HOME/data XDG_CACHE_HOME=$HOME/cache
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    mkdir -p "$HOME" "$QUORIX_SUITE_WORK/apps"
    dbus-run-session -- "$0" "$@"
    local result=$?
    rm -rf "$QUORIX_SUITE_WORK"
    exit $result
  fi
  work=$QUORIX_SUITE_WORK
  trap stop_all EXIT
}

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# lines_at_least COUNT PATTERN: the probe printed PATTERN (a whole line) COUNT times.
lines_at_least() { [ "$(grep -cxF -- "$2" "$work/probe.out")" -ge "$1" ]; }

# open_window NAME: a window of its own image $work/apps/NAME; its PID in $opened.
open_window() {
  cp "$window" "$work/apps/$1"
  # Without fd 3: the probe must see its input close when the suite closes it.
  QT_QPA_PLATFORM=wayland "$work/apps/$1" "$1" >"$work/$1.log" 2>&1 3>&- &
  opened=$!
  started+=("$opened")
}

# start_probe ARGS...: the probe reading a pipe that fd 3 holds open.
start_probe() {
  mkfifo "$work/probe.in"
  "$probe" "$@" <"$work/probe.in" >"$work/probe.out" 2>&1 &
  probe_pid=$!
  exec 3>"$work/probe.in"
}

# stop_probe: closes its input; it must end by itself with 0.
stop_probe() {
  exec 3>&-
  wait "$probe_pid" || fail "the probe ended with $?"
  rm -f "$work/probe.in"
}

# switches PID: how often the process's threads have woken so far.
# quiet PID: none of them woke for half a second.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
quiet() {
  local before
  before=$(switches "$1")
  sleep 0.5
  [ "$(switches "$1")" = "$before" ]
}

# The round: nothing in front; the program starts on the simulated mouse
# (its window comes to the front: no profile); window alpha opens (no
# profile); window beta, bound to profile 1, opens (profile 1); beta closes
# and alpha is in front again. Each change must arrive by itself: the probe
# never polls. The program has beta bound to profile 2 in set.ini, as
# `quorix-mousectl options set` binds it for the user; beta stays in front
# until the program has gone quiet (the mouse loaded, beta's change taken),
# and once the program has quit (/close) the simulated mouse, read back, has
# profile 2 active.
#   foreground_round PROBE_MODE DESKTOP (the program's XDG_CURRENT_DESKTOP)
foreground_round() {
  "$mousectl" options set app2 "$work/apps/beta" >/dev/null &&
    "$mousectl" options set app_enable2 1 >/dev/null || fail "quorix-mousectl could not bind beta"
  start_probe "$1" --bind "1=$work/apps/beta"
  wait_for 10 lines_at_least 1 "foreground 0 ? -> no profile" || fail "no first report"
  XDG_CURRENT_DESKTOP=$2 QT_QPA_PLATFORM=wayland "$program" --simulate --sim-state "$work/mouse.state" --hide \
    >"$work/program.log" 2>&1 3>&- &
  local mouse=$!
  started+=("$mouse")
  wait_for 20 lines_at_least 1 "foreground $mouse $program -> no profile" || fail "the program's window not reported"
  open_window alpha
  local alpha=$opened
  wait_for 20 lines_at_least 1 "foreground $alpha $work/apps/alpha -> no profile" || fail "alpha not reported"
  open_window beta
  local beta=$opened
  wait_for 20 lines_at_least 1 "foreground $beta $work/apps/beta -> profile 1" || fail "beta not reported"
  wait_for 20 quiet "$mouse" || fail "the program did not go quiet"
  kill "$beta"
  wait_for 20 lines_at_least 2 "foreground $alpha $work/apps/alpha -> no profile" || fail "alpha not back in front"
  "$program" /close
  wait "$mouse" || fail "the program ended with $?"
  local shown
  shown=$("$mousectl" --simulate --sim-state "$work/mouse.state" show) || fail "the mouse could not be read back"
  grep -qx "Profiles: 5, active profile 2" <<<"$shown" ||
    fail "the mouse's active profile is not beta's: $(grep -m1 '^Profiles' <<<"$shown")"
  stop_probe
  echo "foreground round passed"
}
