#pragma once
// The device link's state: the HID host, the clock, the two cross-process
// locks, the device list, the per-path device information and the read cache.
// One DeviceLink stands for what the program keeps process-wide; tests build a
// fresh one each.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/hid_host.h"
#include "platform/named_mutex.h"

namespace quorix {

// The vendor ID the product ships with. Users of a rebranded mouse override it
// (quorix-mousectl --vendor-id, the udev rule in packaging/).
inline constexpr uint16_t kProductVendorId = 0x3A5C;
inline constexpr uint16_t kProductIdA = 0x0139;
inline constexpr uint16_t kProductIdB = 0x0145;

// What the identification string and the information block say about one
// configuration interface.
struct DeviceInfo {
  uint16_t productId = 0;
  uint16_t vendorId = 0;
  int protocolLevel = 0;
  int variantA = 0;
  int modelCode = 3;
  int buttonLayout = 3;
  int memoryLayoutCheck = 0;
  int tableSelect = 0;
  int featureLimit = 64;
  int variantB = 0;
  int optionFlag = 0;
  std::array<uint8_t, 256> deviceInfoBlock{};
};

// Read cache of the memory access layer: serves only `path`, and only while
// `enabled`. Addresses 0..31 are never valid.
struct ReadCache {
  static constexpr int kSize = 70000;
  std::string path;
  bool enabled = false;
  std::vector<uint8_t> data = std::vector<uint8_t>(kSize, 0);
  std::vector<uint8_t> valid = std::vector<uint8_t>(kSize, 0);
};

// Receives every feature-report exchange: direction '>' for a request as it
// leaves (after framing), '<' for an answer that was read (after masking).
using ExchangeTrace = std::function<void(char direction, const uint8_t* bytes, size_t length)>;

class DeviceLink {
 public:
  DeviceLink(HidHost& host, Clock& clock, NamedMutex& exchangeMutex, NamedMutex& deviceListMutex,
             uint16_t vendorId = kProductVendorId)
      : host_(host), clock_(clock), exchangeMutex_(exchangeMutex), deviceListMutex_(deviceListMutex),
        vendorId_(vendorId) {}
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  HidHost& Host() { return host_; }
  Clock& GetClock() { return clock_; }
  NamedMutex& ExchangeMutex() { return exchangeMutex_; }
  NamedMutex& DeviceListMutex() { return deviceListMutex_; }
  std::mutex& IdentifySection() { return identifySection_; }
  uint16_t VendorId() const { return vendorId_; }

  void SetTrace(ExchangeTrace trace) { trace_ = std::move(trace); }
  const ExchangeTrace& Trace() const { return trace_; }

  // Guarded by DeviceListMutex(); use the accessors in discovery.h.
  std::vector<std::string> deviceList;
  // Written inside IdentifyDevice only; guarded by infoMutex (readers on other
  // threads take it too, so a refresh never tears a record).
  std::map<std::string, DeviceInfo> deviceInfo;
  mutable std::mutex infoMutex;
  // Used by one device-operation sequence at a time (see commands.h).
  ReadCache cache;

 private:
  HidHost& host_;
  Clock& clock_;
  NamedMutex& exchangeMutex_;
  NamedMutex& deviceListMutex_;
  std::mutex identifySection_;
  uint16_t vendorId_;
  ExchangeTrace trace_;
};

}  // namespace quorix
