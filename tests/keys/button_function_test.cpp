#include "keys/button_function.h"

#include <gtest/gtest.h>

#include "texts/text_tables.h"

namespace quorix {
namespace {

class FunctionTextTest : public ::testing::Test {
 protected:
  std::string Text(int type, int p1, int p2, int p3, int step = 50) {
    return FunctionText(texts_, type, p1, p2, p3, step);
  }
  KeyTexts texts_ = MakeKeyTexts(DefaultTextTables());
};

TEST_F(FunctionTextTest, MouseButtonsAndWheel) {
  EXPECT_EQ(Text(4, 0x03, 0, 0), "Left clickRight click");
  EXPECT_EQ(Text(4, 0x01, 1, 0), "Scroll up");
  EXPECT_EQ(Text(4, 0x01, 0xFF, 0), "Scroll down");
  EXPECT_EQ(Text(4, 0, 1, 0x80), "Tilt left");  // tilt replaces the wheel text
  EXPECT_EQ(Text(4, 0, 0, 1), "Tilt right");
  EXPECT_EQ(Text(4, 0x18, 0, 0), "BackwardForward");
  EXPECT_EQ(Text(4, 0xE0, 0, 0), "No function");  // only bits 0..4 name buttons
  EXPECT_EQ(Text(4, 0, 0, 0), "No function");
}

TEST_F(FunctionTextTest, DpiFirekeyAndAxisLocks) {
  EXPECT_EQ(Text(15, 8, 8, 0), "DPI firekey\n[X:400 , Y:400]");
  EXPECT_EQ(Text(15, 8, 4, 0, 100), "DPI firekey\n[X:800 , Y:400]");
  EXPECT_EQ(Text(15, 0, 0xFF, 0), "Lock X-axis");
  EXPECT_EQ(Text(15, 0xFF, 0, 0), "Lock Y-axis");
  EXPECT_EQ(Text(15, 2, 2, 0x03), "DPI firekey\n[X:100 , Y:100] Left clickRight click");
  EXPECT_EQ(Text(15, 0, 0xFF, 0x01), "Lock X-axis Left click");
  EXPECT_EQ(DpiStepForModel(0x12), 100);
  EXPECT_EQ(DpiStepForModel(0x11), 50);
}

TEST_F(FunctionTextTest, FireButton) {
  EXPECT_EQ(Text(27, 0x05, 3, 0), "Fire button (30ms)");
  EXPECT_EQ(Text(27, 0x05, 3, 2), "Left click Wheel click x2");
  EXPECT_EQ(Text(27, 0x02, 1, 5), " Right click x5");  // a leading blank stays when bit 0 is clear
  EXPECT_EQ(Text(27, 0x1F, 0, 1), "Left click Right click Wheel click Backward Forward x1");
}

TEST_F(FunctionTextTest, KeysAndHotkeys) {
  EXPECT_EQ(Text(5, 0x01, 0x04, 0), "Ctrl + A");
  EXPECT_EQ(Text(5, 0x00, 0x00, 0), "");
  // No 200-entry bound for keyboard functions: every table entry is reachable.
  EXPECT_EQ(Text(5, 0x00, 0x89, 0), "\\");
  EXPECT_EQ(Text(24, 0x01, 0x04, 0x05), "[AS] Ctrl + A / Ctrl + B");
  EXPECT_EQ(Text(24, 0x02, 0x00, 0x52), "[AS] Shift / Shift + ↑");
  EXPECT_EQ(Text(24, 0x00, 0x00, 0x00), "[AS]  / ");
}

TEST_F(FunctionTextTest, ConsumerKeys) {
  EXPECT_EQ(Text(6, 0xE2, 0x00, 0), "Mute");
  EXPECT_EQ(Text(6, 0x23, 0x02, 0), "Web Browser");
  EXPECT_EQ(Text(6, 0xB4, 0x00, 0), "");
  // Usage A = 0x0E9, usage B = 0x223: high nibbles packed into p3.
  EXPECT_EQ(Text(25, 0xE9, 0x23, 0x20), "[AS] Volume + / Web Browser");
  EXPECT_EQ(Text(25, 0x01, 0x02, 0x00), "[AS]  / ");
}

TEST_F(FunctionTextTest, MacrosProfilesAndPlainNames) {
  EXPECT_EQ(Text(10, 10, 0, 0xFF), "Tilt right");
  EXPECT_EQ(Text(10, 0, 0, 0xFF), "Tilt left");
  EXPECT_EQ(Text(9, 5, 0, 0xFF), "Macro(R) ");
  EXPECT_EQ(Text(8, 0x40, 0x01, 0), "Macro ");
  EXPECT_EQ(Text(36, 2, 0, 1), "Profile 3");
  EXPECT_EQ(Text(3, 1, 0, 0), "Launch setting");
  EXPECT_EQ(Text(3, 1, 0, 1), "HID Key2");
  EXPECT_EQ(Text(2, 1, 0, 0), "Virtual Touch (Windows 8)");
  EXPECT_EQ(Text(12, 0, 0, 0), "DPI+");
  EXPECT_EQ(Text(7, 0, 0, 0), "保留");
  EXPECT_EQ(Text(0, 0, 0, 0), "Default");
  EXPECT_EQ(Text(29, 0, 0, 0), "");
  EXPECT_EQ(Text(37, 0, 0, 0), "");
  EXPECT_EQ(Text(-1, 0, 0, 0), "");
  EXPECT_EQ(Text(255, 0, 0, 0), "");
}

TEST_F(FunctionTextTest, MainWindowShowsTheMacroName) {
  MacroNameLookup lookup = [](int address) { return address == 0x140 ? std::string("Combo") : std::string(); };
  EXPECT_EQ(ButtonDisplayText(texts_, {8, 0x40, 0x01, 0}, lookup), "Combo");
  EXPECT_EQ(ButtonDisplayText(texts_, {9, 0x41, 0x01, 0}, lookup), "");
  EXPECT_EQ(ButtonDisplayText(texts_, {10, 10, 0, 0xFF}, lookup), "Tilt right");
  EXPECT_EQ(ButtonDisplayText(texts_, {5, 0, 0x04, 0}, lookup), "A");
}

TEST(ButtonFunction, ResolveDefaultAndNameTables) {
  ButtonFunction factory{4, 1, 0, 0};
  EXPECT_EQ(ResolveDefault({0, 7, 8, 9}, factory), factory);
  EXPECT_EQ(ResolveDefault({5, 0, 4, 0}, factory), (ButtonFunction{5, 0, 4, 0}));
  KeyTexts texts = MakeKeyTexts(DefaultTextTables());
  ASSERT_EQ(texts.buttonOrderNames.size(), 18u);
  EXPECT_EQ(texts.buttonOrderNames[12], "Gaming");
  EXPECT_EQ(texts.buttonOrderNames[17], "");
  ASSERT_EQ(texts.buttonLabelNames.size(), 32u);
  EXPECT_EQ(texts.buttonLabelNames[11], "Button");
  EXPECT_EQ(texts.buttonLabelNames[31], "");
  ASSERT_EQ(texts.functionTypeNames.size(), 40u);
  EXPECT_EQ(texts.functionTypeNames[4], "Mouse ");
}

}  // namespace
}  // namespace quorix
