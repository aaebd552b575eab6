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
// instead of usbfs. Everything else goes through the kernel: the firmware
// model (src/sim) answers the feature reports that hidraw sends down.
//
// It also makes the pointer-nudge device on /dev/uinput and reads what the
// kernel's input core hands on from it through evdev.

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/io.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "platform/clock.h"
#include "platform/linux/flock_mutex.h"
#include "platform/linux/hidraw_host.h"
#include "platform/linux/linux_support_facts.h"
#include "platform/linux/sysfs_hidraw_directory.h"
#include "platform/linux/uinput_injector.h"
#include "sim/sim_mouse.h"
#include "session/support_report.h"
#include "sim/sim_options.h"
#include "uhid_device.h"

namespace quorix::vm {
namespace {

constexpr int kDebugExitPort = 0xF4;
constexpr uint8_t kExitPass = 0x10;  // qemu exits with (value << 1) | 1 = 33
constexpr uint8_t kExitFail = 0x11;  // 35

// The configuration interface: vendor collection 0xFF18/1 with the 64-byte
// feature report and the 16-byte vendor input report, both report ID 1.
const std::vector<uint8_t> kConfigDescriptor = {
    0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x09, 0x01, 0x95, 0x3F, 0xB1, 0x02, 0x09, 0x02, 0x95, 0x0F, 0x81, 0x02, 0xC0};
// The pointing interface: a mouse with an 8-byte feature report and no
// report IDs (the oldest request layout's 9-byte report).
const std::vector<uint8_t> kPointingDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00,
    0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30,
    0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02, 0xC0};

// A configuration interface whose vendor collection comes second: first a
// consumer-control collection (input report 2, 2 bytes), then 0xFF18/1 as in
// kConfigDescriptor.
const std::vector<uint8_t> kConsumerFirstDescriptor = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02,
    0x09, 0xE9, 0x81, 0x02, 0xC0, 0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0x95,
    0x3F, 0xB1, 0x02, 0x09, 0x02, 0x95, 0x0F, 0x81, 0x02, 0xC0};

constexpr int kBusyReads = 3;

// One interface of the simulated firmware behind a uhid device.
class SimResponder final : public FeatureResponder {
 public:
  SimResponder(sim::SimMouse& mouse, int interfaceNumber, size_t length)
      : mouse_(mouse), interfaceNumber_(interfaceNumber), length_(length) {}
  // While set, every feature read fails as a stalled transfer would.
  std::atomic<bool> refuse{false};

  std::vector<uint8_t> GetFeature(uint8_t reportNumber, size_t /*length*/) override {
    if (refuse) return {};
    std::vector<uint8_t> report(length_, 0);
    report[0] = reportNumber;
    if (!mouse_.GetFeature(interfaceNumber_, report.data(), report.size())) return {};
    return report;
  }
  bool SetFeature(uint8_t /*reportNumber*/, const std::vector<uint8_t>& report) override {
    mouse_.SetFeature(interfaceNumber_, report.data(), report.size());
    return true;
  }

 private:
  sim::SimMouse& mouse_;
  int interfaceNumber_;
  size_t length_;
};

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

bool HasProblem(const SupportReport& report, ProblemKind kind) {
  for (const Problem& problem : report.problems)
    if (problem.kind == kind) return true;
  return false;
}

