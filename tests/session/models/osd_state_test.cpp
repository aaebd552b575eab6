// The on-screen display's state machine in virtual time: fade in, hold, fade
// out, what each report marks, and that nothing is due while it is hidden.
#include "session/models/osd_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_clock.h"

namespace quorix::test {
namespace {

std::vector<uint8_t> Report(int levelByte, int x, int y, int profile, int flags) {
  std::vector<uint8_t> r(16, 0);
  r[0] = 1;
  r[1] = 0x0C;
  r[2] = static_cast<uint8_t>(levelByte);
  r[3] = static_cast<uint8_t>(x);
  r[4] = static_cast<uint8_t>(y);
  r[5] = static_cast<uint8_t>(profile);
  r[6] = static_cast<uint8_t>(flags);
  return r;
}

struct Sent {
  int64_t atMs;
  std::vector<uint8_t> report;
};

struct Seen {
  int64_t atMs;
  int alpha;
  int counter;
  bool visible;
  int flags;
};

struct Case {
  const char* name;
  bool enabled;
  std::vector<Sent> reports;
  std::vector<Seen> expected;
  int paintsUntilLast = -1;  // -1: not checked
};

// Drives the state as the window does: a timer fires at each NextDueMs(),
// reports come in at their times; records the state at each expected time.
class OsdStateCases : public ::testing::TestWithParam<Case> {};

TEST_P(OsdStateCases, StepsAsTheWindowSeesThem) {
  const Case& c = GetParam();
  FakeClock clock;
  const int64_t start = clock.NowMs();
  OsdState osd(clock);
  osd.SetEnabled(c.enabled);
  size_t nextReport = 0;
  int paints = 0;
  for (const Seen& want : c.expected) {
    for (;;) {
      int64_t next = start + want.atMs;
      if (nextReport < c.reports.size()) next = std::min(next, start + c.reports[nextReport].atMs);
      if (osd.NextDueMs()) next = std::min(next, *osd.NextDueMs());
      clock.Advance(next - clock.NowMs());
      if (nextReport < c.reports.size() && start + c.reports[nextReport].atMs == next)
        osd.OnStateReport(c.reports[nextReport++].report);
      if (osd.NextDueMs() && *osd.NextDueMs() <= next && osd.Poll()) ++paints;
      if (next == start + want.atMs && (!osd.NextDueMs() || *osd.NextDueMs() > next)) break;
    }
    SCOPED_TRACE("at " + std::to_string(want.atMs) + " ms");
    EXPECT_EQ(osd.Alpha(), want.alpha);
    EXPECT_EQ(osd.ShowCounter(), want.counter);
    EXPECT_EQ(osd.Visible(), want.visible);
    EXPECT_EQ(osd.ChangeFlags(), want.flags);
  }
  if (c.paintsUntilLast >= 0) {
    EXPECT_EQ(paints, c.paintsUntilLast);
  }
  if (!osd.Visible()) {
    EXPECT_FALSE(osd.NextDueMs().has_value()) << "a hidden panel schedules nothing";
  }
}

const auto kLevel2 = Report(1, 20, 30, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Osd, OsdStateCases,
    ::testing::Values(
        // 11 steps to 255, 80 steps in all, 11 to fade, one more to hide.
        Case{"OneReport", true, {{0, kLevel2}},
             {{0, 25, 79, true, 1}, {200, 255, 69, true, 1}, {1580, 255, 0, true, 1},
              {1600, 230, 0, true, 1}, {1780, 5, 0, true, 1}, {1800, 0, 0, true, 1}, {1820, 0, 0, false, 0}},
             // 80 steps shown and 10 fading ones with some opacity left
             90},
        // A second report 500 ms later starts the count again at full opacity.
        Case{"TwoReportsHalfASecondApart", true, {{0, kLevel2}, {500, Report(2, 1, 1, 0, 0)}},
             {{500, 255, 79, true, 1}, {1600, 255, 24, true, 1}, {2080, 255, 0, true, 1}, {2400, 0, 0, false, 0}}},
        // During the fade a report raises the opacity again from where it was.
        Case{"ReportDuringFade", true, {{0, kLevel2}, {1700, Report(1, 20, 30, 0, 0x80)}},
             {{1700, 155, 79, true, 5}, {1720, 180, 78, true, 5}}},
        // Off: nothing shows, the marks of level and profile are not taken.
        Case{"OptionOff", false, {{0, Report(2, 9, 9, 3, 0)}}, {{0, 0, 0, false, 0}, {100, 0, 0, false, 0}}, 0},
        // Level bits 6 read as level 4; the profile and toggle marks.
        Case{"LevelSixProfileToggle", true, {{0, Report(6, 1, 1, 4, 1)}},
             {{0, 25, 79, true, 1 | 2 | 8}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(OsdState, ReportsUpdateTheValuesAndThePlanFollowsTheMarks) {
  struct Row {
    bool enabled;
    std::vector<uint8_t> report;
    int level;
    int picture;
    bool dpiPanel;
    bool hint;
  };
  const std::vector<Row> rows = {
      {false, Report(6, 10, 20, 2, 0), 4, -1, false, false},  // off: values taken, nothing marked
      {true, Report(0, 10, 20, 0, 0x80), 0, -1, true, true},  // only the hint mark: the DPI panel with the hint
      {true, Report(0, 10, 20, 4, 0), 0, 4, false, false},     // profile 4's picture
      {true, Report(3, 10, 20, 5, 0), 3, -1, true, false},     // a profile byte above 4: no picture, the panel
  };
  for (const Row& row : rows) {
    FakeClock clock;
    OsdState osd(clock);
    osd.SetEnabled(row.enabled);
    osd.OnStateReport(row.report);
    EXPECT_EQ(osd.Level(), row.level);
    EXPECT_EQ(osd.RawX(), 10);
    EXPECT_EQ(osd.RawY(), 20);
    const OsdPaintPlan plan = PlanOsdPaint(osd, 40, 50);
    EXPECT_EQ(plan.profilePicture, row.picture);
    EXPECT_EQ(plan.dpiPanel, row.dpiPanel);
    EXPECT_EQ(plan.scrollHint, row.hint);
    EXPECT_EQ(plan.levelNumber, row.level + 1);
    EXPECT_EQ(plan.dpiY, 1000);
    EXPECT_DOUBLE_EQ(plan.barX, 0.25);
  }
}

}  // namespace
}  // namespace quorix::test
