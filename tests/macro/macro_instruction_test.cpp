#include "macro/macro_instruction.h"

#include <gtest/gtest.h>

#include "texts/text_tables.h"

namespace quorix {
namespace {

const MacroTexts& English() {
  static const MacroTexts texts = MakeMacroTexts(DefaultTextTables());
  return texts;
}

std::string Text(std::initializer_list<uint8_t> bytes) { return InstructionText(MakeItem(bytes), English()); }

TEST(InstructionLength, EveryOpcodeFollowsTheTable) {
  int valid = 0;
  for (int op = 0; op < 256; ++op) {
    auto shape = InstructionLength(static_cast<uint8_t>(op));
    if (shape.length == 0) {
      EXPECT_EQ(shape.kind, kInstructionInvalid) << op;
      continue;
    }
    ++valid;
    EXPECT_GE(shape.length, 1);
    EXPECT_LE(shape.length, 5);
  }
  // 0x00 0x01, three markers, 0x20..0x7F, 0xC1..0xCF and 13 other opcodes.
  EXPECT_EQ(valid, 2 + 3 + 96 + 15 + 13);
  EXPECT_EQ(InstructionLength(0x05).kind, kInstructionModeMarker);
  EXPECT_EQ(InstructionLength(0x80).length, 5);
  EXPECT_EQ(InstructionLength(0x81).length, 2);
  EXPECT_EQ(InstructionLength(0x85).length, 3);
  EXPECT_EQ(InstructionLength(0xC0).length, 5);
  EXPECT_EQ(InstructionLength(0xCF).length, 1);
  for (uint8_t op : {0x02, 0x03, 0x07, 0x09, 0x86, 0x87, 0xD0, 0xFF, 0xB0}) EXPECT_EQ(InstructionLength(op).length, 0);
}

TEST(InstructionText, AllForms) {
  EXPECT_EQ(Text({0x00}), "Stop");
  EXPECT_EQ(Text({0x01}), "Stop");
  EXPECT_EQ(Text({0x04}), "Execute one time");
  EXPECT_EQ(Text({0x06}), "Firekey mode");
  EXPECT_EQ(Text({0x08, 0x34, 0x12}), "Jump to address 4660");
  EXPECT_EQ(Text({0x10, 0xFF, 0xFF}), "Set ACC=ACC-1, if ACC!=0 then jump to address 65535");
  EXPECT_EQ(Text({0x18, 0x05, 0x00}), "Set ACC=5");
  EXPECT_EQ(Text({0x20}), "Press & hold mouse button ");
  EXPECT_EQ(Text({0x21}), "Press & hold mouse button  Left ");
  EXPECT_EQ(Text({0x5F}), "Release mouse button  Left  Right  Middle  B4  B5 ");
  EXPECT_EQ(Text({0x7F}), "Wheel Scrolling  -1 count(unit)");
  EXPECT_EQ(Text({0x6F}), "Wheel Scrolling  15 count(unit)");
  EXPECT_EQ(Text({0x70}), "Wheel Scrolling  -16 count(unit)");
  EXPECT_EQ(Text({0x80, 0xFF, 0xFF, 0x0A, 0x00}), "Mouse Movement (-1 , 10)");
  EXPECT_EQ(Text({0x81, 0x00}), "Unknown");
  EXPECT_EQ(Text({0x83, 0x04}), "Press & hold Keyboard  A");
  EXPECT_EQ(Text({0x84, 0xE1}), "Release Keyboard  Left Shift");
  EXPECT_EQ(Text({0x84, 0x64}), "Release Keyboard  ");
  EXPECT_EQ(Text({0x85, 0x00, 0x00}), "Release Consumer-key");
  EXPECT_EQ(Text({0x85, 0xE2, 0x00}), "Press & hold Consumer-key  Mute");
  EXPECT_EQ(Text({0x85, 0x23, 0x02}), "Press & hold Consumer-key  WWW Home");
  EXPECT_EQ(Text({0x88, 0xFF}), "Wait 255 ms");
  EXPECT_EQ(Text({0x89, 0x00, 0x01}), "256 ms");
  EXPECT_EQ(Text({0xA0, 0xFF, 0xFF, 0x0A, 0x00}), "Mouse Move to (65535 , 10)");
  EXPECT_EQ(Text({0xC0, 0xFF, 0xFF, 0x0A, 0x00}), "Mouse Move to (-1 , 10)");
  EXPECT_EQ(Text({0xC1}), "System command");
  EXPECT_EQ(Text({0xCF}), "System command");
  EXPECT_EQ(Text({0xD0}), "Unknown");
  EXPECT_EQ(Text({0x02}), "Unknown");
}

TEST(SplitInstructions, StopsAtTerminatorAndKeepsOrder) {
  std::vector<uint8_t> bytes = {0x83, 0x04, 0x88, 0x32, 0x84, 0x04, 0x00, 0x83, 0x05};
  auto items = SplitInstructions(bytes);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], KeyItem(true, 0x04));
  EXPECT_EQ(items[1], WaitItem(50));
  EXPECT_EQ(items[2], KeyItem(false, 0x04));
  EXPECT_EQ(SerialiseItems(items), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6));
  EXPECT_EQ(SerialiseItemsForDevice(items), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 7));
  EXPECT_EQ(ItemsLength(items), 6);
}

