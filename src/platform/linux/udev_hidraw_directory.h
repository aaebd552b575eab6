#pragma once
// hidraw nodes as udev lists them, and their arrival and removal as udev
// announces them: udev's announcement comes after its rules have run, so the
// node already carries the user's access rights (packaging/70-quorix-mouse.rules)
// when the host opens it. The attributes come from sysfs (DescribeHidrawNode),
// the same tree udev reads.

#include <memory>
#include <vector>

#include "platform/linux/hidraw_node.h"

struct udev;
struct udev_monitor;

namespace quorix {

class UdevHidrawDirectory final : public HidrawDirectory {
 public:
  // nullptr when udev is unavailable.
  static std::unique_ptr<UdevHidrawDirectory> Create();
  ~UdevHidrawDirectory() override;
  UdevHidrawDirectory(const UdevHidrawDirectory&) = delete;
  UdevHidrawDirectory& operator=(const UdevHidrawDirectory&) = delete;

  std::vector<HidrawNode> List() override;
  bool StartMonitor() override;
  int MonitorFd() override;
  std::vector<HidrawChange> ReadChanges() override;

 private:
  explicit UdevHidrawDirectory(struct udev* context) : udev_(context) {}

  struct udev* udev_;
  struct udev_monitor* monitor_ = nullptr;
};

}  // namespace quorix
