#include "lighting/lighting_device.h"

#include "device/commands.h"
#include "device/discovery.h"

namespace quorix {

bool ChooseLightEffect(DeviceLink& link, const std::string& path, int code, std::atomic<int>& currentEffect) {
  if (!LightEffectFromCode(code) || !HasLighting(ProtocolLevel(link, path))) return false;
  if (!SetLightingMode(link, path, code)) return false;
  currentEffect = code;
  return true;
}

LightingConfig ReadLighting(DeviceLink& link, const std::string& path) {
  const int level = ProtocolLevel(link, path);
  const int effect = ReadLightingMode(link, path);
  LightingBlock block{};
  ReadLightingBlock(link, path, block.data());
  return DecodeLighting(block, effect, level);
}

void PreviewZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                  const LedZoneRecord& colour) {
  for (int zone : zones) {
    PreviewLighting(link, path, static_cast<uint8_t>(zone), colour.flags, colour.red, colour.green, colour.blue);
  }
}

void WriteZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                const LedZoneRecord& colour) {
  const auto bytes = colour.Bytes();
  for (int zone : zones) WriteLightingEntry(link, path, zone, bytes.data());
}

void RestoreZonePreviews(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                         const std::vector<LedZoneRecord>& stored) {
  for (int zone : zones) {
    const LedZoneRecord record =
        zone >= 0 && static_cast<size_t>(zone) < stored.size() ? stored[zone] : LedZoneRecord{};
    PreviewZones(link, path, {zone}, record);
  }
}

std::vector<int> PickerZones(const DeviceLink& link, const std::string& path, int zone) {
  if (zone >= 0) return {zone};
  return SelectedZones(ButtonLayout(link, path), ProtocolLevel(link, path));
}

PreviewInputs ReadPreviewInputs(DeviceLink& link, const std::string& path, int effect,
                                const ProfileColour& profileColour) {
  PreviewInputs inputs;
  inputs.profileColour = profileColour;
  inputs.buttonLayout = ButtonLayout(link, path);
  inputs.protocolLevel = ProtocolLevel(link, path);
  if (effect == 0) ReadLightingBlock(link, path, inputs.block.data());
  return inputs;
}

}  // namespace quorix
