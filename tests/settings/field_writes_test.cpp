#include "settings/field_writes.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/settings_load.h"
#include "support/sim_world.h"

namespace quorix {
namespace {

using test::SimWorld;
using Bytes = std::vector<uint8_t>;

// A loaded mouse with the traffic of the load forgotten.
struct Loaded {
  explicit Loaded(int level = 11) : world(Options(level)) {
    LoadSettings(world.link, state);
    world.ClearTraffic();
  }
  static sim::SimOptions Options(int level) {
    sim::SimOptions options;
    options.protocolLevel = level;
    return options;
  }
  // Command bytes of the requests since the load, each cut to n bytes.
  std::vector<Bytes> Sent(size_t n = 8) {
    std::vector<Bytes> out;
    for (const Bytes& r : world.Requests()) out.emplace_back(r.begin() + 1, r.begin() + 1 + std::min(n, r.size() - 1));
    return out;
  }
  SimWorld world;
  SettingsState state;
};

Bytes B(std::initializer_list<int> values, size_t n = 8) {
  Bytes out(n, 0);
  size_t i = 0;
  for (int v : values) out[i++] = static_cast<uint8_t>(v);
  return out;
}

TEST(FieldWrites, ButtonAssignmentWritesFourPlanesAndCommits) {
  Loaded m;
  const auto before = m.state.image.Snapshot();
  ASSERT_TRUE(AssignButton(m.world.link, m.state, 1, 3, {5, 0x02, 0x04, 0}));
  // Profile 1, button 3: 160 + 3 + 64 = 227, then +32 per plane.
  EXPECT_EQ(m.Sent(),
            (std::vector<Bytes>{B({0x00, 0x12, 0x12}), B({0x03, 227, 0, 1, 5}), B({0x03, 259 & 0xFF, 1, 1, 2}),
                                B({0x03, 291 & 0xFF, 1, 1, 4}), B({0x03, 323 & 0xFF, 1, 1, 0}), B({0x14})}));
  EXPECT_EQ(m.state.image.Snapshot()->profiles[1].buttons[3], (ButtonRecord{5, 2, 4, 0}));
  EXPECT_EQ(before->profiles[1].buttons[3], (ButtonRecord{4, 0, 0x01, 0}));  // an old snapshot stays as it was
}

TEST(FieldWrites, TypeZeroShowsTheDefaultAndMovingTheLeftClickUpdatesTheHolder) {
  Loaded m;
  ASSERT_EQ(m.state.image.Snapshot()->primaryClickHolder, 0);
  ASSERT_TRUE(AssignButton(m.world.link, m.state, 0, 0, {4, 0x02, 0, 0}));
  EXPECT_EQ(m.state.image.Snapshot()->primaryClickHolder, -1);
  ASSERT_TRUE(AssignButton(m.world.link, m.state, 0, 7, {4, 0x01, 0, 0}));
  EXPECT_EQ(m.state.image.Snapshot()->primaryClickHolder, 7);
  m.world.ClearTraffic();
  ASSERT_TRUE(AssignButton(m.world.link, m.state, 0, 0, {0, 0, 0, 0}));
  const auto sent = m.Sent();
  EXPECT_EQ(sent.front(), B({0x0A, 0, 0x01}));  // the default is read first
  EXPECT_EQ(sent[2], B({0x03, 64, 0, 1, 0}));   // and the type-0 record goes to the mouse
  EXPECT_EQ(m.state.image.Snapshot()->profiles[0].buttons[0], (ButtonRecord{4, 1, 0, 0}));
  EXPECT_EQ(m.state.image.Snapshot()->primaryClickHolder, -1);  // buttons 0 and 7 both click left

  m.world.ClearTraffic();
  EXPECT_FALSE(AssignButton(m.world.link, m.state, 5, 0, {1, 0, 0, 0}));
  EXPECT_FALSE(AssignButton(m.world.link, m.state, 0, 32, {1, 0, 0, 0}));
  EXPECT_TRUE(m.world.Requests().empty());
}

TEST(FieldWrites, Level5HasTwentyFourButtonsAndGuardsNothingWhenTheFlagIsSet) {
  Loaded m(5);
  EXPECT_FALSE(AssignButton(m.world.link, m.state, 0, 24, {1, 0, 0, 0}));
  ASSERT_TRUE(AssignButton(m.world.link, m.state, 0, 23, {1, 0, 0, 0}));
  EXPECT_EQ(m.Sent()[1], B({0x01, 0x03, 64 + 23, 0, 1, 1}));
  EXPECT_EQ(m.world.Mouse().MemoryAt(32 + 32 + 23), 1);
}

TEST(FieldWrites, ActiveProfileAndProfileFlag) {
  Loaded m;
  ASSERT_TRUE(WriteActiveProfile(m.world.link, m.state, 3));
  EXPECT_EQ(m.Sent(), (std::vector<Bytes>{B({0x11, 3})}));
  EXPECT_EQ(m.world.Mouse().ActiveProfile(), 3);
  EXPECT_EQ(m.state.image.Snapshot()->activeProfile, 3);

  m.world.ClearTraffic();
  ASSERT_TRUE(WriteProfileFlag(m.world.link, m.state, 2, true));
  ASSERT_TRUE(WriteProfileFlag(m.world.link, m.state, 4, false));
  EXPECT_EQ(m.Sent(), (std::vector<Bytes>{B({0x03, 352 & 0xFF, 1, 1, 0x92}), B({0x03, 672 & 0xFF, 2, 1, 0x12})}));
  EXPECT_TRUE(m.state.image.Snapshot()->profiles[2].flag);
  EXPECT_EQ(m.world.Mouse().MemoryAt(352), 0x92);

  m.world.ClearTraffic();
  EXPECT_FALSE(WriteActiveProfile(m.world.link, m.state, 5));
  EXPECT_FALSE(WriteProfileFlag(m.world.link, m.state, -1, true));
  EXPECT_TRUE(m.world.Requests().empty());

  Loaded zero(0);
  ASSERT_TRUE(WriteProfileFlag(zero.world.link, zero.state, 1, true));
  EXPECT_EQ(zero.world.Mouse().MemoryAt(112), 0x92);
}

TEST(FieldWrites, SensitivitySelectionAndLevelSwitches) {
  Loaded m;
  m.world.Mouse().SetDpiSelection(0x07 << 3);
  LoadSettings(m.world.link, m.state);
  m.world.ClearTraffic();
  ASSERT_TRUE(WriteSensitivitySelection(m.world.link, m.state, 2, 0x07));
  ASSERT_TRUE(WriteLevelEnabled(m.world.link, m.state, 1, false));
  ASSERT_TRUE(WriteLevelEnabled(m.world.link, m.state, 3, true));
  EXPECT_EQ(m.Sent(), (std::vector<Bytes>{B({0x0F, 0x3A}), B({0x0F, 0x2A}), B({0x0F, 0x6A})}));
  const auto image = m.state.image.Snapshot();
  EXPECT_EQ(image->activeLevel, 2);
  EXPECT_EQ(image->levelMask, 0x0D);
  EXPECT_EQ(image->LevelsCycled(), 0x0D);
  // Picking a level sends it alone; the mask stays where the switches put it.
  m.world.ClearTraffic();
  ASSERT_TRUE(WriteActiveLevel(m.world.link, m.state, 3));
  EXPECT_EQ(m.Sent(), (std::vector<Bytes>{B({0x0F, 0x03})}));
  EXPECT_EQ(m.state.image.Snapshot()->activeLevel, 3);
  EXPECT_EQ(m.state.image.Snapshot()->levelMask, 0x0D);
  m.world.ClearTraffic();
  EXPECT_FALSE(WriteSensitivitySelection(m.world.link, m.state, 8, 0));
  EXPECT_FALSE(WriteLevelEnabled(m.world.link, m.state, 5, true));
  EXPECT_FALSE(WriteActiveLevel(m.world.link, m.state, 5));
  EXPECT_TRUE(m.world.Requests().empty());
}

// A switch acts on the levels the DPI button cycles through (the mouse counts
// four): an empty mask cycles them all, and the last one on stays on. Loaded
// in full (the window) or prepared for one write (the command line).
TEST(FieldWrites, LevelSwitchesActOnTheCycledLevels) {
  struct Case {
    const char* name;
    int mask, level;
    bool on;
    Failure failure;
    int sentMask;  // the mask the mouse holds afterwards
  };
  const std::vector<Case> cases = {
      {"all cycled: one off leaves three", 0, 1, false, Failure::kNone, 0b1101},
      {"all cycled: one on keeps all four", 0, 2, true, Failure::kNone, 0b1111},
      {"one of two off", 0b0101, 0, false, Failure::kNone, 0b0100},
      {"the last one on is refused", 0b0100, 2, false, Failure::kLastLevelOn, 0b0100},
      {"an uncounted bit is no level", 0b10001, 0, false, Failure::kLastLevelOn, 0b10001},
      {"no fifth level", 0b0001, 4, true, Failure::kInvalidArgument, 0b0001},
  };
  for (const bool prepared : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (prepared ? ", prepared" : ", loaded"));
      Loaded m;
      m.world.Mouse().SetDpiSelection(c.mask << 3 | 1);
      if (prepared)
        PrepareFieldWrite(m.world.link, m.state);
      else
        LoadSettings(m.world.link, m.state);
      m.world.ClearTraffic();
      EXPECT_EQ(WriteLevelEnabled(m.world.link, m.state, c.level, c.on), Outcome(c.failure));
      EXPECT_EQ(m.world.Mouse().DpiSelection(), c.sentMask << 3 | 1);
      if (c.failure == Failure::kNone) {
        EXPECT_EQ(m.state.image.Snapshot()->LevelsCycled(), c.sentMask & 0xF);
      }
    }
  }
}

