#pragma once
// The device event pump: one loop over HidHost::WaitEvent that turns device
// arrival and removal, the rescan timers and the mouse's own input reports
// into events for the session. It keeps the hot-plug timing (the 300 ms an
// arrival settles, the rescan timer at 1000 ms after an arrival and 500 ms
// after the current device went, the programming-mode settle of 2000 ms and
// the 100 ms rescan after it) on the injected clock, so tests run it in
// virtual time: WaitEvent is the only call that blocks.
//
// It reports and the session decides: it never loads, never touches the
// settings image and never talks to the mouse. It only keeps the device list
// free of interfaces that are gone (RemoveDevice) and asks the host whether
// an arriving interface is a configuration interface.
//
// Single-threaded: every member is called from the thread that runs the loop,
// except Interrupt() (through Run's stop token).

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "device/device_link.h"
#include "device/vendor_report.h"
#include "firmware/isp_mode.h"
#include "platform/clock.h"

namespace quorix {

inline constexpr int64_t kArrivalSettleMs = 300;
inline constexpr int64_t kFirstRescanMs = 10;
inline constexpr int64_t kRescanAfterArrivalMs = 1000;
inline constexpr int64_t kRescanAfterRemovalMs = 500;
// How long one wait lasts at most when no timer is due, so a stop request
// that cannot interrupt the host is still seen.
inline constexpr int kIdleWaitMs = 200;

enum class DeviceEventKind : uint8_t {
  kArrival,        // a configuration interface arrived and settled for 300 ms
  kRemoval,        // an interface went; currentDevice: it was the current one
  kIspArrival,     // the microcontroller in programming mode arrived; a rescan follows
  kRescanDue,      // enumerate the devices now and load the first one
  kStateReport,    // level, sensitivity or profile changed on the mouse
  kDisplayReport,  // a checked report only the on-screen display shows
  kOpenRequest,    // the mouse's "launch setting" button
  kWheelSteps,     // horizontal wheel steps
};

struct DeviceEvent {
  DeviceEventKind kind = DeviceEventKind::kArrival;
  std::string path{};          // lower case
  int64_t atMs = 0;            // the clock when it was delivered
  // kRemoval: the current device went (the pump has forgotten it).
  // kArrival: there is a current device, so the session only identifies
  // the new path; without one a rescan follows in 1000 ms instead.
  bool currentDevice = false;
  VendorReport report{};       // the report kinds
};

class DeviceEventPump {
 public:
  using Deliver = std::function<void(const DeviceEvent&)>;
  // loadRunning: while it says true a due rescan is put off by its period.
  // link and clock must outlive the pump.
  DeviceEventPump(DeviceLink& link, Clock& clock, Deliver deliver, std::function<bool()> loadRunning = {});

  // Starts the host's arrival, removal and input-report events (the two
  // vendor collections) and the first rescan, 10 ms from now.
  void Start();

  // The device the session works with ("" for none): its removal restarts
  // the rescan, and arrivals while there is one do not.
  void SetCurrentDevice(const std::string& path);
  const std::string& CurrentDevice() const { return current_; }

  // One round: handles the timers that are due, then waits for one host
  // event up to the next due timer (at most maxWaitMs) and handles it and
  // whatever became due meanwhile.
  void RunOnce(int maxWaitMs = kIdleWaitMs);
  // Rounds until a stop is requested; the request interrupts the host's wait.
  void Run(std::stop_token stop);

  // When the next timer is due, or nothing when none runs.
  std::optional<int64_t> NextDueMs() const;

 private:
  struct Timer {
    int64_t dueMs = 0;
    int64_t periodMs = 0;
  };

  void Emit(DeviceEvent event);
  void RunDueTimers();
  void RestartRescan(int64_t periodMs, int64_t fromMs);
  void OnHostEvent(const HidEvent& event);

  DeviceLink& link_;
  Clock& clock_;
  Deliver deliver_;
  std::function<bool()> loadRunning_;
  IspWatcher isp_;
  std::string current_;
  std::optional<Timer> rescan_;
  std::vector<std::pair<int64_t, std::string>> settling_;  // arrivals waiting out their 300 ms
};

}  // namespace quorix
