#include "settings/settings_decode.h"

#include <algorithm>
#include <vector>

#include "base/utf16.h"

namespace quorix {
namespace {

uint8_t At(std::span<const uint8_t> bytes, int address) {
  return address >= 0 && static_cast<size_t>(address) < bytes.size() ? bytes[static_cast<size_t>(address)] : 0;
}

MemoryReader ReaderFor(std::span<const uint8_t> bytes) {
  return [bytes](int address, uint8_t* buffer, int length) {
    for (int i = 0; i < length; ++i) buffer[i] = At(bytes, address + i);
  };
}

void Report(const ProgressFn& progress, double fraction) {
  if (progress) progress(std::min(1.0, fraction));
}

void DecodeProfileBlock(const MemoryMap& map, std::span<const uint8_t> bytes, int p, ProfileSettings& profile) {
  const int block = map.ProfileBlockAddress(p);
  if (map.Level0()) {
    profile.flag = !(At(bytes, block) == kSignatureByte && At(bytes, block + 1) == kSignatureByte);
    const uint8_t packed = At(bytes, block + 3);
    profile.colour = {static_cast<uint8_t>(packed & 3), static_cast<uint8_t>((packed >> 2) & 3),
                      static_cast<uint8_t>((packed >> 4) & 3)};
  } else {
    profile.flag = (At(bytes, block) & 0x80) != 0;
    profile.colour = {At(bytes, block + 3), At(bytes, block + 4), At(bytes, block + 5)};
  }
  std::vector<uint8_t> name(static_cast<size_t>(map.nameUnits * 2));
  for (size_t i = 0; i < name.size(); ++i) name[i] = At(bytes, block + map.nameOffset + static_cast<int>(i));
  profile.name = Utf16ToUtf8(Utf16FromLittleEndian(name));
}

}  // namespace

void DecodeMacroSlots(const MemoryMap& map, std::span<const uint8_t> bytes, const MemoryReader& readMemory,
                      std::array<MacroSlot, kMacroSlotCount>& slots, const ProgressFn& progress) {
  const MemoryMap& m = map;
  const MemoryReader read = readMemory ? readMemory : ReaderFor(bytes);
  for (int i = 0; i < kMacroSlotCount; ++i) {
    Report(progress, 0.6 + 0.2 * i / 79.0);
    MacroSlot& slot = slots[static_cast<size_t>(i)];
    const int entry = m.macroTableOffset + 4 * i;
    slot = MacroSlot{};
    slot.length = At(bytes, entry + 2) + 256 * At(bytes, entry + 3);
    slot.start = At(bytes, entry) + 256 * At(bytes, entry + 1);
    const int mode = At(bytes, m.macroModeOffset + i);
    slot.mode = mode < 8 || mode > 10 ? 8 : mode;
    if (slot.start == 0) continue;
    uint8_t nameLength = 0;
    read(slot.start, &nameLength, 1);
    // The firmware always writes 32 here; a larger value must not run past
    // the name buffer.
    std::array<uint8_t, kMacroNameBufferSize> name{};
    const int toRead = std::min<int>(nameLength, kMacroNameBufferSize);
    if (toRead > 0) read(slot.start + 1, name.data(), toRead);
    slot.name = Utf16ToUtf8(Utf16FromLittleEndian(name));
    slot.codeAddress = slot.start + nameLength + 1;
  }
}

SettingsImage DecodeSettings(int protocolLevel, std::span<const uint8_t> bytes, const DecodeSources& sources) {
  SettingsImage image;
  image.map = MemoryMapForLevel(protocolLevel, sources.tableSelect);
  image.protocolLevel = protocolLevel;
  image.tableSelect = sources.tableSelect;
  const MemoryMap& m = image.map;

  // Stored selection; the load replaces it with the live status.
  image.activeProfile = At(bytes, m.storedProfileAddress);
  image.activeLevel = At(bytes, m.storedLevelAddress) & 7;
  image.levelMask = At(bytes, m.storedLevelAddress) >> 3;

  const uint8_t levelFlags = At(bytes, m.levelFlagsAddress);
  image.levelFlagCount = m.levelFlagCount;
  for (int i = 0; i < m.levelFlagCount; ++i) image.levelFlags[static_cast<size_t>(i)] = (levelFlags >> i) & 1;
  const uint8_t settings = At(bytes, m.settingsByteAddress);
  image.angleSnapping = (settings & 1) != 0;
  image.displayValue = (settings >> 1) & 7;
  image.reportRateCode = (settings >> 4) & 7;

  if (m.liftValueAddress >= 0) image.liftValue = At(bytes, m.liftValueAddress) + 256 * At(bytes, m.liftValueAddress + 1);
  if (m.lightingModeAddress >= 0) image.lightingMode = At(bytes, m.lightingModeAddress);
  for (int i = 0; i < m.lightingBlockLength; ++i)
    image.lightingBlock[static_cast<size_t>(i)] = At(bytes, m.lightingBlockAddress + i);

  for (int p = 0; p < kProfileCount; ++p) {
    auto& record = image.profileRecords[static_cast<size_t>(p)];
    for (int i = 0; i < kProfileRecordSize; ++i)
      record[static_cast<size_t>(i)] = At(bytes, m.profileRecordOffset + kProfileRecordSize * p + i);
    if ((record[0] & 0x80) != 0 || record[0] > 8) record[0] = 0;
  }
  for (int p = 0; p < kProfileCount; ++p) DecodeProfileBlock(m, bytes, p, image.profiles[static_cast<size_t>(p)]);

  DecodeMacroSlots(m, bytes, sources.readMemory, image.macroSlots, sources.progress);

  for (int i = 0; i < kDpiPairCount; ++i)
    image.dpiPairs[static_cast<size_t>(i)] = {At(bytes, m.dpiPairOffset + 2 * i), At(bytes, m.dpiPairOffset + 2 * i + 1)};

  const DefaultRecordReader readDefault =
      sources.readDefault ? sources.readDefault : [](int) { return ButtonRecord{1, 0, 0, 0}; };
  const int n = m.buttonsPerProfile;
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < n; ++b) {
      // Sixteen buttons a profile give 0.8 + 0.2 (16p + b) / 80; counting by the
      // real button count keeps the bar moving forward at 24 and 32 buttons.
      Report(sources.progress, 0.8 + 0.2 * (n * p + b) / (kProfileCount * n));
      ButtonRecord record{At(bytes, m.ButtonByteAddress(p, b, 0)), At(bytes, m.ButtonByteAddress(p, b, 1)),
                          At(bytes, m.ButtonByteAddress(p, b, 2)), At(bytes, m.ButtonByteAddress(p, b, 3))};
      const ButtonRecord factory = readDefault(b);
      image.defaultButtons[static_cast<size_t>(p)][static_cast<size_t>(b)] = factory;
      if (record.type == 0) record = factory;
      image.profiles[static_cast<size_t>(p)].buttons[static_cast<size_t>(b)] = record;
    }
  }
  const int physical = m.physicalButtons;
  for (int b = 0; b < physical; ++b) image.physicalButtons[static_cast<size_t>(b)] = readDefault(b);

  image.memoryEnd = bytes.empty() ? kDefaultMemoryEnd : static_cast<int>(bytes.size()) - 1;
  image.primaryClickHolder = ComputePrimaryClickHolder(image);
  return image;
}

}  // namespace quorix
