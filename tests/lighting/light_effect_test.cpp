#include "lighting/light_effect.h"

#include <gtest/gtest.h>

namespace quorix {
namespace {

TEST(LightEffect, OnlyCodesZeroToFourAreEffects) {
  EXPECT_EQ(LightEffectFromCode(0), LightEffect::kCustomize);
  EXPECT_EQ(LightEffectFromCode(4), LightEffect::kRandom2);
  EXPECT_FALSE(LightEffectFromCode(5));
  EXPECT_FALSE(LightEffectFromCode(-1));
  EXPECT_FALSE(LightEffectFromCode(255));
}

TEST(LedZoneRecord, FlagBitsChangeOnlyTheirOwnBit) {
  LedZoneRecord record{0x15, 1, 2, 3};  // firmware bits 0..5 set in a pattern
  record.SetOwnColour(true);
  record.SetSteady(true);
  EXPECT_EQ(record.flags, 0xD5);
  record.SetOwnColour(false);
  EXPECT_EQ(record.flags, 0x55);
  EXPECT_TRUE(record.Steady());
  EXPECT_FALSE(record.OwnColour());
  record.SetSteady(false);
  EXPECT_EQ(record.flags, 0x15);
  const std::array<uint8_t, 4> expected{0x15, 1, 2, 3};
  EXPECT_EQ(record.Bytes(), expected);
}

TEST(ZoneTable, LayoutPerProtocolLevel) {
  EXPECT_EQ(ZoneTableLayoutForLevel(11).address, 0x500);
  EXPECT_EQ(ZoneTableLayoutForLevel(12).ByteCount(), 64);
  EXPECT_EQ(ZoneTableLayoutForLevel(10).address, 0x460);
  EXPECT_EQ(ZoneTableLayoutForLevel(3).ByteCount(), 52);
  EXPECT_EQ(ZoneTableLayoutForLevel(8).zoneCount, 13);
  EXPECT_EQ(ZoneTableLayoutForLevel(2).zoneCount, 0);
  EXPECT_EQ(ZoneTableLayoutForLevel(0).address, 0);
  EXPECT_EQ(ZoneRecordAddress(0), 0x500);
  EXPECT_EQ(ZoneRecordAddress(15), 0x53C);
}

TEST(ZoneTable, DecodeAndEncodeRoundTripKeepsPassThroughBits) {
  LightingBlock block{};
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + 1);
  const LightingConfig config = DecodeLighting(block, 3, 11);
  EXPECT_EQ(config.effect, 3);
  ASSERT_EQ(config.zones.size(), 16u);
  EXPECT_EQ(config.zones[2], (LedZoneRecord{block[8], block[9], block[10], block[11]}));
  EXPECT_EQ(EncodeLightingBlock(config.zones), block);
}

TEST(ZoneTable, DecodeFallsBackToCustomizeAndLevelZones) {
  LightingBlock block{};
  block[48] = 0xC0;
  EXPECT_EQ(DecodeLighting(block, 9, 11).effect, 0);    // never written, reads as Customize
  const LightingConfig legacy = DecodeLighting(block, 2, 8);
  EXPECT_EQ(legacy.effect, 0);                           // no effect below level 11
  ASSERT_EQ(legacy.zones.size(), 13u);
  EXPECT_EQ(legacy.zones[12].flags, 0xC0);
  EXPECT_TRUE(DecodeLighting(block, 1, 2).zones.empty());
  // Only 16 records fit the block; more are ignored, fewer leave zeros.
  std::vector<LedZoneRecord> many(20, LedZoneRecord{0xC0, 1, 1, 1});
  EXPECT_EQ(EncodeLightingBlock(many)[63], 1);
  EXPECT_EQ(EncodeLightingBlock({LedZoneRecord{0x80, 9, 9, 9}})[4], 0);
}

TEST(ZoneSelection, ByButtonLayoutAndLevel) {
  const std::vector<int> zeroToEight{0, 1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<int> oneToSix{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(SelectedZones(22, 0), zeroToEight);
  EXPECT_EQ(SelectedZones(23, 11), zeroToEight);
  EXPECT_EQ(SelectedZones(24, 5), zeroToEight);
  EXPECT_EQ(SelectedZones(20, 11), oneToSix);
  EXPECT_EQ(SelectedZones(19, 12), oneToSix);
  EXPECT_TRUE(SelectedZones(20, 10).empty());
  EXPECT_TRUE(SelectedZones(19, 0).empty());
  EXPECT_TRUE(SelectedZones(21, 11).empty());
  EXPECT_TRUE(SelectedZones(3, 11).empty());
}

TEST(ProfileColour, DisplayScale) {
  EXPECT_EQ(DisplayComponent(3, 0), 255);
  EXPECT_EQ(DisplayComponent(1, 0), 85);
  EXPECT_EQ(DisplayComponent(2, 0), 170);
  EXPECT_EQ(DisplayComponent(9, 0), 255);  // out-of-range 2-bit value clamps
  EXPECT_EQ(DisplayComponent(200, 11), 200);
  EXPECT_EQ(DisplayComponent(3, 1), 3);
}

}  // namespace
}  // namespace quorix
