#pragma once
// What `doctor` finds out about the way to a real mouse: the system's side
// (hidraw nodes, udev rule, usbfs, lock folder, desktop session) from
// SupportFacts, and the mouse's side read over the device link without a
// single write. Problems are named by kind; the front end words them and
// the sentence that fixes each.

#include <cstdint>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "platform/hid_host.h"
#include "platform/support_facts.h"

namespace quorix {

// Where the package and a hand installation put the udev rule.
inline constexpr const char* kUdevRuleName = "70-quorix-mouse.rules";
std::vector<std::string> UdevRuleFolders();

struct NodeReport {
  HidrawNodeFacts facts;
  std::vector<HidCaps> collections;  // from the report descriptor
  std::string descriptorError;       // why it could not be parsed; "" when it was
};

enum class DesktopKind { kNone, kX11, kWayland };

struct DesktopReport {
  DesktopKind kind = DesktopKind::kNone;
  std::string display;         // DISPLAY
  std::string waylandDisplay;  // WAYLAND_DISPLAY
  std::string sessionType;     // XDG_SESSION_TYPE
  std::string currentDesktop;  // XDG_CURRENT_DESKTOP
};

struct MouseReport {
  std::string path;
  DeviceInfo info;
  // -1 when the mouse reports no end and carries no end marker yet: the
  // first load finds it by writing the marker, which doctor does not do.
  int memoryEnd = -1;
};

enum class ProblemKind {
  kNoNode,              // no hidraw node with the vendor ID
  kRuleMissing,         // no udev rule in any of UdevRuleFolders()
  kOtherVendor,         // --vendor-id names a vendor the shipped rule does not
  kNodeClosed,          // subject: a node this user cannot open read/write
  kUsbfsClosed,         // subject: the USB device node, not readable
  kLockFolder,          // subject: the folder; detail: why
  kNotIdentified,       // nodes open, but no interface answered as the mouse
  kNoAnswer,            // the mouse stopped answering; detail: the failure
};

struct Problem {
  ProblemKind kind;
  std::string subject;
  std::string detail;
  bool operator==(const Problem&) const = default;
};

struct SupportReport {
  uint16_t vendorId = kProductVendorId;
  bool simulated = false;  // the simulated mouse needs none of the system's parts
  std::vector<NodeReport> nodes;
  std::vector<std::string> rulesFound;  // installed rule files
  LockFolderFacts lockFolder;
  DesktopReport desktop;
  bool mouseAsked = false;  // false when no node could be opened
  std::vector<MouseReport> mice;
  std::vector<Problem> problems;
};

// The system's side. When simulating, nodes, rule and usbfs are not looked at.
SupportReport ReportSystem(SupportFacts& facts, uint16_t vendorId, bool simulated);

// Whether the mouse can be asked at all: simulated, or a node that opens.
bool CanAskMouse(const SupportReport& report);

// The mouse's side, run inside one device operation: lists and identifies the
// interfaces (identification string and information block) and reads each
// one's memory end, without writing.
void ReportMice(DeviceLink& link, SupportReport& report);
// After ReportMice's operation ended with `outcome`: kNoAnswer (detail: the
// failure as the user reads it) when it failed, kNotIdentified when it found
// no mouse.
void AddMouseProblems(SupportReport& report, Outcome outcome, const std::string& failureText);

}  // namespace quorix
