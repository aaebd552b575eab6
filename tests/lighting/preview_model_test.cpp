#include "lighting/preview_model.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

#include "support/fake_clock.h"

namespace quorix {
namespace {

// Hands out scripted numbers and counts how many were asked for.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::deque<uint32_t> values = {}) : values_(std::move(values)) {}
  uint32_t Next() override {
    ++calls;
    if (values_.empty()) return 0;
    const uint32_t value = values_.front();
    values_.pop_front();
    return value;
  }
  int calls = 0;

 private:
  std::deque<uint32_t> values_;
};

TEST(Breathing, RunsUpTurnsAtTopAndRestartsFromZero) {
  PreviewModel model;
  std::vector<int> levels;
  for (int i = 0; i < 22 + 15 + 4; ++i) {
    AdvanceBreathing(model);
    levels.push_back(model.breathingLevel);
  }
  std::vector<int> expected;
  for (int level = 20; level <= 440; level += 20) expected.push_back(level);  // 22 steps up
  for (int level = 300; level >= 20; level -= 20) expected.push_back(level);  // 300 .. 20
  expected.push_back(0);
  expected.push_back(0);   // the step below zero clamps and turns
  expected.push_back(20);
  expected.push_back(40);
  ASSERT_EQ(levels.size(), expected.size());
  EXPECT_EQ(levels, expected);
}

TEST(PreviewSetUp, CustomizeTakesRecordsOrProfileColour) {
  PreviewInputs inputs;
  inputs.profileColour = {3, 2, 1};
  const uint8_t zone0[4] = {0xC7, 10, 20, 30};   // own colour, steady, firmware bits set
  const uint8_t zone1[4] = {0x40, 0xFF, 0, 0};   // profile colour, steady
  const uint8_t zone12[4] = {0x80, 1, 2, 3};     // last zone of the table
  const uint8_t zone13[4] = {0x80, 9, 9, 9};     // beyond the table the preview uses
  std::copy(zone0, zone0 + 4, inputs.block.begin());
  std::copy(zone1, zone1 + 4, inputs.block.begin() + 4);
  std::copy(zone12, zone12 + 4, inputs.block.begin() + 48);
  std::copy(zone13, zone13 + 4, inputs.block.begin() + 52);
  PreviewModel model;
  model.currentEffect = 2;
  LoadPreviewForEffect(model, 0, inputs);
  EXPECT_EQ(model.currentEffect, 0);
  EXPECT_EQ(model.previewFlags[0], 0xC0);
  EXPECT_EQ(model.previewRed[0], 10);
  EXPECT_EQ(model.previewBlue[0], 30);
  EXPECT_EQ(model.previewFlags[1], 0x40);
  EXPECT_EQ(model.previewRed[1], 3);
  EXPECT_EQ(model.previewGreen[1], 2);
  EXPECT_EQ(model.previewBlue[1], 1);
  EXPECT_EQ(model.previewGreen[12], 2);
  EXPECT_EQ(model.previewRed[13], 0);

  // A steady zone in the profile colour shows at full brightness; a breathing
  // one follows the breathing level.
  model.breathingLevel = 100;
  ScriptedRandom random;
  AnimatePreviewStep(model, {1, 1, 1}, random);
  EXPECT_EQ(model.previewBrightness[1], 255);
  EXPECT_EQ(model.previewRed[1], 1);      // refreshed from the profile colour
  EXPECT_EQ(model.previewRed[0], 10);     // own colour untouched
  EXPECT_EQ(model.previewBrightness[2], 120);
  model.breathingLevel = 400;
  AnimatePreviewStep(model, {1, 1, 1}, random);
  EXPECT_EQ(model.previewBrightness[2], 255);  // min(level, 255)
  EXPECT_EQ(random.calls, 0);
}

TEST(StartingColours, WheelRowsAndLayoutChoice) {
  const StartingColourTable& wave = StartingColours(1, true);
  EXPECT_EQ(wave[0], (PreviewStart{1, 0, 0, 255}));
  EXPECT_EQ(wave[1], (PreviewStart{1, 64, 0, 255}));
  EXPECT_EQ(wave[3], (PreviewStart{1, 192, 0, 255}));
  EXPECT_EQ(wave[4], (PreviewStart{6, 255, 0, 255}));
  EXPECT_EQ(wave[5], (PreviewStart{6, 255, 0, 192}));
  EXPECT_EQ(wave[8], (PreviewStart{3, 255, 0, 0}));
  EXPECT_EQ(wave[15], (PreviewStart{2, 64, 255, 0}));
  // Every table is a complete arrangement of the same 16 wheel points.
  for (int effect = 1; effect <= 4; ++effect) {
    for (bool wide : {false, true}) {
      std::set<std::tuple<int, int, int, int>> points;
      for (const PreviewStart& row : StartingColours(effect, wide)) {
        EXPECT_GE(row.phase, 1);
        EXPECT_LE(row.phase, 6);
        points.insert({row.phase, row.red, row.green, row.blue});
      }
      // Narrow waves spread two wheel steps per zone: 8 distinct points.
      EXPECT_EQ(points.size(), (wide || effect >= 3) ? 16u : 8u) << effect;
    }
  }
  EXPECT_EQ(StartingColours(2, true)[1], wave[15]);  // the inverted wave runs backwards
  EXPECT_NE(StartingColours(1, false)[1], wave[1]);

  EXPECT_TRUE(UsesWideWaveTable(21, 0));
  EXPECT_TRUE(UsesWideWaveTable(24, 5));
  EXPECT_TRUE(UsesWideWaveTable(20, 11));
  EXPECT_FALSE(UsesWideWaveTable(19, 10));
  EXPECT_FALSE(UsesWideWaveTable(25, 11));

  PreviewInputs inputs;
  inputs.buttonLayout = 19;
  inputs.protocolLevel = 10;
  PreviewModel model;
  LoadPreviewForEffect(model, 1, inputs);
  EXPECT_EQ(model.previewRed[1], StartingColours(1, false)[1].red);
  EXPECT_EQ(model.previewBrightness[11], 255);
  EXPECT_EQ(model.previewBrightness[12], 0);  // zones 0..11 only
}

TEST(Animation, WaveWalksTheChannelsThroughEveryPhase) {
  PreviewModel model;
  model.currentEffect = 1;
  model.previewFlags[0] = 0;  // phase 0 starts as phase 1
  ScriptedRandom random;
  // Red rises from 0 in steps of 40: 7 frames reach 280 and clamp.
  for (int i = 0; i < 7; ++i) AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewRed[0], 255);
  EXPECT_EQ(model.previewFlags[0], kPhaseBlueDown);
  model.previewBlue[0] = 30;
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewBlue[0], 0);
  EXPECT_EQ(model.previewFlags[0], kPhaseGreenUp);
  model.previewGreen[0] = 250;
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewGreen[0], 255);
  EXPECT_EQ(model.previewFlags[0], kPhaseRedDown);
  model.previewRed[0] = 10;
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewFlags[0], kPhaseBlueUp);
  model.previewBlue[0] = 230;
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewFlags[0], kPhaseGreenDown);
  model.previewGreen[0] = 39;
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewGreen[0], 0);
  EXPECT_EQ(model.previewFlags[0], kPhaseRedUp);
  EXPECT_EQ(model.previewBrightness[10], 255);
  EXPECT_EQ(model.previewFlags[11], 0);  // zone 11 does not move
  EXPECT_EQ(random.calls, 0);            // waves never draw random numbers
}

