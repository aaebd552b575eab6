#pragma once
// The device link's state: the HID host, the clock, the two cross-process
// locks, the device list, the per-path device information and the read cache.
// One DeviceLink stands for what the program keeps process-wide; tests build a
// fresh one each.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "device/outcome.h"
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

// An exchange gives up once this much time has passed on the link's clock,
// even when its poll limits have not run out: on a real system one read of a
// wedged device can block for seconds. The poll limits normally end first
// (421 + 301 reads of 1 ms, plus the delay).
inline constexpr int64_t kExchangeDeadlineMs = 3000;
// How long an exchange waits for another program to release the exchange
// lock before it gives up, and how often it looks.
inline constexpr int64_t kLockWaitLimitMs = 10000;
inline constexpr int64_t kLockWaitStepMs = 10;

// Takes mutex, waiting at most kLockWaitLimitMs on clock for another holder
// to let go, and trying every kLockWaitStepMs. notice (when set) is called
// once, before the wait, and only when there is one. False: not taken.
bool LockWithinLimit(NamedMutex& mutex, Clock& clock, const std::function<void()>& notice);

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

  // Waiting for the exchange lock is a matter of real time (another program
  // holds it for as long as it takes), so it runs on its own clock: the
  // steady clock unless a test gives another. `notice` is called when an
  // exchange has to wait, before it starts waiting.
  Clock& LockClock() { return *lockClock_; }
  void SetLockClock(Clock& clock) { lockClock_ = &clock; }
  void SetLockWaitNotice(std::function<void()> notice) { lockWaitNotice_ = std::move(notice); }
  const std::function<void()>& LockWaitNotice() const { return lockWaitNotice_; }

  // ---- the running operation (see DeviceOperation) ----
  // The first exchange that failed since the outermost operation began;
  // kAnswered when none did.
  ExchangeOutcome FirstFailure() const { return firstFailure_.load(); }
  // Keeps the first failure only.
  void RecordExchange(ExchangeOutcome outcome) {
    ExchangeOutcome expected = ExchangeOutcome::kAnswered;
    if (outcome != ExchangeOutcome::kAnswered) firstFailure_.compare_exchange_strong(expected, outcome);
  }
  // True while an operation runs: then a recorded failure stops every later
  // exchange of it before it reaches the device.
  bool InOperation() const { return operationDepth_.load() > 0; }
  // Whether the running operation has been asked to stop.
  bool StopRequested() const { return stop_.stop_requested(); }

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
  SteadyClock steadyClock_;
  Clock* lockClock_ = &steadyClock_;
  std::function<void()> lockWaitNotice_;
  std::atomic<ExchangeOutcome> firstFailure_{ExchangeOutcome::kAnswered};
  std::atomic<int> operationDepth_{0};
  std::stop_token stop_;  // the outermost operation's; read on its thread only
  friend class DeviceOperation;
};

// Brackets one operation on the mouse (a load, a field write, a macro
// store...). The outermost one clears the link's failure record; from the
// first failed exchange on, the operation's remaining exchanges are skipped,
// so a mouse that has gone is not written to any further and a silent one is
// not polled a thousand times more. Operations nest: an inner one (the load
// that follows a reset) shares the outer one's record and stop token.
//
// A stop request on `stop` ends the operation before its next exchange, with
// kCancelled. One operation runs on a link at a time (the program's device
// executor runs them one after another on one thread).
class DeviceOperation {
 public:
  explicit DeviceOperation(DeviceLink& link, std::stop_token stop = {}) : link_(link) {
    if (link_.operationDepth_.fetch_add(1) == 0) {
      link_.firstFailure_ = ExchangeOutcome::kAnswered;
      link_.stop_ = std::move(stop);
    }
  }
  ~DeviceOperation() {
    if (link_.operationDepth_.fetch_sub(1) == 1) link_.stop_ = {};
  }
  DeviceOperation(const DeviceOperation&) = delete;
  DeviceOperation& operator=(const DeviceOperation&) = delete;

  bool Failed() const { return link_.FirstFailure() != ExchangeOutcome::kAnswered; }
  // kNone while every exchange so far went through.
  Outcome Result() const { return FailureOf(link_.FirstFailure()); }

 private:
  DeviceLink& link_;
};

}  // namespace quorix
