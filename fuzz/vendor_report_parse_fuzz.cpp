// Any bytes from the mouse's vendor interface decode to one kind or are
// ignored with a reason, without reading past the end; what a state report
// yields stays within the ranges the windows draw.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "device/vendor_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorix;
  for (bool fromProduct : {true, false}) {
    const VendorReport r = ParseVendorReport(data, size, fromProduct);
    const bool ignored = r.kind == VendorReportKind::kIgnored;
    if (ignored != (r.ignoredBecause != IgnoredBecause::kNotIgnored)) std::abort();
    if (!ignored && size < kMinVendorReportLength) std::abort();
    switch (r.kind) {
      case VendorReportKind::kHorizontalWheel:
        if (r.wheelSteps != static_cast<int8_t>(data[9])) std::abort();
        break;
      case VendorReportKind::kState:
        if (r.level < 0 || r.level > kHighestReportedLevel || r.profile < 0 || r.profile > 7) std::abort();
        [[fallthrough]];
      case VendorReportKind::kDisplayOnly:
      case VendorReportKind::kOpenRequest:
        // Only a checked report from one of our products gets this far.
        if (!fromProduct || r.raw.size() != (r.kind == VendorReportKind::kOpenRequest ? 0 : size)) std::abort();
        break;
      case VendorReportKind::kIgnored:
        break;
    }
  }
  return 0;
}