TEST(Animation, RandomOneTurnsToGreenWhenTheDrawHits) {
  PreviewModel model;
  model.currentEffect = 3;
  for (int zone = 0; zone < 11; ++zone) {
    model.previewFlags[zone] = kPhaseRedUp;
    model.previewRed[zone] = 250;
  }
  // One draw per zone whose red tops out: 1 (mod 5) turns, anything else does not.
  ScriptedRandom random({1, 2, 6, 0, 0, 0, 0, 0, 0, 0, 0});
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(random.calls, 11);
  EXPECT_EQ(model.previewFlags[0], kPhaseGreenUp);
  EXPECT_EQ(model.previewFlags[1], kPhaseBlueDown);
  EXPECT_EQ(model.previewFlags[2], kPhaseGreenUp);  // 6 % 5 == 1
  EXPECT_EQ(model.previewRed[3], 255);
  // Step 10 in the random effects.
  model.previewFlags[0] = kPhaseGreenUp;
  model.previewGreen[0] = 0;
  AnimatePreviewStep(model, {}, random);
  EXPECT_EQ(model.previewGreen[0], 10);
}

TEST(Animation, RandomTwoJumpsOnlyInAJumpStep) {
  PreviewModel model;
  model.currentEffect = 4;
  auto topOut = [&] {
    for (int zone = 0; zone < 11; ++zone) {
      model.previewFlags[zone] = kPhaseRedUp;
      model.previewRed[zone] = 250;
    }
  };
  topOut();
  ScriptedRandom noJump({4});
  AnimatePreviewStep(model, {}, noJump);
  EXPECT_EQ(noJump.calls, 1);  // one draw per frame
  EXPECT_EQ(model.previewFlags[5], kPhaseBlueDown);
  topOut();
  ScriptedRandom jump({14});  // 14 % 9 == 5
  AnimatePreviewStep(model, {}, jump);
  EXPECT_EQ(model.previewFlags[5], kPhaseGreenUp);
  EXPECT_EQ(model.previewFlags[10], kPhaseGreenUp);
}

TEST(Animation, SeededRunsRepeatExactly) {
  auto run = [](uint32_t seed) {
    PreviewModel model;
    LoadPreviewForEffect(model, 4, {});
    SeededRandom random(seed);
    for (int i = 0; i < 200; ++i) AnimatePreviewStep(model, {}, random);
    return model.previewRed;
  };
  EXPECT_EQ(run(7), run(7));
}

TEST(PreviewAnimator, OneFramePerNinetyMillisecondsUntilStopped) {
  test::FakeClock clock;
  SharedPreview preview;
  SeededRandom random(1);
  std::atomic<bool> stop{false};
  int frames = 0;
  PreviewAnimator animator(
      preview, clock, random, [] { return ProfileColour{}; },
      [&] {
        if (++frames == 5) stop = true;
      });
  animator.Run(stop);
  EXPECT_EQ(frames, 5);
  EXPECT_EQ(clock.Sleeps(), (std::vector<int64_t>{90, 90, 90, 90, 90}));
  EXPECT_EQ(preview.Snapshot().breathingLevel, 100);
}

}  // namespace
}  // namespace quorix
