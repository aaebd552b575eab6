#include "platform/linux/hidraw_host.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <linux/usbdevice_fs.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/hid_report_descriptor.h"
#include "platform/linux/sysfs_hidraw_directory.h"

namespace quorix {
namespace {

// The ioctl request encodes the buffer size in 14 bits.
constexpr size_t kMaxIoctlReport = (1u << 14) - 1;
constexpr size_t kMaxInputReport = 16384;

constexpr uint8_t kUsbDirIn = 0x80;
constexpr uint8_t kUsbGetDescriptor = 6;
constexpr uint16_t kUsbStringDescriptor = 0x0300;
constexpr uint16_t kUsbLangIdUsEnglish = 0x0409;
constexpr int kUsbControlTimeoutMs = 1000;

int OpenRetrying(const std::string& file, int flags) {
  int fd;
  do {
    fd = open(file.c_str(), flags | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// A hidraw node name can be taken by another device once ours is gone; the
// open descriptor's device number tells which device it really is.
bool IsSameDevice(int fd, const HidrawNode& node) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  if (!S_ISCHR(info.st_mode)) return true;  // not a device node: nothing to compare
  const std::string link =
      "/sys/dev/char/" + std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
  char* real = realpath(link.c_str(), nullptr);
  if (real == nullptr) return false;
  const bool same = node.sysPath == real;
  std::free(real);
  return same;
}

bool ParseDescriptor(const std::vector<uint8_t>& bytes, HidReportDescriptorInfo& info) {
  Result<HidReportDescriptorInfo> parsed = ParseHidReportDescriptor(bytes.data(), bytes.size());
  if (parsed) info = std::move(parsed).value();
  return static_cast<bool>(parsed);
}

// EIO, EPIPE, ETIMEDOUT and EPROTO also end transfers that a present device
// stalled, did not answer or garbled.
bool IsAmbiguousTransferError(int error) {
  return error == EIO || error == EPIPE || error == ETIMEDOUT || error == EPROTO;
}

bool SysfsEntryGone(const std::string& sysPath) {
  struct stat info {};
  return stat(sysPath.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

class HidrawDevice final : public HidDevice {
 public:
  // collection: the top-level collection this handle presents, -1 for the
  // whole node.
  HidrawDevice(int fd, HidrawNode node, int collection, const UsbStringReader& stringReader)
      : fd_(fd), node_(std::move(node)), collection_(collection), stringReader_(stringReader) {}
  ~HidrawDevice() override { close(fd_); }
  HidrawDevice(const HidrawDevice&) = delete;
  HidrawDevice& operator=(const HidrawDevice&) = delete;

  bool GetCaps(HidCaps& caps) override {
    if (!LoadDescriptor()) return false;
    if (collection_ < 0) {
      caps = descriptor_.caps;
      return true;
    }
    if (static_cast<size_t>(collection_) >= descriptor_.collections.size()) return false;
    caps = descriptor_.collections[static_cast<size_t>(collection_)].caps;
    return true;
  }

  bool GetAttributes(uint16_t& vendorId, uint16_t& productId) override {
    hidraw_devinfo info{};
    if (ioctl(fd_, HIDIOCGRAWINFO, &info) != 0) return false;
    vendorId = static_cast<uint16_t>(info.vendor);
    productId = static_cast<uint16_t>(info.product);
    return true;
  }

  bool GetFeature(uint8_t* buffer, size_t length) override {
    if (!FeatureRequestValid(buffer, length)) return false;
    const int result = ioctl(fd_, HIDIOCGFEATURE(length), buffer);
    if (result < 0) return Failed(errno);
    // A short answer is a short report: the rest reads as zero, as it would
    // from a fixed-length report buffer.
    if (static_cast<size_t>(result) < length) std::memset(buffer + result, 0, length - result);
    return true;
  }

  bool SetFeature(const uint8_t* buffer, size_t length) override {
    if (!FeatureRequestValid(buffer, length)) return false;
    // The kernel only reads the buffer; the ioctl just lacks a const variant.
    if (ioctl(fd_, HIDIOCSFEATURE(length), const_cast<uint8_t*>(buffer)) >= 0) return true;
    return Failed(errno);
  }

  // Feature ioctls block until the transfer is done: nothing is ever pending.
  void CancelIo() override {}

  bool Gone() override { return gone_; }

  bool GetIndexedString(int index, uint8_t* buffer, size_t length) override {
    if (!stringReader_) return false;
    return stringReader_(node_.usbDevNode, index, buffer, length);
  }

 private:
  bool LoadDescriptor() {
    if (loaded_) return true;
    int size = 0;
    if (ioctl(fd_, HIDIOCGRDESCSIZE, &size) != 0 || size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) return false;
    hidraw_report_descriptor raw{};
    raw.size = static_cast<uint32_t>(size);
    if (ioctl(fd_, HIDIOCGRDESC, &raw) != 0) return false;
    if (!ParseDescriptor(std::vector<uint8_t>(raw.value, raw.value + raw.size), descriptor_)) return false;
    loaded_ = true;
    return true;
  }

  bool Failed(int error) {
    if (FeatureErrorMeansGone(error, node_)) gone_ = true;
    return false;
  }

  // A device without report IDs only has report 0; asking it for another ID
  // would reach the device as a request for a report it never declared.
  bool FeatureRequestValid(const uint8_t* buffer, size_t length) {
    if (buffer == nullptr || length == 0 || length > kMaxIoctlReport) return false;
    if (LoadDescriptor() && !descriptor_.usesReportIds && buffer[0] != 0) return false;
    return true;
  }

  int fd_;
  HidrawNode node_;
  int collection_;
  UsbStringReader stringReader_;
  std::atomic<bool> gone_{false};
  bool loaded_ = false;
  HidReportDescriptorInfo descriptor_;
};

}  // namespace

bool FeatureErrorMeansGone(int error, const HidrawNode& node) {
  // hidraw answers ENODEV once the device is unregistered; the USB core ends
  // transfers to a disconnecting device with ESHUTDOWN or ENXIO.
  if (error == ENODEV || error == ESHUTDOWN || error == ENXIO) return true;
  // A transfer that was under way while the device went away ends like a
  // stall; the kernel removes the node's sysfs folder with the device.
  return IsAmbiguousTransferError(error) && SysfsEntryGone(node.sysPath);
}

bool ReadUsbStringDescriptor(const std::string& usbDevNode, int index, uint8_t* buffer, size_t length) {
  if (usbDevNode.empty() || index < 0 || index > 255 || buffer == nullptr) return false;
  int fd = OpenRetrying(usbDevNode, O_RDWR);
  if (fd < 0) fd = OpenRetrying(usbDevNode, O_RDONLY);
  if (fd < 0) return false;
  uint8_t descriptor[255] = {};
  usbdevfs_ctrltransfer transfer{};
  transfer.bRequestType = kUsbDirIn;  // standard request to the device
  transfer.bRequest = kUsbGetDescriptor;
  transfer.wValue = static_cast<uint16_t>(kUsbStringDescriptor | index);
  transfer.wIndex = kUsbLangIdUsEnglish;
  transfer.wLength = sizeof descriptor;
  transfer.timeout = kUsbControlTimeoutMs;
  transfer.data = descriptor;
  const int received = ioctl(fd, USBDEVFS_CONTROL, &transfer);
  close(fd);
  // bLength, bDescriptorType (3 = string), then the UTF-16LE payload.
  if (received < 2 || descriptor[1] != 3) return false;
  const size_t total = std::min<size_t>(static_cast<size_t>(received), descriptor[0]);
  const size_t payload = total < 2 ? 0 : std::min(total - 2, length);
  std::memset(buffer, 0, length);
  std::memcpy(buffer, descriptor + 2, payload);
  return true;
}

HidrawHost::HidrawHost(std::unique_ptr<HidrawDirectory> directory, UsbStringReader stringReader)
    : directory_(std::move(directory)), stringReader_(std::move(stringReader)) {
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

HidrawHost::~HidrawHost() {
  for (const auto& watched : watched_) close(watched.fd);
  if (wakeFd_ >= 0) close(wakeFd_);
}

std::vector<HidrawHost::Presented> HidrawHost::RememberLocked(const HidrawNode& node) {
  // The sysfs copy of the descriptor is world-readable: no need to open (and
  // have access to) every HID device of the machine.
  HidReportDescriptorInfo descriptor;
  const bool parsed = ParseDescriptor(ReadSysfsReportDescriptor(node.hidSysPath), descriptor);
  std::vector<Presented> presented;
  if (parsed && descriptor.collections.size() > 1) {
    for (size_t i = 0; i < descriptor.collections.size(); ++i) {
      presented.push_back({FormatHidrawPath(node, static_cast<int>(i) + 1), static_cast<int>(i),
                           descriptor.collections[i].caps});
    }
  } else {
    presented.push_back({FormatHidrawPath(node), -1, descriptor.caps});
  }
  auto& paths = pathsBySysPath_[node.sysPath];
  for (const auto& old : paths) entryByPath_.erase(old);
  paths.clear();
  for (const auto& listed : presented) {
    entryByPath_[listed.path] = Entry{node, listed.collection};
    paths.push_back(listed.path);
  }
  return presented;
}

std::vector<HidInterfaceInfo> HidrawHost::EnumerateInterfaces() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<HidInterfaceInfo> interfaces;
  for (const auto& node : directory_->List()) {
    for (const auto& presented : RememberLocked(node)) {
      HidInterfaceInfo info;
      info.path = presented.path;
      info.vendorId = node.vendorId;
      info.productId = node.productId;
      info.interfaceNumber = node.interfaceNumber;
      info.caps = presented.caps;
      interfaces.push_back(info);
    }
  }
  return interfaces;
}

std::unique_ptr<HidDevice> HidrawHost::Open(const std::string& path) {
  Entry entry;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entryByPath_.find(path);
    if (found == entryByPath_.end()) {
      for (const auto& listed : directory_->List()) RememberLocked(listed);
      found = entryByPath_.find(path);
      if (found == entryByPath_.end()) return nullptr;
    }
    entry = found->second;
  }
  const HidrawNode& node = entry.node;
  int fd = OpenRetrying(node.devNode, O_RDWR);
  if (fd < 0) fd = OpenRetrying(node.devNode, O_RDONLY);
  if (fd < 0) return nullptr;
  if (!IsSameDevice(fd, node)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<HidrawDevice>(fd, node, entry.collection, stringReader_);
}

void HidrawHost::WatchLocked(const HidrawNode& node) {
  const auto same = [&](const Watched& w) { return w.sysPath == node.sysPath; };
  if (std::any_of(watched_.begin(), watched_.end(), same)) return;
  HidReportDescriptorInfo descriptor;
  if (!ParseDescriptor(ReadSysfsReportDescriptor(node.hidSysPath), descriptor)) return;
  const bool tagged = descriptor.collections.size() > 1;
  Watched watched;
  watched.sysPath = node.sysPath;
  watched.usesReportIds = descriptor.usesReportIds;
  for (size_t i = 0; i < descriptor.collections.size(); ++i) {
    const auto& collection = descriptor.collections[i];
    const std::pair<uint16_t, uint16_t> usage{collection.caps.usagePage, collection.caps.usage};
    if (std::find(inputCollections_.begin(), inputCollections_.end(), usage) == inputCollections_.end()) continue;
    const std::string path = tagged ? FormatHidrawPath(node, static_cast<int>(i) + 1) : FormatHidrawPath(node);
    for (uint8_t id : collection.inputReportIds) {
      // Without report IDs every report is number 0: the first watched
      // collection takes them.
      const auto taken = [id](const auto& route) { return route.first == id; };
      if (std::none_of(watched.routes.begin(), watched.routes.end(), taken)) watched.routes.emplace_back(id, path);
    }
  }
  if (watched.routes.empty()) return;
  watched.fd = OpenRetrying(node.devNode, O_RDONLY | O_NONBLOCK);
  if (watched.fd < 0) return;
  watched_.push_back(std::move(watched));
}

void HidrawHost::StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>& inputCollections) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& usage : inputCollections) {
    if (std::find(inputCollections_.begin(), inputCollections_.end(), usage) == inputCollections_.end()) {
      inputCollections_.push_back(usage);
    }
  }
  // Monitor first, then list: a device that arrives in between is seen twice
  // rather than not at all (watching is idempotent per path).
  eventsStarted_ = directory_->StartMonitor();
  for (const auto& node : directory_->List()) {
    RememberLocked(node);
    WatchLocked(node);
  }
}

void HidrawHost::HandleChangesLocked() {
  for (auto& change : directory_->ReadChanges()) {
    if (change.kind == HidrawChangeKind::kAdded) {
      for (const auto& presented : RememberLocked(change.node)) {
        pending_.push_back(HidEvent{HidEventKind::kArrival, presented.path, {}});
      }
      WatchLocked(change.node);
      continue;
    }
    const auto known = pathsBySysPath_.find(change.node.sysPath);
    if (known == pathsBySysPath_.end()) continue;  // never seen: nobody knows its paths
    for (const auto& path : known->second) {
      entryByPath_.erase(path);
      pending_.push_back(HidEvent{HidEventKind::kRemoval, path, {}});
    }
    pathsBySysPath_.erase(known);
    for (auto it = watched_.begin(); it != watched_.end(); ++it) {
      if (it->sysPath == change.node.sysPath) {
        close(it->fd);
        watched_.erase(it);
        break;
      }
    }
  }
}

void HidrawHost::HandleInputLocked(size_t index, short revents) {
  Watched& watched = watched_[index];
  std::vector<uint8_t> report(kMaxInputReport + 1);
  // hidraw hands out the report ID byte only for devices that number their
  // reports; HidEvent always starts with it.
  const size_t offset = watched.usesReportIds ? 0 : 1;
  const ssize_t size = (revents & POLLIN) ? read(watched.fd, report.data() + offset, kMaxInputReport) : -1;
  if (size > 0) {
    report.resize(static_cast<size_t>(size) + offset);
    const auto& routes = watched.routes;
    const auto route = std::find_if(routes.begin(), routes.end(), [&](const auto& r) { return r.first == report[0]; });
    if (route != routes.end()) {
      pending_.push_back(HidEvent{HidEventKind::kInputReport, route->second, std::move(report)});
    }
    return;
  }
  if (size < 0 && (revents & POLLIN) && (errno == EAGAIN || errno == EINTR)) return;
  // The device went away (the removal comes through the monitor) or the
  // descriptor broke: stop watching it.
  close(watched.fd);
  watched_.erase(watched_.begin() + static_cast<long>(index));
}

bool HidrawHost::WaitEvent(HidEvent& event, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (bool first = true;; first = false) {
    std::vector<pollfd> fds;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!pending_.empty()) {
        event = std::move(pending_.front());
        pending_.pop_front();
        return true;
      }
      fds.push_back({wakeFd_, POLLIN, 0});
      if (eventsStarted_) fds.push_back({directory_->MonitorFd(), POLLIN, 0});
      for (const auto& watched : watched_) fds.push_back({watched.fd, POLLIN, 0});
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    // Reports that are filtered out must not keep the caller past its timeout.
    if (!first && left.count() <= 0) return false;
    const int ready = poll(fds.data(), fds.size(), static_cast<int>(std::max<int64_t>(left.count(), 0)));
    if (ready < 0 && errno != EINTR) return false;
    if (fds[0].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t drained = read(wakeFd_, &count, sizeof count);
      return false;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      // Only this thread closes watched descriptors, so the snapshot's are
      // still open; look each one up again, as changes may reorder the list.
      for (size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        if (eventsStarted_ && fds[i].fd == directory_->MonitorFd()) {
          // A broken monitor would poll ready forever; without it the host
          // still delivers input reports.
          if (fds[i].revents & (POLLERR | POLLNVAL)) eventsStarted_ = false;
          HandleChangesLocked();
          continue;
        }
        for (size_t w = 0; w < watched_.size(); ++w) {
          if (watched_[w].fd == fds[i].fd) {
            HandleInputLocked(w, fds[i].revents);
            break;
          }
        }
      }
    }
  }
}

void HidrawHost::Interrupt() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

}  // namespace quorix
