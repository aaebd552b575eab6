#include "platform/linux/udev_hidraw_directory.h"

#include <libudev.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/linux/sysfs_hidraw_directory.h"

namespace quorix {
namespace {

constexpr const char* kSysRoot = "/sys";
constexpr const char* kDevRoot = "/dev";

}  // namespace

std::unique_ptr<UdevHidrawDirectory> UdevHidrawDirectory::Create() {
  struct udev* context = udev_new();
  if (context == nullptr) return nullptr;
  return std::unique_ptr<UdevHidrawDirectory>(new UdevHidrawDirectory(context));
}

UdevHidrawDirectory::~UdevHidrawDirectory() {
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  udev_unref(udev_);
}

std::vector<HidrawNode> UdevHidrawDirectory::List() {
  std::vector<HidrawNode> nodes;
  udev_enumerate* enumerate = udev_enumerate_new(udev_);
  if (enumerate == nullptr) return nodes;
  udev_enumerate_add_match_subsystem(enumerate, "hidraw");
  udev_enumerate_scan_devices(enumerate);
  for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumerate); entry != nullptr;
       entry = udev_list_entry_get_next(entry)) {
    HidrawNode node;
    if (DescribeHidrawNode(udev_list_entry_get_name(entry), kSysRoot, kDevRoot, node)) nodes.push_back(node);
  }
  udev_enumerate_unref(enumerate);
  std::sort(nodes.begin(), nodes.end(),
            [](const HidrawNode& a, const HidrawNode& b) { return NodeNameLess(BaseName(a.sysPath), BaseName(b.sysPath)); });
  return nodes;
}

bool UdevHidrawDirectory::StartMonitor() {
  if (monitor_ != nullptr) return true;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr) return false;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    return false;
  }
  return true;
}

int UdevHidrawDirectory::MonitorFd() { return monitor_ == nullptr ? -1 : udev_monitor_get_fd(monitor_); }

std::vector<HidrawChange> UdevHidrawDirectory::ReadChanges() {
  std::vector<HidrawChange> changes;
  if (monitor_ == nullptr) return changes;
  // The monitor's socket is non-blocking: this drains what is pending.
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    const char* action = udev_device_get_action(device);
    const char* sysPath = udev_device_get_syspath(device);
    const char* devNode = udev_device_get_devnode(device);
    HidrawChange change;
    bool keep = false;
    if (action != nullptr && sysPath != nullptr && std::strcmp(action, "add") == 0) {
      change.kind = HidrawChangeKind::kAdded;
      keep = DescribeHidrawNode(sysPath, kSysRoot, kDevRoot, change.node);
    } else if (action != nullptr && sysPath != nullptr && std::strcmp(action, "remove") == 0) {
      change.kind = HidrawChangeKind::kRemoved;
      change.node.sysPath = sysPath;
      change.node.devNode = devNode != nullptr ? devNode : "";
      keep = true;
    }
    if (keep) changes.push_back(change);
    udev_device_unref(device);
  }
  return changes;
}

}  // namespace quorix
