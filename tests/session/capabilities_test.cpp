#include "session/capabilities.h"

#include <gtest/gtest.h>

#include "support/sim_world.h"

namespace quorix {
namespace {

using test::SimWorld;

// Each mouse is identified by the simulated firmware, so the row checks the
// identification bytes the answer is taken from as well as the rules.
TEST(Capabilities, FollowTheLayoutTheFirmwareAndTheModel) {
  struct Row {
    int level, variantA, modelCode;
    bool lighting, lift, reportRate;
    int dpiStep, buttons, levels, hiddenRows;
  };
  const Row rows[] = {
      {11, 0, 3, true, true, true, 50, 32, 5, 8},
      {5, 0, 0x12, false, false, true, 100, 24, 5, 0},
      {0, 34, 3, false, false, true, 50, 16, 4, 0},
      {0, 33, 0x12, false, false, false, 100, 16, 4, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("level " + std::to_string(row.level) + " variantA " + std::to_string(row.variantA));
    sim::SimOptions options;
    options.protocolLevel = row.level;
    options.variantA = row.variantA;
    options.modelCode = row.modelCode;
    SimWorld world(options);
    const DeviceCapabilities caps = CapabilitiesAt(world.link, world.path);
    EXPECT_EQ(caps.lighting, row.lighting);
    EXPECT_EQ(caps.liftAdjustment, row.lift);
    EXPECT_EQ(caps.reportRate, row.reportRate);
    EXPECT_EQ(caps.levelSwitches, row.reportRate);
    EXPECT_EQ(caps.dpiStep, row.dpiStep);
    EXPECT_EQ(caps.buttonCount, row.buttons);
    EXPECT_EQ(caps.levelCount, row.levels);
    EXPECT_EQ(caps.hiddenButtonRows, row.hiddenRows);
    // A path that was never identified offers nothing beyond the level-0 basics.
    const DeviceCapabilities unknown = CapabilitiesAt(world.link, "no such path");
    EXPECT_FALSE(unknown.reportRate || unknown.lighting || unknown.liftAdjustment);
  }
}

// The rules a write is refused by, for a level-11 mouse (24 rows shown of 32
// records, five levels with switches) and an early level-0 one (no switches,
// no report rate).
TEST(Capabilities, WriteRefusals) {
  DeviceCapabilities direct;
  direct.buttonCount = 32;
  direct.hiddenButtonRows = 8;
  direct.levelCount = 5;
  direct.levelSwitches = direct.reportRate = true;
  const DeviceCapabilities early;  // 16 buttons, 4 levels, neither switches nor a report rate
  using R = WriteRefusal;
  struct Case {
    const DeviceCapabilities& caps;
    int button, holder;
    R buttonRefusal;
    int level;
    bool switching;
    R levelRefusal;
    R rateRefusal;
  } cases[] = {
      {direct, 1, 0, R::kAllowed, 4, true, R::kAllowed, R::kAllowed},
      {direct, 0, 0, R::kPrimaryClickHolder, 5, false, R::kLevelOutOfRange, R::kAllowed},
      {direct, 23, -1, R::kAllowed, -1, false, R::kLevelOutOfRange, R::kAllowed},
      {direct, 24, -1, R::kButtonOutOfRange, 0, false, R::kAllowed, R::kAllowed},
      {early, 15, 3, R::kAllowed, 3, false, R::kAllowed, R::kNoReportRate},
      {early, 16, 3, R::kButtonOutOfRange, 3, true, R::kNoLevelSwitches, R::kNoReportRate},
      {early, -1, 3, R::kButtonOutOfRange, 4, true, R::kLevelOutOfRange, R::kNoReportRate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("button " + std::to_string(c.button) + " level " + std::to_string(c.level));
    EXPECT_EQ(ButtonWriteRefusal(c.caps, c.button, c.holder), c.buttonRefusal);
    EXPECT_EQ(LevelWriteRefusal(c.caps, c.level, c.switching), c.levelRefusal);
    EXPECT_EQ(ReportRateWriteRefusal(c.caps), c.rateRefusal);
  }
}

TEST(Capabilities, ReportRatesAreOnePerStoredCode) {
  const std::pair<int, int> cases[] = {{1000, 0}, {500, 1}, {333, 2}, {250, 3}, {200, 4}, {166, 5}, {142, 6},
                                       {125, 7}, {300, -1}, {143, -1}, {0, -1}, {2000, -1}};
  for (const auto& [hz, code] : cases) {
    EXPECT_EQ(ReportRateCodeForHz(hz), code) << hz << " Hz";
    if (code >= 0) {
      EXPECT_EQ(ReportRateHzForCode(code), hz) << code;
    }
  }
  EXPECT_EQ(OfferedReportRatesText(), "1000, 500, 333, 250, 200, 166, 142 or 125");
}

}  // namespace
}  // namespace quorix
