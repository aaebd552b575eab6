#include "platform/linux/linux_support_facts.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <utility>

#include "platform/linux/flock_mutex.h"
#include "platform/linux/sysfs_hidraw_directory.h"

namespace quorix {
namespace {

// The name of an id in /etc/passwd or /etc/group ("name:password:id:..."),
// or the number. Device nodes belong to system users and groups, which live
// in these files; reading them directly, rather than through NSS, keeps the
// statically linked kernel test program free of glibc's run-time modules.
std::string NameOfId(const char* file, unsigned id) {
  std::ifstream in(file);
  const std::string wanted = std::to_string(id);
  for (std::string line; std::getline(in, line);) {
    const size_t first = line.find(':');
    const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
    const size_t third = second == std::string::npos ? second : line.find(':', second + 1);
    if (third != std::string::npos && line.compare(second + 1, third - second - 1, wanted) == 0)
      return line.substr(0, first);
  }
  return wanted;
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
      facts.owner = NameOfId("/etc/passwd", info.st_uid);
      facts.group = NameOfId("/etc/group", info.st_gid);
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
