#pragma once
// The settings image: the decoded model of the mouse's settings memory. One
// image stands for one load of one device; it is built whole and then
// published (settings_store.h), never edited while someone reads it.
//
// Button display texts are not kept here: they are made from the records by
// the keys module when shown.

#include <array>
#include <cstdint>
#include <string>

#include "settings/macro_slot.h"
#include "settings/memory_map.h"

namespace quorix {

// The four bytes of one button function: type and three parameters.
struct ButtonRecord {
  uint8_t type = 0;
  uint8_t p1 = 0;
  uint8_t p2 = 0;
  uint8_t p3 = 0;
  bool operator==(const ButtonRecord&) const = default;
};

struct DpiPair {
  uint8_t x = 0;
  uint8_t y = 0;
  bool operator==(const DpiPair&) const = default;
};

struct ProfileSettings {
  bool flag = false;  // set: the user has switched the profile off
  // Red, green, blue as stored: 8-bit values, or 2-bit values at level 0.
  std::array<uint8_t, 3> colour{};
  std::string name;  // UTF-8
  // The stored records; a stored type 0 is replaced by the button's default.
  std::array<ButtonRecord, kMaxButtons> buttons{};
};

// Whether a mouse of this level and firmware variant has a report rate and
// per-level switches to show and change.
inline bool ReportRateAvailableFor(int protocolLevel, int variantA) {
  return FamilyForLevel(protocolLevel).reportRateAlways || variantA > 33;
}

// The levels the DPI button cycles through, bit i for level i, for a mouse
// with `levelCount` levels whose live enable mask is `levelMask`.
//
// The truth is the live mask, not the stored level flags byte: `SetDpiLevel`
// is what the level switches send, the mouse reports the mask back in its
// status answer at every load, and nothing the program sends ever changes
// the flags byte, so the flags cannot say what a switch did. An empty mask
// (a new or reset mouse) cycles every level.
int CycledLevels(int levelMask, int levelCount);

struct SettingsImage {
  MemoryMap map;  // layout constants of the device's protocol level
  int protocolLevel = 0;
  std::string devicePath;  // the device the image was read from ("" when none)

  // Device information recorded by the load.
  int modelCode = 0;
  int featureLimit = 0;
  int variantA = 0;
  int tableSelect = 0;

  int activeProfile = 0;
  int activeLevel = 0;  // bits 0..2 of the sensitivity selection
  int levelMask = 0;    // the bits above
  int profileCount = 0;
  int levelCount = 0;

  std::array<DpiPair, kDpiPairCount> dpiPairs{};
  std::array<bool, 5> levelFlags{};  // levelFlagCount of them are used
  int levelFlagCount = 0;
  int reportRateCode = 0;
  bool angleSnapping = false;
  int displayValue = 0;  // bits 1..3 of the settings byte
  int liftValue = 0;

  int lightingMode = 0;
  std::array<uint8_t, kLightingBlockSize> lightingBlock{};  // raw, decoded by the lighting module

  std::array<ProfileSettings, kProfileCount> profiles{};
  std::array<std::array<ButtonRecord, kMaxButtons>, kProfileCount> defaultButtons{};
  // Default records of the physical buttons 0..23 (0..15 at level 0, the rest cleared).
  std::array<ButtonRecord, kPhysicalButtonCount> physicalButtons{};
  std::array<std::array<uint8_t, kProfileRecordSize>, kProfileCount> profileRecords{};
  std::array<MacroSlot, kMacroSlotCount> macroSlots{};

  int memoryEnd = kDefaultMemoryEnd;
  int primaryClickHolder = -1;

  int ButtonsPerProfile() const { return map.buttonsPerProfile; }
  // Sensitivity step: the value shown is a code times this.
  int DpiStep() const { return modelCode == 18 ? 100 : 50; }
  int ReportRateHz() const { return 1000 / (reportRateCode + 1); }
  // At level 0 the report rate (and the per-level switches) exist only on
  // later firmware.
  bool ReportRateAvailable() const { return ReportRateAvailableFor(protocolLevel, variantA); }
  // The levels the mouse counts (its layout's when the count is not known),
  // and those its DPI button cycles through (CycledLevels above).
  int LevelsCounted() const { return levelCount > 0 ? levelCount : map.levelFlagCount; }
  int LevelsCycled() const { return CycledLevels(levelMask, LevelsCounted()); }
};

// The one button of the active profile that carries the left click, or -1:
// among buttons 0..15, a left-click record qualifies, and button 0 also with
// type 0; exactly one must qualify.
int ComputePrimaryClickHolder(const SettingsImage& image);
// The same for any profile: the button that carries its left click, or -1.
int PrimaryClickHolderOf(const SettingsImage& image, int profile);

}  // namespace quorix
