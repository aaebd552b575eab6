// The macro editor offscreen on a simulated mouse: a recording through a fake
// input source with its indicator, which stops when the window hides or the
// device goes; commands; a drop on the empty slot stores without asking, and
// a macro too big for the mouse is refused with "Lack of space !!".
#include "ui/windows/macro_edit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <filesystem>
#include <memory>

#include "macro/macro_file.h"
#include "macro/macro_memory.h"
#include "session/macro_recording.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/fake_input_capture.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/main_window.h"

#include "dialog_driver.h"
#include "process_events.h"

namespace quorix::ui {
namespace {

using quorix::test::Leave;
using quorix::test::LeaveWhenShown;
using quorix::test::PressWhenShown;
using quorix::test::ProcessEventsUntil;

struct EditWorld : test::SimSession {
  explicit EditWorld(std::string setIni = {}) : SimSession({}, std::move(setIni)) {
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
    auto fake = std::make_unique<test::FakeInputCapture>();
    capture = fake.get();
    recording = std::make_unique<MacroRecording>(std::move(fake), "", *clock, &shared);
    std::filesystem::create_directories(dir.Path("Favorite"));
    libraryFile = dir.Path("Favorite/1.mf");
    EXPECT_TRUE(WriteMacroFile(libraryFile, "on disk", kModeOnce, {WaitItem(9)}, 100));
    library = std::make_unique<MacroLibrary>(dir.Path("Favorite"), dir.Path("program"));
    library->Scan();
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts, library.get()});
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
      if (editor->ListRows()[i].kind == MacroRowKind::kDeviceSlot && editor->ListRows()[i].slot == slot)
        return static_cast<int>(i);
    return -1;
  }
  int FileRow(const std::string& path) {
    for (size_t i = 0; i < editor->ListRows().size(); ++i)
      if (editor->ListRows()[i].path == path) return static_cast<int>(i);
    return -1;
  }
  // The slot's record length as the mouse holds it, read afresh.
  int MouseSlotLength(int slot) {
    EXPECT_TRUE(session->Load().Wait());
    return session->State().image.Snapshot()->macroSlots[static_cast<size_t>(slot)].length;
  }

  test::TempDir dir;
  std::string libraryFile;
  std::unique_ptr<MacroLibrary> library;
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
  // Armed, recording and stopped each look their own.
  EXPECT_EQ(w.editor->StatusText(), QStringLiteral("Press F11 to start recording."));
  EXPECT_EQ(w.editor->IndicatorText(), QStringLiteral("Ready to record"));
  // The hotkey's release starts, a wheel notch is a step, its press stops.
  InputEvent key;
  key.makeCode = 0x57;
  w.Feed(key);
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.editor->IndicatorText() == QStringLiteral("Recording..."); }));
  EXPECT_EQ(w.editor->StatusText(), QStringLiteral("Press F11 to stop recording."));
  InputEvent wheel;
  wheel.kind = InputEvent::Kind::kWheel;
  wheel.wheelDelta = 120;
  w.Feed(wheel);
  key.down = true;
  w.Feed(key);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->RecordingIndicatorShown(); }));
  EXPECT_EQ(w.editor->IndicatorText(), QString());
  EXPECT_EQ(w.editor->StatusText(), QStringLiteral("Recording stopped."));
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
  const Result<Options> read = w.session->ReadOptions(dir.Path("set.ini"));
  ASSERT_TRUE(read) << read.detail();
  const Options& stored = *read;
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

