#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <latch>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "device/discovery.h"
#include "lighting/lighting_device.h"
#include "lighting/live_colour.h"
#include "settings/field_writes.h"
#include "sim/sim_hid_host.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using test::SimSession;

TEST(Session, SelectionByPathSurvivesAReplugThatMovesTheList) {
  sim::SimOptions options;
  options.secondMouse = true;
  SimSession sim(options);
  Session& session = *sim.session;
  const std::string second = sim.host->ConfigPath(1);
  session.SelectDevice(second);
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  ASSERT_EQ(session.Load().Wait(), Outcome());
  ASSERT_EQ(session.State().selectedDevice, 1);

  // The first mouse goes (its entry leaves the list, as on a removal event)
  // and comes back with a new path, at the place the selection had.
  const std::string first = sim.host->ConfigPath(0);
  sim.host->Unplug(0);
  RemoveDevice(session.Link(), first);
  sim.host->Replug(0);
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  ASSERT_EQ(DevicePath(session.Link(), 1), sim.host->ConfigPath(0));
  EXPECT_EQ(session.CurrentDevicePath(), second);
  ASSERT_EQ(session.Load().Wait(), Outcome());
  EXPECT_EQ(session.State().CurrentDevice(), second);
  // Another selection takes effect with the next load.
  session.SelectDevice(sim.host->ConfigPath(0));
  ASSERT_EQ(session.Load().Wait(), Outcome());
  EXPECT_EQ(session.State().CurrentDevice(), sim.host->ConfigPath(0));
  session.SelectDevice(second);

  // Once it is gone the selection finds nothing instead of taking another mouse.
  sim.host->Unplug(1);
  RemoveDevice(session.Link(), second);
  EXPECT_EQ(session.ResolveDevice().Wait(), Outcome(Failure::kNoDevice));
  EXPECT_EQ(session.CurrentDevicePath(), "");
  EXPECT_EQ(session.Load().Wait(), Outcome(Failure::kNoDevice));
}

TEST(Session, FieldWritesFromTwoThreadsRunOneAtATime) {
  SimSession sim;
  Session& session = *sim.session;
  std::mutex logMutex;
  std::string log;  // '[' and ']' around each write, '.' for each request
  auto note = [&](char c) {
    std::lock_guard<std::mutex> lock(logMutex);
    log += c;
  };
  session.Link().SetTrace([&](char direction, const uint8_t*, size_t) {
    if (direction == '>') note('.');
  });
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  ASSERT_EQ(session.Load().Wait(), Outcome());
  log.clear();

  constexpr int kWritesPerThread = 3;
  std::latch start(2);
  auto writer = [&](int thread) {
    start.arrive_and_wait();
    for (int k = 0; k < kWritesPerThread; ++k) {
      const Outcome outcome = session
                                  .Write([&, thread, k](DeviceLink& link, SettingsState& state) {
                                    note('[');
                                    const Outcome written = WriteDpiPair(link, state, thread, 10 + k, 20 + k);
                                    note(']');
                                    return written;
                                  })
                                  .Wait();
      EXPECT_EQ(outcome, Outcome());
    }
  };
  std::jthread first(writer, 0), second(writer, 1);
  first.join();
  second.join();

  // Every request falls inside one write, and no write opens inside another.
  int open = 0, writes = 0;
  for (char c : log) {
    if (c == '[') ++writes;
    open += c == '[' ? 1 : c == ']' ? -1 : 0;
    ASSERT_TRUE(open == 1 || (open == 0 && c != '.')) << log;
  }
  EXPECT_EQ(writes, 2 * kWritesPerThread);
}

TEST(Session, WhatAWaitedForJobThrowsReachesTheCallerAndTheNextJobRuns) {
  SimSession sim;
  EXPECT_THROW(sim.session
                   ->Post("throws",
                          [](JobContext&, DeviceLink&, SettingsState&) -> Outcome {
                            throw std::invalid_argument("cannot be stored");
                          })
                   .Wait(),
               std::invalid_argument);
  EXPECT_EQ(sim.session->ResolveDevice().Wait(), Outcome());
  // A window continuing on the job gets an outcome instead.
  Job<void> posted = sim.session->Post("throws", [](JobContext&, DeviceLink&, SettingsState&) -> Outcome {
    throw std::invalid_argument("cannot be stored");
  });
  EXPECT_EQ(posted.Device().Wait(), Outcome(Failure::kInternalError));
  std::optional<Outcome> continued;
  posted.Then([&](const Outcome& outcome) { continued = outcome; });
  EXPECT_EQ(continued, Outcome(Failure::kInternalError));
  EXPECT_THROW(posted.Wait(), std::invalid_argument);
}

