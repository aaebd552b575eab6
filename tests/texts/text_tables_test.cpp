#include "texts/text_tables.h"

#include <gtest/gtest.h>

namespace quorix {
namespace {

TEST(DefaultTextTables, TablesHaveTheirCountsAndKeyEntries) {
  const TextTables t = DefaultTextTables();
  EXPECT_EQ(t.typeStr.size(), 40u);
  EXPECT_EQ(t.titleStr.size(), 20u);
  EXPECT_EQ(t.btOrderStr.size(), 16u);
  EXPECT_EQ(t.btLabelStr.size(), 16u);
  EXPECT_EQ(t.upgradeStr.size(), 11u);
  EXPECT_EQ(t.capInputStr.size(), 4u);
  EXPECT_EQ(t.macroStr.size(), 17u);
  EXPECT_EQ(t.macroBtStr.size(), 5u);
  EXPECT_EQ(t.mouseStr.size(), 9u);
  EXPECT_EQ(t.buttonStr.size(), 62u);
  EXPECT_EQ(t.buttonTipStr.size(), 60u);
  EXPECT_EQ(t.msgStr.size(), 43u);
  EXPECT_EQ(t.classStr.size(), 6u);
  EXPECT_EQ(t.menuStr.size(), 2u);
  EXPECT_EQ(t.consumerKeyStr.size(), 14u);

  // Spot checks at both ends of the long tables, where an off-by-one shows.
  EXPECT_EQ(t.typeStr[4], "Mouse ");
  EXPECT_EQ(t.typeStr[31], "Lock Y-axis");
  EXPECT_EQ(t.typeStr[36], "");
  EXPECT_EQ(t.buttonStr[34], "Disable mouse acceleration (OS)");
  EXPECT_EQ(t.buttonStr[40], "Color Setting");
  EXPECT_EQ(t.buttonStr[51], "Customize");
  EXPECT_EQ(t.buttonStr[55], "Random 2");
  EXPECT_EQ(t.buttonStr[61], "Disable");
  EXPECT_EQ(t.msgStr[10], "No device !!");
  EXPECT_EQ(t.msgStr[42], "Firmware version");
  EXPECT_EQ(t.buttonTipStr[39], "New folder");
  EXPECT_EQ(t.upgradeStr[0].find("\r\n"), 44u);
  EXPECT_EQ(t.upgradeStr[3], "Upgrade finish.");
  EXPECT_EQ(t.consumerKeyStr.front(), "Web Browser");
  EXPECT_EQ(t.consumerKeyStr.back(), "Fast Forward");
  EXPECT_EQ(t.btLabelStr[11], "Button");
  EXPECT_EQ(t.macroStr[16], "Mouse Move to (%d , %d)");
}

TEST(DefaultTextTables, LiftTextsAreEnglishAndStatusTextsNotBlank) {
  const TextTables t = DefaultTextTables();
  EXPECT_EQ(t.adjustLiftStr[0], "Lift adjust");
  EXPECT_EQ(t.adjustLiftStr[5], "Move the mouse all over the mouse pad without lifting it.");
  EXPECT_EQ(t.adjustLiftStr[7], "Press OK within 5 seconds, or the change is cancelled.");
  EXPECT_EQ(t.adjustLiftStr[8], "");
  EXPECT_EQ(t.adjustLiftStr[10], "In progress...");
  EXPECT_EQ(t.adjustLiftStr[11], "Adjust Fail !!");
  EXPECT_EQ(t.adjustLiftStr[12], "Adjust Success !!");
}

}  // namespace
}  // namespace quorix
