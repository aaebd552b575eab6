#pragma once
// What a mouse's protocol level decides: the request layout, where things lie
// in its settings memory and which features it has. The level read at
// identification is the only input; FamilyForLevel is the one place that
// compares it, and every layer (the commands, the memory map, lighting, the
// session's capabilities and the simulated mouse) asks the family instead.
// Header only and constexpr, so the simulated mouse uses it without linking
// the device layer and tests can check it at compile time.

#include <array>

#include "device/memory_addresses.h"

namespace quorix {

// The three request layouts: level 0, grouped (levels 1..10) and direct
// (level 11 and above).
enum class Layout { kLevel0, kGrouped, kDirect };

struct ProtocolFamily {
  int level = 0;
  Layout layout = Layout::kLevel0;

  // ---- the settings memory -------------------------------------------------
  // Several areas overlap on purpose (profile records over the last macro
  // modes, the grouped lighting block over the macro area start), so nothing
  // here assumes the areas are disjoint.
  int profileBlockOffset = 16;  // block of profile p at offset + stride * p
  int profileBlockStride = 96;
  int buttonsPerProfile = 16;  // button records a profile keeps: the length of each of its four planes
  int physicalButtons = 16;    // of those, the buttons the mouse has; the rest are kept but not shown
  int nameOffset = 14;         // inside the profile block
  int nameUnits = 9;           // UTF-16 code units
  int dpiPairOffset = 4;       // x of pair i at offset + 2i, y at offset + 2i + 1
  int levelFlagsAddress = 3;
  int levelFlagCount = 4;
  int settingsByteAddress = 15;
  int storedProfileAddress = 14;
  int storedLevelAddress = 2;
  int liftValueAddress = -1;      // -1: not in this layout
  int lightingModeAddress = -1;   // the light effect byte
  int lightingBlockAddress = -1;  // the zone table as read
  int lightingBlockLength = 0;
  int macroTableOffset = 512;  // 80 entries of 4 bytes
  int macroModeOffset = 832;   // 80 bytes
  int profileRecordOffset = 912;
  int macroAreaStart = 1024;
  int bytesReadAtLoad = 1024;
  int loadRequestSize = 32;
  int readPiece = 7;  // bytes one memory read request answers

  // ---- features --------------------------------------------------------------
  bool lighting = false;                    // light effects, zone writes and live previews
  bool liftCommands = false;                // measuring, testing and storing a lift value
  bool reportRateAlways = false;            // level 0 has the report rate only on later firmware
  bool loadHandshake = false;               // a load starts with the handshake
  bool buttonRecordsByRequest = false;      // identification asks for each default record, not the memory
  bool optionFlagInIdentification = false;  // byte 21 of the identification string is the option flag
  int optionFlag = 0;                       // the option flag when identification does not carry it
  int colourComponentMax = 3;               // profile colours: 2-bit components at level 0, 8-bit above
  // Button slots whose functions the button dialog treats as special.
  std::array<int, 2> specialButtonSlots = {14, 15};

  constexpr int ProfileBlockAddress(int profile) const { return profileBlockOffset + profileBlockStride * profile; }
  // Byte k (0..3) of the record of button b of profile p: four planes of N bytes.
  constexpr int ButtonByteAddress(int profile, int button, int k) const {
    return ProfileBlockAddress(profile) + 32 + k * buttonsPerProfile + button;
  }
  constexpr bool Level0() const { return layout == Layout::kLevel0; }
  constexpr int LightingZoneCount() const { return lightingBlockLength / 4; }
};

constexpr ProtocolFamily FamilyForLevel(int level) {
  ProtocolFamily f;  // level 0 (and below) is the default
  f.level = level;
  if (level <= 0) return f;

  f.layout = Layout::kGrouped;
  f.physicalButtons = 24;
  f.nameOffset = 6;
  f.nameUnits = 13;
  f.dpiPairOffset = 3;
  f.levelFlagsAddress = 15;
  f.levelFlagCount = 5;
  f.settingsByteAddress = 14;
  f.storedProfileAddress = 1;
  f.liftValueAddress = kLiftValueAddress;
  f.profileBlockOffset = 32;
  f.bytesReadAtLoad = 2048;
  f.loadRequestSize = 60;
  f.readPiece = 61;
  f.reportRateAlways = true;
  f.colourComponentMax = 255;
  f.specialButtonSlots = {22, 23};
  if (level <= 10) {
    f.profileBlockStride = 128;
    f.buttonsPerProfile = 24;
    f.macroTableOffset = 672;
    f.macroModeOffset = 992;
    f.profileRecordOffset = 1008;
    f.macroAreaStart = kGroupedMacroAreaStart;
    f.loadHandshake = true;
    if (level >= 3) {
      f.lightingBlockAddress = kGroupedLightingBlockAddress;
      f.lightingBlockLength = 52;
      f.optionFlagInIdentification = true;
    }
    return f;
  }
  f.layout = Layout::kDirect;
  f.profileBlockStride = 160;
  f.buttonsPerProfile = 32;
  f.macroTableOffset = 832;
  f.macroModeOffset = 1152;
  f.profileRecordOffset = 1168;
  f.macroAreaStart = 1360;
  f.lightingModeAddress = kLightingModeAddress;
  f.lightingBlockAddress = kDirectLightingBlockAddress;
  f.lightingBlockLength = 64;
  f.lighting = true;
  f.liftCommands = true;
  f.buttonRecordsByRequest = true;
  f.optionFlag = 1;
  return f;
}

}  // namespace quorix
