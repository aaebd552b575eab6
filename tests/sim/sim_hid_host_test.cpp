#include "sim/sim_hid_host.h"

#include <gtest/gtest.h>

#include <thread>

#include "sim_wire.h"
#include "support/fake_clock.h"

namespace quorix::sim {
namespace {

TEST(SimHidHostTest, ListsPointingAndConfigurationInterfaces) {
  test::FakeClock clock;
  SimOptions o;
  o.secondMouse = true;
  o.isp = true;
  SimHidHost host(clock, o);
  const auto list = host.EnumerateInterfaces();
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].path, "sim#vid_3a5c&pid_0139&mi_00#mouse1");
  EXPECT_EQ(list[0].caps.featureReportByteLength, 9);
  EXPECT_EQ(list[0].caps.usagePage, 1);
  EXPECT_EQ(list[0].caps.usage, 2);
  EXPECT_EQ(list[1].path, "sim#vid_3a5c&pid_0139&mi_01#mouse1");
  EXPECT_EQ(list[1].caps.featureReportByteLength, 64);
  EXPECT_EQ(list[1].caps.usagePage, 0xFF18);
  EXPECT_EQ(list[1].caps.usage, 1);
  EXPECT_EQ(list[1].interfaceNumber, 1);
  EXPECT_EQ(list[3].path, "sim#vid_3a5c&pid_0145&mi_01#mouse2");
  EXPECT_EQ(list[4].path, "sim#vid_0c45&pid_7500&mi_00#isp1");

  auto isp = host.Open(list[4].path);
  ASSERT_NE(isp, nullptr);
  uint16_t vid = 0, pid = 0;
  ASSERT_TRUE(isp->GetAttributes(vid, pid));
  EXPECT_EQ(vid, 0x0C45);
  EXPECT_EQ(pid, 0x7500);
  std::array<uint8_t, 64> buf{};
  EXPECT_FALSE(isp->GetIndexedString(199, buf.data(), buf.size()));
  EXPECT_EQ(host.Open("sim#vid_3a5c&pid_0139&mi_01#mouse9"), nullptr);

  // The two mice keep separate memories.
  auto second = host.Open(list[3].path);
  wire::Exchange(*second, {0x03, 0x40, 0x00, 1, 0x77});
  EXPECT_EQ(host.Mouse(1).MemoryAt(0x40), 0x77);
  EXPECT_EQ(host.Mouse(0).MemoryAt(0x40), 0);
}

TEST(SimHidHostTest, UnplugInvalidatesHandlesAndReplugGivesANewPath) {
  test::FakeClock clock;
  SimHidHost host(clock);
  const std::string first = host.ConfigPath();
  auto handle = host.Open(first);
  wire::Exchange(*handle, {0x00, 0x01, 0x12, 0x5D});
  EXPECT_EQ(host.Mouse().HostMarker(), 0x5D);
  host.Unplug();
  EXPECT_FALSE(host.IsPlugged());
  HidCaps caps;
  EXPECT_FALSE(handle->GetCaps(caps));
  EXPECT_EQ(host.Open(first), nullptr);
  EXPECT_TRUE(host.EnumerateInterfaces().empty());
  HidEvent e;
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.kind, HidEventKind::kRemoval);
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.path, first);

  host.Replug();
  const std::string again = host.ConfigPath();
  EXPECT_NE(again, first);
  EXPECT_FALSE(handle->GetCaps(caps));  // an old handle never reaches the new plug-in
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.kind, HidEventKind::kArrival);
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.path, again);
  EXPECT_EQ(host.Mouse().HostMarker(), 0);  // powered up afresh
  EXPECT_NE(host.Open(again), nullptr);
}

TEST(SimHidHostTest, UnplugAfterCountsRequests) {
  test::FakeClock clock;
  SimOptions o;
  o.unplugAfter = 2;
  SimHidHost host(clock, o);
  auto handle = host.Open(host.ConfigPath());
  const auto request = wire::Frame({0x14});
  EXPECT_TRUE(handle->SetFeature(request.data(), request.size()));
  EXPECT_TRUE(handle->SetFeature(request.data(), request.size()));
  EXPECT_FALSE(handle->SetFeature(request.data(), request.size()));
  EXPECT_FALSE(host.IsPlugged());
  EXPECT_EQ(host.Mouse().CommitCount(), 2);
  EXPECT_EQ(host.PendingEvents(), 2u);
  host.Replug();  // the fault struck once
  auto again = host.Open(host.ConfigPath());
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(again->SetFeature(request.data(), request.size()));
  host.ArmUnplug(1);
  EXPECT_TRUE(again->SetFeature(request.data(), request.size()));
  EXPECT_FALSE(again->SetFeature(request.data(), request.size()));
  EXPECT_FALSE(host.IsPlugged());
}

