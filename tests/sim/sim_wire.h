#pragma once
// Talks to the simulated mouse the way the program's transport does, without
// the device link: frame, set, read until the busy flag clears.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/hid_host.h"

namespace quorix::sim::wire {

inline std::vector<uint8_t> Frame(std::initializer_list<int> bytes, size_t length = 64) {
  std::vector<uint8_t> r(length, 0);
  size_t i = 1;
  for (int b : bytes) r[i++] = static_cast<uint8_t>(b);
  if (length == 64) {
    r[0] = 1;
    uint8_t x = 0;
    for (size_t k = 1; k <= 62; ++k) x ^= r[k];
    r[63] = x;
  } else if (length == 9 && r[1] != 9) {
    uint8_t x = 0;
    for (size_t k = 1; k <= 7; ++k) x ^= r[k];
    r[8] = x;
  }
  return r;
}

// Sets the request and returns the first answer without the busy flag (all
// zeros when none came within 10 reads).
inline std::vector<uint8_t> Exchange(HidDevice& device, const std::vector<uint8_t>& request) {
  device.SetFeature(request.data(), request.size());
  std::vector<uint8_t> answer(request.size(), 0);
  for (int i = 0; i < 10; ++i) {
    answer[0] = request[0];
    if (device.GetFeature(answer.data(), answer.size()) && (answer[1] & 0x80) == 0) return answer;
  }
  return std::vector<uint8_t>(request.size(), 0);
}

inline std::vector<uint8_t> Exchange(HidDevice& device, std::initializer_list<int> bytes, size_t length = 64) {
  return Exchange(device, Frame(bytes, length));
}

// The level-0 check byte (byte 8 = XOR of bytes 1..7) that reads and commits carry.
inline std::vector<uint8_t> Level0(std::initializer_list<int> bytes) {
  std::vector<uint8_t> r = Frame(bytes);
  uint8_t x = 0;
  for (size_t k = 1; k <= 7; ++k) x ^= r[k];
  r[8] = x;
  uint8_t sum = 0;
  for (size_t k = 1; k <= 62; ++k) sum ^= r[k];
  r[63] = sum;
  return r;
}

}  // namespace quorix::sim::wire
