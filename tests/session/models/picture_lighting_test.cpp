#include "session/models/picture_lighting.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace quorix {
namespace {

// A level-11 mouse: layout 22 has lights in zones 0..8, layout 20 in 1..6.
PictureLightingInputs Mouse(int effect, int layout = 22) {
  PictureLightingInputs inputs;
  inputs.device = true;
  inputs.effect = effect;
  inputs.buttonLayout = layout;
  inputs.protocolLevel = 11;
  inputs.profileColour = {10, 20, 30};
  for (int zone = 0; zone < kPictureZones; ++zone) inputs.block[static_cast<size_t>(4 * zone)] = 0xC0;  // steady
  return inputs;
}

void SetZone(PictureLightingInputs& inputs, int zone, uint8_t flags, uint8_t r, uint8_t g, uint8_t b) {
  const size_t at = static_cast<size_t>(4 * zone);
  inputs.block[at] = flags;
  inputs.block[at + 1] = r;
  inputs.block[at + 2] = g;
  inputs.block[at + 3] = b;
}

ZoneLight LightOf(const PictureLighting& lighting, int zone) {
  for (const ZoneLight& light : lighting.Lights())
    if (light.zone == zone) return light;
  ADD_FAILURE() << "zone " << zone << " is not lit";
  return {};
}

struct PictureLightingTest : ::testing::Test {
  test::FakeClock clock;
  SeededRandom random{7};
  PictureLighting lighting{clock, random};
};

TEST_F(PictureLightingTest, DueOnlyWhileShownAndSomethingLitMoves) {
  PictureLightingInputs breathingUnlit = Mouse(0, 20);
  SetZone(breathingUnlit, 0, 0x80, 1, 2, 3);  // breathes, but layout 20 has no light in zone 0
  PictureLightingInputs breathingLit = Mouse(0, 20);
  SetZone(breathingLit, 3, 0x80, 1, 2, 3);
  PictureLightingInputs noDevice = Mouse(1);
  noDevice.device = false;
  struct Case {
    const char* name;
    PictureLightingInputs inputs;
    bool shown;
    bool due;
  };
  const Case cases[] = {
      {"steady customize", Mouse(0), true, false},
      {"breathing zone without a light", breathingUnlit, true, false},
      {"breathing lit zone", breathingLit, true, true},
      {"wave", Mouse(1), true, true},
      {"random", Mouse(4), true, true},
      {"wave, picture hidden", Mouse(1), false, false},
      {"wave, no mouse", noDevice, true, false},
  };
  for (const Case& c : cases) {
    PictureLighting fresh(clock, random);
    fresh.SetShown(c.shown);
    fresh.Load(c.inputs);
    EXPECT_EQ(fresh.NextDueMs(), c.due ? std::optional<int64_t>(clock.NowMs() + 130) : std::nullopt) << c.name;
  }
}

TEST_F(PictureLightingTest, MovingEffectsStepEvery130MsWithThePicturesSteps) {
  struct Case {
    int effect;
    ZoneLight start, first, second;  // zone 0 before, after one and after two steps
  };
  const Case cases[] = {
      // The wide wave starts zone 0 at blue, red rising by 50.
      {1, {0, 0, 0, 255}, {0, 50, 0, 255}, {0, 100, 0, 255}},
      // "Random 1" starts zone 0 three wheel points on, red rising by 12.
      {3, {0, 192, 0, 255}, {0, 204, 0, 255}, {0, 216, 0, 255}},
  };
  for (const Case& c : cases) {
    PictureLighting fresh(clock, random);
    fresh.SetShown(true);
    fresh.Load(Mouse(c.effect));
    EXPECT_EQ(LightOf(fresh, 0), c.start) << c.effect;
    clock.Advance(129);
    EXPECT_FALSE(fresh.Poll());
    clock.Advance(1);
    EXPECT_TRUE(fresh.Poll());
    EXPECT_EQ(LightOf(fresh, 0), c.first) << c.effect;
    clock.Advance(130);
    EXPECT_TRUE(fresh.Poll());
    EXPECT_EQ(LightOf(fresh, 0), c.second) << c.effect;
    EXPECT_EQ(fresh.NextDueMs(), clock.NowMs() + 130);
  }
}

TEST_F(PictureLightingTest, CustomizeBreathesAndFollowsTheProfileColour) {
  PictureLightingInputs inputs = Mouse(0);
  SetZone(inputs, 1, 0x80, 255, 102, 0);  // own colour, breathing
  SetZone(inputs, 2, 0x40, 9, 9, 9);      // profile colour, steady
  lighting.SetShown(true);
  lighting.Load(inputs);
  EXPECT_EQ(LightOf(lighting, 1), (ZoneLight{1, 255, 102, 0, 0}));  // breathing starts dark
  EXPECT_EQ(LightOf(lighting, 2), (ZoneLight{2, 10, 20, 30}));
  for (int step = 0; step < 3; ++step) {
    clock.Advance(130);
    ASSERT_TRUE(lighting.Poll());
  }
  EXPECT_EQ(LightOf(lighting, 1), (ZoneLight{1, 255, 102, 0, 60}));  // breathing level 60
  // Another profile: its colour shows at once, the breathing goes on.
  inputs.profileColour = {200, 0, 100};
  EXPECT_TRUE(lighting.Load(inputs));
  EXPECT_EQ(LightOf(lighting, 2), (ZoneLight{2, 200, 0, 100}));
  EXPECT_EQ(LightOf(lighting, 1), (ZoneLight{1, 255, 102, 0, 60}));
  EXPECT_FALSE(lighting.Load(inputs));  // nothing changed
  // Hidden, nothing is due; shown again, the next step is a frame away.
  lighting.SetShown(false);
  EXPECT_EQ(lighting.NextDueMs(), std::nullopt);
  clock.Advance(1000);
  EXPECT_FALSE(lighting.Poll());
  lighting.SetShown(true);
  EXPECT_EQ(lighting.NextDueMs(), clock.NowMs() + 130);
}

TEST_F(PictureLightingTest, ImageGivesEffectZonesAndTheShownProfilesColour) {
  SettingsImage image;
  image.protocolLevel = 0;
  image.lightingMode = 9;  // never written by the program
  image.profiles[2].colour = {3, 0, 1};
  image.lightingBlock[4] = 0x40;
  const PictureLightingInputs inputs = PictureLightingFrom(image, 2, true, 5);
  EXPECT_EQ(inputs.effect, 0);
  EXPECT_EQ(inputs.block, image.lightingBlock);
  lighting.Load(inputs);
  // An unknown layout lights every zone of the table; 2-bit colours scale up.
  EXPECT_EQ(lighting.Lights().size(), static_cast<size_t>(kPictureZones));
  EXPECT_EQ(LightOf(lighting, 1), (ZoneLight{1, 255, 0, 85}));
}

}  // namespace
}  // namespace quorix
