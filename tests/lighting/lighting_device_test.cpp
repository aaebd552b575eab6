#include "lighting/lighting_device.h"

#include <gtest/gtest.h>

#include <functional>

#include "lighting/live_colour.h"
#include "support/sim_world.h"

namespace quorix {
namespace {

using Bytes = std::vector<uint8_t>;

sim::SimOptions AtLevel(int level, int buttonLayout = 22) {
  sim::SimOptions options;
  options.protocolLevel = level;
  options.buttonLayout = buttonLayout;
  return options;
}

// The request bytes from byte 1 on, cut to n bytes.
Bytes Head(const Bytes& request, size_t n) {
  return Bytes(request.begin() + 1, request.begin() + 1 + std::min(n, request.size() - 1));
}

std::vector<Bytes> Heads(test::SimWorld& world, size_t n) {
  std::vector<Bytes> heads;
  for (const Bytes& request : world.Requests()) heads.push_back(Head(request, n));
  return heads;
}

TEST(LightEffectOnDevice, Level11WritesTheByteThenSwitches) {
  test::SimWorld world(AtLevel(11));
  std::atomic<int> effect{0};
  EXPECT_TRUE(ChooseLightEffect(world.link, world.path, 2, effect));
  EXPECT_EQ(effect, 2);
  EXPECT_EQ(Heads(world, 5), (std::vector<Bytes>{{0x03, 0x11, 0x00, 0x01, 0x02}, {0x12, 0x02, 0x00, 0x00, 0x00}}));
  EXPECT_EQ(world.Mouse().MemoryAt(0x11), 0x02);
  EXPECT_EQ(world.Mouse().LightingMode(), 2);
}

TEST(LightEffectOnDevice, RefusedCodesAndLevelsSendNothing) {
  test::SimWorld world(AtLevel(11));
  std::atomic<int> effect{3};
  EXPECT_EQ(ChooseLightEffect(world.link, world.path, 5, effect), Outcome(Failure::kInvalidArgument));
  EXPECT_EQ(ChooseLightEffect(world.link, world.path, -1, effect), Outcome(Failure::kInvalidArgument));
  EXPECT_EQ(effect, 3);
  EXPECT_TRUE(world.Requests().empty());
  for (int level : {10, 5, 0}) {
    test::SimWorld old(AtLevel(level));
    ASSERT_FALSE(old.path.empty()) << level;
    EXPECT_EQ(ChooseLightEffect(old.link, old.path, 2, effect), Outcome(Failure::kNotSupported)) << level;
    EXPECT_TRUE(old.Requests().empty()) << level;
    EXPECT_EQ(effect, 3);
  }
}

TEST(ZonesOnDevice, ReadAtBothAddressesOrNotAtAll) {
  test::SimWorld world(AtLevel(11));
  auto& memory = world.Mouse().Memory();
  memory[0x11] = 4;
  for (int i = 0; i < 64; ++i) memory[0x500 + i] = static_cast<uint8_t>(0xA0 + i);
  LightingConfig config = ReadLighting(world.link, world.path);
  EXPECT_EQ(config.effect, 4);
  ASSERT_EQ(config.zones.size(), 16u);
  EXPECT_EQ(config.zones[15], (LedZoneRecord{0xDC, 0xDD, 0xDE, 0xDF}));

  test::SimWorld grouped(AtLevel(8));
  auto& old = grouped.Mouse().Memory();
  old[0x11] = 2;  // no effect below level 11, whatever the byte says
  for (int i = 0; i < 52; ++i) old[0x460 + i] = static_cast<uint8_t>(i + 1);
  config = ReadLighting(grouped.link, grouped.path);
  EXPECT_EQ(config.effect, 0);
  ASSERT_EQ(config.zones.size(), 13u);
  EXPECT_EQ(config.zones[12], (LedZoneRecord{49, 50, 51, 52}));
  bool readLegacyTable = false;
  for (const Bytes& head : Heads(grouped, 5)) {
    readLegacyTable = readLegacyTable || head == Bytes{0x01, 0x00, 0x00, 0x60, 0x04};
  }
  EXPECT_TRUE(readLegacyTable);

  test::SimWorld oldest(AtLevel(2));
  EXPECT_TRUE(ReadLighting(oldest.link, oldest.path).zones.empty());
}

TEST(ZonesOnDevice, StoreAndPreviewGoldenTraffic) {
  test::SimWorld world(AtLevel(11));
  const LedZoneRecord colour{0xC0, 0x11, 0x22, 0x33};
  WriteZones(world.link, world.path, {3}, colour);
  EXPECT_EQ(Heads(world, 8), (std::vector<Bytes>{{0x03, 0x0C, 0x05, 0x04, 0xC0, 0x11, 0x22, 0x33}}));
  EXPECT_EQ(world.Mouse().MemoryAt(0x50C), 0xC0);
  EXPECT_EQ(world.Mouse().MemoryAt(0x50F), 0x33);
  world.ClearTraffic();
  PreviewZones(world.link, world.path, {7}, colour);
  EXPECT_EQ(Heads(world, 7), (std::vector<Bytes>{{0x13, 0x07, 0xC0, 0x11, 0x22, 0x33, 0x00}}));
  EXPECT_EQ(world.Mouse().LightingPreview(7), (std::array<uint8_t, 5>{7, 0xC0, 0x11, 0x22, 0x33}));
  EXPECT_EQ(world.Mouse().MemoryAt(0x51C), 0x00);  // a preview stores nothing

  test::SimWorld grouped(AtLevel(8));
  EXPECT_EQ(WriteZones(grouped.link, grouped.path, {3}, colour), Outcome(Failure::kNotSupported));
  EXPECT_EQ(PreviewZones(grouped.link, grouped.path, {3}, colour), Outcome(Failure::kNotSupported));
  // A zone past the table would write whatever follows it.
  world.ClearTraffic();
  EXPECT_EQ(WriteZones(world.link, world.path, {2, kZoneCount}, colour), Outcome(Failure::kInvalidArgument));
  EXPECT_EQ(RestoreZonePreviews(world.link, world.path, {-1}, {}), Outcome(Failure::kInvalidArgument));
  EXPECT_TRUE(grouped.Requests().empty());
  EXPECT_TRUE(world.Requests().empty());
}

TEST(ZonesOnDevice, SetAllLightsFollowsTheSelection) {
  test::SimWorld world(AtLevel(11, 20));
  const std::vector<int> zones = PickerZones(world.link, world.path, -1);
  EXPECT_EQ(zones, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(PickerZones(world.link, world.path, 9), std::vector<int>{9});
  PreviewZones(world.link, world.path, zones, {0x80, 1, 2, 3});
  const auto heads = Heads(world, 2);
  ASSERT_EQ(heads.size(), 6u);
  for (size_t i = 0; i < heads.size(); ++i) EXPECT_EQ(heads[i], (Bytes{0x13, static_cast<uint8_t>(i + 1)}));

  test::SimWorld level10(AtLevel(10, 20));
  EXPECT_TRUE(PickerZones(level10.link, level10.path, -1).empty());
}

TEST(ZonesOnDevice, CancelShowsTheStoredColoursAgain) {
  test::SimWorld world(AtLevel(11, 22));
  std::vector<LedZoneRecord> stored(16);
  stored[2] = {0xC0, 9, 8, 7};
  stored[5] = {0x40, 0xFF, 0, 0};
  RestoreZonePreviews(world.link, world.path, {2, 5}, stored);
  EXPECT_EQ(Heads(world, 6), (std::vector<Bytes>{{0x13, 2, 0xC0, 9, 8, 7}, {0x13, 5, 0x40, 0xFF, 0, 0}}));
}

TEST(PreviewOnDevice, CustomizeReadsTheTableOtherEffectsDoNot) {
  test::SimWorld world(AtLevel(11, 23));
  world.Mouse().Memory()[0x504] = 0x40;  // zone 1: profile colour, steady
  PreviewInputs inputs = ReadPreviewInputs(world.link, world.path, 1, {3, 0, 0});
  EXPECT_TRUE(world.Requests().empty());
  EXPECT_EQ(inputs.buttonLayout, 23);
  inputs = ReadPreviewInputs(world.link, world.path, 0, {3, 0, 0});
  EXPECT_FALSE(world.Requests().empty());
  PreviewModel model;
  LoadPreviewForEffect(model, 0, inputs);
  EXPECT_EQ(model.previewFlags[1], 0x40);
  EXPECT_EQ(model.previewRed[1], 3);
}

TEST(LiveColourOnDevice, DragSendsThroughTheSenderOnly) {
  test::SimWorld world(AtLevel(11, 22));
  LiveColour live({0xC0, 0, 0, 0});
  const std::vector<int> zones = PickerZones(world.link, world.path, 4);
  ColourSender sender(live, world.clock,
                      [&](const LedZoneRecord& colour) { return PreviewZones(world.link, world.path, zones, colour); });
  live.DragTo(0x102030);
  live.DragTo(0x405060);
  EXPECT_TRUE(world.Requests().empty());
  sender.Wake();
  EXPECT_EQ(Heads(world, 6), (std::vector<Bytes>{{0x13, 4, 0xC0, 0x40, 0x50, 0x60}}));
  EXPECT_TRUE(sender.LastOutcome());
  // The picker learns when the mouse stops following the drag.
  world.Mouse().SetAnswerFaults(false, true, false);
  live.DragTo(0x708090);
  EXPECT_TRUE(sender.Wake());
  EXPECT_EQ(sender.LastOutcome(), Outcome(Failure::kStoppedAnswering));
}

TEST(LightingFaults, AFailingMouseGetsNothingAfterTheFirstFailedExchange) {
  struct Fault {
    const char* name;
    int unplugAfter;  // requests before the mouse vanishes; -1: stays
    bool silent, oddAnswers;
    Failure failure;
    size_t requests;  // sent in all, the failed one included
  };
  const Fault faults[] = {{"unplugged", 1, false, false, Failure::kDeviceGone, 2},
                          {"silent", -1, true, false, Failure::kStoppedAnswering, 0},
                          {"odd answers", -1, false, true, Failure::kBadAnswers, 1}};
  const LedZoneRecord colour{0xC0, 1, 2, 3};
  struct Operation {
    const char* name;
    std::function<Outcome(test::SimWorld&)> run;
    // Odd answers show only at the first exchange that awaits an answer:
    // the requests up to it, or all of them when none does (memory writes
    // go out blind, so a store of zone records cannot tell).
    size_t oddRequests;
    bool blind = false;
  };
  const Operation operations[] = {
      {"effect",
       [](test::SimWorld& w) {
         std::atomic<int> effect{3};
         const Outcome outcome = ChooseLightEffect(w.link, w.path, 2, effect);
         EXPECT_EQ(effect, 3);  // the picker keeps showing what the mouse has
         return outcome;
       },
       2},
      {"read",
       [](test::SimWorld& w) {
         const LightingConfig config = ReadLighting(w.link, w.path);
         EXPECT_TRUE(config.zones.empty());
         return config.outcome;
       },
       1},
      {"preview", [&](test::SimWorld& w) { return PreviewZones(w.link, w.path, {3, 4}, colour); }, 1},
      {"store", [&](test::SimWorld& w) { return WriteZones(w.link, w.path, {3, 4}, colour); }, 2, true},
      {"restore", [&](test::SimWorld& w) { return RestoreZonePreviews(w.link, w.path, {3, 4}, {}); }, 1},
      {"preview inputs",
       [](test::SimWorld& w) {
         const PreviewInputs inputs = ReadPreviewInputs(w.link, w.path, 0, {});
         EXPECT_EQ(inputs.block, LightingBlock{});
         return inputs.outcome;
       },
       1},
  };
  for (const Operation& operation : operations) {
    for (const Fault& f : faults) {
      sim::SimOptions options = AtLevel(11);
      options.silent = f.silent;
      options.oddAnswers = f.oddAnswers;
      test::SimWorld world(options);
      world.Mouse().Memory()[0x50C] = 0x77;  // something a half read could show
      if (f.unplugAfter >= 0) world.host.ArmUnplug(f.unplugAfter);
      const Failure failure = f.oddAnswers && operation.blind ? Failure::kNone : f.failure;
      EXPECT_EQ(operation.run(world), Outcome(failure)) << operation.name << ", " << f.name;
      EXPECT_EQ(world.Requests().size(), f.oddAnswers ? operation.oddRequests : f.requests)
          << operation.name << ", " << f.name;
    }
  }
}

}  // namespace
}  // namespace quorix
