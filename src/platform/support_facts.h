#pragma once
// What `quorix-mousectl doctor` learns from the operating system about the
// way to the mouse: its hidraw nodes and who may open them, the udev rule, the
// lock folder and the desktop session. Everything here only looks; nothing
// opens a node for writing or creates a file.

#include <cstdint>
#include <string>
#include <vector>

namespace quorix {

struct HidrawNodeFacts {
  std::string devNode;  // "/dev/hidraw3"
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  int interfaceNumber = -1;  // -1 when the node is not a USB interface
  // The report descriptor as the kernel exposes it; empty when unreadable.
  std::vector<uint8_t> reportDescriptor;
  uint32_t mode = 0;  // permission bits of the node (07777)
  std::string owner;  // user name, or the number when it has no name
  std::string group;  // group name, or the number
  bool canRead = false;   // this user may open it for reading
  bool canWrite = false;  // ... and for writing
  // The node carries an access-control list: what udev's "uaccess" tag leaves
  // for the user of the active local session.
  bool hasAcl = false;
  std::string usbDevNode;    // "/dev/bus/usb/001/004"; "" when not on USB
  bool usbReadable = false;  // the identification string can be asked there
};

struct LockFolderFacts {
  std::string folder;     // where the locks go
  bool exists = false;    // it is created on first use when missing
  std::string problem;    // why the folder cannot hold locks; "" when it can
};

class SupportFacts {
 public:
  virtual ~SupportFacts() = default;
  // The hidraw nodes of devices with this USB vendor ID, ordered by name.
  virtual std::vector<HidrawNodeFacts> HidrawNodes(uint16_t vendorId) = 0;
  // Whether a file (for example a udev rule) is present.
  virtual bool FileExists(const std::string& path) = 0;
  // An environment variable's value; "" when unset.
  virtual std::string Environment(const std::string& name) = 0;
  virtual LockFolderFacts LockFolder() = 0;
};

}  // namespace quorix
