#pragma once
// A scripted HID host for device-link tests: interfaces with fixed
// capabilities and identification strings, a responder that answers each
// request, busy/failure switches, and a record of what was sent.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid_host.h"
#include "platform/named_mutex.h"

namespace quorix::test {

struct FakeHidInterface {
  HidInterfaceInfo info;
  bool openable = true;
  bool capsReadable = true;
  // Raw payload of string 199; empty means the device has no such string.
  std::vector<uint8_t> identification;
  // Fills the answer to the last request (both framed, `length` bytes).
  // Unset: the answer echoes the command byte and is otherwise zero.
  std::function<void(const std::vector<uint8_t>& request, std::vector<uint8_t>& answer)> respond;
  int busyReads = 0;            // the next N reads report busy; -1: always busy
  bool busyAfterSend = false;   // once anything is in `sent`, every read is busy
  bool readsFail = false;       // GetFeature returns false
  int goneAfterSends = -1;      // >= 0: unplugged once this many requests were sent
  std::function<void()> onTransfer;  // runs inside every GetFeature and SetFeature

  // Record.
  std::vector<std::vector<uint8_t>> sent;
  int reads = 0;
  int opens = 0;
  int cancels = 0;
  std::vector<uint8_t> pendingAnswer;
};

class FakeHidDevice final : public HidDevice {
 public:
  explicit FakeHidDevice(FakeHidInterface& iface) : iface_(iface) {}
  bool GetCaps(HidCaps& caps) override {
    if (!iface_.capsReadable) return false;
    caps = iface_.info.caps;
    return true;
  }
  bool GetAttributes(uint16_t& vendorId, uint16_t& productId) override {
    vendorId = iface_.info.vendorId;
    productId = iface_.info.productId;
    return true;
  }
  bool GetFeature(uint8_t* buffer, size_t length) override {
    if (iface_.onTransfer) iface_.onTransfer();
    ++iface_.reads;
    if (iface_.readsFail || Gone()) return false;
    const uint8_t reportId = buffer[0];
    std::fill(buffer, buffer + length, 0);
    buffer[0] = reportId;
    const bool busy = iface_.busyReads != 0 || (iface_.busyAfterSend && !iface_.sent.empty());
    if (iface_.busyReads > 0) --iface_.busyReads;
    if (busy) {
      // A busy report carries stale bytes: callers must not take them as data.
      if (length > 1) buffer[1] = 0x80 | 0x05;
      for (size_t i = 2; i < length; ++i) buffer[i] = 0xEE;
      return true;
    }
    for (size_t i = 1; i < length && i < iface_.pendingAnswer.size(); ++i) buffer[i] = iface_.pendingAnswer[i];
    return true;
  }
  bool SetFeature(const uint8_t* buffer, size_t length) override {
    if (iface_.onTransfer) iface_.onTransfer();
    if (iface_.goneAfterSends >= 0 && static_cast<int>(iface_.sent.size()) >= iface_.goneAfterSends) {
      unplugged_ = true;
      return false;
    }
    std::vector<uint8_t> request(buffer, buffer + length);
    iface_.sent.push_back(request);
    iface_.pendingAnswer.assign(length, 0);
    if (iface_.respond) {
      iface_.respond(request, iface_.pendingAnswer);
    } else if (length > 1) {
      iface_.pendingAnswer[1] = request[1];
    }
    return true;
  }
  void CancelIo() override { ++iface_.cancels; }
  bool Gone() override { return unplugged_; }
  bool GetIndexedString(int index, uint8_t* buffer, size_t length) override {
    if (index != 199 || iface_.identification.empty()) return false;
    std::fill(buffer, buffer + length, 0);
    std::copy_n(iface_.identification.begin(), std::min(length, iface_.identification.size()), buffer);
    return true;
  }

 private:
  FakeHidInterface& iface_;
  bool unplugged_ = false;
};

class FakeHidHost final : public HidHost {
 public:
  FakeHidInterface& Add(const std::string& path, uint16_t featureLength, uint16_t usage, uint16_t usagePage) {
    FakeHidInterface& iface = interfaces.emplace_back();
    iface.info.path = path;
    iface.info.caps.featureReportByteLength = featureLength;
    iface.info.caps.usage = usage;
    iface.info.caps.usagePage = usagePage;
    return iface;
  }
  FakeHidInterface* Find(const std::string& path) {
    for (FakeHidInterface& iface : interfaces) {
      if (iface.info.path == path) return &iface;
    }
    return nullptr;
  }
  std::vector<HidInterfaceInfo> EnumerateInterfaces() override {
    std::vector<HidInterfaceInfo> all;
    for (const FakeHidInterface& iface : interfaces) all.push_back(iface.info);
    return all;
  }
  std::unique_ptr<HidDevice> Open(const std::string& path) override {
    FakeHidInterface* iface = Find(path);
    if (iface == nullptr || !iface->openable) return nullptr;
    ++iface->opens;
    return std::make_unique<FakeHidDevice>(*iface);
  }
  void StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>&) override {}
  bool WaitEvent(HidEvent&, int) override { return false; }
  void Interrupt() override {}

  std::deque<FakeHidInterface> interfaces;  // deque: references stay valid
};

// A process-local mutex that tells whether it is held and how often it was taken.
class CountingMutex final : public NamedMutex {
 public:
  void lock() override {
    mutex_.lock();
    held = true;
    ++locks;
  }
  void unlock() override {
    held = false;
    mutex_.unlock();
  }
  bool try_lock() override {
    if (!mutex_.try_lock()) return false;
    held = true;
    ++locks;
    return true;
  }
  bool held = false;
  int locks = 0;

 private:
  std::mutex mutex_;
};

}  // namespace quorix::test
