#pragma once
// The mouse's lighting: one light effect for the whole mouse (settings byte
// 0x11) and a table of zone records that the effect "Customize" shows.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "device/memory_addresses.h"
#include "device/outcome.h"
#include "device/protocol_family.h"
#include "settings/memory_map.h"

namespace quorix {

// One light effect code, as stored at kLightEffectAddress.
enum class LightEffect : uint8_t {
  kCustomize = 0,
  kWave = 1,
  kWaveInvert = 2,
  kRandom1 = 3,
  kRandom2 = 4,
};
inline constexpr int kLightEffectCount = 5;
inline constexpr int kLightEffectAddress = kLightingModeAddress;

// The effect's label in the program's English texts ("Customize" ...); ""
// for an unknown code.
const char* LightEffectName(int code);

// The code as an effect, or nothing for a code the mouse does not know (only
// 0..4 are ever written).
std::optional<LightEffect> LightEffectFromCode(int code);

// ---- zone records ----------------------------------------------------------
// Bit 7 of a record's flags: the zone shows its own colour (bytes 1..3);
// clear: it shows the active profile's colour.
inline constexpr uint8_t kZoneOwnColour = 0x80;
// Bit 6: the zone is lit steadily ("Always ON"); clear: it breathes.
inline constexpr uint8_t kZoneSteady = 0x40;

struct LedZoneRecord {
  uint8_t flags = 0;  // bits 0..5 are the firmware's and pass through unchanged
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  bool OwnColour() const { return (flags & kZoneOwnColour) != 0; }
  bool Steady() const { return (flags & kZoneSteady) != 0; }
  void SetOwnColour(bool on) { flags = on ? (flags | kZoneOwnColour) : (flags & ~kZoneOwnColour); }
  void SetSteady(bool on) { flags = on ? (flags | kZoneSteady) : (flags & ~kZoneSteady); }
  std::array<uint8_t, 4> Bytes() const { return {flags, red, green, blue}; }
  static LedZoneRecord FromBytes(const uint8_t* bytes) { return {bytes[0], bytes[1], bytes[2], bytes[3]}; }
  bool operator==(const LedZoneRecord&) const = default;
};

// ---- zone table ------------------------------------------------------------
inline constexpr int kZoneCount = 16;  // zones 0..15 of the direct layout (kLightingBlockSize / 4)
inline constexpr int kZoneTableAddress = kDirectLightingBlockAddress;  // every write goes here

// Where a device of this protocol level keeps its zone table for reading (the
// family's lighting block; the grouped one is read only).
struct ZoneTableLayout {
  int address = 0;   // 0 when nothing is read
  int zoneCount = 0;
  int ByteCount() const { return zoneCount * 4; }
};
ZoneTableLayout ZoneTableLayoutForLevel(int protocolLevel);
// Address of zone's record for writing (always the direct layout).
inline constexpr int ZoneRecordAddress(int zone) { return kZoneTableAddress + 4 * zone; }

using LightingBlock = std::array<uint8_t, kLightingBlockSize>;

// The lighting part of a settings image: the effect byte and the raw block as
// read (64 bytes at level 11, the first 52 meaningful at levels 3..10).
struct LightingConfig {
  int effect = 0;
  std::vector<LedZoneRecord> zones;  // as many as the level's layout holds
  Outcome outcome;                   // set by ReadLighting: no zones unless done
};
// Decodes the settings image's raw lighting block and effect byte. An effect
// code outside 0..4 (or any effect of a family without lighting) reads as 0
// ("Customize").
LightingConfig DecodeLighting(const LightingBlock& block, int effectByte, int protocolLevel);
// The raw block for a config: zone records in order, missing zones zero.
// Records beyond 16 are ignored.
LightingBlock EncodeLightingBlock(const std::vector<LedZoneRecord>& zones);

// ---- zone selection ("Set all lights") -------------------------------------
// Which zones the whole-mouse colour applies to, in zone order.
std::vector<int> SelectedZones(int buttonLayout, int protocolLevel);

// ---- profile colour --------------------------------------------------------
// A profile's colour as the settings image decodes it: 2-bit components at
// protocol level 0, 8-bit components above.
struct ProfileColour {
  int red = 0;
  int green = 0;
  int blue = 0;
};
// One component scaled for display (0..255). 2-bit components become
// c * 255 / 3; 8-bit components are shown as they are.
int DisplayComponent(int component, int protocolLevel);

}  // namespace quorix
