#include "session/support_report.h"

#include <utility>

#include "device/commands.h"
#include "device/discovery.h"
#include "platform/hid_report_descriptor.h"
#include "settings/memory_map.h"
#include "settings/settings_load.h"

namespace quorix {
namespace {

NodeReport DescribeNode(HidrawNodeFacts facts) {
  NodeReport node;
  if (facts.reportDescriptor.empty()) {
    node.descriptorError = "the report descriptor cannot be read";
  } else if (const auto info = ParseHidReportDescriptor(facts.reportDescriptor.data(), facts.reportDescriptor.size());
             !info) {
    node.descriptorError = info.detail();
  } else {
    for (const HidTopLevelCollection& collection : info->collections) node.collections.push_back(collection.caps);
  }
  node.facts = std::move(facts);
  return node;
}

DesktopReport DescribeDesktop(SupportFacts& facts) {
  DesktopReport desktop;
  desktop.display = facts.Environment("DISPLAY");
  desktop.waylandDisplay = facts.Environment("WAYLAND_DISPLAY");
  desktop.sessionType = facts.Environment("XDG_SESSION_TYPE");
  desktop.currentDesktop = facts.Environment("XDG_CURRENT_DESKTOP");
  // A Wayland session usually sets DISPLAY too (for XWayland); what the
  // program can do there is decided by the session, not by that variable.
  if (desktop.sessionType == "wayland" || (desktop.sessionType.empty() && !desktop.waylandDisplay.empty())) {
    desktop.kind = DesktopKind::kWayland;
  } else if (!desktop.display.empty()) {
    desktop.kind = DesktopKind::kX11;
  }
  return desktop;
}

// The end as the first load finds it, short of its one write: a mouse that
// reports no end and carries no marker at the top gets the marker written
// there, so doctor leaves the end unknown instead.
int MemoryEndWithoutWriting(DeviceLink& link, const std::string& path, const DeviceInfo& info) {
  if (const int word = ReadStatusWord(link, path); word != 0) return word;
  if (ReadMemoryByte(link, path, 0xFFFF, true) != kSignatureByte &&
      ReadMemoryByte(link, path, 0xFFFE, true) != kSignatureByte)
    return -1;
  return ProbeMemoryEnd(link, path, StoredMacrosEnd(link, path, MemoryMapForLevel(info.protocolLevel, info.tableSelect)));
}

}  // namespace

std::vector<std::string> UdevRuleFolders() {
  return {"/usr/lib/udev/rules.d", "/lib/udev/rules.d", "/etc/udev/rules.d", "/usr/local/lib/udev/rules.d"};
}

SupportReport ReportSystem(SupportFacts& facts, uint16_t vendorId, bool simulated) {
  SupportReport report;
  report.vendorId = vendorId;
  report.simulated = simulated;
  report.desktop = DescribeDesktop(facts);
  report.lockFolder = facts.LockFolder();
  if (!simulated) {
    for (HidrawNodeFacts& node : facts.HidrawNodes(vendorId)) report.nodes.push_back(DescribeNode(std::move(node)));
    for (const std::string& folder : UdevRuleFolders()) {
      const std::string rule = folder + "/" + kUdevRuleName;
      if (facts.FileExists(rule)) report.rulesFound.push_back(rule);
    }
    std::vector<Problem>& problems = report.problems;
    if (report.nodes.empty()) problems.push_back({ProblemKind::kNoNode, "", ""});
    if (report.rulesFound.empty()) problems.push_back({ProblemKind::kRuleMissing, "", ""});
    if (vendorId != kProductVendorId) problems.push_back({ProblemKind::kOtherVendor, "", ""});
    for (const NodeReport& node : report.nodes) {
      if (!node.facts.canRead || !node.facts.canWrite) problems.push_back({ProblemKind::kNodeClosed, node.facts.devNode, ""});
    }
    // One USB device has several nodes (one per interface): say it once.
    std::vector<std::string> usbNodes;
    for (const NodeReport& node : report.nodes) {
      const std::string& usb = node.facts.usbDevNode;
      if (usb.empty() || node.facts.usbReadable) continue;
      bool said = false;
      for (const std::string& seen : usbNodes) said = said || seen == usb;
      if (!said) {
        usbNodes.push_back(usb);
        problems.push_back({ProblemKind::kUsbfsClosed, usb, ""});
      }
    }
  }
  if (!report.lockFolder.problem.empty()) {
    report.problems.push_back({ProblemKind::kLockFolder, report.lockFolder.folder, report.lockFolder.problem});
  }
  return report;
}

bool CanAskMouse(const SupportReport& report) {
  if (report.simulated) return true;
  for (const NodeReport& node : report.nodes) {
    if (node.facts.canRead && node.facts.canWrite) return true;
  }
  return false;
}

void ReportMice(DeviceLink& link, SupportReport& report) {
  report.mouseAsked = true;
  EnumerateDevices(link);
  for (int i = 0; i < DeviceCount(link); ++i) {
    MouseReport mouse;
    mouse.path = DevicePath(link, i);
    if (!GetDeviceInfo(link, mouse.path, mouse.info)) continue;
    mouse.memoryEnd = MemoryEndWithoutWriting(link, mouse.path, mouse.info);
    report.mice.push_back(std::move(mouse));
  }
}

void AddMouseProblems(SupportReport& report, Outcome outcome, const std::string& failureText) {
  if (!outcome) {
    report.problems.push_back({ProblemKind::kNoAnswer, "", failureText});
  } else if (report.mice.empty()) {
    report.problems.push_back({ProblemKind::kNotIdentified, "", ""});
  }
}

}  // namespace quorix
