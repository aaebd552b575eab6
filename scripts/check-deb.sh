#!/usr/bin/env bash
# Checks the Debian package: lintian (pedantic, informational tags shown)
# must report no error and no warning, and both programs must carry the
# hardening (BIND_NOW, fortified calls, the stack protector). Then installs it
# on a fresh Debian 12 root, the way a user does (apt install
# ./quorix-mouse_*.deb, recommended packages included), and runs both programs
# from the installed paths. Not part of the test suite: the install needs
# root, debootstrap and the network (a few hundred MB), and takes minutes.
#   scripts/check-deb.sh [PACKAGE.deb]
# LINT_ONLY=1 stops after lintian and the hardening check (no root needed).
# Default package: the newest quorix-mouse_*.deb in build-release/ or build/.
# DEBIAN_MIRROR picks the mirror; KEEP_ROOT=1 keeps the root for a look.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls -t "$repo"/build-release/quorix-mouse_*.deb "$repo"/build/quorix-mouse_*.deb 2>/dev/null | head -1 || true)}
[ -n "$deb" ] && [ -f "$deb" ] || { echo "check-deb.sh: no package; build one with cpack -G DEB (see README)" >&2; exit 2; }
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== lintian --pedantic -I $(basename "$deb")"
command -v lintian >/dev/null || { echo "check-deb.sh: lintian is missing (scripts/setup.sh installs it)" >&2; exit 2; }
lintian --pedantic -I --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

echo "== hardening of the programs"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for program in "$unpacked"/usr/bin/*; do
  name=$(basename "$program")
  readelf -d "$program" | grep -q 'BIND_NOW' || fail "$name: no BIND_NOW (full RELRO)"
  readelf -h "$program" | grep -q 'DYN (' || fail "$name: not a position-independent executable"
  symbols=$(readelf --dyn-syms -W "$program")
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$name: no stack protector"
  # The fortified variants of libc calls (__snprintf_chk, ...); the stack
  # protector's __stack_chk_fail is not one of them.
  fortified=$(grep -oE '__[a-z0-9_]+_chk\b' <<<"$symbols" | grep -v '^__stack_chk' | sort -u | tr '\n' ' ' || true)
  [ -n "$fortified" ] || fail "$name: no fortified calls"
  echo "$name: BIND_NOW, PIE, stack protector, fortified: $fortified"
done
rm -rf "$unpacked"
trap - EXIT
[ "${LINT_ONLY:-0}" = 1 ] && { echo "OK: $(basename "$deb") is lintian-clean and hardened"; exit 0; }

[ "$(id -u)" -eq 0 ] || { echo "check-deb.sh: needs root (debootstrap, chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "check-deb.sh: debootstrap is missing (scripts/setup.sh installs it)" >&2; exit 2; }
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

root=$(mktemp -d /var/tmp/quorix-deb-root.XXXXXX)
chmod 755 "$root"  # apt's download user must see into it
cleanup() {
  umount "$root/dev/pts" "$root/proc" 2>/dev/null || true
  # --one-file-system: never into a mount that failed to come off.
  if [ "${KEEP_ROOT:-0}" = 1 ]; then echo "root kept in $root"; else rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

echo "== debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
  { tail -5 "$root.log" >&2; echo "check-deb.sh: debootstrap failed (network?), log: $root.log" >&2; exit 3; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
mount -t devpts devpts "$root/dev/pts"
cp "$deb" "$root/tmp/"
name=$(basename "$deb")
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== apt install ./$name"
in_root apt-get update -q >/dev/null
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./$name" >"$root/tmp/apt.txt" 2>&1 ||
  { tail -20 "$root/tmp/apt.txt"; fail "apt install ./$name"; }
grep -E '^(Recommended packages|Setting up (quorix-mouse|udev|fonts-noto-cjk|libqt6widgets6))' "$root/tmp/apt.txt" || true

[ "$(in_root dpkg-query -W -f='${Status}' quorix-mouse)" = 'install ok installed' ] || fail "not installed"
in_root test -f /usr/lib/udev/rules.d/70-quorix-mouse.rules || fail "no udev rule"

echo "== quorix-mousectl --simulate show"
in_root sh -c 'mkdir -p -m 700 /tmp/home && cd /tmp/home && HOME=/tmp/home quorix-mousectl --simulate show' >"$root/tmp/show.txt"
head -3 "$root/tmp/show.txt"
grep -q '^Device: sim#' "$root/tmp/show.txt" || fail "quorix-mousectl --simulate show"
in_root sh -c 'HOME=/tmp/home quorix-mousectl texts --lang 1041' >"$root/tmp/texts.txt"
grep -qx 'type_str1=機能なし' "$root/tmp/texts.txt" ||
  fail "the installed language file was not read"

if in_root test -x /usr/bin/quorix-mouse; then
  echo "== quorix-mouse --simulate (no display: hands over to quorix-mousectl show)"
  in_root sh -c 'cd /tmp/home && HOME=/tmp/home quorix-mouse --simulate 2>&1' >"$root/tmp/gui.txt"
head -2 "$root/tmp/gui.txt"
  grep -q '^Device: sim#' "$root/tmp/gui.txt" || fail "quorix-mouse without a display"
  echo "== quorix-mouse refuses --screenshot-tour (the tour stays in the build tree)"
  in_root test ! -e /usr/bin/quorix-mouse-tour || fail "the screenshot tour was installed"
  status=0
  in_root sh -c 'cd /tmp/home && HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/home QT_QPA_PLATFORM=offscreen timeout 30 quorix-mouse --simulate --screenshot-tour /tmp/shots' >"$root/tmp/tour.txt" 2>&1 || status=$?
  [ "$status" = 2 ] && grep -q 'unknown option --screenshot-tour' "$root/tmp/tour.txt" ||
    { tail -3 "$root/tmp/tour.txt"; fail "quorix-mouse took --screenshot-tour (exit $status)"; }
fi
echo "OK: $name installs on a fresh Debian 12 root and both programs run from /usr/bin"
