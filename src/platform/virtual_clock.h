#pragma once
// Virtual time, for the simulated mouse, tests and fuzzers: SleepMs advances
// the clock at once instead of waiting, so poll limits and timers run in no
// real time (an always-busy mouse is given up after its 421 reads, not 421 ms
// later). Optionally it records every pause, so a test can check what was
// waited for. Safe to use from several threads.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace quorix {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(int64_t startMs = 0, bool recordSleeps = false)
      : now_(startMs), recordSleeps_(recordSleeps) {}

  int64_t NowMs() override { return now_.load(); }
  void SleepMs(int64_t ms) override {
    if (ms <= 0) return;
    now_ += ms;
    if (!recordSleeps_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.push_back(ms);
  }
  // Time passing without anybody sleeping (not recorded).
  void Advance(int64_t ms) { now_ += ms; }

  // The pauses since the start or the last ClearSleeps; empty unless recording.
  std::vector<int64_t> Sleeps() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sleeps_;
  }
  void ClearSleeps() {
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.clear();
  }

 private:
  std::atomic<int64_t> now_;
  const bool recordSleeps_;
  mutable std::mutex mutex_;
  std::vector<int64_t> sleeps_;
};

}  // namespace quorix
