#pragma once
// The mouse's microcontroller in its programming mode. The program never
// configures it; it only notices one arriving while no mouse is connected and
// rescans a little later, so a mouse that leaves programming mode is picked up
// again without the user doing anything.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace quorix {

inline constexpr const char* kIspIdentity7500 = "vid_0c45&pid_7500";
inline constexpr const char* kIspIdentity7B00 = "vid_0c45&pid_7b00";
inline constexpr int64_t kIspSettleMs = 2000;
inline constexpr int64_t kIspRescanDelayMs = 100;

// True when the path, in any letter case, holds a programming-mode identity
// at character index 2 or later.
bool IsIspModePath(const std::string& path);

// The firmware version shown to the user: variantA - 10, at least 1.
int FirmwareVersionNumber(int variantA);

// The settle timer and the rescan it schedules, on the injected clock. The
// owner calls Poll() from its timer tick (NextDueMs() says when it is due).
class IspWatcher {
 public:
  explicit IspWatcher(Clock& clock) : clock_(clock) {}

  // An interface arrival that failed the configuration-interface test. With
  // no current device and a programming-mode path, (re)starts the settle
  // timer: arrivals in quick succession push the rescan back. True when the
  // timer was (re)started.
  bool OnInterfaceArrival(const std::string& path, bool haveCurrentDevice);

  // Runs the timers that are due. True when the rescan is due now; it is
  // reported once.
  bool Poll();

  // The clock time at which Poll() next has work, or nothing when idle.
  std::optional<int64_t> NextDueMs() const;
  bool SettleTimerRunning() const { return settleDueMs_.has_value(); }
  bool RescanScheduled() const { return rescanDueMs_.has_value(); }

 private:
  Clock& clock_;
  std::optional<int64_t> settleDueMs_;
  std::optional<int64_t> rescanDueMs_;
};

}  // namespace quorix
