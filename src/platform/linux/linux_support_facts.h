#pragma once
// SupportFacts read from sysfs, the device nodes' permissions and ACLs, and
// the environment. Needs no udev, so that it reports the same in the kernel
// test's VM as on a desktop.

#include <string>

#include "platform/support_facts.h"

namespace quorix {

class LinuxSupportFacts final : public SupportFacts {
 public:
  explicit LinuxSupportFacts(std::string sysRoot = "/sys", std::string devRoot = "/dev");

  std::vector<HidrawNodeFacts> HidrawNodes(uint16_t vendorId) override;
  bool FileExists(const std::string& path) override;
  std::string Environment(const std::string& name) override;
  LockFolderFacts LockFolder() override;

 private:
  std::string sysRoot_;
  std::string devRoot_;
};

}  // namespace quorix
