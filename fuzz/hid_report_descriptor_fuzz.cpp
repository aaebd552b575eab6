// Report descriptors come straight from a device: any bytes must parse to a
// result or a clear error, and a result must keep its own invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/hid_report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quorix::Result<quorix::HidReportDescriptorInfo> parsed = quorix::ParseHidReportDescriptor(data, size);
  // A refusal always says why, and as a format failure.
  if (!parsed) {
    if (parsed.failure() != quorix::Failure::kInvalidFormat || parsed.detail().empty()) std::abort();
    return 0;
  }
  const quorix::HidReportDescriptorInfo& info = *parsed;
  const auto& first = info.collections.empty() ? quorix::HidCaps{} : info.collections.front().caps;
  if (first.usagePage != info.caps.usagePage || first.usage != info.caps.usage ||
      first.featureReportByteLength != info.caps.featureReportByteLength) {
    std::abort();
  }
  for (const auto& collection : info.collections) {
    for (uint16_t length : {collection.caps.inputReportByteLength, collection.caps.outputReportByteLength,
                            collection.caps.featureReportByteLength}) {
      if (length > quorix::kHidMaxReportBytes + 1) std::abort();
    }
    for (uint8_t id : collection.inputReportIds) {
      if (!info.usesReportIds && id != 0) std::abort();
    }
    if (!collection.inputReportIds.empty() && collection.caps.inputReportByteLength == 0) std::abort();
  }
  return 0;
}
