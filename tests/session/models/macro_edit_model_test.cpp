#include "session/models/macro_edit_model.h"

#include <gtest/gtest.h>

#include <memory>

#include "device/discovery.h"
#include "macro/macro_memory.h"
#include "session/session.h"
#include "settings/field_writes.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"

namespace quorix {
namespace {

std::vector<uint8_t> Bytes(const MacroItem& item) { return {item.bytes.begin(), item.bytes.begin() + item.length}; }

TEST(MacroEditModel, HoldTablesAndTheWaitRowsTheyProduce) {
  struct Step {
    int count, delta, pauseMs;
  } steps[] = {{0, 1, 128},  {5, 1, 128},  {6, 1, 32},  {10, 1, 32}, {11, 1, 24},   {60, 1, 24},
               {61, 1, 16},  {80, 1, 16},  {81, 1, 8},  {90, 1, 8},  {91, 11, 8},   {100, 11, 8},
               {101, 101, 2}, {110, 101, 2}};
  for (const Step& s : steps) {
    EXPECT_EQ(WaitHoldDelta(s.count), s.delta) << s.count;
    EXPECT_EQ(WaitHoldPauseMs(s.count), s.pauseMs) << s.count;
  }

  // Holding + on 250 ms passes 255 into the 16-bit form without losing the
  // value; holding - on 5 ms stops at 0.
  struct Hold {
    int start, direction, stepsTaken;
    std::vector<uint8_t> bytes;
  } holds[] = {
      {250, 1, 5, {0x88, 0xFF}},
      {250, 1, 6, {0x89, 0x00, 0x01}},
      {250, 1, 50, {0x89, 0x2C, 0x01}},
      {5, -1, 5, {0x88, 0x00}},
      {5, -1, 40, {0x88, 0x00}},
  };
  for (const Hold& h : holds) {
    test::FakeClock clock;
    MacroEditModel model(clock);
    model.Load({WaitItem(h.start)}, "m", kModeOnce, {});
    ASSERT_TRUE(model.StartHold(0, h.direction));  // the first step at once
    for (int i = 1; i < h.stepsTaken; ++i) {
      clock.Advance(*model.NextDueMs() - clock.NowMs());
      EXPECT_TRUE(model.Poll());
    }
    EXPECT_EQ(Bytes(model.Items()[0]), h.bytes) << h.start << " x" << h.stepsTaken;
    EXPECT_TRUE(model.Modified());
    model.StopHold();
    EXPECT_FALSE(model.NextDueMs());  // read rows carry no mark: nothing left to wake for
  }
}

TEST(MacroEditModel, CommandsAndListOperations) {
  test::FakeClock clock;
  MacroEditModel model(clock);
  model.Load({KeyItem(true, 4), KeyItem(false, 4)}, "keys", 7, {MacroEditModel::SourceKind::kSlot, "", 3});
  EXPECT_EQ(model.Mode(), kModeOnce);
  EXPECT_FALSE(model.Modified());
  EXPECT_EQ(model.Size(), 4 + 34);

  model.SetCurrent(1);
  model.InsertWait();
  EXPECT_EQ(Bytes(model.Items()[1]), (std::vector<uint8_t>{0x88, 0x01}));
  EXPECT_EQ(model.Current(), 2);
  model.InsertMove({-3, 700, true});
  EXPECT_EQ(Bytes(model.Items()[2]), (std::vector<uint8_t>{0xC0, 0xFD, 0xFF, 0xBC, 0x02}));
  model.InsertMove({5, 6, false});
  EXPECT_EQ(model.Items()[3].bytes[0], 0x80);
  EXPECT_TRUE(model.Modified());

  struct WaitEdit {
    int row, value;
    bool accepted;
    std::vector<uint8_t> bytes;
  } edits[] = {{1, 300, true, {0x89, 0x2C, 0x01}},
               {1, 200, true, {0x88, 0xC8}},
               {1, 70000, false, {0x88, 0xC8}},  // above the entry's limit
               {0, 10, false, {0x83, 0x04}}};    // not a wait
  for (const WaitEdit& e : edits) {
    EXPECT_EQ(model.EditWait(e.row, e.value), e.accepted) << e.value;
    EXPECT_EQ(Bytes(model.Items()[static_cast<size_t>(e.row)]), e.bytes) << e.value;
  }
  ASSERT_TRUE(model.EditMove(3, {10, 20, true}));
  EXPECT_EQ(*MoveValue(model.Items()[3]), (MovePosition{10, 20, true}));
  EXPECT_FALSE(model.EditMove(1, {1, 1, false}));

  for (int expected : {kModeLoop, kModeFire, kModeOnce}) {
    model.CycleMode();
    EXPECT_EQ(model.Mode(), expected);
  }

  // Drag row 0 to the end; delete keeps the position inside the list and
  // refuses while recording.
  ASSERT_TRUE(model.MoveRow(0, 4));
  EXPECT_EQ(Bytes(model.Items()[4]), (std::vector<uint8_t>{0x83, 0x04}));
  EXPECT_EQ(model.Current(), 4);
  EXPECT_FALSE(model.DeleteCurrent(true));
  EXPECT_TRUE(model.DeleteCurrent(false));
  EXPECT_EQ(model.Current(), 3);
  EXPECT_EQ(model.Items().size(), 4u);
  model.Clear();
  EXPECT_TRUE(model.Items().empty());
  EXPECT_EQ(model.Current(), 0);
  EXPECT_FALSE(model.DeleteCurrent(false));
}

TEST(MacroEditModel, NewStepsAreMarkedForFiveMinutesAndTheMarkTimerThenStops) {
  test::FakeClock clock;
  MacroEditModel model(clock);
  model.Load({WaitItem(3)}, "", kModeOnce, {});
  EXPECT_FALSE(model.NextDueMs());
  model.SetCurrent(1);
  model.Insert({KeyItem(true, 5), KeyItem(false, 5)});
  clock.Advance(1000);
  model.Append({WaitItem(9)});
  EXPECT_FALSE(model.IsNew(0));  // loaded, not made
  EXPECT_TRUE(model.IsNew(1));
  EXPECT_TRUE(model.IsNew(3));
  ASSERT_TRUE(model.NextDueMs());
  EXPECT_EQ(*model.NextDueMs(), clock.NowMs() - 1000 + kNewStepMarkMs);
  EXPECT_TRUE(model.Poll());  // the marks appeared
  clock.Advance(kNewStepMarkMs - 1000);
  EXPECT_TRUE(model.Poll());  // the first two ran out
  EXPECT_FALSE(model.IsNew(1));
  EXPECT_TRUE(model.IsNew(3));
  clock.Advance(1000);
  EXPECT_TRUE(model.Poll());
  EXPECT_FALSE(model.IsNew(3));
  EXPECT_FALSE(model.NextDueMs());
  EXPECT_FALSE(model.Poll());
}

TEST(MacroEditModel, SaveAndDropPlans) {
  test::FakeClock clock;
  MacroEditModel model(clock);
  using Kind = MacroEditModel::SourceKind;
  using Save = MacroEditModel::SaveAction;
  struct Case {
    Kind kind;
    bool modify;
    bool step;
    Save save;
  } saves[] = {{Kind::kSlot, true, false, Save::kStoreSlot},   {Kind::kFile, true, false, Save::kRewriteFile},
               {Kind::kNone, true, false, Save::kNothing},     {Kind::kNone, false, true, Save::kAddToLibrary},
               {Kind::kSlot, false, false, Save::kNothing},    {Kind::kFile, false, false, Save::kNothing}};
  for (const Case& c : saves) {
    model.Load({}, "n", kModeOnce, {c.kind, "/x.mf", 1});
    if (c.modify) model.CycleMode();
    if (c.step) model.InsertWait();
    EXPECT_EQ(model.PlannedSave(), c.save);
    // Exactly what Save would keep is what loading another macro would lose.
    EXPECT_EQ(model.Unsaved(), c.save != Save::kNothing);
    model.Discard();
    EXPECT_FALSE(model.Unsaved());
    EXPECT_TRUE(model.Items().empty());
  }

  MacroListItem empty;
  empty.kind = MacroRowKind::kDeviceSlot;
  empty.slot = 4;
  MacroListItem used = empty;
  used.start = 1400;
  used.slot = 2;
  MacroListItem file;
  file.type = kModeLoop;
  file.path = "/lib/1.mf";
  MacroListItem header;
  header.kind = MacroRowKind::kFolder;
  header.path = "@_INTERNAL_201";
  struct Drop {
    const MacroListItem& row;
    std::string name;
    bool store, ask, rewrite;
    int slot;
    std::string proposed;
  } drops[] = {
      {empty, "", true, false, false, 4, "Macro name"},  // an empty slot: no question
      {used, "mine", true, true, false, 2, "mine"},
      {file, "mine", false, true, true, -1, ""},
      {header, "mine", false, false, false, -1, ""},
  };
  for (const Drop& d : drops) {
    model.Load({}, d.name, kModeOnce, {});
    const auto plan = model.PlanDrop(d.row, "Macro name");
    EXPECT_EQ(plan.store, d.store);
    EXPECT_EQ(plan.askOverwrite, d.ask);
    EXPECT_EQ(plan.rewriteFile, d.rewrite);
    EXPECT_EQ(plan.slot, d.slot);
    EXPECT_EQ(plan.proposedName, d.proposed);
  }
}

TEST(StatusFade, FadesInHoldsAndFadesOutThenSleeps) {
  test::FakeClock clock;
  StatusFade fade(clock);
  EXPECT_FALSE(fade.NextDueMs());
  fade.Show(1000);
  // (ms after Show, alpha): 40 per 20 ms up to 255, 1000 ms held, 40 down per 20 ms.
  struct Point {
    int64_t atMs;
    int alpha;
  } points[] = {{0, 40},     {20, 80},     {100, 240},   {120, 255},   {1119, 255},
                {1120, 255}, {1140, 215},  {1240, 15},   {1260, 0}};
  const int64_t start = clock.NowMs();
  for (const Point& p : points) {
    clock.Advance(start + p.atMs - clock.NowMs());
    fade.Poll();
    EXPECT_EQ(fade.Alpha(), p.alpha) << p.atMs;
  }
  EXPECT_FALSE(fade.NextDueMs());
  EXPECT_FALSE(fade.Visible());
}

std::vector<MacroItem> Body(int bytes) { return std::vector<MacroItem>(static_cast<size_t>(bytes), WheelItem(1)); }

// The editor stores into a nearly full mouse: a record that fits only after
// compaction goes in and every button running a moved macro follows it, in
// every profile; one that does not fit is refused with "Lack of space !!"
// and nothing reaches the mouse.
TEST(MacroEditModel, StoreIntoANearlyFullMouse) {
  SessionParts parts;
  parts.clock = std::make_unique<test::FakeClock>();
  auto simHost = std::make_unique<sim::SimHidHost>(*parts.clock, sim::SimOptions{});
  sim::SimHidHost& host = *simHost;
  parts.host = std::move(simHost);
  parts.exchangeMutex = std::make_unique<LocalMutex>();
  parts.deviceListMutex = std::make_unique<LocalMutex>();
  Session session(std::move(parts));
  ASSERT_EQ(session.ResolveDevice().Wait(), Outcome());
  ASSERT_EQ(session.Load().Wait(), Outcome());
  auto image = [&] { return session.State().image.Snapshot(); };
  const int free0 = MacroEditModel::FreeMemory(*image());
  const int record = free0 / 6;
  for (int slot = 0; slot < 5; ++slot)
    ASSERT_EQ(session.StoreMacro(slot, kModeOnce, "m" + std::to_string(slot), Body(record - 34)).Wait(), Outcome());
  ASSERT_EQ(session.StoreMacro(5, kModeLoop, "m5", Body(free0 - 5 * record - 34)).Wait(), Outcome());
  ASSERT_EQ(MacroEditModel::FreeMemory(*image()), 0);

  const int profiles = image()->profileCount;
  const int buttons = image()->ButtonsPerProfile();
  ASSERT_GT(profiles, 1);
  for (int slot : {1, 3, 5}) {
    for (int p = 0; p < profiles; ++p) {
      const MacroSlot s = image()->macroSlots[static_cast<size_t>(slot)];
      const ButtonRecord run{static_cast<uint8_t>(s.mode), static_cast<uint8_t>(s.codeAddress & 0xFF),
                             static_cast<uint8_t>(s.codeAddress >> 8), 0};
      const int button = (slot + p) % (buttons - 2);
      ASSERT_EQ(
          session
              .Write([&](DeviceLink& link, SettingsState& state) { return AssignButton(link, state, p, button, run); })
              .Wait(),
          Outcome());
    }
  }
  for (int slot : {0, 2, 4}) ASSERT_EQ(session.DeleteMacro(slot).Wait(), Outcome());
  ASSERT_EQ(MacroEditModel::FreeMemory(*image()), 3 * record);

  test::FakeClock editorClock;
  MacroEditModel editor(editorClock);
  editor.Load(Body(2 * record - 34), "big", 7, {});
  editor.CycleMode();
  Outcome outcome = editor.PostStore(session, 7, "big").Wait();
  ASSERT_EQ(outcome, Outcome());
  editor.StoreFinished(outcome, 7, "big");
  EXPECT_FALSE(editor.Modified());
  EXPECT_EQ(editor.From().slot, 7);

  // Reload from the mouse: what it holds, not what the image says.
  ASSERT_EQ(session.Load().Wait(), Outcome());
  const auto after = image();
  EXPECT_EQ(after->macroSlots[1].start, MacroLayoutOf(*after).areaStart);  // compacted
  EXPECT_EQ(after->macroSlots[7].mode, kModeLoop);
  for (int slot : {1, 3, 5}) {
    const MacroSlot& s = after->macroSlots[static_cast<size_t>(slot)];
    for (int p = 0; p < profiles; ++p) {
      const ButtonRecord& b =
          after->profiles[static_cast<size_t>(p)].buttons[static_cast<size_t>((slot + p) % (buttons - 2))];
      EXPECT_EQ(b.p1 + 256 * b.p2, s.codeAddress) << "slot " << slot << " profile " << p;
      EXPECT_EQ(b.type, s.mode) << "slot " << slot << " profile " << p;
    }
  }
  EXPECT_EQ(MacroEditModel::FreeMemory(*after), record);

  // One byte more than is left: refused, and the mouse's memory is untouched.
  const std::vector<uint8_t> before = host.Mouse().Memory();
  editor.Load(Body(record - 34 + 1), "too big", kModeOnce, {});
  editor.SetName("too big!");
  outcome = editor.PostStore(session, 8, editor.Name()).Wait();
  EXPECT_EQ(outcome, Outcome(Failure::kLackOfSpace));
  editor.StoreFinished(outcome, 8, editor.Name());
  EXPECT_TRUE(editor.Modified());
  EXPECT_EQ(host.Mouse().Memory(), before);
  EXPECT_FALSE(image()->macroSlots[8].InUse());
}

}  // namespace
}  // namespace quorix
