#pragma once
// The vendor input reports the mouse sends on its own: a state report when
// the sensitivity level or the profile changes, an open request for the
// "launch setting" button, and horizontal wheel steps. Decoding is pure: the
// caller says whether the report came from one of our products' interfaces
// and acts on the result.
//
// Layout (S = report length, byte 0 the report ID):
//   state report   byte 1 0x0C, level in byte 2 bits 0..2, x and y of that
//                  level in bytes 3 and 4, profile in byte 5 bits 0..2, flags
//                  in byte 6, the host marker 0x5D at S-2; bytes 1..S-1 XOR 0
//   open request   byte 1 0x0D, the request value in byte 2; bytes 1..S-1 XOR 0
//   wheel report   bytes 0, 1 are 0x0B, 0x0B or 0x01, 0x0B; signed steps in
//                  byte 9, the tilt button in bit 0 of byte 2; no check at all

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorix {

// Only reports longer than this carry anything the program reads.
inline constexpr size_t kMinVendorReportLength = 11;
inline constexpr int kHighestReportedLevel = 4;

enum class VendorReportKind : uint8_t {
  kIgnored,
  kHorizontalWheel,
  kOpenRequest,
  // Marked for us and checked, but byte 1 is not 0x0C: only the on-screen
  // display looks at it, no setting follows it.
  kDisplayOnly,
  kState,
};

enum class IgnoredBecause : uint8_t {
  kNotIgnored,
  kTooShort,        // 10 bytes or less
  kBadChecksum,     // bytes 1..S-1 do not XOR to 0
  kNotOurProduct,   // the interface path is not one of our products
  kNoHostMarker,    // byte S-2 is not 0x5D: another mouse, not the current one
};

struct VendorReport {
  VendorReportKind kind = VendorReportKind::kIgnored;
  IgnoredBecause ignoredBecause = IgnoredBecause::kNotIgnored;
  int wheelSteps = 0;         // horizontal wheel: positive to the right
  bool wheelButton = false;   // horizontal wheel: bit 0 of byte 2
  int openValue = 0;          // open request: 1 shows the main window
  int level = 0;              // state: 0..4 (the firmware's 5..7 read as 4)
  int x = 0, y = 0;           // state: the sensitivity pair of that level
  int profile = 0;            // state: 0..7
  uint8_t flags = 0;          // state: byte 6 as sent
  std::vector<uint8_t> raw;   // state and display-only: the whole report, for the on-screen display
};

// Decodes one input report (report ID first). fromProductPath: the reporting
// interface's path passes IsProductPath.
VendorReport ParseVendorReport(const uint8_t* bytes, size_t size, bool fromProductPath);
inline VendorReport ParseVendorReport(const std::vector<uint8_t>& bytes, bool fromProductPath) {
  return ParseVendorReport(bytes.data(), bytes.size(), fromProductPath);
}

}  // namespace quorix
