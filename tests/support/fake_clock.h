#pragma once
// The tests' clock: virtual time that records its pauses, starting well away
// from 0 so that "time 0" never passes for a real timestamp.

#include <cstdint>

#include "platform/virtual_clock.h"

namespace quorix::test {

class FakeClock final : public VirtualClock {
 public:
  FakeClock() : VirtualClock(1'000'000, /*recordSleeps=*/true) {}
};

}  // namespace quorix::test
