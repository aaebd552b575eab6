#pragma once
// How an exchange with the mouse ended, and what a whole operation came to.
//
// The firmware's own protocol never says "failed": a silent mouse simply
// leaves the answer buffer as it was. These types carry what the transport
// saw up to the front ends, so nothing is reported as done that the mouse did
// not do.

#include <cstdint>

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

// Why an operation did not do what was asked. Each value stands for one
// message of the front ends' text tables; the core builds no sentences.
enum class Failure : uint8_t {
  kNone,
  kNoDevice,          // no mouse, or it could not be opened ("No device !!")
  kStoppedAnswering,  // the mouse stopped answering part-way
  kDeviceGone,        // the mouse was unplugged part-way
  kBadAnswers,        // the mouse answered with bytes that make no sense
  kLockBusy,          // another program is using the mouse
  kCancelled,         // the user (or a closing window) cancelled it
  kDeclined,          // the user said no to the question; nothing was written
  kInvalidArgument,   // a value out of range; nothing was sent
  kLackOfSpace,       // the macro does not fit ("Lack of space !!")
  kInvalidFormat,     // a file is not what it claims to be ("invalid format !!")
  kCannotReadFile,    // a file could not be read; the detail names it
  kCannotWriteFile,   // a file could not be written; the detail names it
  kNotSupported,      // this mouse has no such setting; nothing was sent
  kInternalError,     // the program's own code gave up part-way (it threw)
  kLastLevelOn,       // switching off the only level the DPI button still cycles through
};

// The result of one operation. Converts to true only when it was done.
struct Outcome {
  Failure failure = Failure::kNone;

  Outcome() = default;
  constexpr Outcome(Failure f) : failure(f) {}  // NOLINT: a Failure is an Outcome
  explicit operator bool() const { return failure == Failure::kNone; }
  bool operator==(const Outcome&) const = default;
};

// The failure an exchange outcome stands for (kNone for kAnswered).
Failure FailureOf(ExchangeOutcome outcome);

}  // namespace quorix
