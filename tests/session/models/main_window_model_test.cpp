// The main window's behaviour without a screen: sliders, debounce timers in
// virtual time, selection and the mouse's state reports, on a simulated mouse.
#include "session/models/main_window_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/discovery.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"

namespace quorix {
namespace {

TEST(SliderModel, CursorPicksTheNearestCellWithinTheRange) {
  struct Case {
    const char* name;
    SliderKind kind;
    int minimum, maximum, offset;
    double left, width, x;
    int value;
    const char* text;  // with step 50
  };
  const std::vector<Case> cases = {
      {"dpi, left end: code 1, never 0", SliderKind::kDpiX, 0, 64, 0, 100, 256, 100, 1, "50"},
      {"dpi, left of the track", SliderKind::kDpiY, 0, 64, 0, 100, 256, 20, 1, "50"},
      {"dpi, middle", SliderKind::kDpiX, 0, 64, 0, 100, 256, 228, 32, "1600"},
      {"dpi, right end", SliderKind::kDpiY, 0, 64, 0, 100, 256, 356, 64, "3200"},
      {"dpi, beyond the right end", SliderKind::kDpiX, 0, 64, 0, 100, 256, 900, 64, "3200"},
      {"rate, right end", SliderKind::kReportRate, 0, 7, 0, 0, 160, 160, 7, "1000Hz"},
      {"rate, one cell in", SliderKind::kReportRate, 0, 7, 0, 0, 160, 135, 6, "500Hz"},
      {"rate, middle", SliderKind::kReportRate, 0, 7, 0, 0, 160, 92, 4, "250Hz"},
      {"rate, just short of the middle", SliderKind::kReportRate, 0, 7, 0, 0, 160, 80, 3, "200Hz"},
      {"rate, left end", SliderKind::kReportRate, 0, 7, 0, 0, 160, 0, 0, "125Hz"},
      {"value with offset, below the minimum", SliderKind::kDeviceValue, 2, 7, 1, 10, 120, 0, 2, "100"},
      {"value with offset, right end", SliderKind::kDeviceValue, 2, 7, 1, 10, 120, 130, 7, "350"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Slider s;
    s.kind = c.kind;
    s.minimum = c.minimum;
    s.maximum = c.maximum;
    s.offset = c.offset;
    s.left = c.left;
    s.width = c.width;
    s.step = 50;
    s.value = SliderValueAt(s, c.x);
    EXPECT_EQ(s.value, c.value);
    EXPECT_EQ(SliderText(s), c.text);
  }
}

TEST(SliderModel, KnobStepGrowsWithTheDistanceAndDoublesWhileHeld) {
  struct Case {
    int distance;
    bool holding;
    int step;
  };
  const std::vector<Case> cases = {{0, false, 0},  {4, true, 1},    {5, false, 2},    {8, true, 4},
                                   {9, false, 4},  {16, true, 8},   {17, false, 8},   {32, true, 16},
                                   {33, false, 8}, {100, true, 50}, {-40, false, 10}, {-3, false, 1}};
  for (const Case& c : cases) EXPECT_EQ(KnobStep(c.distance, c.holding), c.step) << c.distance << " " << c.holding;
}

// The model on a loaded simulated mouse; every posted write runs to its end
// before the call returns, so a test sees the mouse right after it.
struct ModelWorld : test::SimSession {
  explicit ModelWorld(sim::SimOptions options = {}) : SimSession(options) {
    model = std::make_unique<MainWindowModel>(*clock, session->State(), [this](std::string name, FieldWrite write) {
      posted.push_back(name);
      session->Write(std::move(write), std::move(name)).Wait();
    });
    for (int i = 0; i < kSliderCount; ++i) model->SetTrack(i, {600, 100.0 + 20 * i, 320, 12});
  }
  void Load() {
    ASSERT_TRUE(session->ResolveDevice().Wait());
    ASSERT_TRUE(session->Load().Wait());
    model->ShowLoaded(CapabilitiesAt(session->Link(), session->CurrentDevicePath()));
    host->Mouse().ResetCounters();
    posted.clear();
  }
  // Advances virtual time to `ms` after `from`, polling at every due time.
  void RunUntil(int64_t at) {
    for (auto due = model->NextDueMs(); due && *due <= at; due = model->NextDueMs()) {
      clock->Advance(std::max<int64_t>(0, *due - clock->NowMs()));
      model->Poll();
    }
    if (clock->NowMs() < at) clock->Advance(at - clock->NowMs());
  }
  sim::SimMouse& Mouse() { return host->Mouse(); }

  std::unique_ptr<MainWindowModel> model;
  std::vector<std::string> posted;
};

TEST(MainWindowModel, DpiDragWritesOnce200MsAfterTheLastMoveAndKeepsXyTogetherUnlessIndependent) {
  for (bool independent : {false, true}) {
    SCOPED_TRACE(independent ? "independent" : "together");
    ModelWorld w;
    w.Load();
    Session& s = *w.session;
    MainWindowModel& m = *w.model;
    m.SetPage(kDpiPage);
    m.SetXyIndependent(independent);
    const int x = DpiSliderIndex(2, true), y = DpiSliderIndex(2, false);
    const int yBefore = m.SliderAt(y).value;
    ASSERT_TRUE(m.BeginDrag(x));
    const int64_t start = w.clock->NowMs();
    for (int step = 0; step < 5; ++step) {
      m.SetSliderFromCursor(x, 620 + 40 * step);
      w.RunUntil(start + 50 * (step + 1));  // the knob glides, nothing is written
    }
    m.EndDrag();
    const int value = m.SliderAt(x).value;
    EXPECT_EQ(m.SliderAt(y).value, independent ? yBefore : value);
    const int64_t last = start + 200;  // the last move was at start + 200
    w.RunUntil(last + 199);
    EXPECT_TRUE(w.posted.empty());
    w.RunUntil(last + 200);
    EXPECT_EQ(w.posted, std::vector<std::string>{"sensitivity"});
    const DpiPair pair = s.State().image.Snapshot()->dpiPairs[2];
    EXPECT_EQ(pair, (DpiPair{static_cast<uint8_t>(value), static_cast<uint8_t>(m.SliderAt(y).value)}));
    EXPECT_EQ(w.Mouse().MemoryAt(3 + 2 * 2), value);
    w.RunUntil(last + 2000);
    EXPECT_EQ(w.posted.size(), 1u);
    EXPECT_FALSE(m.NextDueMs()) << "an idle window has nothing due";
    EXPECT_FALSE(m.KnobsMoving());
  }
}

TEST(MainWindowModel, ReportRateRightEndStoresCodeZeroAfterASecond) {
  ModelWorld w;
  w.Load();
  MainWindowModel& m = *w.model;
  m.SetPage(kOtherPage);
  ASSERT_TRUE(m.BeginDrag(kReportRateSlider));
  const Slider& rate = m.SliderAt(kReportRateSlider);
  m.SetSliderFromCursor(kReportRateSlider, rate.left + rate.width);
  EXPECT_EQ(SliderText(rate), "1000Hz");
  const int64_t moved = w.clock->NowMs();
  w.RunUntil(moved + 999);
  EXPECT_TRUE(w.posted.empty());
  w.RunUntil(moved + 1000);
  EXPECT_EQ(w.posted, std::vector<std::string>{"report rate"});
  EXPECT_EQ(w.session->State().image.Snapshot()->reportRateCode, 0);
}

TEST(MainWindowModel, SelectionsAreSentAtOnceAndStored3SecondsLaterWithoutCommit) {
  ModelWorld w;
  w.Load();
  MainWindowModel& m = *w.model;
  const int64_t t0 = w.clock->NowMs();
  m.SelectProfile(2);
  EXPECT_EQ(w.Mouse().ActiveProfile(), 2);
  m.SelectProfile(2);  // the same profile again sends nothing
  const auto osd = m.SelectLevel(3);
  ASSERT_TRUE(osd);
  EXPECT_EQ(osd->level, 3);
  EXPECT_EQ(osd->x, m.SliderAt(DpiSliderIndex(3, true)).value);
  EXPECT_EQ(ParseVendorReport(osd->raw, true).kind, VendorReportKind::kState) << "a report the mouse could send";
  EXPECT_EQ(w.Mouse().DpiSelection(), 3) << "the level alone, no enable bits";
  EXPECT_EQ(w.posted, (std::vector<std::string>{"select profile", "select level"}));
  const int64_t due = *m.NextDueMs();
  EXPECT_GE(due, t0 + 3000);
  w.RunUntil(due - 1);
  EXPECT_EQ(w.posted.size(), 2u);
  const int commits = w.Mouse().CommitCount();
  w.RunUntil(due);
  EXPECT_EQ(w.posted.back(), "store selection");
  EXPECT_EQ(w.Mouse().MemoryAt(1), 2);
  EXPECT_EQ(w.Mouse().MemoryAt(2), 3);
  EXPECT_EQ(w.Mouse().CommitCount(), commits);

  // A level switch sends the enable mask with the active level: on a new
  // mouse every level is cycled, and the switch takes one out.
  ASSERT_TRUE(m.LevelOn(1));
  m.ToggleLevel(1);
  EXPECT_EQ(w.Mouse().DpiSelection(), 0b1101 << 3 | 3);
}

// Closing the program before a debounce timer ran must not lose the change:
// each held-back write goes at once, and nothing is left due.
TEST(MainWindowModel, ClosingWritesWhatTheTimersStillHold) {
  struct Case {
    const char* what;
    std::function<void(MainWindowModel&)> change;
    const char* write;
    std::function<bool(ModelWorld&)> stored;  // the mouse keeps the change
  };
  const Case cases[] = {
      {"a DPI drag",
       [](MainWindowModel& m) {
         m.SetPage(kDpiPage);
         ASSERT_TRUE(m.BeginDrag(DpiSliderIndex(1, true)));
         m.SetSliderFromCursor(DpiSliderIndex(1, true), 900);
         m.EndDrag();
       },
       "sensitivity",
       [](ModelWorld& w) { return w.Mouse().MemoryAt(3 + 2 * 1) == w.model->SliderAt(DpiSliderIndex(1, true)).value; }},
      {"the report rate",
       [](MainWindowModel& m) {
         m.SetPage(kOtherPage);
         ASSERT_TRUE(m.BeginDrag(kReportRateSlider));
         m.SetSliderFromCursor(kReportRateSlider, 600 + 320);  // 1000 Hz, code 0
         m.EndDrag();
       },
       "report rate", [](ModelWorld& w) { return w.session->State().image.Snapshot()->reportRateCode == 0; }},
      {"a profile", [](MainWindowModel& m) { m.SelectProfile(3); }, "store selection",
       [](ModelWorld& w) { return w.Mouse().MemoryAt(1) == 3; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ModelWorld w;
    w.Load();
    c.change(*w.model);
    ASSERT_TRUE(w.model->NextDueMs());
    ASSERT_FALSE(c.stored(w)) << "already stored before the timer ran: no proof";
    const size_t before = w.posted.size();
    w.model->WriteHeldBack();
    ASSERT_EQ(w.posted.size(), before + 1);
    EXPECT_EQ(w.posted.back(), c.write);
    EXPECT_TRUE(c.stored(w));
    w.model->WriteHeldBack();
    EXPECT_EQ(w.posted.size(), before + 1) << "a second close writes nothing again";
  }
}

TEST(MainWindowModel, StateReportsFollowTheMouse) {
  ModelWorld w;
  w.Load();
  // Profile 1 keeps its left click on button 3.
  w.session->State().image.Update([](SettingsImage& img) {
    img.profiles[1].buttons[0] = {4, 0x02, 0, 0};
    img.profiles[1].buttons[3] = {4, 0x01, 0, 0};
  });
  MainWindowModel& m = *w.model;
  m.ShowLoaded(CapabilitiesAt(w.session->Link(), w.session->CurrentDevicePath()));
  const int holder0 = m.PrimaryClickHolder();
  struct Case {
    const char* name;
    int level, x, y, profile;
    bool busy;
    bool changed;
    int activeLevel, activeProfile, holder;
  };
  const std::vector<Case> cases = {
      {"level 6 reads as level 4", 6, 9, 9, 0, false, true, 4, 0, holder0},
      {"level 1 with its sensitivity", 1, 30, 31, 0, false, true, 1, 0, holder0},
      {"the same again", 1, 30, 31, 0, false, false, 1, 0, holder0},
      {"profile 1 moves the primary click", 1, 30, 31, 1, false, true, 1, 1, 3},
      {"profile 6 does not exist", 1, 30, 31, 6, false, false, 1, 1, 3},
      {"ignored while a reset writes", 2, 5, 5, 0, true, false, 1, 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    w.session->State().busyWriting = c.busy;
    VendorReport r;
    r.kind = VendorReportKind::kState;
    r.level = c.level;
    r.x = c.x;
    r.y = c.y;
    r.profile = c.profile;
    EXPECT_EQ(m.ApplyStateReport(r), c.changed);
    EXPECT_EQ(m.ActiveLevel(), c.activeLevel);
    EXPECT_EQ(m.ActiveProfile(), c.activeProfile);
    EXPECT_EQ(m.PrimaryClickHolder(), c.holder);
  }
  EXPECT_EQ(m.SliderAt(DpiSliderIndex(1, true)).value, 30);
  EXPECT_EQ(m.SliderAt(DpiSliderIndex(1, false)).value, 31);
  EXPECT_EQ(w.session->State().image.Snapshot()->activeProfile, 1);
  EXPECT_TRUE(w.posted.empty()) << "a report is never written back";
}

TEST(MainWindowModel, VersionLineAndWhatTheMouseLacks) {
  struct Case {
    const char* name;
    int protocolLevel, variantA;
    bool load;
    const char* version;
    bool reportRate;
    int levels;  // in the level row: the mouse's own count, not the layout's room for level bits
  };
  const std::vector<Case> cases = {
      {"no device", 11, 12, false, "Software version:1.1", true, 4},
      {"byte 5 is 12", 11, 12, true, "Software version:1.1 , Firmware version:2", true, 4},
      {"firmware number at least 1", 11, 5, true, "Software version:1.1 , Firmware version:1", true, 4},
      {"level 0, variant 33: no report rate", 0, 33, true, "Software version:1.1 , Firmware version:23", false, 4},
      {"level 0, variant 34", 0, 34, true, "Software version:1.1 , Firmware version:24", true, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimOptions options;
    options.protocolLevel = c.protocolLevel;
    options.variantA = c.variantA;
    ModelWorld w(options);
    if (c.load) w.Load();
    MainWindowModel& m = *w.model;
    EXPECT_EQ(m.VersionLine(DefaultTextTables()), c.version);
    EXPECT_EQ(m.LevelsShown(), c.levels);
    m.SetPage(kOtherPage);
    EXPECT_EQ(m.SliderVisible(kReportRateSlider), c.reportRate);
    EXPECT_EQ(m.BeginDrag(kReportRateSlider), c.load && c.reportRate) << "no drag without a device";
    m.ToggleLevel(0);
    EXPECT_EQ(w.posted.size(), c.load && c.reportRate ? 1u : 0u) << "level switches go with the report rate";
  }
}

}  // namespace
}  // namespace quorix