// doctor's report on the kernel's own nodes: sysfs facts, the report
// descriptor's collections and the nodes' permissions, for root and for a
// user the nodes are closed to, and the mouse read without a write.
void CheckDoctor(DeviceLink& link, sim::SimMouse& mouse, Checks& check) {
  LinuxSupportFacts facts;
  SupportReport report = ReportSystem(facts, kProductVendorId, false);
  bool vendorCollection = false;
  bool open = !report.nodes.empty();
  for (const NodeReport& node : report.nodes) {
    for (const HidCaps& caps : node.collections)
      vendorCollection = vendorCollection || (caps.usagePage == 0xFF18 && caps.featureReportByteLength == 64);
    open = open && node.facts.canRead && node.facts.canWrite;
    std::printf("doctor: %s mode %04o %s:%s, %zu collection(s)\n", node.facts.devNode.c_str(), node.facts.mode,
                node.facts.owner.c_str(), node.facts.group.c_str(), node.collections.size());
  }
  check(report.nodes.size() == 2 && vendorCollection,
        "doctor lists both hidraw nodes, the vendor collection 0xFF18 (feature 64) among their collections");
  check(open && CanAskMouse(report), "doctor: root may open both nodes");
  // No udev in the machine, and uhid devices have no USB device node.
  check(HasProblem(report, ProblemKind::kRuleMissing) && !HasProblem(report, ProblemKind::kUsbfsClosed) &&
            !HasProblem(report, ProblemKind::kNodeClosed),
        "doctor: the missing udev rule is its only system problem");

  const std::vector<uint8_t> before = mouse.Memory();
  {
    DeviceOperation operation(link);
    ReportMice(link, report);
    AddMouseProblems(report, operation.Result(), "no answer");
  }
  const bool one = report.mice.size() == 1;
  check(one && report.mice[0].info.protocolLevel == 11 && report.mice[0].memoryEnd != 0 &&
            !HasProblem(report, ProblemKind::kNoAnswer),
        "doctor identifies the mouse: level " + std::to_string(one ? report.mice[0].info.protocolLevel : -1) +
            ", memory end " + std::to_string(one ? report.mice[0].memoryEnd : 0));
  check(mouse.Memory() == before, "doctor wrote nothing to the mouse");

  // The same report for a user the nodes (root's, mode 0600) are closed to.
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    const SupportReport closed = ReportSystem(facts, kProductVendorId, false);
    int shut = 0;
    for (const NodeReport& node : closed.nodes) shut += !node.facts.canRead && !node.facts.canWrite ? 1 : 0;
    int said = 0;
    for (const Problem& problem : closed.problems) said += problem.kind == ProblemKind::kNodeClosed ? 1 : 0;
    _exit(closed.nodes.size() == 2 && shut == 2 && said == 2 && !CanAskMouse(closed) ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  check(WIFEXITED(status) && WEXITSTATUS(status) == 0,
        "doctor as an unprivileged user: both nodes closed, each a problem, the mouse not asked");
}

// A second mouse whose configuration interface starts with a consumer-control
// collection: both collections are listed, the vendor one is identified and
// answers memory reads, input reports reach the collection of their report
// ID, and a failed transfer tells a refusing device from an unplugged one.
// identifying: the mouse whose identification string the host's reader hands out.
bool CheckVendorCollectionSecond(HidrawHost& host, DeviceLink& link, sim::SimMouse*& identifying, Checks& check) {
  sim::SimOptions options;
  options.productId = kProductIdB;
  options.buttonLayout = 9;  // tells its identification from the first mouse's
  sim::SimMouse mouse(options);
  identifying = &mouse;
  for (int i = 0; i < 64; ++i) mouse.Memory()[static_cast<size_t>(0x200 + i)] = static_cast<uint8_t>(0xC3 ^ i);
  SimResponder config(mouse, sim::kConfigInterface, 64);
  host.StartEvents({{0x0C, 1}});
  auto device = std::make_unique<UhidDevice>(
      UhidIdentity{"QUORIX VM mouse B", "quorix-vm-b/input1", kProductVendorId, kProductIdB,
                   kConsumerFirstDescriptor},
      config);
  if (!check(device->Ok(), "uhid device with the vendor collection second created")) return false;

  HidInterfaceInfo consumerInfo, vendorInfo;
  const std::string consumerPath = WaitForInterface(host, "vid_3a5c&pid_0145&mi_01&col01#", consumerInfo);
  const std::string vendorPath = WaitForInterface(host, "vid_3a5c&pid_0145&mi_01&col02#", vendorInfo);
  check(!consumerPath.empty() && !vendorPath.empty(), "both collections enumerated: " + vendorPath);
  if (consumerPath.empty() || vendorPath.empty()) return false;
  check(consumerInfo.caps.usagePage == 0x0C && consumerInfo.caps.inputReportByteLength == 3 &&
            vendorInfo.caps.usagePage == 0xFF18 && vendorInfo.caps.usage == 1 &&
            vendorInfo.caps.featureReportByteLength == 64 && vendorInfo.caps.inputReportByteLength == 16,
        "each collection listed with its own caps (0x0C input 3; 0xFF18/1 feature 64, input 16)");
  auto handle = host.Open(vendorPath);
  if (!check(handle != nullptr, "opened the second collection")) return false;
  HidCaps caps;
  check(handle->GetCaps(caps) && caps.usagePage == 0xFF18 && caps.featureReportByteLength == 64,
        "its handle's caps are the second collection's");

  EnumerateDevices(link);
  bool listed = false;
  for (int i = 0; i < DeviceCount(link); ++i) listed = listed || DevicePath(link, i) == vendorPath;
  check(DeviceCount(link) == 2 && listed, "EnumerateDevices lists the vendor collection beside the first mouse");
  check(ButtonLayout(link, vendorPath) == 9,
        "identified: button layout " + std::to_string(ButtonLayout(link, vendorPath)));
  std::vector<uint8_t> memory(64, 0);
  mouse.ResetCounters();
  ReadMemory(link, vendorPath, 0x200, memory.data(), static_cast<int>(memory.size()), false);
  bool same = mouse.GetCount() > 0;
  for (int i = 0; i < 64; ++i) same = same && memory[static_cast<size_t>(i)] == static_cast<uint8_t>(0xC3 ^ i);
  check(same, "ReadMemory through the second collection returns this mouse's memory");

  // Taking in the arrivals starts watching the new node.
  HidEvent event;
  while (host.WaitEvent(event, 300)) {
  }
  const std::pair<std::vector<uint8_t>, std::string> routed[] = {{{2, 0xE9, 0x00}, consumerPath},
                                                                  {std::vector<uint8_t>(16, 1), vendorPath}};
  for (const auto& [report, path] : routed) {
    device->SendInput(report);
    bool got = false;
    for (int i = 0; i < 20 && !got; ++i) {
      got = host.WaitEvent(event, 250) && event.kind == HidEventKind::kInputReport && event.report == report;
    }
    check(got && event.path == path, "input report " + std::to_string(report[0]) + " arrives under " + event.path);
  }

  std::vector<uint8_t> buffer(64, 0);
  buffer[0] = 1;
  config.refuse = true;
  check(!handle->GetFeature(buffer.data(), buffer.size()) && !handle->Gone(),
        "a present device that fails a read is not gone");
  config.refuse = false;
  device.reset();
  buffer[0] = 1;
  check(!handle->GetFeature(buffer.data(), buffer.size()) && handle->Gone(),
        "after unplugging, the failed read marks the handle gone");
  identifying = nullptr;
  return true;
}

int Run() {
  Checks check;
  sim::SimOptions options;
  options.busyReadsAfterSet = kBusyReads;
  sim::SimMouse mouse(options);
  sim::SimMouse* identifying = &mouse;
  // The test seam: string descriptor 199 comes from the firmware model, not
  // from usbfs (see the top of this file).
  HidrawHost host(std::make_unique<SysfsHidrawDirectory>(),
                  [&identifying](const std::string& /*usbDevNode*/, int index, uint8_t* buffer, size_t length) {
                    if (index != kIdentificationStringIndex || identifying == nullptr) return false;
                    identifying->IdentificationString(buffer, length);
                    return true;
                  });
  host.StartEvents({{0xFF18, 1}});

  SimResponder config(mouse, sim::kConfigInterface, 64);
  SimResponder pointing(mouse, sim::kPointingInterface, 9);
  auto configDevice = std::make_unique<UhidDevice>(
      UhidIdentity{"QUORIX VM mouse", "quorix-vm/input1", kProductVendorId, kProductIdA, kConfigDescriptor}, config);
  auto pointingDevice = std::make_unique<UhidDevice>(
      UhidIdentity{"QUORIX VM mouse", "quorix-vm/input0", kProductVendorId, kProductIdA, kPointingDescriptor}, pointing);
  if (!check(configDevice->Ok() && pointingDevice->Ok(), "uhid devices created")) return 1;
  mouse.SetInputSink([&configDevice](std::vector<uint8_t> report) { configDevice->SendInput(report); });

  HidInterfaceInfo configInfo, pointingInfo;
  const std::string configPath = WaitForInterface(host, "vid_3a5c&pid_0139&mi_01#", configInfo);
  const std::string pointingPath = WaitForInterface(host, "vid_3a5c&pid_0139&mi_00#", pointingInfo);
  check(!configPath.empty(), "enumerated configuration interface: " + configPath);
  check(!pointingPath.empty(), "enumerated pointing interface: " + pointingPath);
  if (configPath.empty() || pointingPath.empty()) return 1;
  check(configInfo.caps.usagePage == 0xFF18 && configInfo.caps.usage == 1 &&
            configInfo.caps.featureReportByteLength == 64 && configInfo.caps.inputReportByteLength == 16,
        "configuration caps from the sysfs descriptor: 0xFF18/1, feature 64, input 16");
  check(pointingInfo.caps.usagePage == 1 && pointingInfo.caps.usage == 2 &&
            pointingInfo.caps.featureReportByteLength == 9 && pointingInfo.caps.inputReportByteLength == 4,
        "pointing caps: 1/2, feature 9, input 4 (implicit report ID)");

  {
    auto device = host.Open(configPath);
    if (!check(device != nullptr, "opened configuration interface")) return 1;
    HidCaps caps;
    check(device->GetCaps(caps) && caps.featureReportByteLength == 64 && caps.usagePage == 0xFF18,
          "HIDIOCGRDESC descriptor parses to the same caps");
    uint16_t vendor = 0, product = 0;
    check(device->GetAttributes(vendor, product) && vendor == kProductVendorId && product == kProductIdA,
          "HIDIOCGRAWINFO gives 3a5c:0139");
    check(!ReadUsbStringDescriptor("", kIdentificationStringIndex, nullptr, 0),
          "usbfs string reader refuses a device without USB node");
  }

  // The device link on the kernel's hidraw nodes, with the cross-process locks.
  SteadyClock clock;
  auto exchangeMutex = FlockMutex::Open(kExchangeMutexName);
  auto listMutex = FlockMutex::Open(kDeviceListMutexName);
  const std::string lockError = exchangeMutex.detail() + listMutex.detail();
  const std::string lockNote = lockError.empty() ? " in " + DefaultLockFolder() : ": " + lockError;
  if (!check(exchangeMutex && listMutex, "flock lock files created" + lockNote)) return 1;
  DeviceLink link(host, clock, **exchangeMutex, **listMutex);
  EnumerateDevices(link);
  check(DeviceCount(link) == 1 && DevicePath(link, 0) == configPath,
        "EnumerateDevices lists the configuration interface only (pointing interface left out)");
  check(ProtocolLevel(link, configPath) == options.protocolLevel && TableSelect(link, configPath) == 7,
        "identification recorded: level " + std::to_string(ProtocolLevel(link, configPath)));
  const auto block = DeviceInfoBlock(link, configPath);
  bool recordsMatch = true;
  for (int button = 0; button < sim::kButtonCount; ++button) {
    const auto record = mouse.DefaultButtonRecord(button);
    for (int k = 0; k < 4; ++k) {
      const uint8_t expected = (k == 0 && record[0] > 50) ? 1 : record[static_cast<size_t>(k)];
      recordsMatch = recordsMatch && block[static_cast<size_t>(72 + 4 * button + k)] == expected;
    }
  }
  check(recordsMatch, "information block holds the firmware's 32 button records");
  CheckDoctor(link, mouse, check);

  mouse.ResetCounters();
  mouse.SetStatusWord(0x1234);
  const int statusWord = ReadStatusWord(link, configPath);
  const int sets = mouse.SetCount(), gets = mouse.GetCount();
  check(statusWord == 0x1234, "status word read through the transport: " + std::to_string(statusWord));
  check(sets >= 1 && gets == sets * (2 + kBusyReads),
        "busy handshake: " + std::to_string(gets) + " reads for " + std::to_string(sets) +
            " requests (1 ready read, " + std::to_string(kBusyReads) + " busy answers, 1 answer each)");

  std::vector<uint8_t> written(100), readBack(100, 0);
  for (size_t i = 0; i < written.size(); ++i) written[i] = static_cast<uint8_t>(i * 37 + 5);
  check(WriteMemory(link, configPath, 0x200, written.data(), static_cast<int>(written.size())),
        "WriteMemory of 100 bytes sent");
  bool inMemory = true;
  for (size_t i = 0; i < written.size(); ++i) inMemory = inMemory && mouse.MemoryAt(0x200 + static_cast<int>(i)) == written[i];
  check(inMemory, "the firmware's memory holds the written bytes");
  ReadMemory(link, configPath, 0x200, readBack.data(), static_cast<int>(readBack.size()), false);
  check(readBack == written, "ReadMemory returns them");

  {
    auto pointer = host.Open(pointingPath);
    if (!check(pointer != nullptr, "opened pointing interface")) return 1;
    mouse.ResetCounters();
    std::vector<uint8_t> nine = {0, 5, 1, 2, 3, 4, 5, 6, 7};
    std::vector<uint8_t> back(9, 0xEE);
    back[0] = 0;
    const bool exchanged = pointer->SetFeature(nine.data(), 9) && pointer->GetFeature(back.data(), 9);
    const auto requests = mouse.Requests();
    check(exchanged && back[0] == 0 && !requests.empty() && requests.back().interfaceNumber == sim::kPointingInterface &&
              requests.back().bytes == nine,
          "9-byte feature report without report IDs reaches the firmware as sent (byte 0 = 0)");
    back[0] = 3;
    check(!pointer->GetFeature(back.data(), 9), "a report ID on a device without IDs is refused");
  }

  // The arrivals of both interfaces were announced while the host was not
  // waiting; taking them in is also what starts watching the configuration
  // interface for input reports.
  HidEvent event;
  int arrivals = 0;
  while (host.WaitEvent(event, 300)) {
    if (event.kind == HidEventKind::kArrival && (event.path == configPath || event.path == pointingPath)) ++arrivals;
  }
  check(arrivals == 2, "arrival uevents of both interfaces under their enumerated paths");

  std::vector<uint8_t> emitted;
  mouse.SetInputSink([&](std::vector<uint8_t> report) {
    emitted = report;
    configDevice->SendInput(report);
  });
  mouse.EmitStateReport();
  bool gotInput = false;
  for (int i = 0; i < 20 && !gotInput; ++i) {
    if (host.WaitEvent(event, 250) && event.kind == HidEventKind::kInputReport) {
      gotInput = event.path == configPath && !emitted.empty() && event.report == emitted;
    }
  }
  check(gotInput, "the firmware's state report arrives as an input report of the configuration interface");

  pointingDevice.reset();
  bool removed = false;
  for (int i = 0; i < 20 && !removed; ++i) {
    removed = host.WaitEvent(event, 250) && event.kind == HidEventKind::kRemoval && event.path == pointingPath;
  }
  check(removed, "removal uevent reported under the removed interface's path");

  pointingDevice = std::make_unique<UhidDevice>(
      UhidIdentity{"QUORIX VM mouse", "quorix-vm/input0", kProductVendorId, kProductIdA, kPointingDescriptor}, pointing);
  bool arrived = false;
  for (int i = 0; i < 20 && !arrived; ++i) {
    arrived = host.WaitEvent(event, 250) && event.kind == HidEventKind::kArrival &&
              event.path.find("mi_00#") != std::string::npos;
  }
  check(arrived && event.path != pointingPath, "arrival of the replugged interface under a new path: " + event.path);
  check(host.Open(pointingPath) == nullptr, "the old path no longer opens");

  mouse.SetInputSink(nullptr);
  if (!CheckVendorCollectionSecond(host, link, identifying, check)) return 1;
  return check.Failures();
}

// The event node of the input device named name, or "".
std::string EventNodeNamed(const std::string& name) {
  for (int n = 0; n < 32; ++n) {
    std::ifstream file("/sys/class/input/event" + std::to_string(n) + "/device/name");
    std::string line;
    if (file && std::getline(file, line) && line == name) return "/dev/input/event" + std::to_string(n);
  }
  return {};
}

// Waits up to two seconds for ready(): devices come and go asynchronously to
// the calls that make and destroy them.
template <typename Ready>
bool WaitUntil(Ready ready) {
  for (int attempt = 0; attempt < 80; ++attempt) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

// The EV_REL and EV_SYN records that arrive within a moment, as "type:code:value" words.
std::string ReadRelative(int fd) {
  std::string seen;
  pollfd waiting{fd, POLLIN, 0};
  input_event event{};
  while (poll(&waiting, 1, 500) > 0 && read(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event)) {
    if (event.type != EV_REL && event.type != EV_SYN) continue;
    seen += (seen.empty() ? "" : " ") + std::to_string(event.type) + ":" + std::to_string(event.code) + ":" +
            std::to_string(event.value);
  }
  return seen;
}

int CheckUinputNudge() {
  Checks check;
  auto opened = UinputInjector::Open(kUinputPath);
  const std::string& error = opened.detail();
  if (!check(static_cast<bool>(opened), "uinput pointer device created" + (error.empty() ? "" : ": " + error)))
    return 1;
  std::unique_ptr<UinputInjector> injector = std::move(opened).value();
  std::string node;
  WaitUntil([&] { return !(node = EventNodeNamed(kUinputDeviceName)).empty(); });
  if (!check(!node.empty(), "the uinput device shows as an event node: " + node)) return 1;
  const int fd = open(node.c_str(), O_RDONLY | O_CLOEXEC);
  if (!check(fd >= 0, "event node opened")) return 1;
  injector->MovePointerBy(-120, 0);
  const std::string move = ReadRelative(fd);
  check(move == "2:0:-120 0:0:0", "a nudge arrives as REL_X -120 and a report: " + move);
  injector->ScrollHorizontal(-2);
  const std::string wheel = ReadRelative(fd);
  check(wheel == "2:6:-1 0:0:0 2:6:-1 0:0:0", "two left wheel clicks arrive as two REL_HWHEEL frames: " + wheel);
  close(fd);
  injector.reset();
  check(WaitUntil([] { return EventNodeNamed(kUinputDeviceName).empty(); }), "the device is gone once the injector is");
  return check.Failures();
}

void ExitMachine(uint8_t code) {
  std::fflush(stdout);
  if (ioperm(kDebugExitPort, 1, 1) == 0) outb(code, kDebugExitPort);
}

}  // namespace
}  // namespace quorix::vm

int main() {
  const int failures = quorix::vm::Run() + quorix::vm::CheckUinputNudge();
  std::printf("%s\n", failures == 0 ? "PASS" : "FAIL");
  quorix::vm::ExitMachine(failures == 0 ? quorix::vm::kExitPass : quorix::vm::kExitFail);
  return failures == 0 ? 0 : 1;
}
