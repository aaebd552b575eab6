#pragma once
// hidraw nodes read straight from sysfs, and their arrival and removal from
// the kernel's uevent socket. Needs no udev: the statically linked kernel test
// program uses it, and the udev directory shares DescribeHidrawNode.
//
// Without udev nobody applies device permissions: the kernel's uevent arrives
// before udev rules have run, so desktops use UdevHidrawDirectory instead.

#include <string>
#include <vector>

#include "platform/linux/hidraw_node.h"

namespace quorix {

// Fills node from the sysfs tree of the hidraw class device at hidrawSysPath
// (a resolved path below sysRoot). devRoot is where device nodes live ("/dev").
// False when the parent hid device or its HID_ID cannot be read.
bool DescribeHidrawNode(const std::string& hidrawSysPath, const std::string& sysRoot, const std::string& devRoot,
                        HidrawNode& node);

// The raw report descriptor the kernel exposes beside a hid device.
std::vector<uint8_t> ReadSysfsReportDescriptor(const std::string& hidSysPath);

class SysfsHidrawDirectory final : public HidrawDirectory {
 public:
  // The roots are parameters so that tests can lay out a fake tree.
  explicit SysfsHidrawDirectory(std::string sysRoot = "/sys", std::string devRoot = "/dev");
  ~SysfsHidrawDirectory() override;
  SysfsHidrawDirectory(const SysfsHidrawDirectory&) = delete;
  SysfsHidrawDirectory& operator=(const SysfsHidrawDirectory&) = delete;

  std::vector<HidrawNode> List() override;
  bool StartMonitor() override;
  int MonitorFd() override { return socket_; }
  std::vector<HidrawChange> ReadChanges() override;

 private:
  std::string sysRoot_;
  std::string devRoot_;
  int socket_ = -1;
};

}  // namespace quorix
