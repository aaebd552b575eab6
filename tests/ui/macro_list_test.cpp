// The macro list offscreen on a simulated mouse with a library in a
// temporary folder: both modes, keys, picks, the wheel in virtual time, and
// deletion that never hands a device slot to the file system.
#include "ui/windows/macro_list.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGestureEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <filesystem>
#include <memory>
#include <tuple>

#include "macro/macro_file.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"

#include "dialog_driver.h"

namespace quorix::ui {
namespace {

struct ListWorld : test::SimSession {
  ListWorld() {
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
    for (const char* name : {"beta", "alpha"})
      EXPECT_TRUE(session->StoreMacro(name[0] == 'a' ? 3 : 1, kModeOnce, name, {WaitItem(5)}).Wait());
    std::filesystem::create_directories(dir.Path("Favorite"));
    file = dir.Path("Favorite/1.mf");
    EXPECT_TRUE(WriteMacroFile(file, "on disk", kModeOnce, {WaitItem(9)}, 100));
    library = std::make_unique<MacroLibrary>(dir.Path("Favorite"), dir.Path("program"));
    library->Scan();
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts, library.get()});
  }
  std::unique_ptr<MacroList> Open(MacroListMode mode) {
    auto list = std::make_unique<MacroList>(*env, mode);
    list->show();
    return list;
  }
  static int ItemIndex(MacroList& list, const QString& label) {
    for (size_t i = 0; i < list.Items().size(); ++i)
      if (list.Items()[i].label == label) return static_cast<int>(i);
    return -1;
  }
  static void Key(MacroList& list, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&list, &event);
  }

  test::TempDir dir;
  std::string file;
  std::unique_ptr<MacroLibrary> library;
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
};

TEST(MacroList, ModesKeysAndPicks) {
  ListWorld w;
  auto slotList = w.Open(MacroListMode::kPickMacro);
  auto functions = w.Open(MacroListMode::kFunctionList);
  EXPECT_EQ(slotList->width(), 476);
  EXPECT_EQ(functions->width(), 476 + 41);
  EXPECT_EQ(ListWorld::ItemIndex(*slotList, QStringLiteral("Hide")), -1);
  EXPECT_GE(ListWorld::ItemIndex(*functions, QStringLiteral("Hide")), 0);
  // The used slots in name order, then the first empty one, then the
  // library's macros under their caption.
  ASSERT_EQ(slotList->Model().Rows().size(), 5u);
  EXPECT_EQ(slotList->Model().Rows()[0].name, "alpha");
  EXPECT_EQ(slotList->Model().Rows()[2].name, "Empty");
  EXPECT_EQ(slotList->Model().Rows()[3].name, "Macro list (PC)");
  EXPECT_EQ(slotList->Model().Rows()[4].path, w.file);
  bool fileListed = false;
  for (const auto& row : functions->Model().Rows()) fileListed |= row.path == w.file;
  EXPECT_TRUE(fileListed);

  QSignalSpy picked(slotList.get(), &MacroList::picked);
  slotList->ActivateItem(ListWorld::ItemIndex(*slotList, QStringLiteral("OK")));  // no selection: nothing picked
  EXPECT_EQ(picked.count(), 0);

  auto again = w.Open(MacroListMode::kPickMacro);
  QSignalSpy pickedAgain(again.get(), &MacroList::picked);
  for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) ListWorld::Key(*again, key);
  EXPECT_EQ(again->Model().Selected(), 1);
  again->ActivateItem(ListWorld::ItemIndex(*again, QStringLiteral("OK")));
  ASSERT_EQ(pickedAgain.count(), 1);
  const auto row = pickedAgain.at(0).at(0).value<MacroListItem>();
  EXPECT_EQ(row.name, "beta");
  EXPECT_EQ(row.slot, 1);
  EXPECT_FALSE(again->isVisible());
}

