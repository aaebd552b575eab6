#include "session/models/macro_list_model.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

MacroListItem Row(std::string name, MacroRowKind kind, int type = 0, std::string path = {}) {
  MacroListItem row;
  row.kind = kind;
  row.name = std::move(name);
  row.type = type;
  row.path = std::move(path);
  return row;
}

std::vector<MacroListItem> Rows(int count) {
  std::vector<MacroListItem> rows;
  for (int i = 0; i < count; ++i)
    rows.push_back(Row("m" + std::to_string(i), MacroRowKind::kEntry, kModeOnce, "/lib/m.mf"));
  return rows;
}

TEST(MacroListModel, SmoothScrollStepByDistance) {
  struct Case {
    int distance;
    bool dragging;
    int step;
  } cases[] = {
      {100, false, 25}, {33, false, 8}, {32, false, 8}, {17, false, 8}, {16, false, 4}, {9, false, 4},
      {8, false, 2},    {5, false, 2},  {4, false, 1},  {1, false, 1},  {0, false, 0},  {-100, false, -25},
      {100, true, 50},  {20, true, 16}, {12, true, 8},  {6, true, 4},   {3, true, 1},   {-20, true, -16},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SmoothScrollStep(c.distance, c.dragging), c.step) << c.distance << " dragging " << c.dragging;
}

TEST(MacroListModel, KeysStopAtTheEndsAndPickNeedsAPickableSelection) {
  test::FakeClock clock;
  MacroListModel model(clock, 120);
  auto rows = Rows(4);
  rows[1] = Row("Keyboard", MacroRowKind::kFolder, 0, "@_INTERNAL_203");
  model.SetRows(rows);
  EXPECT_FALSE(model.Pick());  // nothing selected: an empty result
  struct Case {
    int from, step, to;
    bool moved;
  } cases[] = {{0, -1, 0, false}, {3, 1, 3, false}, {0, 1, 1, true}, {2, -1, 1, true}, {-1, 1, 0, true}};
  for (const Case& c : cases) {
    model.Select(c.from);
    EXPECT_EQ(model.MoveSelection(c.step), c.moved) << c.from << " " << c.step;
    EXPECT_EQ(model.Selected(), c.to) << c.from << " " << c.step;
  }
  model.Select(1);
  EXPECT_FALSE(model.Pick());          // a group header is not a pick
  EXPECT_FALSE(model.DoubleClick(1));  // nor does a double-click on it do anything
  model.Select(2);
  EXPECT_FALSE(model.DoubleClick(3));  // only on the selected row
  ASSERT_TRUE(model.DoubleClick(2));
  EXPECT_EQ(model.DoubleClick(2)->name, "m2");
  // Down to the last row scrolls it into view: 4 rows of 40 in 120 pixels.
  model.Select(2);
  model.MoveSelection(1);
  EXPECT_EQ(model.Target(), 40);
}

