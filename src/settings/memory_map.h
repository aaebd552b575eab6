#pragma once
// Where everything lies in the mouse's settings memory, for each of the three
// request layouts (protocol level 0, levels 1..10, level 11 and above).

#include <cstdint>

namespace quorix {

inline constexpr uint8_t kSignatureByte = 0x12;
// Byte 0 of a level-11 mouse whose settings memory has been erased.
inline constexpr uint8_t kErasedByte = 0xFF;
inline constexpr int kProfileCount = 5;
inline constexpr int kMaxButtons = 32;
inline constexpr int kPhysicalButtonCount = 24;
inline constexpr int kDpiPairCount = 5;
inline constexpr int kProfileRecordSize = 21;
inline constexpr int kMacroSlotCount = 80;
inline constexpr int kLightingBlockSize = 64;
// Memory end assumed when the mouse tells nothing better (8 KiB).
inline constexpr int kDefaultMemoryEnd = 8191;
// Size of the image a reset builds before writing its front part.
inline constexpr int kResetImageSize = 8192;

// Layout constants of one protocol level. Offsets are settings-memory
// addresses; several areas overlap on purpose (profile records over the last
// macro modes, the level-3..10 lighting block over the macro area start), so
// nothing here assumes the areas are disjoint.
struct MemoryMap {
  int protocolLevel = 0;
  bool level0 = true;           // nine-byte layout
  int profileBlockOffset = 16;  // block of profile p at offset + stride * p
  int profileBlockStride = 96;
  int buttonsPerProfile = 16;
  int nameOffset = 14;          // inside the profile block
  int nameUnits = 9;            // UTF-16 code units
  int dpiPairOffset = 4;        // x of pair i at offset + 2i, y at offset + 2i + 1
  int levelFlagsAddress = 3;
  int levelFlagCount = 4;
  int settingsByteAddress = 15;
  int storedProfileAddress = 14;
  int storedLevelAddress = 2;
  int lightingModeAddress = -1;  // -1: not in this layout
  int liftValueAddress = -1;
  int lightingBlockAddress = -1;
  int lightingBlockLength = 0;
  int macroTableOffset = 512;    // 80 entries of 4 bytes
  int macroModeOffset = 832;     // 80 bytes
  int profileRecordOffset = 912;
  int macroAreaStart = 1024;
  int bytesReadAtLoad = 1024;
  int loadRequestSize = 32;
  int mainWindowConstant = 12;
  int buttonMapTable = 0;

  int ProfileBlockAddress(int profile) const { return profileBlockOffset + profileBlockStride * profile; }
  // Byte k (0..3) of the record of button b of profile p: four planes of N bytes.
  int ButtonByteAddress(int profile, int button, int k) const {
    return ProfileBlockAddress(profile) + 32 + k * buttonsPerProfile + button;
  }
};

// The map of a protocol level; tableSelect picks the level-11 button-map table
// and main-window constant.
MemoryMap MemoryMapForLevel(int protocolLevel, int tableSelect = 0);

}  // namespace quorix
