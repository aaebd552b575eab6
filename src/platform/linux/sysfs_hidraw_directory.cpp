#include "platform/linux/sysfs_hidraw_directory.h"

#include <dirent.h>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quorix {
namespace {

std::string Parent(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool ReadFirstLine(const std::string& file, std::string& line) {
  std::ifstream in(file);
  return static_cast<bool>(std::getline(in, line));
}

// KEY=value lines of a sysfs uevent file.
std::string UeventValue(const std::string& ueventFile, const std::string& key) {
  std::ifstream in(ueventFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
      return line.substr(key.size() + 1);
    }
  }
  return {};
}

std::string Resolve(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string out(real);
  std::free(real);
  return out;
}

}  // namespace

bool DescribeHidrawNode(const std::string& hidrawSysPath, const std::string& sysRoot, const std::string& devRoot,
                        HidrawNode& node) {
  node = HidrawNode{};
  node.sysPath = hidrawSysPath;
  node.devNode = devRoot + "/" + BaseName(hidrawSysPath);
  // .../<hid device>/hidraw/hidrawN
  node.hidSysPath = Parent(Parent(hidrawSysPath));
  uint16_t bus = 0;
  if (!ParseHidId(UeventValue(node.hidSysPath + "/uevent", "HID_ID"), bus, node.vendorId, node.productId)) {
    return false;
  }
  // The USB interface and device are ancestors of the hid device; a device
  // on another bus (Bluetooth, uhid) has neither.
  for (std::string dir = Parent(node.hidSysPath); dir.size() > sysRoot.size() && dir != "/"; dir = Parent(dir)) {
    std::string value;
    if (node.interfaceNumber < 0 && ReadFirstLine(dir + "/bInterfaceNumber", value)) {
      node.interfaceNumber = static_cast<int>(std::strtol(value.c_str(), nullptr, 16));
      continue;
    }
    std::string busnum, devnum;
    if (ReadFirstLine(dir + "/busnum", busnum) && ReadFirstLine(dir + "/devnum", devnum)) {
      char usb[48];
      std::snprintf(usb, sizeof usb, "/bus/usb/%03d/%03d", std::atoi(busnum.c_str()), std::atoi(devnum.c_str()));
      node.usbDevNode = devRoot + usb;
      break;
    }
  }
  if (node.interfaceNumber < 0) {
    node.interfaceNumber = InterfaceNumberFromPhys(UeventValue(node.hidSysPath + "/uevent", "HID_PHYS"));
  }
  return true;
}

std::vector<uint8_t> ReadSysfsReportDescriptor(const std::string& hidSysPath) {
  std::ifstream in(hidSysPath + "/report_descriptor", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SysfsHidrawDirectory::SysfsHidrawDirectory(std::string sysRoot, std::string devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

SysfsHidrawDirectory::~SysfsHidrawDirectory() {
  if (socket_ >= 0) close(socket_);
}

std::vector<HidrawNode> SysfsHidrawDirectory::List() {
  const std::string classDir = sysRoot_ + "/class/hidraw";
  std::vector<std::string> names;
  if (DIR* dir = opendir(classDir.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end(), NodeNameLess);
  std::vector<HidrawNode> nodes;
  for (const auto& name : names) {
    HidrawNode node;
    const std::string sysPath = Resolve(classDir + "/" + name);
    if (!sysPath.empty() && DescribeHidrawNode(sysPath, sysRoot_, devRoot_, node)) nodes.push_back(node);
  }
  return nodes;
}

bool SysfsHidrawDirectory::StartMonitor() {
  if (socket_ >= 0) return true;
  socket_ = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
  if (socket_ < 0) return false;
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = 1;  // the kernel's own uevents
  if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(socket_);
    socket_ = -1;
    return false;
  }
  return true;
}

std::vector<HidrawChange> SysfsHidrawDirectory::ReadChanges() {
  std::vector<HidrawChange> changes;
  if (socket_ < 0) return changes;
  char buffer[8192];
  for (;;) {
    sockaddr_nl sender{};
    iovec io{buffer, sizeof buffer};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    const ssize_t size = recvmsg(socket_, &message, MSG_DONTWAIT);
    if (size <= 0) break;
    // Only the kernel (port 0) speaks for devices; anything else is forged.
    if (sender.nl_pid != 0) continue;
    KernelUevent event;
    if (!ParseKernelUevent(buffer, static_cast<size_t>(size), event) || event.subsystem != "hidraw") continue;
    HidrawChange change;
    const std::string sysPath = sysRoot_ + event.devPath;
    if (event.action == "add") {
      if (!DescribeHidrawNode(sysPath, sysRoot_, devRoot_, change.node)) continue;
      change.kind = HidrawChangeKind::kAdded;
    } else if (event.action == "remove") {
      change.kind = HidrawChangeKind::kRemoved;
      change.node.sysPath = sysPath;
      change.node.devNode = devRoot_ + "/" + (event.devName.empty() ? BaseName(sysPath) : event.devName);
    } else {
      continue;
    }
    changes.push_back(change);
  }
  return changes;
}

}  // namespace quorix
