#include "device/vendor_report.h"

#include <algorithm>

#include "device/commands.h"

namespace quorix {
namespace {

VendorReport Ignored(IgnoredBecause why) {
  VendorReport report;
  report.ignoredBecause = why;
  return report;
}

}  // namespace

VendorReport ParseVendorReport(const uint8_t* bytes, size_t size, bool fromProductPath) {
  if (bytes == nullptr || size < kMinVendorReportLength) return Ignored(IgnoredBecause::kTooShort);

  // The wheel report is taken as it comes: it is checked neither for its
  // origin nor for its sum.
  if ((bytes[0] == 0x0B || bytes[0] == 0x01) && bytes[1] == 0x0B) {
    VendorReport report;
    report.kind = VendorReportKind::kHorizontalWheel;
    report.wheelSteps = static_cast<int8_t>(bytes[9]);
    report.wheelButton = (bytes[2] & 1) != 0;
    return report;
  }

  uint8_t sum = 0;
  for (size_t i = 1; i < size; ++i) sum ^= bytes[i];
  if (sum != 0) return Ignored(IgnoredBecause::kBadChecksum);

  if (bytes[1] == 0x0D) {
    if (!fromProductPath) return Ignored(IgnoredBecause::kNotOurProduct);
    VendorReport report;
    report.kind = VendorReportKind::kOpenRequest;
    report.openValue = bytes[2];
    return report;
  }

  // Every listed mouse but the current one was given marker 0, so a report
  // without ours comes from a mouse the program is not working with.
  if (bytes[size - 2] != kHostMarker) return Ignored(IgnoredBecause::kNoHostMarker);
  if (!fromProductPath) return Ignored(IgnoredBecause::kNotOurProduct);

  VendorReport report;
  report.raw.assign(bytes, bytes + size);
  if (bytes[1] != 0x0C) {
    report.kind = VendorReportKind::kDisplayOnly;
    return report;
  }
  report.kind = VendorReportKind::kState;
  report.level = std::min(bytes[2] & 7, kHighestReportedLevel);
  report.x = bytes[3];
  report.y = bytes[4];
  report.profile = bytes[5] & 7;
  report.flags = bytes[6];
  return report;
}

}  // namespace quorix
