// The event pump on the simulated host in virtual time: hot-plug timing,
// programming-mode arrivals and the mouse's own reports.
#include "session/device_event_pump.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/commands.h"
#include "support/sim_world.h"

namespace quorix::test {
namespace {

using P = sim::SimPress;

// One event as a line: kind, the path's interface and plug-in (not for state
// reports, which all come from the current mouse), what it says, and when (ms
// after the pump started).
std::string Describe(const DeviceEvent& e, int64_t start) {
  static const char* kNames[] = {"arrival", "removal", "isp", "rescan", "state", "display", "open", "wheel"};
  std::string line = kNames[static_cast<int>(e.kind)];
  const VendorReport& r = e.report;
  if (e.kind == DeviceEventKind::kStateReport) {
    line += " level=" + std::to_string(r.level) + " x=" + std::to_string(r.x) + " profile=" + std::to_string(r.profile);
  } else if (const size_t at = e.path.find("mi_"); at != std::string::npos) {
    line += " " + e.path.substr(at);
  }
  if (e.currentDevice) line += " current";
  if (e.kind == DeviceEventKind::kWheelSteps) line += " steps=" + std::to_string(r.wheelSteps);
  if (e.kind == DeviceEventKind::kOpenRequest) line += " value=" + std::to_string(r.openValue);
  return line + " @" + std::to_string(e.atMs - start);
}

struct Action {
  int64_t atMs;  // after the pump started
  std::function<void(SimWorld&)> run;
};

struct Scenario {
  const char* name;
  // The mouse's switches, kept apart from SimOptions: GCC 12 at -O3 sees a
  // SimOptions built inside this table as "maybe uninitialized".
  bool secondMouse;
  std::vector<P> presses;
  std::vector<Action> actions;
  int64_t loadRunsUntilMs;  // the load-running query says true before this
  int64_t runMs;
  std::vector<std::string> expected;
};

void Unplug(SimWorld& w, int i = 0) { w.host.Unplug(i); }
void Replug(SimWorld& w, int i = 0) { w.host.Replug(i); }
void Isp(SimWorld& w, bool present) { w.host.SetIspPresent(present); }
void BadSum(SimWorld& w) {
  sim::StateReportFields f = w.Mouse().CurrentState();
  f.validChecksum = false;
  w.Mouse().EmitStateReport(f);
}

TEST(DeviceEventPumpTest, TurnsHostEventsAndTimersIntoEvents) {
  const std::vector<Scenario> scenarios = {
      {"current device unplugged and back",
       false,
       {},
       {{100, [](SimWorld& w) { Unplug(w); }}, {1000, [](SimWorld& w) { Replug(w); }}},
       0,
       3000,
       {"rescan @10", "removal mi_00#mouse1 @100", "removal mi_01#mouse1 current @100", "rescan @600",
        "arrival mi_00#mouse2 @1300", "arrival mi_01#mouse2 @1300", "rescan @2300"}},
      {"another mouse comes and goes while one is current; programming mode ignored",
       true,
       {},
       {{100, [](SimWorld& w) { Unplug(w, 1); }},
        {200, [](SimWorld& w) { Replug(w, 1); }},
        {300, [](SimWorld& w) { Isp(w, true); }}},
       0,
       3000,
       {"rescan @10", "removal mi_00#mouse2 @100", "removal mi_01#mouse2 @100", "arrival mi_00#mouse3 current @500",
        "arrival mi_01#mouse3 current @500"}},
      {"programming mode without a mouse: rescan 2100 ms after the last arrival",
       false,
       {},
       {{50, [](SimWorld& w) { Unplug(w); }},
        {1000, [](SimWorld& w) { Isp(w, true); }},
        {2400, [](SimWorld& w) { Isp(w, false); }},
        {2500, [](SimWorld& w) { Isp(w, true); }}},
       0,
       6000,
       {"rescan @10", "removal mi_00#mouse1 @50", "removal mi_01#mouse1 current @50", "rescan @550",
        "isp mi_00#isp2 @1000", "removal mi_00#isp2 @2400", "isp mi_00#isp3 @2500", "rescan @4600"}},
      {"a running load puts the rescan off by its period", false, {}, {}, 2000, 3000, {"rescan @2010"}},
      {"presses and reports; foreign and broken ones ignored",
       true,
       {P::kDpiUp, P::kWheelLeft, P::kOpen, P::kProfileNext},
       {{450, [](SimWorld& w) { w.Mouse(1).EmitStateReport(); }}, {460, BadSum}},
       0,
       1000,
       {"rescan @10", "state level=1 x=40 profile=0 @100", "wheel mi_01#mouse1 steps=-1 @200",
        "open mi_01#mouse1 value=1 @300", "state level=1 x=40 profile=1 @400"}},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    sim::SimOptions options;
    options.secondMouse = s.secondMouse;
    options.presses = s.presses;
    SimWorld world(options);
    SelectHostMarker(world.link, world.path, false);
    world.host.SetVirtualWaits(true);
    const int64_t start = world.clock.NowMs();
    std::vector<std::string> seen;
    DeviceEventPump* self = nullptr;
    DeviceEventPump pump(
        world.link, world.clock,
        [&](const DeviceEvent& e) {
          seen.push_back(Describe(e, start));
          // The session's side of a rescan, without traffic so the times stay exact.
          if (e.kind == DeviceEventKind::kRescanDue) self->SetCurrentDevice(world.host.ConfigPath());
        },
        [&] { return world.clock.NowMs() - start < s.loadRunsUntilMs; });
    self = &pump;
    pump.Start();
    size_t next = 0;
    for (int64_t now = 0; now < s.runMs; now = world.clock.NowMs() - start) {
      while (next < s.actions.size() && s.actions[next].atMs <= now) s.actions[next++].run(world);
      const int64_t until = next < s.actions.size() ? s.actions[next].atMs : s.runMs;
      pump.RunOnce(static_cast<int>(until - now));
    }
    EXPECT_EQ(seen, s.expected);
  }
}

}  // namespace
}  // namespace quorix::test
