#pragma once
// Where everything lies in the mouse's settings memory: the protocol family's
// layout constants and the sizes every layout shares.

#include <cstdint>

#include "device/protocol_family.h"

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

// Layout constants of one protocol level: the family's, plus the two that the
// identification's table select picks.
struct MemoryMap : ProtocolFamily {
  int mainWindowConstant = 12;
  int buttonMapTable = 0;
};

// The map of a protocol level; tableSelect picks the level-11 button-map table
// and main-window constant.
MemoryMap MemoryMapForLevel(int protocolLevel, int tableSelect = 0);

}  // namespace quorix
