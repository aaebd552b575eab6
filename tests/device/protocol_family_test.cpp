// What each protocol level gets from its family: one row per level, the
// boundaries of each range included.
#include "device/protocol_family.h"

#include <gtest/gtest.h>

namespace quorix::test {
namespace {

TEST(ProtocolFamily, WhatEachLevelGets) {
  struct Row {
    int level;
    Layout layout;
    int stride, buttons, physical, settingsByte, dpiPairs, storedProfile, lift, zoneTable, zones, readPiece;
    bool lighting, liftCommands, reportRate, handshake, recordsByRequest, optionFlagInId;
    int colourMax, firstSpecialSlot;
  } rows[] = {
      // clang-format off
      {-3,  Layout::kLevel0,   96, 16, 16, 15, 4, 14, -1,    -1,  0,  7, false, false, false, false, false, false,   3, 14},
      {0,   Layout::kLevel0,   96, 16, 16, 15, 4, 14, -1,    -1,  0,  7, false, false, false, false, false, false,   3, 14},
      {1,   Layout::kGrouped, 128, 24, 24, 14, 3,  1, 18,    -1,  0, 61, false, false, true,  true,  false, false, 255, 22},
      {3,   Layout::kGrouped, 128, 24, 24, 14, 3,  1, 18, 0x460, 13, 61, false, false, true,  true,  false, true,  255, 22},
      {5,   Layout::kGrouped, 128, 24, 24, 14, 3,  1, 18, 0x460, 13, 61, false, false, true,  true,  false, true,  255, 22},
      {10,  Layout::kGrouped, 128, 24, 24, 14, 3,  1, 18, 0x460, 13, 61, false, false, true,  true,  false, true,  255, 22},
      {11,  Layout::kDirect,  160, 32, 24, 14, 3,  1, 18, 0x500, 16, 61, true,  true,  true,  false, true,  false, 255, 22},
      {14,  Layout::kDirect,  160, 32, 24, 14, 3,  1, 18, 0x500, 16, 61, true,  true,  true,  false, true,  false, 255, 22},
      {200, Layout::kDirect,  160, 32, 24, 14, 3,  1, 18, 0x500, 16, 61, true,  true,  true,  false, true,  false, 255, 22},
      // clang-format on
  };
  for (const Row& r : rows) {
    const ProtocolFamily f = FamilyForLevel(r.level);
    SCOPED_TRACE(r.level);
    EXPECT_EQ(f.level, r.level);
    EXPECT_EQ(f.layout, r.layout);
    EXPECT_EQ(f.profileBlockStride, r.stride);
    EXPECT_EQ(f.buttonsPerProfile, r.buttons);
    EXPECT_EQ(f.physicalButtons, r.physical);
    EXPECT_EQ(f.settingsByteAddress, r.settingsByte);
    EXPECT_EQ(f.dpiPairOffset, r.dpiPairs);
    EXPECT_EQ(f.storedProfileAddress, r.storedProfile);
    EXPECT_EQ(f.liftValueAddress, r.lift);
    EXPECT_EQ(f.lightingBlockAddress, r.zoneTable);
    EXPECT_EQ(f.LightingZoneCount(), r.zones);
    EXPECT_EQ(f.readPiece, r.readPiece);
    EXPECT_EQ(f.lighting, r.lighting);
    EXPECT_EQ(f.liftCommands, r.liftCommands);
    EXPECT_EQ(f.reportRateAlways, r.reportRate);
    EXPECT_EQ(f.loadHandshake, r.handshake);
    EXPECT_EQ(f.buttonRecordsByRequest, r.recordsByRequest);
    EXPECT_EQ(f.optionFlagInIdentification, r.optionFlagInId);
    EXPECT_EQ(f.colourComponentMax, r.colourMax);
    EXPECT_EQ(f.specialButtonSlots[0], r.firstSpecialSlot);
    EXPECT_EQ(f.specialButtonSlots[1], r.firstSpecialSlot + 1);
    // The four button planes of the last profile end where the profile's
    // block has room for them, before the macro table.
    EXPECT_LT(f.ButtonByteAddress(4, f.buttonsPerProfile - 1, 3), f.macroTableOffset);
  }
  // Button records per layout, as the commands write them.
  EXPECT_EQ(FamilyForLevel(0).ButtonByteAddress(1, 2, 3), 96 + 2 + 48 + 48);
  EXPECT_EQ(FamilyForLevel(5).ButtonByteAddress(1, 2, 3), 128 + 2 + 64 + 72);
  EXPECT_EQ(FamilyForLevel(11).ButtonByteAddress(1, 2, 3), 160 + 2 + 64 + 96);
}

}  // namespace
}  // namespace quorix::test