// Edits about to go (another row, another file, the editor closed, the
// program quit) are asked about: Yes stores them in the mouse and goes on, No
// drops them and goes on; Cancel, Escape and the close button stay in the
// editor with the edits as they were and the mouse untouched.
TEST(MacroEdit, UnsavedEditsAreAskedAboutBeforeTheyGo) {
  enum class Way { kOtherRow, kLoadFile, kCloseEditor, kQuit };
  const std::pair<Way, const char*> ways[] = {
      {Way::kOtherRow, "other row"}, {Way::kLoadFile, "load file"}, {Way::kCloseEditor, "close"}, {Way::kQuit, "quit"}};
  struct Reply {
    const char* what;
    std::function<std::shared_ptr<test::DialogAction>()> give;
    bool saves, goesOn;
  } replies[] = {
      {"Yes", [] { return PressWhenShown(QStringLiteral("Yes")); }, true, true},
      {"No", [] { return PressWhenShown(QStringLiteral("No")); }, false, true},
      {"Cancel", [] { return PressWhenShown(QStringLiteral("Cancel")); }, false, false},
      {"Escape", [] { return LeaveWhenShown(Leave::kEscape); }, false, false},
      {"close button", [] { return LeaveWhenShown(Leave::kCloseButton); }, false, false},
  };
  for (const auto& [way, wayName] : ways) {
    for (const Reply& reply : replies) {
      const std::string what = std::string(wayName) + ", " + reply.what;
      EditWorld w;
      ASSERT_TRUE(w.session->StoreMacro(2, kModeOnce, "stored", {WaitItem(5)}).Wait());
      const int storedLength = w.MouseSlotLength(2);
      w.editor->Rebuild();
      w.editor->LoadRow(w.SlotRow(2));
      ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
      ASSERT_EQ(w.editor->Model().Items().size(), 1u) << what;
      w.editor->ActivateItem(w.Item(QStringLiteral("Insert delay instruction")));
      const std::vector<MacroItem> edited = w.editor->Model().Items();
      ASSERT_EQ(edited.size(), 2u);
      w.editor->GetDialogs().file = [&w](bool, const QString&) { return QString::fromStdString(w.libraryFile); };

      const auto answer = reply.give();
      bool quit = false;
      switch (way) {
        case Way::kOtherRow:
          w.editor->LoadRow(w.FileRow(w.libraryFile));
          break;
        case Way::kLoadFile:
          w.editor->ActivateItem(w.Item(QStringLiteral("Load macro")));
          break;
        case Way::kCloseEditor:
          w.editor->ActivateItem(w.Item(QStringLiteral("Close")));
          break;
        case Way::kQuit:  // as the shell asks before it quits
          w.editor->LeaveEdits([&quit] { quit = true; });
          break;
      }
      ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
      EXPECT_TRUE(answer->Fired()) << what;
      EXPECT_EQ(w.MouseSlotLength(2), storedLength + (reply.saves ? 2 : 0)) << what;
      const auto& items = w.editor->Model().Items();
      if (!reply.goesOn) {
        EXPECT_EQ(items, edited) << what;
        EXPECT_TRUE(w.editor->Model().Modified()) << what;
        EXPECT_TRUE(w.editor->isVisible()) << what;
        EXPECT_FALSE(quit) << what;
        continue;
      }
      switch (way) {
        case Way::kOtherRow:
        case Way::kLoadFile:
          EXPECT_EQ(w.editor->Model().From().path, w.libraryFile) << what;
          EXPECT_EQ(items, std::vector<MacroItem>{WaitItem(9)}) << what;
          break;
        case Way::kCloseEditor:
          EXPECT_FALSE(w.editor->isVisible()) << what;
          break;
        case Way::kQuit:
          EXPECT_TRUE(quit) << what;
          break;
      }
      EXPECT_FALSE(w.editor->Model().Unsaved()) << what;
    }
  }
}

// A new macro with steps can be saved: it goes to the library. A file that
// cannot be written is reported with its path and the system's reason, and
// the edits stay, unsaved.
TEST(MacroEdit, SaveKeepsANewMacroInTheLibraryAndReportsAFailedWrite) {
  EditWorld w;
  const int save = w.Item(QStringLiteral("Save"));
  EXPECT_TRUE(w.editor->Items()[static_cast<size_t>(save)].disabled);
  w.editor->ActivateItem(w.Item(QStringLiteral("Insert delay instruction")));
  ASSERT_FALSE(w.editor->Items()[static_cast<size_t>(save)].disabled);
  w.editor->GetDialogs().folder = [](const QString&, const std::vector<MacroListItem>&) {
    return std::optional<int>(0);  // the library's root
  };
  w.editor->ActivateItem(save);
  EXPECT_EQ(w.names, QStringList{QStringLiteral("")});
  const std::string added = w.editor->Model().From().path;
  const MacroFileRead read = ReadMacroFile(added);
  ASSERT_TRUE(read.file) << read.file.detail();
  EXPECT_EQ(read.file->items, w.editor->Model().Items());
  EXPECT_GE(w.FileRow(added), 0);
  EXPECT_FALSE(w.editor->Model().Unsaved());

  // The file's folder has gone: Save and "Save macro" both say so.
  w.editor->ActivateItem(w.Item(QStringLiteral("Insert delay instruction")));
  std::filesystem::remove_all(w.dir.Path("Favorite"));
  const std::string lost = w.dir.Path("gone/x.mf");
  w.editor->GetDialogs().file = [&](bool, const QString&) { return QString::fromStdString(lost); };
  const std::vector<MacroItem> edited = w.editor->Model().Items();
  for (const auto& [command, target] : {std::pair{"Save", added}, std::pair{"Save macro", lost}}) {
    const auto ok = PressWhenShown(QStringLiteral("OK"));
    w.editor->ActivateItem(w.Item(QString::fromLatin1(command)));
    EXPECT_TRUE(ok->Fired()) << command;
    EXPECT_TRUE(ok->Said().startsWith(QStringLiteral("Macro Editor\n"))) << command;
    EXPECT_TRUE(ok->Said().contains(QString::fromStdString(target) + QStringLiteral(": "))) << ok->Said().toStdString();
    EXPECT_EQ(w.editor->Model().Items(), edited) << command;
    EXPECT_TRUE(w.editor->Model().Unsaved()) << command;
    EXPECT_EQ(w.editor->Model().From().path, added) << command;
  }
  // A file that cannot be read is said too, and nothing is loaded.
  const auto ok = PressWhenShown(QStringLiteral("OK"));
  w.editor->ActivateItem(w.Item(QStringLiteral("Load macro")));
  EXPECT_TRUE(ok->Fired());
  EXPECT_TRUE(ok->Said().contains(QString::fromStdString(lost))) << ok->Said().toStdString();
  EXPECT_EQ(w.editor->Model().Items(), edited);
}

}  // namespace
}  // namespace quorix::ui
