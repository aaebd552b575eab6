#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
# Safe to run again: it only installs what is missing. Needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libudev-dev libevdev-dev
  libx11-dev libxi-dev libxtst-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libwayland-dev libwayland-bin wayland-protocols qt6-wayland
  xvfb xauth x11-utils openbox xterm jwm xcompmgr xdotool bc
  sway foot weston dbus-daemon python3
  fonts-noto-cjk qt6-translations-l10n
  qemu-system-x86 busybox-static cpio
  clang
  desktop-file-utils appstream dpkg-dev fakeroot debootstrap lintian
  libglib2.0-dev libglib2.0-bin dconf-service gsettings-desktop-schemas
  kwin-wayland gnome-shell mutter
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]}" >&2
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
