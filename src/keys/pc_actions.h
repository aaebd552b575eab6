#pragma once
// The two events the mouse hands to the computer: horizontal wheel steps
// (carried out by a scroll worker as wheel clicks on the window under the
// pointer) and "Launch setting" (bring the program's window to the front).

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

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
// out on a worker. Steps are taken with an atomic exchange, so a report that
// arrives while the worker is busy is carried out in the next batch, never
// lost; the worker sleeps only while nothing is pending.
class HorizontalScroller {
 public:
  explicit HorizontalScroller(InputInjector& injector) : injector_(injector) {}

  // Input thread: adds report byte 9 (signed) and wakes the worker. False for
  // a report that is not a horizontal wheel report.
  bool OnHorizontalWheelReport(const uint8_t* report, size_t length);

  int32_t PendingSteps() const { return pendingHorizontalSteps_.load(); }
  // Takes every pending step at once (0 when none).
  int32_t TakePendingSteps() { return pendingHorizontalSteps_.exchange(0); }

  // One batch: takes the pending steps and injects them as one burst. Returns
  // the steps carried out (0: nothing was pending).
  int32_t RunBatch();

  // The worker loop: waits for steps, runs batches, until Stop().
  void Run();
  void Stop();

 private:
  InputInjector& injector_;
  std::atomic<int32_t> pendingHorizontalSteps_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
};

}  // namespace quorix