TEST(SplitInstructions, InvalidOpcodeEndsTheSplitKeepingWhatWasRead) {
  std::vector<uint8_t> bytes = {0x21, 0x88, 0x10, 0x02, 0x41, 0x41};
  bool invalid = false;
  auto items = SplitInstructions(bytes.data(), bytes.size(), SIZE_MAX, &invalid);
  EXPECT_TRUE(invalid);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1], WaitItem(16));
  // A split that ends normally says so.
  SplitInstructions(bytes.data(), 3, SIZE_MAX, &invalid);
  EXPECT_FALSE(invalid);
}

TEST(SplitInstructions, CutInstructionReadsZerosNotBeyondTheEnd) {
  std::vector<uint8_t> bytes = {0x21, 0x80, 0x05};
  auto items = SplitInstructions(bytes);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].length, 5);
  EXPECT_EQ(InstructionText(items[1], English()), "Mouse Movement (5 , 0)");
  EXPECT_EQ(SplitInstructions(bytes.data(), bytes.size(), 1).size(), 1u);  // item bound
  EXPECT_TRUE(SplitInstructions(nullptr, 0).empty());
}

TEST(Builders, ChooseTheShortestForms) {
  EXPECT_EQ(SerialiseItems({WaitItem(255)}), (std::vector<uint8_t>{0x88, 0xFF}));
  EXPECT_EQ(SerialiseItems({WaitItem(256)}), (std::vector<uint8_t>{0x89, 0x00, 0x01}));
  EXPECT_EQ(SerialiseItems({WaitItem(70000)}), (std::vector<uint8_t>{0x89, 0xFF, 0xFF}));
  EXPECT_EQ(SerialiseItems({WheelItem(-1)}), (std::vector<uint8_t>{0x7F}));
  EXPECT_EQ(SerialiseItems({WheelItem(-16), WheelItem(15)}), (std::vector<uint8_t>{0x70, 0x6F}));
  EXPECT_EQ(SerialiseItems({MoveToItem(-1, 10)}), (std::vector<uint8_t>{0xC0, 0xFF, 0xFF, 0x0A, 0x00}));
  EXPECT_EQ(SerialiseItems({ConsumerItem(0x223), ButtonItem(false, 0x03)}),
            (std::vector<uint8_t>{0x85, 0x23, 0x02, 0x43}));
}

TEST(Modes, NormaliseAndLabels) {
  EXPECT_EQ(NormaliseMode(9), 9);
  EXPECT_EQ(NormaliseMode(7), 8);
  EXPECT_EQ(NormaliseMode(11), 8);
  EXPECT_EQ(ModeLabel(9, English()), "Loop mode");
  EXPECT_EQ(ModeLabel(10, English()), "Firekey mode");
  EXPECT_EQ(ModeLabel(3, English()), "One time mode");
}

TEST(InstructionText, FollowsTheLanguagesTables) {
  TextTables tables = DefaultTextTables();
  tables.macroStr[6] = "Hold %s!";
  tables.macroStr[9] = "Move y=%d? no: (%s|%d)";  // directives filled in order, whatever their letter
  tables.macroStr[13] = "Let go";
  tables.macroStr[14] = "%d%% ms %d";             // a directive beyond the arguments stays empty
  tables.macroBtStr[0] = "L";
  tables.macroBtStr[4] = "Fwd";
  tables.buttonStr[16] = "Repeat";
  const MacroTexts texts = MakeMacroTexts(tables);
  const std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
      {{0x31}, "Hold  L  Fwd !"},
      {{0x80, 0x05, 0x00, 0xFE, 0xFF}, "Move y=5? no: (-2|)"},
      {{0x85, 0x00, 0x00}, "Let go"},
      {{0x88, 0x32}, "50% ms "},
      {{0x41}, "Release mouse button  L "},
      {{0x01}, "Stop"},
  };
  for (const auto& [bytes, text] : cases) {
    MacroItem item;
    ReadInstruction(bytes.data(), bytes.size(), item);
    EXPECT_EQ(InstructionText(item, texts), text);
  }
  EXPECT_EQ(ModeLabel(9, texts), "Repeat");
  EXPECT_EQ(ModeLabel(8, texts), "One time mode");
}

}  // namespace
}  // namespace quorix
