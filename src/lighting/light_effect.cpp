#include "lighting/light_effect.h"

#include <algorithm>

namespace quorix {

const char* LightEffectName(int code) {
  static constexpr const char* kNames[kLightEffectCount] = {"Customize", "Wave", "Wave (Invert)", "Random 1",
                                                            "Random 2"};
  return LightEffectFromCode(code) ? kNames[code] : "";
}

std::optional<LightEffect> LightEffectFromCode(int code) {
  if (code < 0 || code >= kLightEffectCount) return std::nullopt;
  return static_cast<LightEffect>(code);
}

ZoneTableLayout ZoneTableLayoutForLevel(int protocolLevel) {
  const ProtocolFamily family = FamilyForLevel(protocolLevel);
  if (family.lightingBlockLength == 0) return {};
  return {family.lightingBlockAddress, family.LightingZoneCount()};
}

LightingConfig DecodeLighting(const LightingBlock& block, int effectByte, int protocolLevel) {
  LightingConfig config;
  if (FamilyForLevel(protocolLevel).lighting && LightEffectFromCode(effectByte)) config.effect = effectByte;
  const int count = ZoneTableLayoutForLevel(protocolLevel).zoneCount;
  config.zones.reserve(count);
  for (int zone = 0; zone < count; ++zone) config.zones.push_back(LedZoneRecord::FromBytes(&block[4 * zone]));
  return config;
}

LightingBlock EncodeLightingBlock(const std::vector<LedZoneRecord>& zones) {
  LightingBlock block{};
  const size_t count = std::min<size_t>(zones.size(), kZoneCount);
  for (size_t zone = 0; zone < count; ++zone) {
    const auto bytes = zones[zone].Bytes();
    std::copy(bytes.begin(), bytes.end(), block.begin() + 4 * zone);
  }
  return block;
}

namespace {
std::vector<int> ZoneRange(int first, int last) {
  std::vector<int> zones;
  for (int zone = first; zone <= last; ++zone) zones.push_back(zone);
  return zones;
}
}  // namespace

std::vector<int> SelectedZones(int buttonLayout, int protocolLevel) {
  if (buttonLayout == 22) return ZoneRange(0, 8);
  if (buttonLayout == 20 || buttonLayout == 19) {
    return FamilyForLevel(protocolLevel).lighting ? ZoneRange(1, 6) : std::vector<int>{};
  }
  if (buttonLayout == 24 || buttonLayout == 23) return ZoneRange(0, 8);
  return {};
}

int DisplayComponent(int component, int protocolLevel) {
  const int max = FamilyForLevel(protocolLevel).colourComponentMax;
  return std::clamp(component, 0, max) * 255 / max;
}

}  // namespace quorix
