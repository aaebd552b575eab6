// Runs inside a virtual machine as its init's only job: makes mice with uhid
// and drives them through the project's own hidraw host, so that the ioctls,
// sysfs layout and uevents are the kernel's real ones. Prints one line per
// check, then "PASS" or "FAIL" on the serial console, and ends the machine
// through qemu's isa-debug-exit port with kExitPass or kExitFail.
//
// Statically linked and without udev: the VM has no udev daemon, so the host
// runs on the sysfs directory (sysfs listing, kernel uevents).
//
// The identification string cannot come over uhid (it is a USB string
// descriptor, and a uhid device has no USB device behind it): this program
// hands the host a string reader that answers from the simulated firmware
// instead of usbfs. Everything else goes through the kernel.

#include <fcntl.h>
#include <sys/io.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid_report_descriptor.h"
#include "platform/linux/hidraw_host.h"
#include "platform/linux/sysfs_hidraw_directory.h"
#include "uhid_device.h"

namespace quorix::vm {
namespace {

constexpr uint16_t kVendorId = 0x3A5C;
constexpr uint16_t kProductId = 0x0139;
constexpr int kDebugExitPort = 0xF4;
constexpr uint8_t kExitPass = 0x10;  // qemu exits with (value << 1) | 1 = 33
constexpr uint8_t kExitFail = 0x11;  // 35

// The configuration interface: vendor collection 0xFF18/1 with the 64-byte
// feature report (ID 1), and vendor collection 0xFF18/2 whose 8-byte input
// reports (ID 4) carry the mouse's notifications.
const std::vector<uint8_t> kConfigDescriptor = {
    0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x3F, 0xB1, 0x02, 0xC0, 0x06, 0x18, 0xFF, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x02, 0x15, 0x00,
    0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x81, 0x02, 0xC0};
// The pointing interface of the oldest layout: a mouse with an 8-byte
// feature report and no report IDs.
const std::vector<uint8_t> kPointingDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00,
    0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30,
    0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02, 0xC0};

// Firmware stand-in for the configuration interface: after each request it
// stays busy (bit 7 of byte 1) for a few reads, then answers with the echoed
// command, whether the request's checksum held, and the request's payload.
class ConfigResponder final : public FeatureResponder {
 public:
  std::vector<uint8_t> GetFeature(uint8_t reportNumber, size_t /*length*/) override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<uint8_t> report(64, 0);
    report[0] = 1;
    if (reportNumber != 1) return {};
    if (busyReads_ > 0) {
      --busyReads_;
      ++busyAnswers_;
      report[1] = static_cast<uint8_t>(0x80 | lastRequest_[1]);
      return report;
    }
    report = answer_;
    return report;
  }

  bool SetFeature(uint8_t reportNumber, const std::vector<uint8_t>& request) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reportNumber != 1 || request.size() != 64) return false;
    lastRequest_ = request;
    uint8_t sum = 0;
    for (int i = 1; i <= 62; ++i) sum ^= request[i];
    answer_.assign(64, 0);
    answer_[0] = 1;
    answer_[1] = request[1];
    answer_[2] = sum == request[63] ? 1 : 0;
    std::copy(request.begin() + 2, request.begin() + 62, answer_.begin() + 3);
    busyReads_ = 3;
    ++requests_;
    return true;
  }

  int BusyAnswers() {
    std::lock_guard<std::mutex> lock(mutex_);
    return busyAnswers_;
  }

 private:
  std::mutex mutex_;
  std::vector<uint8_t> lastRequest_ = std::vector<uint8_t>(64, 0);
  std::vector<uint8_t> answer_ = std::vector<uint8_t>(64, 0);
  int busyReads_ = 0;
  int busyAnswers_ = 0;
  int requests_ = 0;
};

// The 9-byte report of a device without report IDs: what was set is read back.
class PointingResponder final : public FeatureResponder {
 public:
  std::vector<uint8_t> GetFeature(uint8_t reportNumber, size_t /*length*/) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reportNumber != 0) return {};
    return stored_;
  }
  bool SetFeature(uint8_t reportNumber, const std::vector<uint8_t>& report) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reportNumber != 0) return false;
    stored_ = report;
    return true;
  }

 private:
  std::mutex mutex_;
  std::vector<uint8_t> stored_ = std::vector<uint8_t>(9, 0);
};

