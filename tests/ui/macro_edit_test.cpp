// The macro editor offscreen on a simulated mouse: a recording through a fake
// input source with its indicator, which stops when the window hides or the
// device goes; commands; a drop on the empty slot stores without asking, and
// a macro too big for the mouse is refused with "Lack of space !!".
#include "ui/windows/macro_edit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <memory>

#include "macro/macro_memory.h"
#include "session/macro_recording.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"
#include "support/fake_input_capture.h"
#include "support/temp_dir.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/main_window.h"

#include "dialog_driver.h"
#include "process_events.h"

namespace quorix::ui {
namespace {

using quorix::test::ProcessEventsUntil;

struct EditWorld : test::SimSession {
  explicit EditWorld(std::string setIni = {}) : SimSession({}, std::move(setIni)) {
    EXPECT_TRUE(session->ResolveDevice());
    EXPECT_TRUE(session->Load());
    auto fake = std::make_unique<test::FakeInputCapture>();
    capture = fake.get();
    recording = std::make_unique<MacroRecording>(std::move(fake), "", *clock, &shared);
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts});
    editor = std::make_unique<MacroEdit>(*env, recording.get());
    auto& d = editor->GetDialogs();
    d.name = [this](const QString&, const QString& text, int) -> std::optional<QString> {
      names << text;
      return text;
    };
    editor->ShowEditor();
  }
  ~EditWorld() { editor.reset(); }
  int Item(const QString& label) {
    for (size_t i = 0; i < editor->Items().size(); ++i)
      if (editor->Items()[i].label == label) return static_cast<int>(i);
    return -1;
  }
  void Feed(InputEvent event) {
    capture->Feed(event);
    QCoreApplication::processEvents();
  }
  int SlotRow(int slot) {
    for (size_t i = 0; i < editor->ListRows().size(); ++i)
      if (editor->ListRows()[i].device == 1 && editor->ListRows()[i].slot == slot) return static_cast<int>(i);
    return -1;
  }

  test::FakeInputCapture* capture = nullptr;
  RecordingSettings shared;
  std::unique_ptr<MacroRecording> recording;
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
  std::unique_ptr<MacroEdit> editor;
  QStringList names;
};

TEST(MacroEdit, RecordingShowsTheIndicatorAndStopsWithTheWindowOrTheDevice) {
  EditWorld w;
  EXPECT_FALSE(w.editor->RecordingIndicatorShown());
  EXPECT_FALSE(w.capture->Running());
  w.editor->ActivateItem(w.Item(QStringLiteral("Record")));
  EXPECT_TRUE(w.capture->Running());
  EXPECT_TRUE(w.editor->RecordingIndicatorShown());
  EXPECT_EQ(w.editor->StatusText(), QStringLiteral("Press F11 to start recording."));
  // The hotkey's release starts, a wheel notch is a step, its press stops.
  InputEvent key;
  key.makeCode = 0x57;
  w.Feed(key);
  InputEvent wheel;
  wheel.kind = InputEvent::Kind::kWheel;
  wheel.wheelDelta = 120;
  w.Feed(wheel);
  key.down = true;
  w.Feed(key);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->RecordingIndicatorShown(); }));
  EXPECT_FALSE(w.capture->Running());
  ASSERT_FALSE(w.editor->Model().Items().empty());
  EXPECT_EQ(w.editor->Model().Items().back().bytes[0], 0x61);
  EXPECT_TRUE(w.editor->Model().IsNew(static_cast<int>(w.editor->Model().Items().size()) - 1));
  EXPECT_TRUE(w.editor->TimerArmed());  // the new-step mark runs out later

  struct Stopper {
    const char* what;
    std::function<void(EditWorld&)> stop;
  } stoppers[] = {{"hidden", [](EditWorld& e) { e.editor->hide(); }},
                  {"device gone", [](EditWorld& e) { emit e.broadcasts.deviceGone(); }}};
  for (const Stopper& s : stoppers) {
    w.editor->ShowEditor();
    w.editor->InsertCapture();
    EXPECT_TRUE(w.capture->Running()) << s.what;
    s.stop(w);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.capture->Running()) << s.what;
    EXPECT_FALSE(w.editor->RecordingIndicatorShown()) << s.what;
  }
}

