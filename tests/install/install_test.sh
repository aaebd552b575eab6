#!/usr/bin/env bash
# Installs the build into a staging root (DESTDIR) and runs both programs from
# there, outside the source tree, with a home of their own:
#   install_test.sh BUILD_DIR PREFIX STAGING_DIR APP_ID [FILE...]
# FILEs: the desktop program's parts this build installs too (its binary, its
# icons), relative to the prefix.
# The programs must read their data from the staged prefix: with the staged
# language file they speak Japanese, without it they fall back to the English
# built in, although the source tree's language file is still in place.
set -euo pipefail
build=$1 prefix=$2 stage=$3 appId=$4
shift 4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" >/dev/null
root=$stage$prefix
if [ "$prefix" = /usr ]; then etc=$stage/etc; else etc=$root/etc; fi

for file in bin/quorix-mousectl share/quorix-mouse/language.ini share/quorix-mouse/keyboard.ini \
    share/quorix-mouse/bulitin.ini share/quorix-mouse/library/office.ini lib/udev/rules.d/70-quorix-mouse.rules \
    share/applications/quorix-mouse.desktop "share/metainfo/$appId.metainfo.xml" \
    share/man/man1/quorix-mouse.1.gz share/man/man1/quorix-mousectl.1.gz share/doc/quorix-mouse/copyright \
    share/gnome-shell/extensions/foreground@quorix-mouse.example.org/metadata.json \
    share/gnome-shell/extensions/foreground@quorix-mouse.example.org/extension.js \
    share/quorix-mouse/kwin/foreground.js "$@"; do
  [ -f "$root/$file" ] || fail "$file is not installed"
done
# The Shell loads an extension only from the folder named as its uuid.
grep -q '"uuid": "foreground@quorix-mouse.example.org"' \
  "$root/share/gnome-shell/extensions/foreground@quorix-mouse.example.org/metadata.json" ||
  fail "the Shell extension's uuid is not its folder's name"
grep -q '^MIT License' "$root/share/doc/quorix-mouse/copyright" || fail "the copyright file is not the licence"
[ -f "$etc/xdg/autostart/quorix-mouse.desktop" ] || fail "the autostart entry is not installed"
grep -qx 'Exec=quorix-mouse /hide' "$etc/xdg/autostart/quorix-mouse.desktop" || fail "autostart does not start hidden"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/share/applications/quorix-mouse.desktop" "$etc/xdg/autostart/quorix-mouse.desktop" ||
    fail "desktop-file-validate"
else
  echo "note: desktop-file-validate missing (scripts/setup.sh installs it), entries not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/share/metainfo/$appId.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate: $(appstreamcli validate --no-net "$root/share/metainfo/$appId.metainfo.xml")"
else
  echo "note: appstreamcli missing (scripts/setup.sh installs it), metainfo not validated"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work
unset QUORIX_DATA_DIR

show=$("$root/bin/quorix-mousectl" --simulate show) || fail "quorix-mousectl --simulate show"
grep -q '^Device: sim#' <<<"$show" || fail "show printed no simulated device: $show"
texts=$("$root/bin/quorix-mousectl" texts --lang 1041)
grep -qx 'type_str1=機能なし' <<<"$texts" || fail "the staged language file was not read"
mv "$root/share/quorix-mouse/language.ini" "$work/language.ini"
texts=$("$root/bin/quorix-mousectl" texts --lang 1041)
mv "$work/language.ini" "$root/share/quorix-mouse/language.ini"
grep -qx 'type_str1=No function' <<<"$texts" || fail "without the staged language file, data came from elsewhere"

if [ -x "$root/bin/quorix-mouse" ]; then
  # No display: the desktop program hands over to the tool installed beside it.
  show=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/quorix-mouse" --simulate 2>&1) ||
    fail "quorix-mouse without a display: $show"
  grep -q '^Device: sim#' <<<"$show" || fail "quorix-mouse without a display showed no mouse: $show"
  # The screenshot tour stores demo macros: it stays in the build tree, and
  # the installed program knows no switch for it.
  [ ! -e "$root/bin/quorix-mouse-tour" ] || fail "the screenshot tour was installed"
  status=0
  QT_QPA_PLATFORM=offscreen timeout 30 "$root/bin/quorix-mouse" --simulate --screenshot-tour "$work/shots" \
      >"$work/tour.log" 2>&1 || status=$?
  [ "$status" = 2 ] && grep -q 'unknown option --screenshot-tour' "$work/tour.log" ||
    fail "quorix-mouse took --screenshot-tour (exit $status): $(tail -3 "$work/tour.log")"
fi
echo "installed under $root: both programs ran from there"
