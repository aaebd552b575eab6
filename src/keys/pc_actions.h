#pragma once
// The two events the mouse hands to the computer: horizontal wheel steps
// (carried out as wheel clicks on the window under the pointer) and "Launch
// setting" (bring the program's window to the front).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/clock.h"
#include "platform/input_injector.h"

namespace quorix {

// A vendor input report with horizontal wheel steps: bytes 0 and 1 are
// (11, 11) or (1, 11); byte 9 is the signed step count.
bool IsHorizontalWheelReport(const uint8_t* report, size_t length);
// A "Launch setting" report: byte 1 is 13 and bytes 1..last XOR to 0.
bool IsLaunchSettingReport(const uint8_t* report, size_t length);

// Value 1 (report byte 2) asks for the main window: raiseMainWindow runs and
// the result is true. Other values do nothing.
bool OnLaunchSettingReport(int value, const std::function<void()>& raiseMainWindow);

// Accumulates horizontal wheel steps from the input thread and carries them
// out when its owner polls it (a window's timer tick, the CLI's loop: Poll()
// when NextDueMs() has come). Steps are taken with an atomic exchange, so a
// report that arrives while a batch is being carried out goes into the next
// batch, never lost. The injection talks to the desktop, not to the mouse, so
// it runs on the polling thread rather than on the device executor.
class HorizontalScroller {
 public:
  HorizontalScroller(InputInjector& injector, Clock& clock) : injector_(injector), clock_(clock) {}

  // Any thread: adds report byte 9 (signed). False for a report that is not
  // a horizontal wheel report.
  bool OnHorizontalWheelReport(const uint8_t* report, size_t length);

  int32_t PendingSteps() const { return pendingHorizontalSteps_.load(); }
  // Takes every pending step at once (0 when none).
  int32_t TakePendingSteps() { return pendingHorizontalSteps_.exchange(0); }

  // One batch: takes the pending steps and injects them as one burst. Returns
  // the steps carried out (0: nothing was pending).
  int32_t RunBatch();

  // Carries out what is pending (RunBatch); the steps carried out.
  int32_t Poll() { return RunBatch(); }
  // Now while steps are pending, nothing when idle: a report wants carrying
  // out at the owner's next tick.
  std::optional<int64_t> NextDueMs() const;

 private:
  InputInjector& injector_;
  Clock& clock_;
  std::atomic<int32_t> pendingHorizontalSteps_{0};
};

}  // namespace quorix
