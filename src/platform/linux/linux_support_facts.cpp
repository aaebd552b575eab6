#include "platform/linux/linux_support_facts.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "platform/linux/flock_mutex.h"
#include "platform/linux/sysfs_hidraw_directory.h"

namespace quorix {
namespace {

std::string UserName(uid_t uid) {
  char buffer[1024];
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) return found->pw_name;
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  char buffer[1024];
  group entry{};
  group* found = nullptr;
  if (getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) return found->gr_name;
  return std::to_string(gid);
}

}  // namespace

LinuxSupportFacts::LinuxSupportFacts(std::string sysRoot, std::string devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

std::vector<HidrawNodeFacts> LinuxSupportFacts::HidrawNodes(uint16_t vendorId) {
  std::vector<HidrawNodeFacts> nodes;
  for (const HidrawNode& node : SysfsHidrawDirectory(sysRoot_, devRoot_).List()) {
    if (node.vendorId != vendorId) continue;
    HidrawNodeFacts facts;
    facts.devNode = node.devNode;
    facts.vendorId = node.vendorId;
    facts.productId = node.productId;
    facts.interfaceNumber = node.interfaceNumber;
    facts.reportDescriptor = ReadSysfsReportDescriptor(node.hidSysPath);
    struct stat info {};
    if (stat(node.devNode.c_str(), &info) == 0) {
      facts.mode = info.st_mode & 07777;
      facts.owner = UserName(info.st_uid);
      facts.group = GroupName(info.st_gid);
    }
    // access() answers for this user with every ACL entry and group counted,
    // which is what opening the node will find.
    facts.canRead = access(node.devNode.c_str(), R_OK) == 0;
    facts.canWrite = access(node.devNode.c_str(), W_OK) == 0;
    facts.hasAcl = getxattr(node.devNode.c_str(), "system.posix_acl_access", nullptr, 0) > 0;
    facts.usbDevNode = node.usbDevNode;
    facts.usbReadable = !node.usbDevNode.empty() && access(node.usbDevNode.c_str(), R_OK) == 0;
    nodes.push_back(std::move(facts));
  }
  return nodes;
}

bool LinuxSupportFacts::FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::string LinuxSupportFacts::Environment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value == nullptr ? "" : value;
}

LockFolderFacts LinuxSupportFacts::LockFolder() {
  // The folder the locks would use first; the fallback is only tried when
  // this one cannot hold them, and then the problem names the reason.
  LockFolderFacts facts;
  facts.folder = DefaultLockFolder();
  struct stat info {};
  facts.exists = lstat(facts.folder.c_str(), &info) == 0;
  if (facts.exists) facts.problem = LockFolderProblem(facts.folder);
  return facts;
}

}  // namespace quorix
