#pragma once
// A virtual clock for tests: SleepMs advances time at once and records the
// pauses, so poll limits and timers run without waiting.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace quorix::test {

class FakeClock final : public Clock {
 public:
  int64_t NowMs() override { return now_.load(); }
  void SleepMs(int64_t ms) override {
    if (ms <= 0) return;
    now_ += ms;
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.push_back(ms);
  }
  void Advance(int64_t ms) { now_ += ms; }
  std::vector<int64_t> Sleeps() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sleeps_;
  }
  void ClearSleeps() {
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.clear();
  }

 private:
  std::atomic<int64_t> now_{1'000'000};
  mutable std::mutex mutex_;
  std::vector<int64_t> sleeps_;
};

}  // namespace quorix::test