TEST(Session, PostedUseCasesReturnAtOnceAndReportProgressAndResults) {
  SimSession sim;
  Session& session = *sim.session;
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  ASSERT_EQ(session.Load().Wait(), Outcome());
  // A job in front holds the worker: every post below must come back at once.
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  session.Post("blocker", [open](JobContext&, DeviceLink&, SettingsState&) {
    open.wait();
    return Outcome();
  });
  std::vector<MacroItem> items(300, WaitItem(20));
  std::vector<double> storeProgress;  // worker thread, read after Wait()
  std::optional<bool> storedSlotInUse;
  const Job<void> store =
      session.StoreMacro(2, kModeOnce, "posted", items, [&](double fraction) { storeProgress.push_back(fraction); });
  store.Then([&](const Outcome&) { storedSlotInUse = session.State().image.Snapshot()->macroSlots[2].InUse(); });
  const Job<LightingConfig> lighting = session.ReadLighting();
  const Job<void> effect = session.ChooseLightEffect(2);
  const Job<void> zones = session.WriteZones({1}, {0x80, 1, 2, 3});
  const Job<void> preview = session.PreviewZones({1}, {0x80, 4, 5, 6});
  const Job<void> storeLift = session.StoreLift(3);
  const Job<LiftValueResult> storedLift = session.ReadStoredLift();
  const Job<LiftValueResult> testedLift = session.TestLift(4);
  const Job<LiftValueResult> cancelled = session.ReadStoredLift();
  const Job<void> deleted = session.DeleteMacro(2);
  const Job<void> badSlot = session.DeleteMacro(99);
  const struct {
    const char* name;
    const DeviceJob* job;
    Outcome outcome;
  } posted[] = {
      {"store macro", &store.Device(), {}},
      {"read lighting", &lighting.Device(), {}},
      {"effect", &effect.Device(), {}},
      {"zones", &zones.Device(), {}},
      {"preview", &preview.Device(), {}},
      {"store lift", &storeLift.Device(), {}},
      {"read lift", &storedLift.Device(), {}},
      {"test lift", &testedLift.Device(), {}},
      {"cancelled", &cancelled.Device(), Failure::kCancelled},
      {"delete macro", &deleted.Device(), {}},
      {"bad slot", &badSlot.Device(), Failure::kInvalidArgument},
  };
  for (const auto& p : posted) EXPECT_FALSE(p.job->Finished()) << p.name;
  cancelled.Cancel();
  gate.set_value();
  for (const auto& p : posted) EXPECT_EQ(p.job->Wait(), p.outcome) << p.name;

  ASSERT_FALSE(storeProgress.empty());
  EXPECT_TRUE(std::is_sorted(storeProgress.begin(), storeProgress.end()));
  EXPECT_GT(storeProgress.back(), 0.9);
  EXPECT_EQ(storedSlotInUse, true);  // published by the time the window hears of it
  EXPECT_FALSE(session.State().image.Snapshot()->macroSlots[2].InUse());
  // Each value is the job's own, whoever asked for it.
  EXPECT_EQ(lighting.Wait().outcome, Outcome());
  EXPECT_FALSE(lighting.Wait().zones.empty());
  EXPECT_EQ(storedLift.Wait().value, 3);
  EXPECT_EQ(testedLift.Wait().outcome, Outcome());
  EXPECT_EQ(cancelled.Wait().outcome, Outcome(Failure::kCancelled));
  EXPECT_EQ(session.ReadLighting().Wait().effect, 2);
  EXPECT_EQ(session.ReadStoredLift().Wait().value, 3);
}

TEST(Session, LiveColourSendsAreJobsQueuedBehindTheRunningOne) {
  SimSession sim;
  Session& session = *sim.session;
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  session.Post("blocker", [open](JobContext&, DeviceLink&, SettingsState&) {
    open.wait();
    return Outcome();
  });
  LiveColour live;
  std::vector<std::thread::id> sentOn;  // worker thread, read after the flush below
  ColourSender sender(
      live, session.GetClock(),
      [&](const LedZoneRecord& colour) {
        sentOn.push_back(std::this_thread::get_id());
        return quorix::PreviewZones(session.Link(), session.CurrentDevicePath(), {1}, colour);
      },
      {}, session.Poster("live colour"));
  live.DragTo(0x102030);
  session.GetClock().SleepMs(*sender.NextDueMs() - session.GetClock().NowMs());
  EXPECT_TRUE(sender.Poll());
  live.DragTo(0x405060);
  session.GetClock().SleepMs(*sender.NextDueMs() - session.GetClock().NowMs());
  EXPECT_FALSE(sender.Poll());  // the first send still waits behind the blocker
  gate.set_value();
  ASSERT_EQ(session.Post("flush", [](JobContext&, DeviceLink&, SettingsState&) { return Outcome(); }).Wait(),
            Outcome());
  session.GetClock().SleepMs(*sender.NextDueMs() - session.GetClock().NowMs());
  EXPECT_TRUE(sender.Poll());
  ASSERT_EQ(session.Post("flush", [](JobContext&, DeviceLink&, SettingsState&) { return Outcome(); }).Wait(),
            Outcome());
  ASSERT_EQ(sentOn.size(), 2u);
  EXPECT_NE(sentOn[0], std::this_thread::get_id());
  EXPECT_EQ(sender.LastOutcome(), Outcome());
}

