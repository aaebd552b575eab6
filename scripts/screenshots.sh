#!/usr/bin/env bash
# Screenshots of every window of the desktop program on the simulated mouse,
# in English, Japanese and Traditional Chinese, under Xvfb with a window
# manager and a compositor (for the translucent on-screen display):
#   scripts/screenshots.sh OUTDIR [BUILD_DIR]
# gives OUTDIR/<language>/<window>.png and, when the build made one, the
# artwork's contact sheet as OUTDIR/contact-sheet.png.
set -euo pipefail
out=${1:?usage: screenshots.sh OUTDIR [BUILD_DIR]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build}
# The tour is built with the tests and never installed.
program=$build/tools/screenshot-tour/quorix-mouse-tour
[ -x "$program" ] || { echo "screenshots.sh: build $program first (scripts/build.sh with the tests)" >&2; exit 2; }
for tool in Xvfb jwm xcompmgr; do
  command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)
# A home of its own: the language switch is kept in the data folder's
# set.ini, which must not be the user's.
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$home"' EXIT
# A display number of its own, picked by the server among the free ones: a
# number guessed at random can be one another run's server already holds,
# and the pictures would then show that run's windows.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$home/display" >/dev/null 2>&1 &
for _ in $(seq 100); do [ -s "$home/display" ] && break; sleep 0.1; done
[ -s "$home/display" ] || { echo "screenshots.sh: Xvfb did not start" >&2; exit 1; }
display=:$(head -n1 "$home/display")
export DISPLAY=$display HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# The window manager's own look stays out of the pictures: no dimming of
# windows without the focus (the on-screen display never has it), a tray
# for the program's icon.
cat > "$home/jwmrc" <<'JWMRC'
<?xml version="1.0"?>
<JWM>
    <Tray x="0" y="-1" height="28" autohide="off"><TaskList/><Dock/><Clock format="%H:%M"/></Tray>
    <WindowStyle><Font>Sans-10</Font><Width>4</Width><Opacity>1.0</Opacity>
        <Active><Opacity>1.0</Opacity></Active></WindowStyle>
    <Desktops width="1" height="1"/>
</JWM>
JWMRC
jwm -f "$home/jwmrc" >/dev/null 2>&1 &
sleep 1
for language in 1033 1041 1028; do
  # A compositor for each run: one that has seen an earlier run's windows
  # can take a new window with a reused id for the old one and never draw it.
  xcompmgr >/dev/null 2>&1 &
  compositor=$!
  sleep 0.5
  timeout 120 "$program" "$out" --simulate --langid="$language"
  kill "$compositor" 2>/dev/null || true
  wait "$compositor" 2>/dev/null || true
  echo "$out/$language: $(ls "$out/$language" | wc -l) pictures"
done
sheet=$(find "$build" -name 'contact*sheet*.png' -print -quit 2>/dev/null || true)
if [ -n "$sheet" ]; then cp "$sheet" "$out/contact-sheet.png"; echo "$out/contact-sheet.png"; fi
