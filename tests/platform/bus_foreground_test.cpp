// What the KWin and GNOME Shell sources make of their peers' reports; the
// channels themselves run against real compositors in tests/wayland.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/linux/bus_foreground.h"
#include "platform/linux/kwin_foreground_source.h"
#include "platform/linux/libinput_speed.h"

namespace quorix {
namespace {

TEST(BusForeground, ProcessIdsAsTheScriptSendsThem) {
  const std::pair<std::string, uint32_t> cases[] = {
      {"4711", 4711}, {"0", 0}, {"", 0}, {"12a", 0}, {"-1", 0}, {" 5", 0}, {"4294967296", 0},
  };
  for (const auto& [text, pid] : cases) EXPECT_EQ(ParsePid(text), pid) << '"' << text << '"';
}

TEST(BusForeground, ReportsChangesOnlyAndAStartAnswerNeverOverridesAReport) {
  struct Step {
    uint32_t pid;
    bool startAnswer;  // ReportUnlessReported
    uint64_t window;
    int changes;
  };
  const Step steps[] = {
      {0, false, 0, 1},    // the first report counts, even of no window
      {0, false, 0, 1},    // the same again: no change
      {42, false, 42, 2},  //
      {7, true, 42, 2},    // the answer to a start question is older than the report
      {42, false, 42, 2},  //
      {9, false, 9, 3},
  };
  BusForeground foreground;
  EXPECT_FALSE(foreground.WaitForFirst(0));
  int changes = 0;
  foreground.SetChanged([&] { ++changes; });
  for (const Step& step : steps) {
    if (step.startAnswer)
      foreground.ReportUnlessReported(step.pid);
    else
      foreground.Report(step.pid);
    EXPECT_EQ(foreground.Window(), step.window) << "after " << step.pid;
    EXPECT_EQ(changes, step.changes) << "after " << step.pid;
  }
  EXPECT_TRUE(foreground.WaitForFirst(0));
}

TEST(BusForeground, StartAnswerFillsInWhenNothingWasReported) {
  BusForeground foreground;
  foreground.ReportUnlessReported(31);
  EXPECT_EQ(foreground.Window(), 31u);
}

TEST(KWinForegroundScript, CarriesTheBusNameWhereverThePlaceholderStands) {
  // A placeholder left in the script makes KWin call an invalid bus name,
  // which aborts KWin 5.27.
  const std::string script = KWinForegroundScript(":1.42");
  EXPECT_EQ(script.find("QUORIX_BUS_NAME"), std::string::npos);
  EXPECT_NE(script.find("const busName = \":1.42\";"), std::string::npos);
  EXPECT_NE(script.find("windowActivated"), std::string::npos);
  EXPECT_NE(script.find("clientActivated"), std::string::npos);
}

TEST(LibinputSpeed, MapsTheProgramsSpeedOntoLibinputsAndBack) {
  for (int speed = 1; speed <= 20; ++speed) EXPECT_EQ(SpeedFromLibinput(LibinputFromSpeed(speed)), speed);
  const std::pair<double, int> reads[] = {{0.0, 10}, {-1.0, 1}, {-2.0, 1}, {1.0, 20}, {0.04, 10}, {NAN, 10}};
  for (const auto& [value, speed] : reads) EXPECT_EQ(SpeedFromLibinput(value), speed) << value;
  EXPECT_DOUBLE_EQ(LibinputFromSpeed(0), -1.0);
  EXPECT_DOUBLE_EQ(LibinputFromSpeed(25), 1.0);
}

}  // namespace
}  // namespace quorix
