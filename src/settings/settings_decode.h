#pragma once
// Decoding the settings memory into a settings image: bytes in, image out.
// The same function serves the load (which hands in readers that talk to the
// mouse) and a backup file (whose bytes already hold everything).

#include <cstdint>
#include <functional>
#include <span>

#include "settings/settings_image.h"

namespace quorix {

// Fills buffer[0..length) from settings memory at address.
using MemoryReader = std::function<void(int address, uint8_t* buffer, int length)>;
// The factory (default) record of a button.
using DefaultRecordReader = std::function<ButtonRecord(int button)>;
// Progress of a long operation, a fraction from 0 to 1.
using ProgressFn = std::function<void(double)>;

struct DecodeSources {
  int tableSelect = 0;
  // Reads the macro names that lie outside `bytes`. Empty: read from `bytes`,
  // zeros past their end.
  MemoryReader readMemory;
  // Empty: every default is (1, 0, 0, 0), "no function".
  DefaultRecordReader readDefault;
  // Gets the load's fractions for the macro slots (0.6..0.8) and the buttons
  // (0.8..1).
  ProgressFn progress;
};

// Decodes, in this order: level flags, settings byte, profile records, profile
// blocks, macro slot table (reading names through readMemory), sensitivity
// pairs, button planes with their defaults, the physical button list. Also
// takes the stored selection (bytes 1/14 and 2), the lift value and the
// lighting mode and block from the bytes; memoryEnd is bytes.size() - 1.
// Bytes missing at the end read as zero.
SettingsImage DecodeSettings(int protocolLevel, std::span<const uint8_t> bytes, const DecodeSources& sources = {});

// Macro slot table only (also used by the macro module after a change).
void DecodeMacroSlots(const MemoryMap& map, std::span<const uint8_t> bytes, const MemoryReader& readMemory,
                      std::array<MacroSlot, kMacroSlotCount>& slots, const ProgressFn& progress = {});

// The largest name read for a macro; a longer name field is cut here.
inline constexpr int kMacroNameBufferSize = 100;

}  // namespace quorix
