#!/usr/bin/env bash
# Boots Debian's generic kernel under qemu (TCG, no KVM needed) with an
# initramfs of busybox, the hid, uhid, hid-generic, uinput and evdev modules
# and the probe program, and reports the probe's verdict.
#   run_vm_test.sh PROBE CACHE_DIR
# Exit: 0 pass, 1 fail, 77 skipped (no qemu, no static busybox, no kernel).
# The kernel package is downloaded into CACHE_DIR (never installed) and kept
# there for later runs.
set -uo pipefail

probe=$1
cache=$2
skip() { echo "vm test skipped: $*"; exit 77; }

command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 not installed"
busybox=/bin/busybox
[ -x "$busybox" ] || skip "busybox not installed"
# A dynamically linked busybox would need a loader and libc in the initramfs.
if readelf -l "$busybox" 2>/dev/null | grep -q 'INTERP'; then skip "busybox is not static (install busybox-static)"; fi
[ -x "$probe" ] || { echo "probe $probe missing"; exit 1; }

mkdir -p "$cache"
# The generic kernel, not the smaller cloud one: that one has no uinput.
meta=linux-image-amd64
kernel_dir="$cache/$meta"
if ! ls "$kernel_dir"/boot/vmlinuz-* >/dev/null 2>&1; then
  # The metapackage names the current kernel package.
  package=$(apt-cache depends "$meta" 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
  [ -n "$package" ] || skip "no $meta in the package lists (apt-get update?)"
  rm -rf "$cache/download" && mkdir -p "$cache/download"
  (cd "$cache/download" && apt-get download "$package" >/dev/null 2>&1) || skip "cannot download $package"
  rm -rf "$kernel_dir.tmp"
  dpkg-deb -x "$cache"/download/*.deb "$kernel_dir.tmp" || skip "cannot unpack $package"
  rm -rf "$kernel_dir" && mv "$kernel_dir.tmp" "$kernel_dir"
  rm -rf "$cache/download"
fi
vmlinuz=$(ls "$kernel_dir"/boot/vmlinuz-* | head -n1)
modules=$(ls -d "$kernel_dir"/lib/modules/* | head -n1)

# Modules in load order, dependencies first (there is no modules.dep in an
# unpacked package; each module names its own in "depends=").
declare -A seen=()
order=()
module_file() { find "$modules" -name "$1.ko*" | head -n1; }
add_module() {
  local name=$1 file deps dep
  [ -n "${seen[$name]:-}" ] && return 0
  seen[$name]=1
  file=$(module_file "$name")
  [ -n "$file" ] || { echo "module $name not in the kernel package"; return 1; }
  deps=$(strings "$file" | sed -n 's/^depends=//p' | head -n1)
  for dep in ${deps//,/ }; do add_module "$dep" || return 1; done
  order+=("$file")
}
for m in hid uhid hid-generic; do add_module "$m" || skip "kernel lacks $m"; done
# The pointer nudge's device and the event nodes it is read back through;
# either may be built into the kernel instead.
for m in uinput evdev; do
  if [ -n "$(module_file "$m")" ]; then add_module "$m" || skip "kernel lacks a module $m needs"; fi
done

work=$(mktemp -d "$cache/initramfs.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/root/{bin,dev,proc,sys,tmp,modules}
cp "$busybox" "$work/root/bin/busybox"
cp "$probe" "$work/root/probe"
load=""
for file in "${order[@]}"; do
  base=$(basename "$file")
  case "$base" in
    *.ko.xz) xz -dc "$file" > "$work/root/modules/${base%.xz}"; base=${base%.xz} ;;
    *.ko.zst) zstd -dqc "$file" > "$work/root/modules/${base%.zst}"; base=${base%.zst} ;;
    *) cp "$file" "$work/root/modules/$base" ;;
  esac
  load="$load /modules/$base"
done
cat > "$work/root/init" <<INIT
#!/bin/busybox sh
/bin/busybox mount -t proc proc /proc
/bin/busybox mount -t sysfs sysfs /sys
/bin/busybox mount -t devtmpfs devtmpfs /dev
for m in$load; do /bin/busybox insmod \$m || echo "insmod \$m failed"; done
/probe
echo "probe ended without stopping the machine"
/bin/busybox poweroff -f
INIT
chmod +x "$work/root/init"
(cd "$work/root" && find . | cpio -o -H newc 2>/dev/null | gzip -1) > "$work/initramfs.gz"

echo "booting $(basename "$vmlinuz") with modules: ${order[*]##*/}"
log="$work/console.log"
timeout 240 qemu-system-x86_64 -machine pc -cpu max -m 256 -smp 1 -nographic -no-reboot \
  -kernel "$vmlinuz" -initrd "$work/initramfs.gz" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1" \
  -device isa-debug-exit,iobase=0xf4,iosize=0x04 >"$log" 2>&1 </dev/null
status=$?
# Only the probe's lines: the firmware's screen codes add nothing.
grep -aE '^(ok  |FAIL|PASS|doctor:|probe ended|insmod)' "$log" | tr -d '\r'
if [ "$status" -eq 33 ] && grep -aq '^PASS' "$log"; then
  echo "vm test passed"
  exit 0
fi
echo "vm test failed: qemu exit status $status (33 = pass, 35 = probe failed, 124 = timeout)"
tail -n 30 "$log" | tr -d '\r'
exit 1
