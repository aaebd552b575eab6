#include "session/capabilities.h"

#include <algorithm>

#include "device/discovery.h"
#include "keys/button_function.h"
#include "settings/memory_map.h"
#include "settings/settings_image.h"

namespace quorix {

DeviceCapabilities Capabilities(const DeviceInfo& info) {
  const int level = info.protocolLevel;
  const MemoryMap map = MemoryMapForLevel(level, info.tableSelect);
  DeviceCapabilities caps;
  caps.lighting = map.lighting;
  caps.liftAdjustment = map.liftCommands;
  // Level-0 firmware up to variant 33 has neither the rate nor the switches.
  caps.reportRate = ReportRateAvailableFor(level, info.variantA);
  caps.levelSwitches = caps.reportRate;
  caps.dpiStep = DpiStepForModel(info.modelCode);
  caps.buttonCount = map.buttonsPerProfile;
  caps.levelCount = map.levelFlagCount;
  caps.hiddenButtonRows = std::max(0, map.buttonsPerProfile - map.physicalButtons);
  return caps;
}

DeviceCapabilities CapabilitiesAt(const DeviceLink& link, const std::string& path) {
  DeviceInfo info;
  if (!GetDeviceInfo(link, path, info)) info = DeviceInfo{};
  return Capabilities(info);
}

WriteRefusal LevelWriteRefusal(const DeviceCapabilities& caps, int level, bool switching) {
  if (level < 0 || level >= caps.levelCount) return WriteRefusal::kLevelOutOfRange;
  if (switching && !caps.levelSwitches) return WriteRefusal::kNoLevelSwitches;
  return WriteRefusal::kAllowed;
}

WriteRefusal ReportRateWriteRefusal(const DeviceCapabilities& caps) {
  return caps.reportRate ? WriteRefusal::kAllowed : WriteRefusal::kNoReportRate;
}

WriteRefusal ButtonWriteRefusal(const DeviceCapabilities& caps, int button, int primaryClickHolder) {
  if (button < 0 || button >= caps.ShownButtonRows()) return WriteRefusal::kButtonOutOfRange;
  if (button == primaryClickHolder) return WriteRefusal::kPrimaryClickHolder;
  return WriteRefusal::kAllowed;
}

int ReportRateHzForCode(int code) { return 1000 / (std::clamp(code, 0, kReportRateCodeCount - 1) + 1); }

int ReportRateCodeForHz(int hz) {
  for (int code = 0; code < kReportRateCodeCount; ++code)
    if (ReportRateHzForCode(code) == hz) return code;
  return -1;
}

std::string OfferedReportRatesText() {
  std::string text;
  for (int code = 0; code < kReportRateCodeCount; ++code) {
    if (code > 0) text += code + 1 == kReportRateCodeCount ? " or " : ", ";
    text += std::to_string(ReportRateHzForCode(code));
  }
  return text;
}

}  // namespace quorix
