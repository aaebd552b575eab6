#pragma once
// How an exchange with the mouse ended. What a whole operation came to is a
// base/result.h Outcome.
//
// The firmware's own protocol never says "failed": a silent mouse simply
// leaves the answer buffer as it was. These types carry what the transport
// saw up to the front ends, so nothing is reported as done that the mouse did
// not do.

#include <cstdint>

#include "base/result.h"

namespace quorix {

enum class ExchangeOutcome : uint8_t {
  kAnswered,    // sent, and (when an answer was awaited) a fitting answer came back
  kNoAnswer,    // a poll limit or the exchange deadline ran out
  kBadAnswer,   // an answer came back that does not echo the request's command
  kDeviceGone,  // a transfer failed because the device has been unplugged
  kCannotOpen,  // the path could not be opened, or it has no feature report
  kLockBusy,    // another program held the exchange lock past the wait limit
  kCancelled,   // the operation was asked to stop before this exchange
};

// The failure an exchange outcome stands for (kNone for kAnswered).
Failure FailureOf(ExchangeOutcome outcome);

}  // namespace quorix