TEST(SimHidHostTest, LostAnswersAndRestartsStrikeAtTheirRequest) {
  test::FakeClock clock;
  SimOptions o;
  o.loseAnswerAfter = 2;
  o.resetAfter = 1;
  SimHidHost host(clock, o);
  host.Mouse().Memory()[100] = 0x5A;
  auto handle = host.Open(host.ConfigPath());
  const auto marker = wire::Frame({0x00, 0x01, 0x12, 0x33});
  const auto commit = wire::Frame({0x14});
  std::vector<uint8_t> answer(64);
  struct Step {
    const std::vector<uint8_t>& request;
    int hostMarker;  // after the request
    bool answered;
  } steps[] = {
      {marker, 0x33, true},
      {commit, 0, true},       // restarted before it: the marker is gone
      {marker, 0x33, false},   // carried out, but no answer from here on
      {commit, 0x33, false},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_TRUE(handle->SetFeature(steps[i].request.data(), 64)) << i;
    EXPECT_EQ(host.Mouse().HostMarker(), steps[i].hostMarker) << i;
    answer[0] = 1;
    EXPECT_EQ(handle->GetFeature(answer.data(), answer.size()), steps[i].answered) << i;
  }
  EXPECT_EQ(host.Mouse().CommitCount(), 2);
  EXPECT_EQ(host.Mouse().MemoryAt(100), 0x5A);
  host.Replug();  // a mouse plugged in again answers
  auto again = host.Open(host.ConfigPath());
  EXPECT_TRUE(again->SetFeature(commit.data(), 64));
  EXPECT_TRUE(again->GetFeature(answer.data(), answer.size()));
}

TEST(SimHidHostTest, LatencyIsSleptPerTransfer) {
  test::FakeClock clock;
  SimOptions o;
  o.latencyMs = 7;
  SimHidHost host(clock, o);
  auto handle = host.Open(host.ConfigPath());
  wire::Exchange(*handle, {0x02, 0, 0});  // one set, two reads (busy, then ready)
  EXPECT_EQ(clock.Sleeps(), (std::vector<int64_t>{7, 7, 7}));
}

TEST(SimHidHostTest, InputReportsOnlyAfterStartEventsForTheirCollection) {
  test::FakeClock clock;
  SimHidHost host(clock);
  host.Mouse().EmitOpenRequest();
  EXPECT_EQ(host.PendingEvents(), 0u);
  host.StartEvents({{0xFF23, 1}});
  host.Mouse().EmitOpenRequest();
  EXPECT_EQ(host.PendingEvents(), 0u);
  host.StartEvents({{0xFF23, 1}, {0xFF18, 1}});
  host.Mouse().EmitHorizontalWheel(-3);
  HidEvent e;
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.kind, HidEventKind::kInputReport);
  EXPECT_EQ(e.path, host.ConfigPath());
  EXPECT_EQ(e.report[0], 0x0B);
  EXPECT_EQ(e.report[1], 0x0B);
  EXPECT_EQ(static_cast<int8_t>(e.report[9]), -3);
}

TEST(SimHidHostTest, StateReportUsesTheMouseState) {
  test::FakeClock clock;
  SimHidHost host(clock);
  host.StartEvents({{0xFF18, 1}});
  auto handle = host.Open(host.ConfigPath());
  wire::Exchange(*handle, {0x00, 0x01, 0x12, 0x5D});
  wire::Exchange(*handle, {0x0F, 0x0A});
  wire::Exchange(*handle, {0x11, 4});
  wire::Exchange(*handle, {0x10, 12, 13});
  host.Mouse().EmitStateReport(0x40);
  HidEvent e;
  ASSERT_TRUE(host.WaitEvent(e, 0));
  const auto& r = e.report;
  EXPECT_EQ(r[1], 0x0C);
  EXPECT_EQ(r[2], 2);
  EXPECT_EQ(r[3], 12);
  EXPECT_EQ(r[4], 13);
  EXPECT_EQ(r[5], 4);
  EXPECT_EQ(r[6], 0x40);
  EXPECT_EQ(r[r.size() - 2], 0x5D);
}

