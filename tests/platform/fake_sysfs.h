#pragma once
// A miniature sysfs and /dev in a temporary folder: hid devices with their
// uevent and report descriptor, hidraw class links, USB ancestors. Device
// nodes are FIFOs, so a test can write "input reports" into them.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quorix::test {

class FakeSysfs {
 public:
  FakeSysfs() {
    char pattern[] = "/tmp/quorix-sysfs-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(SysRoot() + "/class/hidraw");
    std::filesystem::create_directories(DevRoot());
  }
  ~FakeSysfs() { std::filesystem::remove_all(root_); }
  FakeSysfs(const FakeSysfs&) = delete;
  FakeSysfs& operator=(const FakeSysfs&) = delete;

  std::string SysRoot() const { return root_ + "/sys"; }
  std::string DevRoot() const { return root_ + "/dev"; }

  // A USB device with busnum/devnum at devices/<usbDir>; returns its folder.
  std::string AddUsbDevice(const std::string& usbDir, int busnum, int devnum) {
    const std::string dir = SysRoot() + "/devices/" + usbDir;
    std::filesystem::create_directories(dir);
    Write(dir + "/busnum", std::to_string(busnum) + "\n");
    Write(dir + "/devnum", std::to_string(devnum) + "\n");
    return dir;
  }

  // A hid device below parentDir (absolute), optionally inside a USB
  // interface folder, with hidraw node name. Returns the hidraw sysfs path.
  std::string AddHidraw(const std::string& parentDir, const std::string& interfaceDir, int interfaceNumber,
                        const std::string& hidName, const std::string& hidId, const std::string& phys,
                        const std::vector<uint8_t>& descriptor, const std::string& node) {
    std::string dir = parentDir;
    if (!interfaceDir.empty()) {
      dir += "/" + interfaceDir;
      std::filesystem::create_directories(dir);
      char number[8];
      std::snprintf(number, sizeof number, "%02x\n", interfaceNumber);
      Write(dir + "/bInterfaceNumber", number);
    }
    const std::string hid = dir + "/" + hidName;
    std::filesystem::create_directories(hid + "/hidraw/" + node);
    Write(hid + "/uevent", "DRIVER=hid-generic\nHID_ID=" + hidId + "\nHID_NAME=test\nHID_PHYS=" + phys + "\n");
    Write(hid + "/report_descriptor", std::string(descriptor.begin(), descriptor.end()));
    const std::string hidraw = hid + "/hidraw/" + node;
    std::filesystem::create_symlink(hidraw, SysRoot() + "/class/hidraw/" + node);
    mkfifo((DevRoot() + "/" + node).c_str(), 0600);
    return hidraw;
  }

  static void Write(const std::string& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
  }

 private:
  std::string root_;
};

}  // namespace quorix::test
