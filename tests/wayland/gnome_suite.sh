#!/usr/bin/env bash
# GNOME Shell's channels against a real headless GNOME Shell in a private
# session bus (and a private stand-in for the system bus, which the Shell
# needs to start): without the extension the source says the command that
# enables it; enabled, it reports each native Wayland window that gets the
# focus with its process image and selects the bound profile, and the
# program itself, on the simulated mouse, switches the mouse to that profile;
# the acceleration switch turns the GSettings key to 'flat' and gives it back.
#   gnome_suite.sh PROBE WINDOW DATA_DIR PROGRAM MOUSECTL
# Skips (77) without gnome-shell, dbus-run-session, gdbus, gsettings, the Qt window or the program.
set -u
probe=$1 window=$2 data=$3 program=$4 mousectl=$5
. "$(dirname "$0")/suite_lib.sh"

for tool in gnome-shell dbus-run-session dbus-daemon gdbus gsettings; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ -x "$window" ] && [ -x "$program" ] || skip "the plain Wayland window and the program were not built (no Qt)"
SECONDS=0
start_work "$@"
uuid=foreground@quorix-mouse.example.org
mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions/$uuid"
cp "$data/gnome-shell/43/"* "$XDG_DATA_HOME/gnome-shell/extensions/$uuid/"
gsettings set org.gnome.shell disable-user-extensions false
dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/system_bus" --nofork --nopidfile 2>/dev/null &
started+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system_bus
gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x800 >"$work/shell.log" 2>&1 &
started+=($!)
shell() { gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m "$@"; }
# Extensions are enabled once the Shell says it started.
wait_for 60 grep -q "GNOME Shell started" "$work/shell.log" || fail "the Shell did not come up"
export WAYLAND_DISPLAY=wayland-0
# The Shell starts in the overview, which keeps the focus from new windows.
shell org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive "<false>" >/dev/null ||
  fail "the overview stays"

# Not enabled yet: unavailable, with the one command.
start_probe gnome
wait "$probe_pid"
[ $? -eq 3 ] && grep -qF "gnome-extensions enable $uuid" "$work/probe.out" || fail "no enabling command without the extension"
exec 3>&-
rm -f "$work/probe.in"
# What that command asks the Shell (the command itself falls back to writing
# the setting when the Shell's extensions service is not activatable, as in
# this bare session).
[ "$(shell org.gnome.Shell.Extensions.EnableExtension "$uuid")" = "(true,)" ] || fail "the Shell did not enable it"
# The Shell enables it when the setting it wrote comes back.
wait_for 10 gdbus call --session -d org.gnome.Shell -o /org/quorix/MouseForeground -m org.quorix.MouseForeground.Get ||
  fail "the extension offers nothing: $(grep -i -A3 'JS ERROR\|extension' "$work/shell.log")"

foreground_round gnome GNOME

profile() { gsettings get org.gnome.desktop.peripherals.mouse accel-profile; }
user=$(profile)
start_probe gnome-accel
wait_for 10 lines_at_least 1 "acceleration off" || fail "the switch did not turn"
[ "$(profile)" = "'flat'" ] || fail "accel-profile is $(profile) while switched off"
stop_probe
[ "$(profile)" = "$user" ] || fail "accel-profile is $(profile) after quitting, not $user"
echo "gnome suite passed in ${SECONDS}s"
