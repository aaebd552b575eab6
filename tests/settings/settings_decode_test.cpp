#include "settings/settings_decode.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quorix {
namespace {

void PutName(std::vector<uint8_t>& memory, int address, const std::u16string& name) {
  for (size_t i = 0; i < name.size(); ++i) {
    memory[address + 2 * i] = static_cast<uint8_t>(name[i]);
    memory[address + 2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
  }
}

void PutButton(std::vector<uint8_t>& memory, const MemoryMap& map, int p, int b, ButtonRecord r) {
  memory[map.ButtonByteAddress(p, b, 0)] = r.type;
  memory[map.ButtonByteAddress(p, b, 1)] = r.p1;
  memory[map.ButtonByteAddress(p, b, 2)] = r.p2;
  memory[map.ButtonByteAddress(p, b, 3)] = r.p3;
}

TEST(MemoryMap, ConstantsPerLevel) {
  const MemoryMap l11 = MemoryMapForLevel(11);
  EXPECT_EQ(l11.macroTableOffset, 832);
  EXPECT_EQ(l11.profileRecordOffset, 1168);
  EXPECT_EQ(l11.macroAreaStart, 1360);
  EXPECT_EQ(l11.mainWindowConstant, 12);
  EXPECT_EQ(MemoryMapForLevel(12, 7).mainWindowConstant, 15);
  EXPECT_EQ(MemoryMapForLevel(11, 6).buttonMapTable, 1);
  EXPECT_EQ(MemoryMapForLevel(11, 7).buttonMapTable, 2);
  // Button 31 of profile 4: one byte in each of the four planes.
  EXPECT_EQ(l11.ButtonByteAddress(4, 31, 0), 735);
  EXPECT_EQ(l11.ButtonByteAddress(4, 31, 3), 831);

  const MemoryMap l5 = MemoryMapForLevel(5);
  EXPECT_EQ(l5.ProfileBlockAddress(1), 160);
  EXPECT_EQ(l5.buttonsPerProfile, 24);
  EXPECT_EQ(l5.lightingBlockAddress, 1120);
  EXPECT_EQ(MemoryMapForLevel(2).lightingBlockLength, 0);
  EXPECT_EQ(l5.mainWindowConstant, 18);

  const MemoryMap l0 = MemoryMapForLevel(0);
  EXPECT_EQ(l0.ProfileBlockAddress(2), 208);
  EXPECT_EQ(l0.macroModeOffset, 832);
  EXPECT_EQ(l0.bytesReadAtLoad, 1024);
  EXPECT_EQ(MemoryMapForLevel(-3).buttonsPerProfile, 16);
}

TEST(DecodeSettings, Level11Fields) {
  const MemoryMap map = MemoryMapForLevel(11);
  std::vector<uint8_t> memory(8192, 0);
  memory[1] = 3;     // stored profile
  memory[2] = 2;     // stored level
  for (int i = 0; i < 5; ++i) {
    memory[3 + 2 * i] = static_cast<uint8_t>(10 + i);
    memory[4 + 2 * i] = static_cast<uint8_t>(20 + i);
  }
  memory[14] = 0x3B;  // snapping on, display value 5, report-rate code 3
  memory[15] = 0x15;  // levels 0, 2, 4
  memory[17] = 3;
  memory[18] = 0xDC;
  memory[19] = 0x12;
  memory[1280] = 0xAB;
  memory[1343] = 0xCD;
  // Profile 0: flag set, colour, 13-character name filling bytes 6..31.
  memory[32] = 0x80;
  memory[35] = 255, memory[36] = 128, memory[37] = 1;
  PutName(memory, 32 + 6, u"ABCDEFGHIJKLM");
  // Profile 1: short non-ASCII name, followed by zeros.
  PutName(memory, 192 + 6, u"\u00e9t\u00e9");
  // Profile records: first bytes 0x85, 9, 8 and the rest kept.
  memory[1168] = 0x85, memory[1169] = 0x77;
  memory[1168 + 21] = 9;
  memory[1168 + 42] = 8;
  PutButton(memory, map, 4, 31, {5, 0x02, 0x04, 0});

  const SettingsImage image = DecodeSettings(11, memory);
  EXPECT_EQ(image.activeProfile, 3);
  EXPECT_EQ(image.activeLevel, 2);
  EXPECT_EQ(image.dpiPairs[4], (DpiPair{14, 24}));
  EXPECT_TRUE(image.angleSnapping);
  EXPECT_EQ(image.displayValue, 5);
  EXPECT_EQ(image.reportRateCode, 3);
  EXPECT_EQ(image.ReportRateHz(), 250);
  EXPECT_EQ(image.levelFlagCount, 5);
  EXPECT_EQ(image.levelFlags, (std::array<bool, 5>{true, false, true, false, true}));
  EXPECT_EQ(image.lightingMode, 3);
  EXPECT_EQ(image.lightingBlock[0], 0xAB);
  EXPECT_EQ(image.lightingBlock[63], 0xCD);
  EXPECT_EQ(image.liftValue, 0x12DC);
  EXPECT_TRUE(image.profiles[0].flag);
  EXPECT_FALSE(image.profiles[1].flag);
  EXPECT_EQ(image.profiles[0].colour, (std::array<uint8_t, 3>{255, 128, 1}));
  EXPECT_EQ(image.profiles[0].name, "ABCDEFGHIJKLM");
  EXPECT_EQ(image.profiles[1].name, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(image.profileRecords[0][0], 0);
  EXPECT_EQ(image.profileRecords[0][1], 0x77);
  EXPECT_EQ(image.profileRecords[1][0], 0);
  EXPECT_EQ(image.profileRecords[2][0], 8);
  EXPECT_EQ(image.profiles[4].buttons[31], (ButtonRecord{5, 0x02, 0x04, 0}));
  EXPECT_EQ(image.memoryEnd, 8191);
}

TEST(DecodeSettings, TypeZeroTakesTheDefaultAndDefaultsAreAskedInLoadOrder) {
  const MemoryMap map = MemoryMapForLevel(5);
  std::vector<uint8_t> memory(2048, 0);
  PutButton(memory, map, 0, 1, {4, 0x02, 0, 0});
  PutButton(memory, map, 2, 23, {6, 0xE9, 0, 0});
  std::vector<int> asked;
  std::vector<double> fractions;
  DecodeSources sources;
  sources.readDefault = [&](int b) {
    asked.push_back(b);
    return ButtonRecord{static_cast<uint8_t>(b == 0 ? 4 : 1), static_cast<uint8_t>(b == 0 ? 1 : 0), 0, 0};
  };
  sources.progress = [&](double f) { fractions.push_back(f); };
  const SettingsImage image = DecodeSettings(5, memory, sources);

  // 5 profiles x 24 buttons, then the 24 physical buttons.
  ASSERT_EQ(asked.size(), 5u * 24 + 24);
  EXPECT_EQ(asked[23], 23);
  EXPECT_EQ(asked[24], 0);
  EXPECT_EQ(asked[120], 0);
  EXPECT_EQ(image.profiles[0].buttons[0], (ButtonRecord{4, 1, 0, 0}));  // from the default
  EXPECT_EQ(image.profiles[0].buttons[1], (ButtonRecord{4, 2, 0, 0}));  // stored
  EXPECT_EQ(image.profiles[2].buttons[23], (ButtonRecord{6, 0xE9, 0, 0}));
  EXPECT_EQ(image.defaultButtons[3][5], (ButtonRecord{1, 0, 0, 0}));
  EXPECT_EQ(image.physicalButtons[23], (ButtonRecord{1, 0, 0, 0}));
  EXPECT_EQ(image.primaryClickHolder, 0);

  ASSERT_FALSE(fractions.empty());
  EXPECT_DOUBLE_EQ(fractions.front(), 0.6);
  for (size_t i = 1; i < fractions.size(); ++i) ASSERT_GE(fractions[i], fractions[i - 1]) << i;
  EXPECT_LE(fractions.back(), 1.0);
}

TEST(DecodeSettings, Level0Layout) {
  const MemoryMap map = MemoryMapForLevel(0);
  std::vector<uint8_t> memory(1024, 0);
  memory[2] = (0x5 << 3) | 1;  // selection byte: mask 5, level 1
  memory[3] = 0x0B;            // levels 0, 1, 3
  memory[4] = 8, memory[5] = 9;
  memory[14] = 2;  // stored profile
  memory[15] = 0x71;  // snapping, code 7
  memory[16] = 0x12, memory[17] = 0x12, memory[19] = 0x39;
  memory[112] = 0x12, memory[113] = 0x92;
  memory[208] = 0x12, memory[209] = 0x00;
  PutName(memory, 16 + 14, u"NINE_CHRS");
  PutButton(memory, map, 1, 15, {8, 0x40, 0x04, 0});

  std::vector<int> asked;
  DecodeSources sources;
  sources.readDefault = [&](int b) {
    asked.push_back(b);
    return ButtonRecord{1, 0, 0, 0};
  };
  const SettingsImage image = DecodeSettings(0, memory, sources);
  EXPECT_EQ(image.activeProfile, 2);
  EXPECT_EQ(image.activeLevel, 1);
  EXPECT_EQ(image.levelMask, 5);
  EXPECT_EQ(image.levelFlagCount, 4);
  EXPECT_EQ(image.levelFlags, (std::array<bool, 5>{true, true, false, true, false}));
  EXPECT_EQ(image.dpiPairs[0], (DpiPair{8, 9}));
  EXPECT_TRUE(image.angleSnapping);
  EXPECT_EQ(image.ReportRateHz(), 125);
  EXPECT_FALSE(image.profiles[0].flag);  // 0x12, 0x12
  EXPECT_TRUE(image.profiles[1].flag);   // 0x12, 0x92
  EXPECT_TRUE(image.profiles[2].flag);   // second byte not 0x12
  EXPECT_EQ(image.profiles[0].colour, (std::array<uint8_t, 3>{1, 2, 3}));
  EXPECT_EQ(image.profiles[0].name, "NINE_CHRS");
  EXPECT_EQ(image.profiles[1].buttons[15], (ButtonRecord{8, 0x40, 0x04, 0}));
  EXPECT_EQ(image.liftValue, 0);  // no lift value at level 0
  EXPECT_EQ(asked.size(), 5u * 16 + 16);
  EXPECT_EQ(image.physicalButtons[16], (ButtonRecord{}));
  EXPECT_FALSE(image.ReportRateAvailable());
  SettingsImage later = image;
  later.variantA = 34;
  EXPECT_TRUE(later.ReportRateAvailable());
}

TEST(DecodeSettings, MacroSlotsReadNamesThroughTheReader) {
  std::vector<uint8_t> memory(8192, 0);
  auto putSlot = [&](int i, int start, int length, int mode) {
    memory[832 + 4 * i] = static_cast<uint8_t>(start);
    memory[833 + 4 * i] = static_cast<uint8_t>(start >> 8);
    memory[834 + 4 * i] = static_cast<uint8_t>(length);
    memory[835 + 4 * i] = static_cast<uint8_t>(length >> 8);
    memory[1152 + i] = static_cast<uint8_t>(mode);
  };
  putSlot(0, 1360, 40, 9);
  memory[1360] = 32;
  PutName(memory, 1361, u"Reload");
  putSlot(5, 3000, 300, 11);  // a mode out of range reads as 8
  memory[3000] = 250;         // a name field longer than the name buffer
  PutName(memory, 3001, std::u16string(60, u'w'));
  putSlot(6, 0, 10, 10);      // start 0: empty

  std::vector<std::pair<int, int>> reads;
  MemoryReader reader = [&](int address, uint8_t* buffer, int length) {
    reads.emplace_back(address, length);
    for (int i = 0; i < length; ++i) buffer[i] = memory[static_cast<size_t>(address + i)];
  };
  DecodeSources sources;
  sources.readMemory = reader;
  const SettingsImage image = DecodeSettings(11, std::span(memory).first(2048), sources);

  const MacroSlot& first = image.macroSlots[0];
  EXPECT_EQ(first.name, "Reload");
  EXPECT_EQ(first.start, 1360);
  EXPECT_EQ(first.codeAddress, 1360 + 33);
  EXPECT_EQ(first.length, 40);
  EXPECT_EQ(first.mode, 9);
  const MacroSlot& odd = image.macroSlots[5];
  EXPECT_EQ(odd.mode, 8);
  EXPECT_EQ(odd.codeAddress, 3000 + 251);
  EXPECT_EQ(odd.name, std::string(50, 'w'));  // cut at the 100-byte buffer
  EXPECT_FALSE(image.macroSlots[6].InUse());
  EXPECT_EQ(image.macroSlots[6].mode, 10);
  EXPECT_EQ(image.macroSlots[6].length, 10);
  // Name length byte, then the name field, for each used slot only.
  EXPECT_EQ(reads, (std::vector<std::pair<int, int>>{{1360, 1}, {1361, 32}, {3000, 1}, {3001, 100}}));
}

TEST(DecodeSettings, ShortOrEmptyMemoryDecodesAsZeros) {
  const SettingsImage empty = DecodeSettings(11, {});
  EXPECT_EQ(empty.memoryEnd, 8191);
  EXPECT_EQ(empty.profiles[0].name, "");
  EXPECT_EQ(empty.profiles[0].buttons[0], (ButtonRecord{1, 0, 0, 0}));
  std::vector<uint8_t> partial(840, 0xFF);
  const SettingsImage cut = DecodeSettings(11, partial);  // slot 1 points far outside
  EXPECT_EQ(cut.macroSlots[1].start, 0xFFFF);
  EXPECT_EQ(cut.macroSlots[1].name, "");
}

TEST(PrimaryClickHolder, ExactlyOneLeftClickAmongTheFirstSixteen) {
  SettingsImage image;
  image.activeProfile = 1;
  auto& buttons = image.profiles[1].buttons;
  for (auto& b : buttons) b = {1, 0, 0, 0};
  EXPECT_EQ(ComputePrimaryClickHolder(image), -1);
  buttons[3] = {4, 0x01, 0, 0};
  EXPECT_EQ(ComputePrimaryClickHolder(image), 3);
  buttons[20] = {4, 0x01, 0, 0};  // beyond the first sixteen: not counted
  EXPECT_EQ(ComputePrimaryClickHolder(image), 3);
  buttons[0] = {0, 0, 0, 0};  // button 0 of type 0 is the default left click
  EXPECT_EQ(ComputePrimaryClickHolder(image), -1);
  buttons[3] = {4, 0x03, 0, 0};
  EXPECT_EQ(ComputePrimaryClickHolder(image), 0);
  image.activeProfile = 9;  // a device answering nonsense must not index past the profiles
  EXPECT_EQ(ComputePrimaryClickHolder(image), -1);
}

}  // namespace
}  // namespace quorix
