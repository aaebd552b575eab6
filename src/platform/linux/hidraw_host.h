#pragma once
// HidHost on the kernel's hidraw interface.
//
// Paths: "hid#vid_%04x&pid_%04x&mi_%02x#<sysfs path of the hid device>", lower
// case. The hid device's sysfs name ends in an instance counter that the kernel
// never reuses while it runs, so a replugged mouse gets a new path.
//
// Access: hidraw nodes are root-only by default. packaging/70-quorix-mouse.rules
// hands the product's hidraw nodes and its USB device node to the logged-in
// user (udev "uaccess"); nothing here needs root.
//
// Differences to the HID class driver the device link was designed against:
//  - Feature reports go through blocking ioctls (HIDIOCGFEATURE and
//    HIDIOCSFEATURE), so nothing is ever pending on a handle and CancelIo()
//    has nothing to abandon.
//  - A hidraw node stands for the whole USB interface. When its report
//    descriptor has several top-level collections, each is listed as an
//    interface of its own, path tagged "&colNN" (01 for the first) after the
//    ids, with that collection's capabilities; all of them open the same node,
//    and an input report goes to the collection that declares its report ID.
//    A node with one collection keeps the untagged path.
//  - A device is gone when a feature transfer fails with ENODEV, ESHUTDOWN or
//    ENXIO, or with a stall or timeout error after its hidraw sysfs folder has
//    disappeared; a present device that stalls or does not answer is not.
//  - String descriptors are not reachable through hidraw. GetIndexedString
//    asks the USB device itself, through usbfs (a GET_DESCRIPTOR control
//    request on /dev/bus/usb/BBB/DDD).
//
// Threads: EnumerateInterfaces, Open and Interrupt may be called from any
// thread; WaitEvent from one thread at a time. StartEvents adds to what is
// watched; it never stops watching.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/hid_host.h"
#include "platform/linux/hidraw_node.h"

namespace quorix {

// Reads string descriptor index of the USB device at usbDevNode ("" for a
// device that is not on USB) into buffer
// (payload after the two-byte header, zero-filled to length).
using UsbStringReader =
    std::function<bool(const std::string& usbDevNode, int index, uint8_t* buffer, size_t length)>;

// The usbfs implementation of UsbStringReader (US English strings).
bool ReadUsbStringDescriptor(const std::string& usbDevNode, int index, uint8_t* buffer, size_t length);

// Whether a feature transfer on node that failed with errno error means the
// device has been unplugged (see above).
bool FeatureErrorMeansGone(int error, const HidrawNode& node);

class HidrawHost final : public HidHost {
 public:
  explicit HidrawHost(std::unique_ptr<HidrawDirectory> directory,
                      UsbStringReader stringReader = ReadUsbStringDescriptor);
  ~HidrawHost() override;
  HidrawHost(const HidrawHost&) = delete;
  HidrawHost& operator=(const HidrawHost&) = delete;

  std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;
  void StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>& inputCollections) override;
  bool WaitEvent(HidEvent& event, int timeoutMs) override;
  void Interrupt() override;

 private:
  // One interface as listed: a node, or one collection of it.
  struct Presented {
    std::string path;
    int collection = -1;  // index into the descriptor's collections; -1 for the whole node
    HidCaps caps;
  };
  struct Entry {
    HidrawNode node;
    int collection = -1;
  };
  struct Watched {
    std::string sysPath;  // of the hidraw node
    int fd = -1;
    bool usesReportIds = false;
    // Input report ID -> path of the watched collection that declares it.
    std::vector<std::pair<uint8_t, std::string>> routes;
  };

  std::vector<Presented> RememberLocked(const HidrawNode& node);
  void WatchLocked(const HidrawNode& node);
  void HandleChangesLocked();
  void HandleInputLocked(size_t index, short revents);

  std::unique_ptr<HidrawDirectory> directory_;
  UsbStringReader stringReader_;
  int wakeFd_ = -1;

  std::mutex mutex_;  // everything below, and every call into directory_
  std::map<std::string, Entry> entryByPath_;
  // hidraw sysfs path -> paths: what a removal (which only names the sysfs
  // path, the device being gone) is reported under.
  std::map<std::string, std::vector<std::string>> pathsBySysPath_;
  bool eventsStarted_ = false;
  std::vector<std::pair<uint16_t, uint16_t>> inputCollections_;
  std::vector<Watched> watched_;
  std::deque<HidEvent> pending_;
};

}  // namespace quorix