// The key chosen as the recording hotkey goes to set.ini through the main
// window, as the key and as its name key, and the next recording waits for it.
TEST(MacroEdit, AChosenHotkeyIsStoredInSetIniAndStartsTheNextRecording) {
  test::TempDir dir;
  EditWorld w(dir.Path("set.ini"));
  MainWindow main(*w.env);
  w.editor->ActivateItem(w.Item(QStringLiteral("Change recording hotkey")));
  EXPECT_TRUE(w.capture->Running());
  EXPECT_EQ(w.editor->StatusText(), QStringLiteral("Press keyboard to change"));
  InputEvent key;
  key.makeCode = 0x3C;  // F2
  key.down = true;
  w.Feed(key);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.capture->Running(); }));
  QCoreApplication::processEvents();
  Options stored;
  std::string error;
  ASSERT_TRUE(w.session->ReadOptions(dir.Path("set.ini"), stored, error)) << error;
  EXPECT_EQ(stored.recordHotkey, 0x3B);
  EXPECT_EQ(stored.recordHotkeyName, 0x3B);
  EXPECT_EQ(w.shared.Hotkey(), 0x3B);
  w.editor->Record();
  EXPECT_EQ(w.editor->StatusText(), QStringLiteral("Press F2 to start recording."));
  w.editor->StopRecording();
}

TEST(MacroEdit, DropOnTheEmptySlotStoresWithoutAskingAndAFullMouseSaysLackOfSpace) {
  EditWorld w;
  const int freeBefore = w.editor->FreeMemory();
  ASSERT_GT(freeBefore, 0);
  w.editor->ActivateItem(w.Item(QStringLiteral("Insert delay instruction")));
  w.editor->ActivateItem(w.Item(QStringLiteral("One time mode")));
  EXPECT_EQ(w.editor->Model().Mode(), kModeLoop);
  const int empty = w.SlotRow(0);
  ASSERT_GE(empty, 0);
  auto asked = test::LeaveWhenShown(test::Leave::kEscape);
  w.editor->DropOnRow(empty);
  EXPECT_FALSE(asked->Fired());
  asked.reset();
  EXPECT_EQ(w.names, QStringList{QStringLiteral("Macro name")});
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
  const auto image = w.session->State().image.Snapshot();
  EXPECT_TRUE(image->macroSlots[0].InUse());
  EXPECT_EQ(image->macroSlots[0].mode, kModeLoop);
  EXPECT_EQ(w.editor->FreeMemory(), freeBefore - w.editor->Model().Size());
  EXPECT_FALSE(w.editor->Model().Modified());

  // Dropping again on the now used slot asks first.
  const auto overwrite = test::PressWhenShown(QStringLiteral("OK"));
  w.editor->DropOnRow(w.SlotRow(0));
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
  ASSERT_TRUE(overwrite->Fired());
  EXPECT_TRUE(overwrite->Said().endsWith(QStringLiteral("\nOverwrite macro 'Macro name' ?")));

  const auto lackOfSpace = test::PressWhenShown(QStringLiteral("OK"));
  w.editor->Model().Load(std::vector<MacroItem>(static_cast<size_t>(freeBefore), WheelItem(1)), "huge", kModeOnce, {});
  w.editor->DropOnRow(w.SlotRow(1));
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy() && lackOfSpace->Fired(); }));
  EXPECT_TRUE(lackOfSpace->Said().endsWith(QStringLiteral("\nLack of space !!")));
  EXPECT_FALSE(w.session->State().image.Snapshot()->macroSlots[1].InUse());
}

}  // namespace
}  // namespace quorix::ui
