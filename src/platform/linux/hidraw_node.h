#pragma once
// What the system says about one hidraw node, and the source of that
// knowledge: udev on a desktop, sysfs and kernel uevents where udev is absent
// (the statically linked kernel test program). HidrawHost works on this
// interface only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/path_name.h"

namespace quorix {

struct HidrawNode {
  std::string sysPath;     // the hidraw class device, e.g. /sys/devices/.../hidraw/hidraw3
  std::string devNode;     // /dev/hidraw3
  std::string hidSysPath;  // the parent "hid" device, /sys/devices/.../0003:3A5C:0139.0007
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  int interfaceNumber = -1;  // -1 when the device is not a USB interface
  std::string usbDevNode;    // usbfs node of the USB device, /dev/bus/usb/001/004; "" if none
};

enum class HidrawChangeKind { kAdded, kRemoved };

struct HidrawChange {
  HidrawChangeKind kind = HidrawChangeKind::kAdded;
  HidrawNode node;  // complete for kAdded; only sysPath and devNode for kRemoved
};

class HidrawDirectory {
 public:
  virtual ~HidrawDirectory() = default;
  // Every hidraw node present now, ordered by node name (hidraw2 before hidraw10).
  virtual std::vector<HidrawNode> List() = 0;
  // Starts watching for nodes that come and go. False when that is impossible.
  virtual bool StartMonitor() = 0;
  // A descriptor that polls readable when changes are pending; -1 before
  // StartMonitor.
  virtual int MonitorFd() = 0;
  // Reads the pending changes (non-blocking); other subsystems' events are dropped.
  virtual std::vector<HidrawChange> ReadChanges() = 0;
};

// "hid#vid_%04x&pid_%04x&mi_%02x#<hid device sysfs path>", lower case; without
// "&mi_xx" when interfaceNumber is negative. A collection number of 1 or more
// adds "&col%02d" after the ids, naming one top-level collection of a node
// whose report descriptor has several.
std::string FormatHidrawPath(const HidrawNode& node, int collection = 0);

// HID_ID of a hid device's uevent: "0003:00003A5C:00000139".
bool ParseHidId(const std::string& hidId, uint16_t& bus, uint16_t& vendorId, uint16_t& productId);

// The USB HID driver names a device's physical location "<usb port>/input<N>"
// with N its interface number; -1 when the text has no such suffix.
int InterfaceNumberFromPhys(const std::string& phys);

// Orders node names the way a person counts: hidraw2 before hidraw10.
bool NodeNameLess(const std::string& a, const std::string& b);

// One kernel uevent as sent on the NETLINK_KOBJECT_UEVENT socket:
// "action@devpath\0KEY=value\0...".
struct KernelUevent {
  std::string action;
  std::string devPath;
  std::string subsystem;
  std::string devName;
};
bool ParseKernelUevent(const char* data, size_t size, KernelUevent& event);

}  // namespace quorix
