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

// Reads feature reports into buffer until the busy flag is clear; false once
// `limit` failures have been exceeded. One millisecond between reads.
bool PollUntilReady(DeviceLink& link, HidDevice& device, uint8_t reportId, uint8_t* buffer, int length,
                    int limit) {
  int failures = 0;
  for (;;) {
    buffer[0] = reportId;
    if (device.GetFeature(buffer, static_cast<size_t>(length)) && (buffer[1] & kBusyFlag) == 0) return true;
    if (++failures > limit) return false;
    link.GetClock().SleepMs(1);
  }
}

void TraceBytes(DeviceLink& link, char direction, const uint8_t* bytes, int length) {
  if (link.Trace()) link.Trace()(direction, bytes, static_cast<size_t>(length));
}

}  // namespace

bool ExchangeFeatureReport(DeviceLink& link, HidDevice& device, uint8_t* request, uint8_t* response,
                           int length, int delayMs) {
  if (length < 2) return false;  // no room for a command byte
  Frame(request, length);
  bool result = false;
  {
    std::lock_guard<NamedMutex> exchangeLock(link.ExchangeMutex());
    // Scratch for the polls: sized for the report, never smaller than the
    // 200 bytes the firmware tools were written around.
    std::vector<uint8_t> scratch(static_cast<size_t>(std::max(length, 200)), 0);
    if (PollUntilReady(link, device, request[0], scratch.data(), length, kReadyPollLimit)) {
      TraceBytes(link, '>', request, length);
      device.SetFeature(request, static_cast<size_t>(length));
      if (delayMs > 4) {
        link.GetClock().SleepMs(2);
      } else if (delayMs >= 1) {
        link.GetClock().SleepMs(1);
      }
      if (delayMs < 0) {
        result = true;
      } else {
        if (delayMs > 0) link.GetClock().SleepMs(delayMs);
        // The answer is polled into scratch and handed over only once the
        // device has finished, so a timed-out exchange leaves the caller's
        // buffer as it was (zeroed) rather than holding a half-busy report.
        std::fill(scratch.begin(), scratch.end(), 0);
        if (PollUntilReady(link, device, request[0], scratch.data(), length, kAnswerPollLimit)) {
          scratch[1] &= 0x3F;
          std::copy_n(scratch.begin(), length, response);
          TraceBytes(link, '<', response, length);
          if (delayMs > 4) {
            link.GetClock().SleepMs(3);
          } else if (delayMs >= 1) {
            link.GetClock().SleepMs(1);
          }
          result = true;
        }
      }
    }
  }
  device.CancelIo();
  return result;
}

bool DeviceTransact(DeviceLink& link, const std::string& devicePath, uint8_t* request, uint8_t* response,
                    int delayMs) {
  constexpr int kBufferSize = 65;
  std::unique_ptr<HidDevice> device = link.Host().Open(devicePath);
  if (!device) return false;
  HidCaps caps;
  if (device->GetCaps(caps)) {
    const int length = caps.featureReportByteLength;
    if (length == 0) return false;
    if (length <= kBufferSize) {
      ExchangeFeatureReport(link, *device, request, response, length, delayMs);
    } else {
      // Callers hand over 65-byte buffers; a longer report is exchanged
      // through buffers of its own size and cut back to 65 bytes.
      std::vector<uint8_t> longRequest(static_cast<size_t>(length), 0);
      std::vector<uint8_t> longResponse(static_cast<size_t>(length), 0);
      std::copy_n(request, kBufferSize, longRequest.begin());
      std::copy_n(response, kBufferSize, longResponse.begin());
      ExchangeFeatureReport(link, *device, longRequest.data(), longResponse.data(), length, delayMs);
      std::copy_n(longRequest.begin(), kBufferSize, request);
      std::copy_n(longResponse.begin(), kBufferSize, response);
    }
  }
  device->CancelIo();
  return true;
}

}  // namespace quorix