TEST(MacroList, DeletingNeverHandsADeviceSlotToTheFileSystem) {
  ListWorld w;
  auto asked = test::PressWhenShown(QStringLiteral("OK"));
  auto slotList = w.Open(MacroListMode::kPickMacro);
  slotList->SelectRow(0);
  ListWorld::Key(*slotList, Qt::Key_Delete);
  slotList->ActivateItem(ListWorld::ItemIndex(*slotList, QStringLiteral("Delete")));
  EXPECT_FALSE(asked->Fired());
  asked.reset();
  EXPECT_EQ(slotList->Model().Rows().size(), 5u);
  EXPECT_TRUE(w.session->State().image.Snapshot()->macroSlots[3].InUse());

  auto functions = w.Open(MacroListMode::kFunctionList);
  QSignalSpy deleted(functions.get(), &MacroList::rowDeleted);
  const auto& rows = functions->Model().Rows();
  int fileRow = -1;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].path == w.file) fileRow = static_cast<int>(i);
  ASSERT_GE(fileRow, 0);
  const auto ok = test::PressWhenShown(QStringLiteral("OK"));
  ListWorld::Key(*functions, Qt::Key_Delete);  // not in function-list mode
  functions->SelectRow(fileRow);
  ListWorld::Key(*functions, Qt::Key_Delete);
  EXPECT_FALSE(ok->Fired());
  ASSERT_TRUE(test::PressItem(*functions, QStringLiteral("Delete")));
  ASSERT_TRUE(ok->Fired());
  EXPECT_TRUE(ok->Said().endsWith(QStringLiteral("\nDelete macro 'on disk' ?"))) << ok->Said().toStdString();
  EXPECT_EQ(deleted.count(), 1);
  EXPECT_FALSE(std::filesystem::exists(w.file));
  EXPECT_EQ(functions->Model().Selected(), static_cast<int>(functions->Model().Rows().size()) - 1);
}

TEST(MacroList, WheelScrollsSmoothlyAndTheTimerStopsAtTheTarget) {
  ListWorld w;
  for (int slot = 10; slot < 40; ++slot)
    ASSERT_TRUE(w.session->StoreMacro(slot, kModeOnce, "m" + std::to_string(slot), {WaitItem(1)}).Wait());
  auto list = w.Open(MacroListMode::kPickMacro);
  EXPECT_FALSE(list->TimerArmed());
  auto turn = [&list](int delta) {
    QWheelEvent wheel(QPointF(100, 100), list->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list.get(), &wheel);
  };
  turn(-120 * 3);
  EXPECT_EQ(list->Model().Target(), 120);
  EXPECT_TRUE(list->TimerArmed());
  for (int i = 0; i < 100 && list->TimerArmed(); ++i) {
    w.clock->Advance(10);
    list->RunDueTimers();
  }
  EXPECT_EQ(list->Model().Offset(), 120);
  EXPECT_FALSE(list->TimerArmed());

  // A touch pan scrolls by its distance inside the list, not below it.
  for (const auto& [at, dy, target] :
       {std::tuple{QPointF(100, 100), -80.0, 200}, {QPointF(100, 540), -80.0, 200}, {QPointF(100, 100), 30.0, 170}}) {
    QPanGesture pan;
    pan.setHotSpot(list->mapToGlobal(at));
    pan.setLastOffset(QPointF(0, 0));
    pan.setOffset(QPointF(0, dy));
    QGestureEvent event({&pan});
    QCoreApplication::sendEvent(list.get(), &event);
    EXPECT_EQ(list->Model().Target(), target) << at.y() << " " << dy;
  }

  // A touchpad's small deltas: the gesture's first one steps a row, 240 in all a second.
  w.clock->Advance(1000);
  for (int i = 0; i < 8; ++i) {
    turn(-30);
    EXPECT_EQ(list->Model().Target(), 170 + (i < 7 ? 40 : 80)) << i;
    w.clock->Advance(20);
  }
}

}  // namespace
}  // namespace quorix::ui