TEST(SimHidHostTest, InterruptWakesAWaitingThread) {
  test::FakeClock clock;
  SimHidHost host(clock);
  bool result = true;
  std::thread waiter([&] {
    HidEvent e;
    result = host.WaitEvent(e, 60'000);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  host.Interrupt();
  waiter.join();
  EXPECT_FALSE(result);
  HidEvent e;
  EXPECT_FALSE(host.WaitEvent(e, 0));  // nothing queued, no stale wake-up

  std::thread producer([&] { host.Unplug(); });
  EXPECT_TRUE(host.WaitEvent(e, 60'000));
  producer.join();
}

TEST(SimHidHostTest, IspIdentityComesAndGoes) {
  test::FakeClock clock;
  SimHidHost host(clock);
  EXPECT_EQ(host.IspPath(), "");
  host.SetIspPresent(true);
  HidEvent e;
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.kind, HidEventKind::kArrival);
  EXPECT_NE(e.path.find("vid_0c45&pid_7500"), std::string::npos);
  host.SetIspPresent(false);
  ASSERT_TRUE(host.WaitEvent(e, 0));
  EXPECT_EQ(e.kind, HidEventKind::kRemoval);
  EXPECT_EQ(host.EnumerateInterfaces().size(), 2u);
}

// The simulated user presses one button every 100 ms of the clock after
// StartEvents; each press answers with the report the firmware would send,
// the level buttons cycling through the enabled levels only.
TEST(SimHidHostTest, PressesAnswerWithReportsOnTheClock) {
  using P = SimPress;
  struct Row {
    P press;
    int kind, level, profile, wheel;  // report bytes 1, 2, 5 and (signed) 9
  };
  const std::vector<Row> rows = {
      {P::kDpiUp, 0x0C, 2, 0, 0},      {P::kDpiUp, 0x0C, 3, 0, 0},       {P::kDpiUp, 0x0C, 0, 0, 0},
      {P::kDpiDown, 0x0C, 3, 0, 0},    {P::kProfilePrev, 0x0C, 3, 4, 0}, {P::kProfileNext, 0x0C, 3, 0, 0},
      {P::kWheelLeft, 0x0B, 0, 0, -1}, {P::kWheelRight, 0x0B, 0, 0, 1},  {P::kOpen, 0x0D, 1, 0, 0},
  };
  test::FakeClock clock;
  SimOptions o;
  for (const Row& row : rows) o.presses.push_back(row.press);
  SimHidHost host(clock, o);
  host.SetVirtualWaits(true);
  // Levels 0, 2 and 3 enabled; bit 4 names a level this four-level mouse
  // does not count, and the button never stops there.
  host.Mouse().SetDpiSelection(0b11101 << 3);
  wire::Exchange(*host.Open(host.ConfigPath()), {0x00, 0x01, 0x12, 0x5D});
  host.StartEvents({{0xFF18, 1}});
  const int64_t start = clock.NowMs();
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    HidEvent e;
    ASSERT_TRUE(host.WaitEvent(e, 1000));
    EXPECT_EQ(clock.NowMs(), start + 100 * static_cast<int64_t>(i + 1));
    const auto& r = e.report;
    EXPECT_EQ(r[1], rows[i].kind);
    EXPECT_EQ(static_cast<int8_t>(r[9]), rows[i].wheel);
    if (rows[i].kind == 0x0B) continue;
    EXPECT_EQ(r[2], rows[i].level);
    if (rows[i].kind != 0x0C) continue;
    EXPECT_EQ(r[5], rows[i].profile);
    EXPECT_EQ(r[3], host.Mouse().MemoryAt(3 + 2 * rows[i].level));
    EXPECT_EQ(r[4], host.Mouse().MemoryAt(4 + 2 * rows[i].level));
    EXPECT_EQ(r[r.size() - 2], 0x5D);
    EXPECT_EQ(host.Mouse().DpiSelection(), 0b11101 << 3 | rows[i].level);
  }
  HidEvent e;
  EXPECT_FALSE(host.WaitEvent(e, 1000));  // no more presses: the wait passes on the clock
  EXPECT_EQ(clock.NowMs(), start + 100 * static_cast<int64_t>(rows.size()) + 1000);
  EXPECT_EQ(host.PendingPresses(), 0u);
}

}  // namespace
}  // namespace quorix::sim
