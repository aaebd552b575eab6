#include "device/transport.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace quorix {
namespace {

constexpr uint8_t kBusyFlag = 0x80;

uint8_t XorRange(const uint8_t* bytes, int first, int last) {
  uint8_t x = 0;
  for (int i = first; i <= last; ++i) x ^= bytes[i];
  return x;
}

void Frame(uint8_t* request, int length) {
  request[0] = 0;
  if (length == 9 && request[1] != 9) {
    // The level-0 data chunk (command 9) uses all eight bytes as payload.
    request[8] = XorRange(request, 1, 7);
  } else if (length == 64) {
    request[63] = XorRange(request, 1, 62);
    request[0] = 1;
  }
}

enum class PollResult { kReady, kTimedOut, kGone };

// Reads feature reports into buffer until the busy flag is clear. Gives up
// once `limit` failures have been exceeded or the deadline has passed, and at
// once when the device has gone. One millisecond between reads.
PollResult PollUntilReady(DeviceLink& link, HidDevice& device, uint8_t reportId, uint8_t* buffer, int length,
                          int limit, int64_t deadline) {
  int failures = 0;
  for (;;) {
    buffer[0] = reportId;
    if (device.GetFeature(buffer, static_cast<size_t>(length))) {
      if ((buffer[1] & kBusyFlag) == 0) return PollResult::kReady;
    } else if (device.Gone()) {
      return PollResult::kGone;
    }
    if (++failures > limit || link.GetClock().NowMs() >= deadline) return PollResult::kTimedOut;
    link.GetClock().SleepMs(1);
  }
}

ExchangeOutcome OutcomeOfPoll(PollResult poll) {
  return poll == PollResult::kGone ? ExchangeOutcome::kDeviceGone : ExchangeOutcome::kNoAnswer;
}

void TraceBytes(DeviceLink& link, char direction, const uint8_t* bytes, int length) {
  if (link.Trace()) link.Trace()(direction, bytes, static_cast<size_t>(length));
}

// Takes the exchange lock, waiting a bounded time for another program to
// let go of it.
bool LockExchange(DeviceLink& link) {
  return LockWithinLimit(link.ExchangeMutex(), link.LockClock(), link.LockWaitNotice());
}

// The exchange itself, with the lock held.
ExchangeOutcome ExchangeLocked(DeviceLink& link, HidDevice& device, uint8_t* request, uint8_t* response,
                               int length, int delayMs) {
  Clock& clock = link.GetClock();
  const int64_t deadline = clock.NowMs() + kExchangeDeadlineMs;
  // Scratch for the polls: sized for the report, never smaller than the
  // 200 bytes the firmware tools were written around.
  std::vector<uint8_t> scratch(static_cast<size_t>(std::max(length, 200)), 0);
  PollResult poll = PollUntilReady(link, device, request[0], scratch.data(), length, kReadyPollLimit, deadline);
  if (poll != PollResult::kReady) return OutcomeOfPoll(poll);
  TraceBytes(link, '>', request, length);
  if (!device.SetFeature(request, static_cast<size_t>(length))) {
    if (device.Gone()) return ExchangeOutcome::kDeviceGone;
    // The request may not have arrived; when an answer is awaited, its poll
    // tells. A request sent blind has nothing else to go by.
    if (delayMs < 0) return ExchangeOutcome::kNoAnswer;
  }
  if (delayMs > 4) {
    clock.SleepMs(2);
  } else if (delayMs >= 1) {
    clock.SleepMs(1);
  }
  if (delayMs < 0) return ExchangeOutcome::kAnswered;
  if (delayMs > 0) clock.SleepMs(delayMs);
  // The answer is polled into scratch and handed over only once the device
  // has finished and echoed the command, so a failed exchange leaves the
  // caller's buffer as it was (zeroed) rather than holding a half-busy report
  // or another request's bytes.
  std::fill(scratch.begin(), scratch.end(), 0);
  poll = PollUntilReady(link, device, request[0], scratch.data(), length, kAnswerPollLimit, deadline);
  if (poll != PollResult::kReady) return OutcomeOfPoll(poll);
  scratch[1] &= 0x3F;
  TraceBytes(link, '<', scratch.data(), length);
  if (scratch[1] != (request[1] & 0x3F)) return ExchangeOutcome::kBadAnswer;
  std::copy_n(scratch.begin(), length, response);
  if (delayMs > 4) {
    clock.SleepMs(3);
  } else if (delayMs >= 1) {
    clock.SleepMs(1);
  }
  return ExchangeOutcome::kAnswered;
}

}  // namespace

