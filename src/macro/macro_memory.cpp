#include "macro/macro_memory.h"

#include <algorithm>

#include "base/utf16.h"
#include "device/commands.h"
#include "keys/button_function.h"

namespace quorix {

namespace {

void Report(const MacroProgress& progress, double fraction) {
  if (progress) progress(fraction);
}

bool ValidSlot(int slot) { return slot >= 0 && slot < kMacroSlotCount; }

MacroSlot& SlotAt(SettingsImage& image, int slot) { return image.macroSlots[static_cast<size_t>(slot)]; }

// The gap test at `cur`: from cur up to E - 2 or the nearest record that
// starts after cur; nothing when a record starts exactly at cur.
void TestGap(const MacroSlots& slots, const MacroMemoryLayout& layout, int cur, std::vector<MacroGap>& gaps) {
  if (cur <= 0) return;
  int last = layout.memoryEnd - 2;
  for (const auto& slot : slots) {
    if (!slot.InUse()) continue;
    if (slot.start == cur) return;
    if (slot.start > cur && slot.start - 1 <= last) last = slot.start - 1;
  }
  if (last < cur) return;
  // The end of the last used record is tested twice; keep one.
  for (const auto& gap : gaps) {
    if (gap.start == cur) return;
  }
  gaps.push_back({cur, last - cur + 1});
}

// Whether a button record runs the macro whose code starts at codeAddress.
bool RunsMacroAt(const ButtonRecord& r, int codeAddress) {
  const ButtonFunction function{r.type, r.p1, r.p2, r.p3};
  return IsMacroFunction(function) && MacroCodeAddress(function) == codeAddress;
}

struct ButtonRef {
  int profile;
  int button;
};

// Every button of every profile whose function runs the macro at codeAddress.
// Collected before anything moves: once records are re-packed, an old code
// address may already belong to another macro.
std::vector<ButtonRef> ButtonsRunning(const SettingsImage& image, int codeAddress) {
  std::vector<ButtonRef> refs;
  if (codeAddress == 0) return refs;  // an empty slot is nobody's macro
  const int profiles = std::clamp(image.profileCount, 0, kProfileCount);
  const int buttons = std::clamp(image.map.buttonsPerProfile, 0, kMaxButtons);
  for (int p = 0; p < profiles; ++p) {
    for (int b = 0; b < buttons; ++b) {
      if (RunsMacroAt(image.profiles[static_cast<size_t>(p)].buttons[static_cast<size_t>(b)], codeAddress)) {
        refs.push_back({p, b});
      }
    }
  }
  return refs;
}

// Points the given buttons at newCode. With a newType (Store, Delete) the
// button takes that type, and the last two buttons of a profile's list, which
// cannot be given a macro, fall back to the default function. Without one
// (kKeepType: compaction) only the address changes: a macro the user put on
// any button, the last two included, keeps running from its new place. Each
// record goes out through WriteButtonRecord, the layout of the device's level.
// Returns whether the active profile changed.
constexpr int kKeepType = -1;
bool RepointButtons(DeviceLink& link, const std::string& path, SettingsImage& image,
                    const std::vector<ButtonRef>& refs, int newCode, int newType) {
  bool currentTouched = false;
  const int buttons = std::clamp(image.map.buttonsPerProfile, 0, kMaxButtons);
  for (const auto& ref : refs) {
    ButtonRecord& record = image.profiles[static_cast<size_t>(ref.profile)].buttons[static_cast<size_t>(ref.button)];
    if (newType != kKeepType) record.type = static_cast<uint8_t>(newType);
    record.p1 = static_cast<uint8_t>(newCode & 0xFF);
    record.p2 = static_cast<uint8_t>((newCode >> 8) & 0xFF);
    if (newType != kKeepType && ref.button >= buttons - 2) record.type = 0;
    WriteButtonRecord(link, path, ref.profile, ref.button, record.type, record.p1, record.p2, record.p3, false);
    if (ref.profile == image.activeProfile) currentTouched = true;
  }
  return currentTouched;
}

void WriteTableEntry(DeviceLink& link, const std::string& path, const MacroMemoryLayout& layout, int slot, int start,
                     int length) {
  const uint8_t entry[4] = {static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>((start >> 8) & 0xFF),
                            static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>((length >> 8) & 0xFF)};
  WriteMemory(link, path, layout.tableAddress + 4 * slot, entry, 4);
}

}  // namespace

MacroMemoryLayout MacroLayoutOf(const SettingsImage& image) {
  return {image.map.macroTableOffset, image.map.macroModeOffset, image.map.macroAreaStart, image.memoryEnd};
}

int FreeMacroSpace(const MacroSlots& slots, const MacroMemoryLayout& layout, int leaveOut) {
  int used = 0;
  for (int i = 0; i < kMacroSlotCount; ++i) {
    if (i != leaveOut && slots[static_cast<size_t>(i)].InUse()) used += slots[static_cast<size_t>(i)].length;
  }
  return layout.memoryEnd - layout.areaStart - used - 1;
}

int EditedMacroSize(const std::vector<MacroItem>& items) { return ItemsLength(items) + kMacroRecordHeader + 1; }

std::vector<MacroItem> ItemsWithinSpace(const std::vector<MacroItem>& items, int freeSpace, bool& cut) {
  std::vector<MacroItem> kept;
  int size = kMacroRecordHeader + 1;
  cut = false;
  for (const auto& item : items) {
    size += std::clamp(item.length, 0, 5);
    if (size > freeSpace) {
      cut = true;
      break;
    }
    kept.push_back(item);
  }
  return kept;
}

std::vector<MacroGap> FindMacroGaps(const MacroSlots& slots, const MacroMemoryLayout& layout) {
  std::vector<MacroGap> gaps;
  int cur = layout.areaStart;
  int lastUsedEnd = 0;
  for (const auto& slot : slots) {
    TestGap(slots, layout, cur, gaps);
    cur = slot.InUse() ? slot.start + slot.length : 0;
    if (slot.InUse()) lastUsedEnd = cur;
  }
  TestGap(slots, layout, lastUsedEnd, gaps);
  return gaps;
}

int BestFitStart(const std::vector<MacroGap>& gaps, int length) {
  const MacroGap* best = nullptr;
  for (const auto& gap : gaps) {
    if (gap.length >= length && (!best || gap.length < best->length)) best = &gap;
  }
  return best ? best->start : 0;
}

std::array<uint8_t, kMacroNameFieldLength> EncodeMacroName(const std::string& name) {
  std::u16string units = Utf8ToUtf16(StoredMacroName(name));
  std::array<uint8_t, kMacroNameFieldLength> field{};
  for (size_t i = 0; i < units.size() && i < kMacroNameCharacters; ++i) {
    field[2 * i] = static_cast<uint8_t>(units[i] & 0xFF);
    field[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
  }
  return field;
}

std::string StoredMacroName(const std::string& name) {
  std::u16string units = Utf8ToUtf16(name);
  if (units.size() > kMacroNameCharacters) {
    units.resize(kMacroNameCharacters);
    if (units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back();
  }
  // A zero unit ends the name when it is read back.
  if (size_t zero = units.find(u'\0'); zero != std::u16string::npos) units.resize(zero);
  return Utf16ToUtf8(units);
}

void CompactMacroMemory(DeviceLink& link, const std::string& path, SettingsImage& image,
                        const MacroProgress& progress) {
  const MacroMemoryLayout layout = MacroLayoutOf(image);
  int total = 0;
  for (const auto& slot : image.macroSlots) {
    if (slot.InUse()) total += slot.length;
  }
  // Pass one: every record is read before any is written, so a record that
  // moves onto another's old place is never read back half overwritten.
  std::vector<std::vector<uint8_t>> records(kMacroSlotCount);
  std::vector<std::vector<ButtonRef>> runners(kMacroSlotCount);
  int done = 0;
  for (int i = 0; i < kMacroSlotCount; ++i) {
    const MacroSlot& slot = image.macroSlots[static_cast<size_t>(i)];
    if (!slot.InUse()) continue;
    auto& record = records[static_cast<size_t>(i)];
    record.assign(static_cast<size_t>(std::max(slot.length, 0)), 0);
    if (!record.empty()) ReadMemory(link, path, slot.start, record.data(), static_cast<int>(record.size()), false);
    runners[static_cast<size_t>(i)] = ButtonsRunning(image, slot.codeAddress);
    done += slot.length;
    Report(progress, (done + 1.0) / (total + 1.0) / 2.0);
  }
  // Pass two: write each record at cur, its table entry, and re-point the
  // buttons that ran it.
  int cur = layout.areaStart;
  done = 0;
  for (int i = 0; i < kMacroSlotCount; ++i) {
    MacroSlot& slot = SlotAt(image, i);
    if (!slot.InUse()) continue;
    const auto& record = records[static_cast<size_t>(i)];
    if (!record.empty()) WriteMemory(link, path, cur, record.data(), static_cast<int>(record.size()));
    const int oldCode = slot.codeAddress;
    const int newCode = cur + (slot.codeAddress - slot.start);
    slot.start = cur;
    slot.codeAddress = newCode;
    WriteTableEntry(link, path, layout, i, cur, slot.length);
    if (oldCode != newCode) RepointButtons(link, path, image, runners[static_cast<size_t>(i)], newCode, kKeepType);
    cur += slot.length;
    done += slot.length;
    Report(progress, 0.5 + (done + 1.0) / (total + 1.0) / 2.0);
  }
  // One commit covers the moved records, the table and the button records.
  CommitSettings(link, path);
}

int AllocateMacro(DeviceLink& link, const std::string& path, SettingsImage& image, int length,
                  const MacroProgress& progress) {
  const MacroMemoryLayout layout = MacroLayoutOf(image);
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::vector<MacroGap> gaps = FindMacroGaps(image.macroSlots, layout);
    const int free = FreeMacroSpace(image.macroSlots, layout);
    if (free < 1 || length > free) return 0;
    if (int start = BestFitStart(gaps, length); start != 0) return start;
    // Compacting once closes every gap; if the table is inconsistent enough
    // that even that leaves no fit, give up instead of compacting forever.
    if (gaps.empty() || attempt == 1) return 0;
    CompactMacroMemory(link, path, image, progress);
  }
  return 0;
}

Outcome StoreMacro(DeviceLink& link, const std::string& path, SettingsImage& image, int slotIndex, int mode,
                   const std::string& name, const std::vector<MacroItem>& items, const MacroProgress& progress) {
  if (!ValidSlot(slotIndex)) return Failure::kInvalidArgument;
  const std::vector<uint8_t> body = SerialiseItemsForDevice(items);
  const int length = static_cast<int>(body.size()) + kMacroRecordHeader;
  if (length > 0xFFFF) return Failure::kLackOfSpace;  // the table holds 16-bit lengths
  DeviceOperation operation(link);
  MacroSlot& slot = SlotAt(image, slotIndex);
  const MacroSlot previous = slot;
  const std::vector<ButtonRef> runners = previous.InUse() ? ButtonsRunning(image, previous.codeAddress)
                                                          : std::vector<ButtonRef>{};
  slot.codeAddress = 0;
  slot.start = 0;
  slot.length = 0;
  const int start = AllocateMacro(link, path, image, length, progress);
  if (start == 0 || operation.Failed()) {
    slot = previous;
    // A compaction that failed part-way is no lack of space: say what it was.
    return operation.Failed() ? operation.Result() : Failure::kLackOfSpace;
  }
  slot.start = start;
  slot.length = length;
  slot.codeAddress = start + kMacroRecordHeader;
  slot.name = StoredMacroName(name);
  slot.mode = mode;

  const MacroMemoryLayout layout = MacroLayoutOf(image);
  WriteTableEntry(link, path, layout, slotIndex, start, length);
  const uint8_t modeByte = static_cast<uint8_t>(mode);
  WriteMemory(link, path, layout.modeAddress + slotIndex, &modeByte, 1);
  WriteMemoryByte(link, path, start, kMacroNameFieldLength);
  const auto nameField = EncodeMacroName(name);
  WriteMemory(link, path, start + 1, nameField.data(), kMacroNameFieldLength);
  for (size_t offset = 0; offset < body.size(); offset += 128) {
    const int piece = static_cast<int>(std::min<size_t>(128, body.size() - offset));
    WriteMemory(link, path, start + kMacroRecordHeader + static_cast<int>(offset), body.data() + offset, piece);
    Report(progress, (static_cast<double>(offset) + piece + 1.0) / (length + 1.0));
  }
  if (RepointButtons(link, path, image, runners, slot.codeAddress, mode)) CommitSettings(link, path);
  return operation.Result();
}

Outcome DeleteMacro(DeviceLink& link, const std::string& path, SettingsImage& image, int slotIndex) {
  if (!ValidSlot(slotIndex)) return Failure::kInvalidArgument;
  DeviceOperation operation(link);
  MacroSlot& slot = SlotAt(image, slotIndex);
  const int oldCode = slot.InUse() ? slot.codeAddress : 0;
  slot.start = 0;
  slot.length = 0;
  slot.codeAddress = 0;
  slot.name.clear();
  const MacroMemoryLayout layout = MacroLayoutOf(image);
  WriteTableEntry(link, path, layout, slotIndex, 0, 0);
  // Type 0 and code address 0: the button's default function again.
  if (RepointButtons(link, path, image, ButtonsRunning(image, oldCode), 0, 0)) CommitSettings(link, path);
  return operation.Result();
}

Outcome RenameMacroSlot(DeviceLink& link, const std::string& path, SettingsImage& image, int slotIndex,
                        const std::string& name) {
  if (!ValidSlot(slotIndex) || !SlotAt(image, slotIndex).InUse()) return Failure::kInvalidArgument;
  DeviceOperation operation(link);
  const auto field = EncodeMacroName(name);
  WriteMemory(link, path, SlotAt(image, slotIndex).start + 1, field.data(), kMacroNameFieldLength);
  if (operation.Failed()) return operation.Result();
  SlotAt(image, slotIndex).name = StoredMacroName(name);
  return {};
}

MacroReadBack ReadBackMacro(DeviceLink& link, const std::string& path, const SettingsImage& image, int slotIndex,
                            const MacroProgress& progress) {
  MacroReadBack result;
  if (!ValidSlot(slotIndex)) {
    result.outcome = Failure::kInvalidArgument;
    return result;
  }
  const MacroSlot& slot = image.macroSlots[static_cast<size_t>(slotIndex)];
  result.name = slot.name;
  result.mode = NormaliseMode(slot.mode);
  if (!slot.InUse() || slot.length <= 0) return result;
  std::vector<uint8_t> record(static_cast<size_t>(slot.length), 0);
  DeviceOperation operation(link);
  for (int k = 0; k < slot.length; k += 32) {
    Report(progress, (k + 1.0) / (slot.length + 1.0));
    ReadMemory(link, path, slot.start + k, record.data() + k, std::min(32, slot.length - k), false);
  }
  result.outcome = operation.Result();
  if (!result.outcome) return result;
  // The name-length byte comes from the device: a value past the record
  // leaves no instructions rather than reading beyond it.
  const size_t codeOffset = 1 + static_cast<size_t>(record[0]);
  if (codeOffset < record.size()) {
    result.items = SplitInstructions(record.data() + codeOffset, record.size() - codeOffset,
                                     static_cast<size_t>(slot.length));
  }
  return result;
}

std::string MacroNameAtCodeAddress(const MacroSlots& slots, int codeAddress) {
  for (const auto& slot : slots) {
    if (slot.InUse() && slot.length > 0 && slot.codeAddress == codeAddress) return slot.name;
  }
  return "";
}

int MacroProfileMask(const SettingsImage& image, int slotIndex) {
  if (!ValidSlot(slotIndex)) return 0;
  const MacroSlot& slot = image.macroSlots[static_cast<size_t>(slotIndex)];
  if (!slot.InUse()) return 0;
  int mask = 0;
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < 16 && b < kMaxButtons; ++b) {
      if (RunsMacroAt(image.profiles[static_cast<size_t>(p)].buttons[static_cast<size_t>(b)], slot.codeAddress)) {
        mask |= 1 << p;
      }
    }
  }
  return mask;
}

}  // namespace quorix
