#include "session/models/lighting_windows.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"

namespace quorix {
namespace {

struct LightingWorld : test::SimSession {
  explicit LightingWorld(sim::SimOptions options = {}) : SimSession(options) {
  }
  // Loads the mouse; memory set up before is what the session reads.
  void Load() {
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
  }
  sim::SimMouse& Mouse() { return host->Mouse(); }
  void SetRecord(int zone, LedZoneRecord r) {
    const auto bytes = r.Bytes();
    for (int i = 0; i < 4; ++i) Mouse().Memory()[static_cast<size_t>(ZoneRecordAddress(zone) + i)] = bytes[i];
  }
  LedZoneRecord Shown(int zone) {
    const auto p = Mouse().LightingPreview(zone);
    return {p[1], p[2], p[3], p[4]};
  }
  void Drain() {
    session->Post("drain", [](JobContext&, DeviceLink&, SettingsState&) { return Outcome{}; }).Wait();
  }
  SeededRandom random{7};
};

TEST(LightingWindows, SwatchesDarkenByQuartersAndSlidersClampToTheirStrip) {
  struct Case {
    uint32_t got, want;
  };
  const Case cases[] = {
      {SwatchColour(0, 0), 0xFFFFFF}, {SwatchColour(0, 3), 0x3F3F3F}, {SwatchColour(4, 2), 0x7F1000},
      {SwatchColour(9, 1), 0x0060BF}, {SliderColour(0x123456, 0, -5), 0x003456},
      {SliderColour(0x123456, 1, 300), 0x12FF56}, {SliderColour(0x123456, 2, 100.7), 0x123464},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << std::hex << c.want;
}

TEST(LightingWindows, SetAllLightsSelectsZonesByLayoutAndMarkersOnlyInCustomize) {
  struct Case {
    int layout, level;
    std::vector<int> zones;
  };
  const Case cases[] = {{22, 11, {0, 1, 2, 3, 4, 5, 6, 7, 8}}, {20, 11, {1, 2, 3, 4, 5, 6}}, {20, 10, {}}};
  for (const Case& c : cases) {
    sim::SimOptions options;
    options.buttonLayout = c.layout;
    options.protocolLevel = c.level;
    LightingWorld w(options);
    w.Load();
    LightingWindowModel model(*w.session, w.random);
    ASSERT_TRUE(model.Open().Wait()) << c.layout;
    const PickerSetup all = model.SetAllLights();
    EXPECT_EQ(all.zones, c.zones) << c.layout << " " << c.level;
    EXPECT_EQ(all.live, (LedZoneRecord{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(model.EditZone(3).has_value());
    model.ChooseEffect(2);
    EXPECT_EQ(model.CurrentEffect(), 2);
    EXPECT_FALSE(model.EditZone(3).has_value()) << "no markers outside Customize";
  }
}

TEST(LightingWindows, OpenReadsEffectAndRecordsAndTheAnimationRunsOnlyWhileShown) {
  LightingWorld w;
  w.SetRecord(2, {0xC0, 10, 20, 30});
  w.Mouse().Memory()[kLightEffectAddress] = 0;
  w.Load();
  LightingWindowModel model(*w.session, w.random);
  ASSERT_TRUE(model.Open().Wait());
  EXPECT_EQ(model.Stored()[2], (LedZoneRecord{0xC0, 10, 20, 30}));
  EXPECT_EQ(model.EditZone(2)->live, (LedZoneRecord{0xC0, 10, 20, 30}));
  EXPECT_EQ(model.Snapshot().previewGreen[2], 20);

  EXPECT_FALSE(model.NextDueMs()) << "a hidden window never wakes";
  model.Show();
  ASSERT_TRUE(model.NextDueMs());
  EXPECT_FALSE(model.Poll());
  w.clock->Advance(kPreviewFrameMs);
  EXPECT_TRUE(model.Poll());
  EXPECT_EQ(model.Snapshot().breathingLevel, kBreathingStep);
  EXPECT_EQ(model.Snapshot().previewBrightness[2], 255) << "a steady zone";
  model.Hide();
  w.clock->Advance(10 * kPreviewFrameMs);
  EXPECT_FALSE(model.Poll());
  EXPECT_FALSE(model.NextDueMs());

  ASSERT_TRUE(model.ChooseEffect(3)->Wait());
  EXPECT_EQ(w.Mouse().LightingMode(), 3);
  EXPECT_FALSE(model.ChooseEffect(5).has_value());
  EXPECT_EQ(model.CurrentEffect(), 3);
}

TEST(LightingWindows, PickerSendsModesAndClicksAtOnceConfirmWritesCancelRestores) {
  LightingWorld w;
  for (int zone = 0; zone < 9; ++zone) w.SetRecord(zone, {static_cast<uint8_t>(0x80 | zone), 1, 2, 3});
  w.Load();
  LightingWindowModel model(*w.session, w.random);
  ASSERT_TRUE(model.Open().Wait());

  {  // one zone: a click shows at once, the modes move bit 6, confirm stores
    ColourPicker picker(*w.session, *model.EditZone(4));
    picker.ClickColour(0x102030);
    picker.ChooseMode(1);
    w.Drain();
    EXPECT_EQ(w.Shown(4), (LedZoneRecord{0xC4, 0x10, 0x20, 0x30}));
    picker.ChooseMode(0);
    w.Drain();
    EXPECT_EQ(w.Shown(4).flags, 0x84);
    picker.ClickProfileColour();
    EXPECT_FALSE(picker.Live().OwnColour());
    picker.ClickColour(0x405060);
    ASSERT_TRUE(picker.Confirm()->Wait());
    EXPECT_EQ(w.session->ReadLighting().Wait().zones[4], (LedZoneRecord{0x84, 0x40, 0x50, 0x60}));
    EXPECT_FALSE(picker.NextDueMs()) << "the sender stops with the picker";
    EXPECT_FALSE(picker.Cancel().has_value());
    model.PickerConfirmed(picker.Setup(), picker.Live());
    EXPECT_EQ(model.Stored()[4], picker.Live());
  }
  {  // all lights: a drag waits for the period, cancel shows each stored record again
    ColourPicker picker(*w.session, model.SetAllLights());
    picker.DragTo(0xFF0000);
    w.Drain();
    EXPECT_NE(w.Shown(0), (LedZoneRecord{0xFF, 0xFF, 0, 0})) << "nothing sent before the period";
    w.clock->Advance(kColourSendPeriodMs);
    EXPECT_TRUE(picker.Poll());
    w.Drain();
    EXPECT_EQ(w.Shown(8), (LedZoneRecord{0xFF, 0xFF, 0, 0}));
    ASSERT_TRUE(picker.Cancel()->Wait());
    const LightingConfig read = w.session->ReadLighting().Wait();
    for (int zone = 0; zone < 9; ++zone) EXPECT_EQ(w.Shown(zone), read.zones[zone]) << zone;
  }
}

}  // namespace
}  // namespace quorix
