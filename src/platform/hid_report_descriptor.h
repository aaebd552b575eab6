#pragma once
// A HID report descriptor reduced to what the device link asks of an
// interface: the usage of each top-level collection and the byte length of its
// longest input, output and feature report.
//
// Lengths follow the convention of the HID class driver the device link was
// designed against: the longest report of each kind in bytes, plus one byte for
// the report ID, which is counted even when the descriptor declares no report
// IDs (the implicit report ID 0). A kind without any report has length 0.
//
// The parser reads bytes that come from a device, so it accepts any input:
// malformed descriptors yield false and a message, never a crash.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/hid_host.h"

namespace quorix {

struct HidTopLevelCollection {
  HidCaps caps;  // usage page, usage and report lengths of this collection
  // The report IDs of the input reports this collection carries (0 when the
  // descriptor uses no report IDs), in order of first appearance.
  std::vector<uint8_t> inputReportIds;
};

struct HidReportDescriptorInfo {
  std::vector<HidTopLevelCollection> collections;  // in descriptor order
  bool usesReportIds = false;
  // The first top-level collection's capabilities; all zero when there is none.
  HidCaps caps;
};

// Limits that keep a hostile descriptor from exhausting memory or overflowing
// the 16-bit lengths.
inline constexpr int kHidMaxGlobalStackDepth = 16;
inline constexpr int kHidMaxCollectionDepth = 64;
inline constexpr uint32_t kHidMaxReportSizeBits = 256;
inline constexpr uint32_t kHidMaxReportCount = 12288;
inline constexpr uint32_t kHidMaxReportBytes = 16384;

// Parses size bytes at data. kInvalidFormat (with a one-line reason as the
// detail) for a truncated item, an unbalanced collection or push/pop, report
// ID 0, or a report beyond the limits above.
Result<HidReportDescriptorInfo> ParseHidReportDescriptor(const uint8_t* data, size_t size);

}  // namespace quorix