TEST(FieldWrites, DpiPairAppliesOnlyForTheActiveLevel) {
  Loaded m;
  ASSERT_EQ(m.state.image.Snapshot()->activeLevel, 0);
  ASSERT_TRUE(WriteDpiPair(m.world.link, m.state, 0, 30, 31));
  ASSERT_TRUE(WriteDpiPair(m.world.link, m.state, 2, 90, 91));
  EXPECT_EQ(m.Sent(), (std::vector<Bytes>{B({0x10, 30, 31}), B({0x03, 3, 0, 2, 30, 31}), B({0x03, 7, 0, 2, 90, 91})}));
  EXPECT_EQ(m.state.image.Snapshot()->dpiPairs[2], (DpiPair{90, 91}));
  EXPECT_EQ(m.world.Mouse().MemoryAt(8), 91);
  EXPECT_FALSE(WriteDpiPair(m.world.link, m.state, 5, 1, 1));
  EXPECT_FALSE(WriteDpiPair(m.world.link, m.state, 1, 256, 1));
}

TEST(FieldWrites, ReportRateAndAngleSnappingRewriteTheSettingsByte) {
  Loaded m;
  ASSERT_TRUE(WriteReportRate(m.world.link, m.state, 7));
  EXPECT_EQ(m.world.Mouse().MemoryAt(14), 0x70);
  ASSERT_TRUE(WriteAngleSnapping(m.world.link, m.state, true));
  EXPECT_EQ(m.world.Mouse().MemoryAt(14), 0x71);
  const auto image = m.state.image.Snapshot();
  EXPECT_EQ(image->ReportRateHz(), 125);
  EXPECT_TRUE(image->angleSnapping);
  const auto sent = m.Sent(5);
  EXPECT_EQ(sent.back(), B({0x14}, 5));
  EXPECT_FALSE(WriteReportRate(m.world.link, m.state, 8));
}