TEST(MacroListModel, OnlyLibraryFilesAreDeletableAndTheSelectionFollowsARemoval) {
  const std::string root = "/home/u/Favorite";
  MacroListItem slot = Row("slot", MacroRowKind::kDeviceSlot, kModeOnce, root + "/x.mf");
  struct Case {
    MacroListItem row;
    bool deletable;
  } cases[] = {
      {Row("file", MacroRowKind::kEntry, kModeLoop, root + "/a/1.mf"), true},
      {Row("folder", MacroRowKind::kFolder, 0, root + "/a"), true},
      {slot, false},                                                         // a device slot
      {Row("Advanced", MacroRowKind::kFolder, 0, "@_INTERNAL_201"), false},  // a group header
      {Row("Macro list (PC)", MacroRowKind::kCaption), false},
      {Row("shipped", MacroRowKind::kEntry, kModeOnce, "/usr/share/quorix/library/a.mf"),
       false},  // a function library's entry
      {Row("root itself", MacroRowKind::kFolder, 0, root), false},
      {Row("beside", MacroRowKind::kEntry, kModeOnce, root + "x/1.mf"), false},
      {Row("tilt", MacroRowKind::kEntry, 10, root + "/1.mf"), true},
      {Row("key", MacroRowKind::kEntry, 5, root + "/1.mf"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsLibraryFileRow(c.row, root), c.deletable) << c.row.name;

  test::FakeClock clock;
  MacroListModel model(clock, 400);
  model.SetRows(Rows(3));
  model.Select(2);
  model.RemoveSelected();
  EXPECT_EQ(model.Selected(), 1);  // the new last row
  model.Select(0);
  model.RemoveSelected();
  EXPECT_EQ(model.Selected(), 0);
  model.RemoveSelected();
  EXPECT_EQ(model.Selected(), -1);
  EXPECT_FALSE(model.DeletableSelection(root));
}

TEST(MacroListModel, WheelAcceleratesOnQuickNotchesAndScrollingStopsAtTheTarget) {
  test::FakeClock clock;
  MacroListModel model(clock, 200);
  model.SetRows(Rows(100));
  struct Notch {
    int64_t afterMs;
    int notches;
    double factor;
    int target;
  } notches[] = {
      {0, -1, 1.0, 40},           {30, -1, 1.4, 96}, {60, -1, 1.96, 174},  // within 60 ms: x1.4 each
      {61, -1, 1.0, 214},         {10, 1, 1.4, 158}, {1000, 50, 1.0, 0},   // clamped at the top
      {1000, -500, 1.0, 99 * 40},                                          // and at the last row
  };
  for (const Notch& n : notches) {
    clock.Advance(n.afterMs);
    model.Wheel(n.notches);
    EXPECT_DOUBLE_EQ(model.WheelFactor(), n.factor);
    EXPECT_EQ(model.Target(), n.target);
  }
  ASSERT_TRUE(model.NextDueMs());
  int steps = 0;
  while (auto due = model.NextDueMs()) {
    clock.Advance(*due - clock.NowMs());
    EXPECT_TRUE(model.Poll());
    ++steps;
  }
  EXPECT_EQ(model.Offset(), 99 * 40);
  EXPECT_GT(steps, 5);
  EXPECT_FALSE(model.Poll());  // idle: nothing due, nothing changes
}

// Fine wheels and touchpads: every 120 of delta is a step, and a gesture
// that stays under 120 still steps once, then owes it.
TEST(WheelSteps, SmallDeltasAddUpAndAGestureAlwaysStepsOnce) {
  test::FakeClock clock;
  WheelSteps wheel(clock);
  struct Delta {
    int64_t afterMs;
    int delta;
    int steps;
  } deltas[] = {
      {0, 120, 1},     {100, 120, 1}, {100, 360, 3},               // plain notches
      {1000, 30, 1},   {10, 30, 0},   {10, 30, 0},   {10, 30, 0},  // 120 in all: the one step taken at once
      {10, 30, 0},     {10, 90, 1},                                // 240: the second
      {10, -40, -1},   {10, -40, 0},                               // turning round is a new gesture
      {1000, -40, -1},                                             // and so is a pause
      {10, -250, -1},  {10, 0, 0},                                 // -290: the second at -240
  };
  for (const Delta& d : deltas) {
    clock.Advance(d.afterMs);
    EXPECT_EQ(wheel.Add(d.delta), d.steps) << "after " << d.afterMs << " ms: " << d.delta;
  }
}

TEST(MacroListModel, PanScrollsByItsDistanceInsideAListOfSeveralRows) {
  test::FakeClock clock;
  struct Pan {
    const char* what;
    int rows;
    int dy;
    bool inside;
    bool scrolls;
    int target;
  } pans[] = {
      {"finger up: further down the list", 10, -90, true, true, 190},
      {"finger down: back towards the top", 10, 50, true, true, 50},
      {"clamped at the top", 10, 500, true, true, 0},
      {"clamped at the last row", 10, -5000, true, true, 9 * 40},
      {"outside the list area", 10, -90, false, false, 100},
      {"a single row does not pan", 1, -90, true, false, 0},
  };
  for (const Pan& p : pans) {
    MacroListModel model(clock, 200);
    model.SetRows(Rows(p.rows));
    model.Pan(-100, true);  // a list already scrolled a little (where it can be)
    EXPECT_EQ(model.Pan(p.dy, p.inside), p.scrolls) << p.what;
    EXPECT_EQ(model.Target(), p.target) << p.what;
  }
}

TEST(MacroListModel, RowsOfEachMode) {
  FunctionList list;
  list.rows = {Row("Advanced", MacroRowKind::kFolder, 0, "@_INTERNAL_201"),
               Row("Macro list (PC)", MacroRowKind::kCaption)};
  list.deviceRows = {Row("Mouse memory", MacroRowKind::kCaption), Row("a", MacroRowKind::kDeviceSlot, kModeOnce),
                     Row("Empty", MacroRowKind::kDeviceSlot, kModeOnce)};
  const std::vector<MacroListItem> files = {Row("f", MacroRowKind::kEntry, kModeOnce, "/lib/f.mf")};
  auto names = [](const std::vector<MacroListItem>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.name);
    return out;
  };
  EXPECT_EQ(names(MacroListRows(list, files, false)), (std::vector<std::string>{"a", "Empty", "Macro list (PC)", "f"}));
  // No caption over nothing.
  EXPECT_EQ(names(MacroListRows(list, {}, false)), (std::vector<std::string>{"a", "Empty"}));
  EXPECT_EQ(names(MacroListRows(list, files, true)), (std::vector<std::string>{"Advanced", "Macro list (PC)", "f"}));
}

// A click opens or closes a folder or group; a closed folder hides all that
// lies below it, and the rows keep the library's name order within a folder.
TEST(MacroListModel, FoldersAndGroupsOpenAndCloseAndHideWhatIsInside) {
  test::TempDir dir;
  const std::string root = dir.Path("Favorite");
  std::filesystem::create_directories(root + "/A/Inner");
  std::filesystem::create_directories(root + "/B");
  MacroLibrary library(root, dir.Path("program"));
  library.Scan();
  auto row = [&](const std::string& name) {
    for (const MacroListItem& r : library.Files())
      if (r.name == name) return r;
    ADD_FAILURE() << name;
    return MacroListItem{};
  };
  ASSERT_TRUE(library.Add("x", kModeOnce, {WaitItem(5)}, row("Inner").id, 1));  // opens Inner
  ASSERT_TRUE(library.Add("a", kModeOnce, {WaitItem(5)}, 0, 2));
  auto shown = [&] {
    std::vector<std::string> out;
    for (const MacroListItem& r : LibraryTreeRows(library.Files())) out.push_back(r.name);
    return out;
  };
  EXPECT_EQ(shown(), (std::vector<std::string>{"A", "B", "a"}));
  const struct {
    std::string click;
    std::vector<std::string> rows;
  } clicks[] = {{"A", {"A", "Inner", "x", "B", "a"}},
                {"Inner", {"A", "Inner", "B", "a"}},
                {"A", {"A", "B", "a"}},
                {"A", {"A", "Inner", "B", "a"}}};
  for (const auto& c : clicks) {
    ASSERT_TRUE(ToggleOpen(library, row(c.click))) << c.click;
    EXPECT_EQ(shown(), c.rows) << c.click;
  }
  library.Scan();  // what is open stays open
  EXPECT_EQ(shown(), (std::vector<std::string>{"A", "Inner", "B", "a"}));

  const MacroListItem mouse = Row("Mouse", MacroRowKind::kFolder, 0, "@_INTERNAL_202");
  for (const bool open : {true, false}) {
    EXPECT_TRUE(ToggleOpen(library, mouse));
    EXPECT_EQ(library.GroupOpen(kGroupMouse), open);
  }
  for (const MacroListItem& other :
       {row("a"), Row("Empty", MacroRowKind::kDeviceSlot, kModeOnce), Row("Mouse memory", MacroRowKind::kCaption)})
    EXPECT_FALSE(ToggleOpen(library, other)) << other.name;
  EXPECT_EQ(shown(), (std::vector<std::string>{"A", "Inner", "B", "a"}));
}

}  // namespace
}  // namespace quorix
