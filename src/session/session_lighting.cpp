#include <utility>

#include "device/discovery.h"
#include "lighting/lighting_device.h"
#include "session/session.h"

namespace quorix {

Job<LightingConfig> Session::ReadLighting() {
  return OnCurrentDevice<LightingConfig>("read lighting", [](JobContext&, DeviceLink& link, const std::string& path) {
    return quorix::ReadLighting(link, path);
  });
}

Job<void> Session::ChooseLightEffect(int code) {
  return OnDevice("light effect", [this, code](JobContext&, DeviceLink& link, const std::string& path) {
    return quorix::ChooseLightEffect(link, path, code, currentEffect_);
  });
}

Job<void> Session::WriteZones(std::vector<int> zones, LedZoneRecord record) {
  return OnDevice("store zones",
                  [zones = std::move(zones), record](JobContext&, DeviceLink& link, const std::string& path) {
                    return quorix::WriteZones(link, path, zones, record);
                  });
}

Job<void> Session::PreviewZones(std::vector<int> zones, LedZoneRecord record) {
  return OnDevice("preview zones",
                  [zones = std::move(zones), record](JobContext&, DeviceLink& link, const std::string& path) {
                    return quorix::PreviewZones(link, path, zones, record);
                  });
}

Job<LiftValueResult> Session::ReadStoredLift() {
  return OnCurrentDevice<LiftValueResult>("read lift", [](JobContext&, DeviceLink& link, const std::string& path) {
    return quorix::ReadStoredLift(link, path);
  });
}

Job<void> Session::StoreLift(int value) {
  return OnDevice("store lift", [value](JobContext&, DeviceLink& link, const std::string& path) {
    return quorix::StoreLift(link, path, value);
  });
}

Job<LiftValueResult> Session::TestLift(int entered) {
  return OnCurrentDevice<LiftValueResult>(
      "test lift",
      [entered](JobContext&, DeviceLink& link, const std::string& path) { return RunLiftTest(link, path, entered); });
}

Job<void> Session::StoreTestedLift(int entered) {
  return OnDevice("lift store", [entered](JobContext&, DeviceLink& link, const std::string& path) {
    return quorix::StoreLift(link, path, LiftTestValue(entered, ModelCode(link, path)));
  });
}

}  // namespace quorix
