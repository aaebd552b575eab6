#pragma once
// The mouse's macro memory: 80 slots, a table of (start, length) entries and a
// mode byte per slot, and records in the macro area from S up to E - 2:
//
//   start + 0       name field length N (always written as 32)
//   start + 1       the name, UTF-16LE, zero-padded (16 characters)
//   start + N + 1   the body: instructions and the 0x00 terminator
//
// Buttons that run a macro hold its code address, start + N + 1; whenever a
// record moves (store into a new place, compaction) every such button in every
// profile is re-pointed through WriteButtonRecord, the record layout of the
// device's own protocol level.
//
// The operations work on the settings image of the device (its slot table and
// button records) and keep it in step with what they write. They run one at a
// time per device, on the caller's thread; progress goes to a callback.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "device/outcome.h"
#include "macro/macro_instruction.h"
#include "settings/settings_image.h"

namespace quorix {

class DeviceLink;

using MacroSlots = std::array<MacroSlot, kMacroSlotCount>;
using MacroProgress = std::function<void(double)>;

inline constexpr int kMacroNameFieldLength = 32;
// Length byte plus name field: the code address is start + this.
inline constexpr int kMacroRecordHeader = 1 + kMacroNameFieldLength;
inline constexpr int kMacroNameCharacters = 16;

// Where macros live on one device.
struct MacroMemoryLayout {
  int tableAddress = 0;  // T: 80 entries of (start, length), 16-bit little-endian
  int modeAddress = 0;   // T + 320: one mode byte per slot
  int areaStart = 0;     // S
  int memoryEnd = 0;     // E; the area ends at E - 2
};
MacroMemoryLayout MacroLayoutOf(const SettingsImage& image);

// E - S - (lengths of the used slots other than leaveOut) - 1; -1 leaves none out.
int FreeMacroSpace(const MacroSlots& slots, const MacroMemoryLayout& layout, int leaveOut = -1);
// The room a macro being edited needs: its items plus 34 (length byte, name
// field, terminator).
int EditedMacroSize(const std::vector<MacroItem>& items);

// The leading items of a macro that keep it (counted as EditedMacroSize)
// within freeSpace bytes: adding stops at the first item that would not fit.
// `cut` tells whether items were left out ("Lack of space !!").
std::vector<MacroItem> ItemsWithinSpace(const std::vector<MacroItem>& items, int freeSpace, bool& cut);

struct MacroGap {
  int start = 0;
  int length = 0;
  bool operator==(const MacroGap&) const = default;
};
// The free stretches of the macro area, found at S and after every used
// record, in slot order.
std::vector<MacroGap> FindMacroGaps(const MacroSlots& slots, const MacroMemoryLayout& layout);
// The shortest gap of at least `length` bytes (the first of equal ones), or 0.
int BestFitStart(const std::vector<MacroGap>& gaps, int length);

// The name as the device holds it: at most 16 UTF-16 units, zero-padded to 32
// bytes (a surrogate pair is never cut in half).
std::array<uint8_t, kMacroNameFieldLength> EncodeMacroName(const std::string& name);
// The name the slot table keeps for what EncodeMacroName stored.
std::string StoredMacroName(const std::string& name);

// A start address for a record of `length` bytes, or 0 when there is no room.
// When the free space is enough but split into gaps that are each too short,
// compacts the memory once and places the record after the last moved one.
int AllocateMacro(DeviceLink& link, const std::string& path, SettingsImage& image, int length,
                  const MacroProgress& progress = {});

// Moves every stored record down to S in slot order, closing all gaps, then
// re-points the buttons of moved macros (their address only: every button
// keeps its type, wherever it sits in the profile) and commits.
void CompactMacroMemory(DeviceLink& link, const std::string& path, SettingsImage& image,
                        const MacroProgress& progress = {});

// Stores a macro into a slot (its old record counts as free). kLackOfSpace
// when there is no room: the slot and the device stay as they were. When an
// exchange failed, its failure; the slot table in `image` may then be ahead
// of the mouse, which a load repairs.
Outcome StoreMacro(DeviceLink& link, const std::string& path, SettingsImage& image, int slot, int mode,
                   const std::string& name, const std::vector<MacroItem>& items,
                   const MacroProgress& progress = {});

// Empties a slot; every button that ran its macro goes back to the default
// function. kInvalidArgument for a slot number out of range; else the
// outcome of the exchanges.
Outcome DeleteMacro(DeviceLink& link, const std::string& path, SettingsImage& image, int slot);

// Renames a stored macro: the slot's name and the 32 name bytes at its
// start + 1. kInvalidArgument for an empty slot or a slot number out of
// range. The image keeps the old name when the write failed.
Outcome RenameMacroSlot(DeviceLink& link, const std::string& path, SettingsImage& image, int slot,
                        const std::string& name);

struct MacroReadBack {
  Outcome outcome;  // no items unless the whole record was read
  std::string name;
  int mode = kModeOnce;
  std::vector<MacroItem> items;
};
// Reads a slot's record from the device and splits its instructions.
MacroReadBack ReadBackMacro(DeviceLink& link, const std::string& path, const SettingsImage& image, int slot,
                            const MacroProgress& progress = {});

// The name of the used slot whose macro code starts at codeAddress, or "".
std::string MacroNameAtCodeAddress(const MacroSlots& slots, int codeAddress);

// Bit p set when one of the first 16 buttons of profile p runs the macro of
// this slot.
int MacroProfileMask(const SettingsImage& image, int slot);

}  // namespace quorix
