#pragma once
// The HID layer as the device link sees it.
//
// A path names one HID interface. Paths are lower case and carry the tags the
// device link looks for: "vid_xxxx", "pid_xxxx" and "mi_xx" (four and two
// lower-case hexadecimal digits), starting at character index 2 or later, e.g.
//   "hid#vid_3a5c&pid_0139&mi_01#/sys/devices/.../0003:3a5c:0139.0007"
// An interface with several top-level collections is listed once per
// collection, each path tagged "&colNN" (two decimal digits, in descriptor
// order) after the ids, e.g. "hid#vid_3a5c&pid_0139&mi_01&col02#...".
// A path stays unique for one plug-in of the device: a replugged device gets a
// new path, so stale entries never alias a new device.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quorix {

// What the top-level collection of an interface reports (Windows HidP_GetCaps).
struct HidCaps {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  // Report byte lengths including the report ID byte, 0 when there is none.
  uint16_t inputReportByteLength = 0;
  uint16_t outputReportByteLength = 0;
  uint16_t featureReportByteLength = 0;
};

struct HidInterfaceInfo {
  std::string path;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  int interfaceNumber = -1;  // -1 when the transport has no interface number
  HidCaps caps;
};

// One open handle to a HID interface. Closed when destroyed.
class HidDevice {
 public:
  virtual ~HidDevice() = default;
  // False when the capabilities cannot be read.
  virtual bool GetCaps(HidCaps& caps) = 0;
  virtual bool GetAttributes(uint16_t& vendorId, uint16_t& productId) = 0;
  // buffer[0] holds the report ID on entry; on success length bytes of the
  // report (report ID first) are stored in buffer.
  virtual bool GetFeature(uint8_t* buffer, size_t length) = 0;
  // buffer[0] is the report ID.
  virtual bool SetFeature(const uint8_t* buffer, size_t length) = 0;
  // Abandons pending transfers on this handle.
  virtual void CancelIo() = 0;
  // True once a transfer on this handle failed because the device has been
  // unplugged (as opposed to a device that is present but did not answer).
  virtual bool Gone() { return false; }
  // The string descriptor with the given index, as its raw payload after the
  // two-byte descriptor header (UTF-16LE code units as the device sent them),
  // zero-filled to length. False when the device has no such string.
  virtual bool GetIndexedString(int index, uint8_t* buffer, size_t length) = 0;
};

enum class HidEventKind { kArrival, kRemoval, kInputReport };

struct HidEvent {
  HidEventKind kind = HidEventKind::kArrival;
  std::string path;
  std::vector<uint8_t> report;  // input reports only: report ID first
};

class HidHost {
 public:
  virtual ~HidHost() = default;
  // Every HID interface present now, in a stable order.
  virtual std::vector<HidInterfaceInfo> EnumerateInterfaces() = 0;
  // nullptr when the path cannot be opened.
  virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
  // Starts arrival and removal notifications, and input reports from every
  // interface whose top-level collection is one of (usagePage, usage).
  virtual void StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>& inputCollections) = 0;
  // Waits up to timeoutMs for the next event; false on timeout or Interrupt().
  virtual bool WaitEvent(HidEvent& event, int timeoutMs) = 0;
  // Wakes a thread blocked in WaitEvent.
  virtual void Interrupt() = 0;
};

}  // namespace quorix
