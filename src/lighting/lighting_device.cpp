#include "lighting/lighting_device.h"

#include <algorithm>

#include "device/commands.h"
#include "device/discovery.h"

namespace quorix {
namespace {

// The checks a zone operation starts with; kNone when it may go ahead. A
// zone number past the table would write into whatever follows it.
Failure CheckZones(const DeviceLink& link, const std::string& path, const std::vector<int>& zones) {
  if (path.empty()) return Failure::kNoDevice;
  if (!std::all_of(zones.begin(), zones.end(), [](int zone) { return zone >= 0 && zone < kZoneCount; })) {
    return Failure::kInvalidArgument;
  }
  return FamilyOf(link, path).lighting ? Failure::kNone : Failure::kNotSupported;
}

void SendPreviews(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                  const LedZoneRecord& colour) {
  for (int zone : zones) {
    PreviewLighting(link, path, static_cast<uint8_t>(zone), colour.flags, colour.red, colour.green, colour.blue);
  }
}

}  // namespace

Outcome ChooseLightEffect(DeviceLink& link, const std::string& path, int code, std::atomic<int>& currentEffect) {
  if (path.empty()) return Failure::kNoDevice;
  if (!LightEffectFromCode(code)) return Failure::kInvalidArgument;
  if (!FamilyOf(link, path).lighting) return Failure::kNotSupported;
  DeviceOperation operation(link);
  if (!SetLightingMode(link, path, code)) return Failure::kNotSupported;
  if (operation.Failed()) return operation.Result();
  currentEffect = code;
  return {};
}

LightingConfig ReadLighting(DeviceLink& link, const std::string& path) {
  if (path.empty()) {
    LightingConfig none;
    none.outcome = Failure::kNoDevice;
    return none;
  }
  DeviceOperation operation(link);
  const int level = ProtocolLevel(link, path);
  const int effect = ReadLightingMode(link, path);
  LightingBlock block{};
  ReadLightingBlock(link, path, block.data());
  if (operation.Failed()) {
    LightingConfig failed;
    failed.outcome = operation.Result();
    return failed;
  }
  return DecodeLighting(block, effect, level);
}

Outcome PreviewZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                     const LedZoneRecord& colour) {
  if (Failure f = CheckZones(link, path, zones); f != Failure::kNone) return f;
  DeviceOperation operation(link);
  SendPreviews(link, path, zones, colour);
  return operation.Result();
}

Outcome WriteZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                   const LedZoneRecord& colour) {
  if (Failure f = CheckZones(link, path, zones); f != Failure::kNone) return f;
  DeviceOperation operation(link);
  const auto bytes = colour.Bytes();
  for (int zone : zones) WriteLightingEntry(link, path, zone, bytes.data());
  return operation.Result();
}

Outcome RestoreZonePreviews(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                            const std::vector<LedZoneRecord>& stored) {
  if (Failure f = CheckZones(link, path, zones); f != Failure::kNone) return f;
  DeviceOperation operation(link);
  for (int zone : zones) {
    const LedZoneRecord record = static_cast<size_t>(zone) < stored.size() ? stored[zone] : LedZoneRecord{};
    SendPreviews(link, path, {zone}, record);
  }
  return operation.Result();
}

std::vector<int> PickerZones(const DeviceLink& link, const std::string& path, int zone) {
  if (zone >= 0) return {zone};
  return SelectedZones(ButtonLayout(link, path), ProtocolLevel(link, path));
}

PreviewInputs ReadPreviewInputs(DeviceLink& link, const std::string& path, int effect,
                                const ProfileColour& profileColour) {
  PreviewInputs inputs;
  inputs.profileColour = profileColour;
  if (path.empty()) {
    inputs.outcome = Failure::kNoDevice;
    return inputs;
  }
  inputs.buttonLayout = ButtonLayout(link, path);
  inputs.protocolLevel = ProtocolLevel(link, path);
  if (effect != 0) return inputs;
  DeviceOperation operation(link);
  ReadLightingBlock(link, path, inputs.block.data());
  inputs.outcome = operation.Result();
  if (!inputs.outcome) inputs.block.fill(0);
  return inputs;
}

}  // namespace quorix