TEST(FieldWrites, StoredSelectionAndLift) {
  Loaded m;
  ASSERT_TRUE(WriteActiveProfile(m.world.link, m.state, 2));
  ASSERT_TRUE(WriteSensitivitySelection(m.world.link, m.state, 3, 0x0F));
  m.world.ClearTraffic();
  ASSERT_TRUE(WriteStoredSelection(m.world.link, m.state, {.profile = true, .level = true}));
  EXPECT_EQ(m.Sent(), (std::vector<Bytes>{B({0x03, 1, 0, 1, 2}), B({0x03, 2, 0, 1, 3})}));

  m.world.ClearTraffic();
  Outcome begun;
  const int old = BeginLiftAdjust(m.world.link, m.state, begun);
  ASSERT_TRUE(begun);
  EXPECT_TRUE(m.world.Mouse().LiftAdjusting());
  ASSERT_TRUE(ConfirmLiftAdjust(m.world.link, m.state));
  const int stored = m.world.Mouse().MemoryAt(18) | m.world.Mouse().MemoryAt(19) << 8;
  EXPECT_EQ(m.state.image.Snapshot()->liftValue, stored);
  ASSERT_TRUE(CancelLiftAdjust(m.world.link, m.state, old));
  EXPECT_EQ(m.state.image.Snapshot()->liftValue, stored);  // a cancel does not persist
}

TEST(FieldWrites, NothingIsSentWithoutACurrentDevice) {
  SimWorld world;
  SettingsState state;
  EXPECT_FALSE(WriteActiveProfile(world.link, state, 1));
  EXPECT_FALSE(WriteAngleSnapping(world.link, state, true));
  EXPECT_FALSE(WriteStoredSelection(world.link, state, {.profile = true, .level = true}));
  EXPECT_TRUE(world.Requests().empty());
}

}  // namespace
}  // namespace quorix