TEST(Session, ItsEventPumpPutsTheRescanOffWhileALoadRuns) {
  SimSession sim;
  Session& session = *sim.session;
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  std::vector<DeviceEventKind> events;
  std::unique_ptr<DeviceEventPump> pump =
      session.MakeEventPump([&](const DeviceEvent& e) { events.push_back(e.kind); });
  pump->Start();
  // The load stops at its first progress report until the pump has run past
  // the rescan due 10 ms after the start.
  std::latch inside(1);
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  std::atomic<int> reports{0};
  Job<void> load = session.Load([&](double) {
    if (reports++ == 0) {
      inside.count_down();
      open.wait();
    }
  });
  inside.wait();
  EXPECT_TRUE(session.LoadRunning());
  session.GetClock().SleepMs(20);
  pump->RunOnce(0);
  EXPECT_TRUE(events.empty());
  gate.set_value();
  ASSERT_EQ(load.Wait(), Outcome());
  EXPECT_FALSE(session.LoadRunning());
  session.GetClock().SleepMs(kRescanAfterArrivalMs);
  pump->RunOnce(0);
  EXPECT_EQ(events, std::vector<DeviceEventKind>{DeviceEventKind::kRescanDue});
}

TEST(Session, RestoreKeepsTheBackupsApplicationsOnlyOnceTheMouseHasTheImage) {
  struct Case {
    const char* name;
    int unplugAfterLoad;  // requests of the restore before the mouse goes; -1: it stays
    double cancelAt;      // progress of the write at which the job is cancelled; 0: never
    RestoreStep step;
    Outcome outcome;
  };
  const Case cases[] = {
      {"completed", -1, 0, RestoreStep::kDone, {}},
      {"unplugged mid-way", 20, 0, RestoreStep::kRestore, Failure::kDeviceGone},
      {"cancelled mid-way", -1, 0.3, RestoreStep::kRestore, Failure::kCancelled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const std::string setIni = dir.Path(kSetIniName);
    SimSession sim;
    Session& session = *sim.session;
    ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
    ASSERT_EQ(session.Load().Wait(), Outcome());
    ProfileApps apps;
    apps[1] = {"Editor", "/usr/bin/editor", 1};
    const Outcome saved = session.Backup(dir.Path("b.bf"), apps).Wait();
    ASSERT_EQ(saved, Outcome()) << saved.detail;
    const std::string backup = test::ReadFile(dir.Path("b.bf"));
    const std::vector<uint8_t> bytes(backup.begin(), backup.end());
    Options before;
    before.apps[1] = {"Game", "/usr/bin/game", 0};
    ASSERT_TRUE(SaveOptions(setIni, before));
    const std::string iniBefore = test::ReadFile(setIni);

    // Arm the unplug past the load the restore starts with.
    int loadRequests = 0;
    session.Link().SetTrace([&](char direction, const uint8_t*, size_t) { loadRequests += direction == '>'; });
    ASSERT_EQ(session.Load().Wait(), Outcome());
    session.Link().SetTrace({});
    if (c.unplugAfterLoad >= 0) sim.host->ArmUnplug(loadRequests + c.unplugAfterLoad);

    // The restore waits behind a held job until its handle is known.
    std::latch hold(1);
    session.Post("hold", [&](JobContext&, DeviceLink&, SettingsState&) {
      hold.wait();
      return Outcome();
    });
    std::optional<Job<RestoreResult>> job;
    RestoreProgress progress;
    progress.restore = [&](double fraction) {
      if (c.cancelAt > 0 && fraction >= c.cancelAt) job->Cancel();
    };
    job = session.Restore(bytes, setIni, progress);
    hold.count_down();
    const RestoreResult result = job->Wait();
    EXPECT_EQ(job->Device().Wait(), c.outcome);
    EXPECT_EQ(result.step, c.step);
    EXPECT_EQ(result.outcome, c.outcome);
    const std::string iniAfter = test::ReadFile(setIni);
    if (c.step != RestoreStep::kDone) {
      EXPECT_EQ(iniAfter, iniBefore);
      // Running it again repairs the mouse (plugged in again after it went,
      // and its old entry gone from the list, as on a removal event).
      if (c.unplugAfterLoad >= 0) {
        RemoveDevice(session.Link(), session.CurrentDevicePath());
        sim.host->Replug();
      }
      ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
      EXPECT_EQ(session.Restore(bytes, setIni).Wait().step, RestoreStep::kDone);
    }
    EXPECT_NE(test::ReadFile(setIni).find("/usr/bin/editor"), std::string::npos);
  }
}

TEST(Session, BindApplicationKeepsEachClickInSetIni) {
  test::TempDir dir;
  const std::string setIni = dir.Path(kSetIniName);
  SimSession sim;
  BindApplicationHooks hooks;
  hooks.chooseFile = [] { return std::optional<std::string>("/opt/game/bin/game.exe"); };
  hooks.enterName = [](const std::string&, const std::string& proposed) { return std::optional(proposed + "!"); };
  // An unbound profile is bound and switched on; the next click switches it off.
  const struct {
    BindResult result;
    int enabled;
  } clicks[] = {{BindResult::kBound, 1}, {BindResult::kToggled, 0}};
  for (const auto& click : clicks) {
    const Result<BindResult> bound = sim.session->BindApplication(setIni, 2, hooks);
    ASSERT_TRUE(bound) << bound.detail();
    EXPECT_EQ(*bound, click.result);
    const Result<Options> read = sim.session->ReadOptions(setIni);
    ASSERT_TRUE(read) << read.detail();
    const Options& stored = *read;
    EXPECT_EQ(stored.apps[2].appPath, "/opt/game/bin/game.exe");
    EXPECT_TRUE(stored.apps[2].appName.ends_with("!")) << stored.apps[2].appName;
    EXPECT_EQ(stored.apps[2].appEnabled, click.enabled);
  }
}

// A one-off change reads only the device, its selection and its live status,
// and sends what it would have sent after the whole load, leaving the same
// mouse; the active level's pair also goes to the live sensitivity.
TEST(Session, PreparedWriteReadsLittleAndWritesAsAfterAWholeLoad) {
  struct Case {
    int level;
    int maxRequests;  // lookup, preparation and the dpi write
  };
  for (const Case c : {Case{11, 60}, Case{5, 30}, Case{0, 40}}) {
    for (int index = 0; index < kDpiPairCount; ++index) {
      SCOPED_TRACE("level " + std::to_string(c.level) + " pair " + std::to_string(index));
      std::vector<uint8_t> sent[2], memory[2];
      int requests = 0;
      for (const bool lean : {false, true}) {
        sim::SimOptions options;
        options.protocolLevel = c.level;
        SimSession sim(options);
        Session& session = *sim.session;
        std::vector<uint8_t>* writing = nullptr;
        session.Link().SetTrace([&](char direction, const uint8_t* bytes, size_t length) {
          if (direction != '>') return;
          requests += lean;
          if (writing) writing->insert(writing->end(), bytes, bytes + length);
        });
        ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
        ASSERT_EQ((lean ? session.PrepareWrite() : session.Load()).Wait(), Outcome());
        writing = &sent[lean];
        ASSERT_EQ(session.Write([index](DeviceLink& l, SettingsState& s) { return WriteDpiPair(l, s, index, 50, 60); })
                      .Wait(),
                  Outcome());
        session.Link().SetTrace({});
        memory[lean] = sim.host->Mouse().Memory();
      }
      EXPECT_LE(requests, c.maxRequests);
      EXPECT_FALSE(sent[1].empty());
      EXPECT_EQ(sent[0], sent[1]);
      EXPECT_EQ(memory[0], memory[1]);
    }
  }
}

TEST(Session, ReloadedOptionsStayAsTheyWereWhenSetIniCannotBeRead) {
  test::TempDir dir;
  const std::string setIni = dir.Path(kSetIniName);
  Options saved;
  saved.apps[0] = {"Tool", "/usr/bin/tool", 1};
  ASSERT_TRUE(SaveOptions(setIni, saved));
  SimSession sim({}, setIni);
  const Outcome reloaded = sim.session->ReloadOptions();
  ASSERT_TRUE(reloaded) << reloaded.detail;
  EXPECT_EQ(sim.session->CurrentOptions().apps[0].appPath, "/usr/bin/tool");

  std::filesystem::remove(setIni);
  std::filesystem::create_directory(setIni);  // there, and no file to read
  const Outcome failed = sim.session->ReloadOptions();
  EXPECT_EQ(failed, Outcome(Failure::kCannotReadFile));
  EXPECT_NE(failed.detail, "");
  EXPECT_EQ(sim.session->CurrentOptions().apps[0].appPath, "/usr/bin/tool");
}

}  // namespace
}  // namespace quorix
