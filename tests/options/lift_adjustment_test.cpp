#include "options/lift_adjustment.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "support/sim_world.h"

namespace quorix {
namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> Heads(test::SimWorld& world, size_t n) {
  std::vector<Bytes> heads;
  for (const Bytes& r : world.Requests()) heads.emplace_back(r.begin() + 1, r.begin() + 1 + std::min(n, r.size() - 1));
  return heads;
}

sim::SimOptions Mouse(int level = 11, int modelCode = 3) {
  sim::SimOptions options;
  options.protocolLevel = level;
  options.modelCode = modelCode;
  options.measuredLift = 0x1405;
  return options;
}

// Lift value 0x0234 in memory, taken up by the mouse as its live value.
void StoreOldLift(test::SimWorld& world) {
  world.Mouse().Memory()[18] = 0x34;
  world.Mouse().Memory()[19] = 0x02;
  world.Mouse().PowerOn();
  world.ClearTraffic();
}

TEST(LiftState, StatusTextsAndFlags) {
  const TextTables texts = DefaultTextTables();
  LiftAdjustment adjustment(texts);
  EXPECT_FALSE(adjustment.OnLiftState(0x40));  // no run: nothing changes
  EXPECT_EQ(adjustment.StatusText(), "");
  ASSERT_TRUE(adjustment.Start());
  EXPECT_TRUE(adjustment.Adjusting());
  EXPECT_FALSE(adjustment.Start());  // one run at a time
  EXPECT_TRUE(adjustment.OnLiftState(0x60));
  EXPECT_EQ(adjustment.StatusText(), "In progress...");  // bit 6 wins over bit 5
  EXPECT_TRUE(adjustment.Progress());
  EXPECT_FALSE(adjustment.Failed());
  adjustment.OnLiftState(0x20);
  EXPECT_EQ(adjustment.StatusText(), "Adjust Fail !!");
  EXPECT_TRUE(adjustment.Failed());
  adjustment.OnLiftState(0x00);
  EXPECT_EQ(adjustment.StatusText(), "Adjust Success !!");
  EXPECT_EQ(adjustment.Title(), "Auto adjust");
  adjustment.Finish();
  EXPECT_FALSE(adjustment.Adjusting());
  EXPECT_FALSE(adjustment.OnLiftState(0x20));
  EXPECT_EQ(adjustment.StatusText(), "Adjust Success !!");
  // A new run starts with clear flags and no status.
  ASSERT_TRUE(adjustment.Start());
  EXPECT_FALSE(adjustment.Progress());
  EXPECT_FALSE(adjustment.Failed());
  EXPECT_EQ(adjustment.StatusText(), "");
}

TEST(LiftState, StatusTextsAreTheLoadedOnesEvenWhenEmpty) {
  TextTables texts = DefaultTextTables();
  texts.adjustLiftStr[10] = "";
  texts.adjustLiftStr[11] = "Echec";
  LiftAdjustment adjustment(texts);
  adjustment.Start();
  adjustment.OnLiftState(0x20);
  EXPECT_EQ(adjustment.StatusText(), "Echec");
  adjustment.OnLiftState(0x40);
  EXPECT_EQ(adjustment.StatusText(), "");
}

TEST(LiftRun, ConfirmedStoresTheMeasuredValue) {
  test::SimWorld world(Mouse());
  StoreOldLift(world);
  const TextTables texts = DefaultTextTables();
  LiftAdjustment adjustment(texts);
  const LiftRunResult result = RunLiftAdjustment(world.link, world.path, adjustment, [&](LiftAdjustment& run) {
    EXPECT_EQ(run.CurrentState(), LiftAdjustment::State::kWaitingForUser);
    EXPECT_EQ(run.OldValue(), 0x0234);
    EXPECT_TRUE(world.Mouse().LiftAdjusting());
    run.OnLiftState(0x00);
    return true;
  });
  EXPECT_TRUE(result.ran);
  EXPECT_TRUE(result.confirmed);
  EXPECT_EQ(result.value, 0x1405);
  EXPECT_FALSE(adjustment.Adjusting());
  EXPECT_EQ(Heads(world, 6), (std::vector<Bytes>{{0x1A, 0x00, 0, 0, 0, 0},
                                                 {0x1A, 0x12, 0, 0, 0, 0},
                                                 {0x1A, 0x00, 0, 0, 0, 0},
                                                 {0x1A, 0x13, 0x05, 0x14, 0, 0},
                                                 {0x03, 0x12, 0x00, 0x02, 0x05, 0x14}}));
  EXPECT_EQ(world.Mouse().MemoryAt(18), 0x05);
  EXPECT_EQ(world.Mouse().MemoryAt(19), 0x14);
}

TEST(LiftRun, CancelAfterSuccessRestoresWithoutStoring) {
  test::SimWorld world(Mouse());
  StoreOldLift(world);
  const TextTables texts = DefaultTextTables();
  LiftAdjustment adjustment(texts);
  const LiftRunResult result = RunLiftAdjustment(world.link, world.path, adjustment, [](LiftAdjustment& run) {
    run.OnLiftState(0x00);  // "Adjust Success !!", then the user cancels
    return false;
  });
  EXPECT_FALSE(result.confirmed);
  EXPECT_EQ(result.value, 0x0234);
  EXPECT_EQ(Heads(world, 4), (std::vector<Bytes>{{0x1A, 0x00, 0, 0},
                                                 {0x1A, 0x12, 0, 0},
                                                 {0x1A, 0x14, 0, 0},
                                                 {0x1A, 0x13, 0x34, 0x02}}));
  EXPECT_EQ(world.Mouse().LiveLift(), 0x0234);
  EXPECT_EQ(world.Mouse().MemoryAt(18), 0x34);
}

TEST(LiftRun, SecondStarterWhileRunningSendsNothing) {
  test::SimWorld world(Mouse());
  const TextTables texts = DefaultTextTables();
  LiftAdjustment adjustment(texts);
  size_t before = 0;
  LiftRunResult nested;
  RunLiftAdjustment(world.link, world.path, adjustment, [&](LiftAdjustment&) {
    before = world.Requests().size();
    nested = RunLiftAdjustment(world.link, world.path, adjustment, [](LiftAdjustment&) { return true; });
    EXPECT_EQ(world.Requests().size(), before);
    return false;
  });
  EXPECT_FALSE(nested.ran);
}

TEST(LiftTest, ModelsTwelveAndThirteenGetTheHighByte) {
  EXPECT_EQ(LiftTestValue(5, 12), 0x1205);
  EXPECT_EQ(LiftTestValue(5, 13), 0x1205);
  EXPECT_EQ(LiftTestValue(5, 3), 5);
  EXPECT_EQ(LiftTestValue(0x34, 14), 0x34);

  test::SimWorld world(Mouse(11, 12));
  const uint8_t storedLow = world.Mouse().MemoryAt(18);
  EXPECT_EQ(RunLiftTest(world.link, world.path, 5).value, 0x1205);
  EXPECT_EQ(Heads(world, 4), (std::vector<Bytes>{{0x1A, 0x13, 0x05, 0x12}}));
  EXPECT_EQ(world.Mouse().LiveLift(), 0x1205);
  EXPECT_EQ(world.Mouse().MemoryAt(18), storedLow);  // a test stores nothing

  test::SimWorld grouped(Mouse(5, 12));
  EXPECT_EQ(RunLiftTest(grouped.link, grouped.path, 5).outcome, Outcome(Failure::kNotSupported));
  EXPECT_TRUE(grouped.Requests().empty());
}

TEST(LiftFaults, AFailingMouseIsNeverReportedAsAdjustedAndGetsNothingMore) {
  struct Fault {
    const char* name;
    bool unplug, silent, oddAnswers;
    Failure failure;
    size_t requests;  // sent from the moment it strikes, the failed one included
  };
  const Fault faults[] = {{"unplugged", true, false, false, Failure::kDeviceGone, 1},
                          {"silent", false, true, false, Failure::kStoppedAnswering, 0},
                          {"odd answers", false, false, true, Failure::kBadAnswers, 1}};
  const auto strike = [](test::SimWorld& world, const Fault& f) {
    if (f.unplug) world.host.ArmUnplug(0);
    world.Mouse().SetAnswerFaults(false, f.silent, f.oddAnswers);
  };
  const TextTables texts = DefaultTextTables();
  using Operation = std::function<Outcome(test::SimWorld&)>;
  const std::pair<const char*, Operation> operations[] = {
      {"adjust",
       [&](test::SimWorld& w) {
         LiftAdjustment adjustment(texts);
         const LiftRunResult result = RunLiftAdjustment(w.link, w.path, adjustment, [](LiftAdjustment&) {
           ADD_FAILURE() << "the dialog opened on a mouse that did not start measuring";
           return true;
         });
         EXPECT_FALSE(adjustment.Adjusting());
         EXPECT_EQ(result.value, 0);
         return result.outcome;
       }},
      {"test", [](test::SimWorld& w) { return RunLiftTest(w.link, w.path, 5).outcome; }},
      {"read",
       [](test::SimWorld& w) {
         const LiftValueResult read = ReadStoredLift(w.link, w.path);
         EXPECT_EQ(read.value, 0);
         return read.outcome;
       }},
      {"store", [](test::SimWorld& w) { return StoreLift(w.link, w.path, 0x300); }},
  };
  for (const Fault& f : faults) {
    for (const auto& [name, operation] : operations) {
      test::SimWorld world(Mouse());
      StoreOldLift(world);
      strike(world, f);
      EXPECT_EQ(operation(world), Outcome(f.failure)) << name << ", " << f.name;
      EXPECT_EQ(world.Requests().size(), f.requests) << name << ", " << f.name;
    }
    // The mouse goes wrong while the dialog is open: whatever the user
    // answers, nothing is stored or restored and the run is no success.
    for (const bool confirm : {true, false}) {
      test::SimWorld world(Mouse());
      StoreOldLift(world);
      LiftAdjustment adjustment(texts);
      const LiftRunResult result = RunLiftAdjustment(world.link, world.path, adjustment, [&](LiftAdjustment& run) {
        strike(world, f);
        run.OnLiftState(0x00);
        return confirm;
      });
      EXPECT_EQ(result.outcome, Outcome(f.failure)) << f.name << confirm;
      EXPECT_EQ(result.value, 0) << f.name << confirm;
      EXPECT_EQ(world.Requests().size(), 2 + f.requests) << f.name << confirm;
      EXPECT_EQ(world.Mouse().MemoryAt(18), 0x34) << f.name << confirm;
    }
  }
}

}  // namespace
}  // namespace quorix
