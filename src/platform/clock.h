#pragma once
// Time as the core sees it. Every pause and poll limit in the core goes through
// a Clock, so tests run them on a virtual clock instead of waiting.

#include <cstdint>

namespace quorix {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic milliseconds since an arbitrary origin.
  virtual int64_t NowMs() = 0;
  // Blocks the calling thread for ms milliseconds (ms <= 0 returns at once).
  virtual void SleepMs(int64_t ms) = 0;
};

// The real clock: std::chrono::steady_clock and std::this_thread::sleep_for.
class SteadyClock final : public Clock {
 public:
  int64_t NowMs() override;
  void SleepMs(int64_t ms) override;
};

}  // namespace quorix
