#pragma once
// One feature-report exchange with the mouse: framing (report ID, checksum),
// the busy handshake before and after, the poll limits and pauses, and the
// exchange lock around it.

#include <cstdint>
#include <string>

#include "device/device_link.h"

namespace quorix {

inline constexpr int kReadyPollLimit = 420;   // failures before giving up: 421 reads
inline constexpr int kAnswerPollLimit = 300;  // failures before giving up: 301 reads

// Frames request (length bytes; byte 0 and the checksum are overwritten), waits
// for the device to be ready, sends it and, for delayMs >= 0, polls the answer
// into response (at least length bytes; untouched for delayMs < 0). Byte 1 of
// the answer is masked with 0x3F.
//
// kAnswered once the answer echoed the request's command (or, for
// delayMs < 0, once the request was sent). kNoAnswer when a poll limit or
// kExchangeDeadlineMs ran out, kBadAnswer for an answer that does not echo
// the command, kDeviceGone when the device was unplugged, kLockBusy when
// another program held the exchange lock past kLockWaitLimitMs. On every
// failure response is left as it was. The outcome is recorded on the link.
ExchangeOutcome ExchangeFeatureReport(DeviceLink& link, HidDevice& device, uint8_t* request, uint8_t* response,
                                      int length, int delayMs);

// Opens path, reads its capabilities, exchanges one report of the
// capabilities' feature length and closes the handle. request and response
// are 65-byte buffers. kCannotOpen when the path cannot be opened or has no
// feature report (kDeviceGone when its capabilities are gone with it); else
// the exchange's outcome. Inside a DeviceOperation that has already failed,
// nothing is opened and the operation's first failure is returned.
ExchangeOutcome DeviceTransact(DeviceLink& link, const std::string& devicePath, uint8_t* request,
                               uint8_t* response, int delayMs);

}  // namespace quorix
