#pragma once
// Building one request for DeviceTransact: a zeroed 65-byte report with the
// command bytes from byte 1 on, and the answer it brought back.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "device/device_link.h"

namespace quorix {

using Report = std::array<uint8_t, 65>;

// A zeroed report with bytes placed from byte 1 on.
Report MakeRequest(std::initializer_list<uint8_t> bytes);
// Sends request with delayMs and returns the (masked) answer; all zeros when
// the device did not answer.
Report Transact(DeviceLink& link, const std::string& path, Report request, int delayMs);
Report Transact(DeviceLink& link, const std::string& path, std::initializer_list<uint8_t> bytes, int delayMs);
// Sends without reading an answer.
void SendOnly(DeviceLink& link, const std::string& path, std::initializer_list<uint8_t> bytes);
// The level-0 check byte: byte 8 = XOR of bytes 1..7.
void SetLevel0Check(Report& request);

// Address bytes: bits 0..7, 8..15 and 16..23.
inline uint8_t Lo(int value) { return static_cast<uint8_t>(value & 0xFF); }
inline uint8_t Hi(int value) { return static_cast<uint8_t>((value >> 8) & 0xFF); }
inline uint8_t Top(int value) { return static_cast<uint8_t>((value >> 16) & 0xFF); }

// The status request of the direct and grouped layouts (delay 10) and the
// status flag it carries in answer byte 10.
Report ReadStatusReport(DeviceLink& link, const std::string& path);
bool StatusFlagSet(const Report& status);

void SyncHandshake(DeviceLink& link, const std::string& path);

// Runs `send` bracketed by handshakes when the status flag is clear: the
// firmware wants that around guarded commands and the lighting block read.
template <typename Send>
void Guarded(DeviceLink& link, const std::string& path, Send send) {
  const bool needSync = !StatusFlagSet(ReadStatusReport(link, path));
  if (needSync) SyncHandshake(link, path);
  send();
  if (needSync) SyncHandshake(link, path);
}

}  // namespace quorix