// The identification string the firmware stores (index 199): "AG", level 11.
bool IdentificationReader(const std::string& /*usbDevNode*/, int index, uint8_t* buffer, size_t length) {
  if (index != 199) return false;
  const uint8_t payload[] = {0, 0, 'A', 0, 'G', 0, 11, 0, 0, 0, 3, 0, 0, 0, 3, 7, 64};
  std::memset(buffer, 0, length);
  std::memcpy(buffer, payload, std::min(length, sizeof payload));
  return true;
}

class Checks {
 public:
  bool operator()(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok) ++failures_;
    return ok;
  }
  int Failures() const { return failures_; }

 private:
  int failures_ = 0;
};

// Waits until the host lists an interface whose path contains tag.
std::string WaitForInterface(HidrawHost& host, const std::string& tag, HidInterfaceInfo& found) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    for (const auto& info : host.EnumerateInterfaces()) {
      if (info.path.find(tag) != std::string::npos) {
        found = info;
        return info.path;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return {};
}

// The feature exchange with the busy handshake: ready poll, send, answer poll.
bool Exchange(HidDevice& device, std::vector<uint8_t>& request, std::vector<uint8_t>& response) {
  request[0] = 1;
  uint8_t sum = 0;
  for (int i = 1; i <= 62; ++i) sum ^= request[i];
  request[63] = sum;
  std::vector<uint8_t> scratch(64, 0);
  int reads = 0;
  for (scratch[0] = 1; !device.GetFeature(scratch.data(), 64) || (scratch[1] & 0x80); scratch[0] = 1) {
    if (++reads > 420) return false;
  }
  if (!device.SetFeature(request.data(), 64)) return false;
  reads = 0;
  for (response[0] = 1; !device.GetFeature(response.data(), 64) || (response[1] & 0x80); response[0] = 1) {
    if (++reads > 300) return false;
  }
  response[1] &= 0x3F;
  return true;
}

int Run() {
  Checks check;
  HidrawHost host(std::make_unique<SysfsHidrawDirectory>(), IdentificationReader);
  host.StartEvents({{0xFF18, 2}});

  ConfigResponder config;
  PointingResponder pointing;
  UhidDevice configDevice({"QUORIX VM mouse", "quorix-vm/input1", kVendorId, kProductId, kConfigDescriptor}, config);
  auto pointingDevice = std::make_unique<UhidDevice>(
      UhidSpec{"QUORIX VM mouse", "quorix-vm/input0", kVendorId, kProductId, kPointingDescriptor}, pointing);
  if (!check(configDevice.Ok() && pointingDevice->Ok(), "uhid devices created")) return 1;

  HidInterfaceInfo configInfo, pointingInfo;
  const std::string configPath = WaitForInterface(host, "vid_3a5c&pid_0139&mi_01#", configInfo);
  const std::string pointingPath = WaitForInterface(host, "vid_3a5c&pid_0139&mi_00#", pointingInfo);
  check(!configPath.empty(), "enumerated configuration interface: " + configPath);
  check(!pointingPath.empty(), "enumerated pointing interface: " + pointingPath);
  if (configPath.empty() || pointingPath.empty()) return 1;
  check(configInfo.caps.usagePage == 0xFF18 && configInfo.caps.usage == 1 &&
            configInfo.caps.featureReportByteLength == 64,
        "configuration caps from sysfs descriptor: 0xFF18/1, feature 64");
  check(pointingInfo.caps.usagePage == 1 && pointingInfo.caps.usage == 2 &&
            pointingInfo.caps.featureReportByteLength == 9 && pointingInfo.caps.inputReportByteLength == 4,
        "pointing caps: 1/2, feature 9, input 4 (implicit report ID)");

  auto device = host.Open(configPath);
  if (!check(device != nullptr, "opened configuration interface")) return 1;
  HidCaps caps;
  check(device->GetCaps(caps) && caps.featureReportByteLength == 64 && caps.usagePage == 0xFF18,
        "HIDIOCGRDESC descriptor parses to the same caps");
  uint16_t vendor = 0, product = 0;
  check(device->GetAttributes(vendor, product) && vendor == kVendorId && product == kProductId,
        "HIDIOCGRAWINFO gives 3a5c:0139");

  std::vector<uint8_t> request(64, 0), response(64, 0);
  request[1] = 0x45;  // the transport masks the answer's byte 1 with 0x3F
  for (int i = 2; i < 62; ++i) request[i] = static_cast<uint8_t>(i * 7);
  const bool exchanged = Exchange(*device, request, response);
  bool echoed = exchanged && response[1] == 0x05 && response[2] == 1;
  for (int i = 3; i < 62 && echoed; ++i) echoed = response[i] == request[i - 1];
  check(echoed, "feature exchange through HIDIOCSFEATURE/HIDIOCGFEATURE with checksum and echo");
  check(config.BusyAnswers() >= 3, "busy flag seen and waited out (" + std::to_string(config.BusyAnswers()) +
                                       " busy answers)");
  std::vector<uint8_t> wrongId(64, 0);
  wrongId[0] = 2;
  check(!device->SetFeature(wrongId.data(), 64), "a report the device refuses fails SetFeature");

  uint8_t identification[512];
  check(device->GetIndexedString(199, identification, sizeof identification) && identification[2] == 'A' &&
            identification[4] == 'G',
        "identification string through the test's string reader (no USB device behind uhid)");
  check(!ReadUsbStringDescriptor("", 199, identification, sizeof identification),
        "usbfs string reader refuses a device without USB node");

  auto pointer = host.Open(pointingPath);
  if (!check(pointer != nullptr, "opened pointing interface")) return 1;
  std::vector<uint8_t> nine = {0, 5, 1, 2, 3, 4, 5, 6, 7};
  std::vector<uint8_t> back(9, 0xEE);
  back[0] = 0;
  check(pointer->SetFeature(nine.data(), 9) && pointer->GetFeature(back.data(), 9) && back == nine,
        "9-byte feature report without report IDs round-trips with byte 0 = 0");
  back[0] = 3;
  check(!pointer->GetFeature(back.data(), 9), "a report ID on a device without IDs is refused");

  // The arrivals of both interfaces were announced while the host was not
  // waiting; taking them in is also what starts watching the new interface
  // for input reports.
  HidEvent event;
  int arrivals = 0;
  while (host.WaitEvent(event, 300)) {
    if (event.kind == HidEventKind::kArrival && (event.path == configPath || event.path == pointingPath)) ++arrivals;
  }
  check(arrivals == 2, "arrival uevents of both interfaces under their enumerated paths");

  configDevice.SendInput({4, 0x10, 0x02, 0, 0, 0, 0, 0});
  bool gotInput = false;
  for (int i = 0; i < 20 && !gotInput; ++i) {
    if (host.WaitEvent(event, 250) && event.kind == HidEventKind::kInputReport) {
      gotInput = event.path == configPath && event.report.size() == 8 && event.report[0] == 4 &&
                 event.report[1] == 0x10;
    }
  }
  check(gotInput, "vendor input report (ID 4) delivered with the interface path");

  pointer.reset();
  pointingDevice.reset();
  bool removed = false;
  for (int i = 0; i < 20 && !removed; ++i) {
    removed = host.WaitEvent(event, 250) && event.kind == HidEventKind::kRemoval && event.path == pointingPath;
  }
  check(removed, "removal uevent reported under the removed interface's path");

  pointingDevice = std::make_unique<UhidDevice>(
      UhidSpec{"QUORIX VM mouse", "quorix-vm/input0", kVendorId, kProductId, kPointingDescriptor}, pointing);
  bool arrived = false;
  for (int i = 0; i < 20 && !arrived; ++i) {
    arrived = host.WaitEvent(event, 250) && event.kind == HidEventKind::kArrival &&
              event.path.find("mi_00#") != std::string::npos;
  }
  check(arrived && event.path != pointingPath, "arrival of the replugged interface under a new path: " + event.path);
  check(host.Open(pointingPath) == nullptr, "the old path no longer opens");

  return check.Failures();
}

void ExitMachine(uint8_t code) {
  std::fflush(stdout);
  if (ioperm(kDebugExitPort, 1, 1) == 0) outb(code, kDebugExitPort);
}

}  // namespace
}  // namespace quorix::vm

int main() {
  const int failures = quorix::vm::Run();
  std::printf("%s\n", failures == 0 ? "PASS" : "FAIL");
  quorix::vm::ExitMachine(failures == 0 ? quorix::vm::kExitPass : quorix::vm::kExitFail);
  return failures == 0 ? 0 : 1;
}