bool LockWithinLimit(NamedMutex& mutex, Clock& clock, const std::function<void()>& notice) {
  if (mutex.try_lock()) return true;
  if (notice) notice();
  const int64_t giveUp = clock.NowMs() + kLockWaitLimitMs;
  while (clock.NowMs() < giveUp) {
    clock.SleepMs(kLockWaitStepMs);
    if (mutex.try_lock()) return true;
  }
  return false;
}

Failure FailureOf(ExchangeOutcome outcome) {
  switch (outcome) {
    case ExchangeOutcome::kAnswered:
      return Failure::kNone;
    case ExchangeOutcome::kNoAnswer:
      return Failure::kStoppedAnswering;
    case ExchangeOutcome::kBadAnswer:
      return Failure::kBadAnswers;
    case ExchangeOutcome::kDeviceGone:
      return Failure::kDeviceGone;
    case ExchangeOutcome::kCannotOpen:
      return Failure::kNoDevice;
    case ExchangeOutcome::kLockBusy:
      return Failure::kLockBusy;
    case ExchangeOutcome::kCancelled:
      return Failure::kCancelled;
  }
  return Failure::kStoppedAnswering;
}

ExchangeOutcome ExchangeFeatureReport(DeviceLink& link, HidDevice& device, uint8_t* request, uint8_t* response,
                                      int length, int delayMs) {
  if (length < 2) return ExchangeOutcome::kCannotOpen;  // no room for a command byte
  Frame(request, length);
  ExchangeOutcome outcome = ExchangeOutcome::kLockBusy;
  if (LockExchange(link)) {
    std::lock_guard<NamedMutex> exchangeLock(link.ExchangeMutex(), std::adopt_lock);
    outcome = ExchangeLocked(link, device, request, response, length, delayMs);
  }
  device.CancelIo();
  link.RecordExchange(outcome);
  return outcome;
}

ExchangeOutcome DeviceTransact(DeviceLink& link, const std::string& devicePath, uint8_t* request,
                               uint8_t* response, int delayMs) {
  // Once an exchange of the running operation has failed, the rest of it
  // stays off the device; a stop request ends it between two exchanges.
  if (link.InOperation()) {
    if (link.StopRequested()) link.RecordExchange(ExchangeOutcome::kCancelled);
    if (link.FirstFailure() != ExchangeOutcome::kAnswered) return link.FirstFailure();
  }
  constexpr int kBufferSize = 65;
  std::unique_ptr<HidDevice> device = link.Host().Open(devicePath);
  ExchangeOutcome outcome = ExchangeOutcome::kCannotOpen;
  HidCaps caps;
  if (!device) {
    // Nothing to open: the path has gone.
  } else if (!device->GetCaps(caps)) {
    outcome = device->Gone() ? ExchangeOutcome::kDeviceGone : ExchangeOutcome::kCannotOpen;
  } else if (caps.featureReportByteLength == 0) {
    outcome = ExchangeOutcome::kCannotOpen;
  } else if (const int length = caps.featureReportByteLength; length <= kBufferSize) {
    outcome = ExchangeFeatureReport(link, *device, request, response, length, delayMs);
  } else {
    // Callers hand over 65-byte buffers; a longer report is exchanged
    // through buffers of its own size and cut back to 65 bytes.
    std::vector<uint8_t> longRequest(static_cast<size_t>(length), 0);
    std::vector<uint8_t> longResponse(static_cast<size_t>(length), 0);
    std::copy_n(request, kBufferSize, longRequest.begin());
    std::copy_n(response, kBufferSize, longResponse.begin());
    outcome = ExchangeFeatureReport(link, *device, longRequest.data(), longResponse.data(), length, delayMs);
    std::copy_n(longRequest.begin(), kBufferSize, request);
    std::copy_n(longResponse.begin(), kBufferSize, response);
  }
  if (device) device->CancelIo();
  link.RecordExchange(outcome);
  return outcome;
}

}  // namespace quorix
