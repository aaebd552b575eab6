// Every confirmation of the program, answered as the user answers it: Cancel,
// Escape and the window's close change nothing on the mouse or on disk, and
// OK does what the question said.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <filesystem>
#include <functional>

#include "macro/macro_file.h"
#include "options/language_setting.h"
#include "session/macro_recording.h"
#include "settings/backup_file.h"
#include "settings/settings_load.h"
#include "ui/windows/macro_edit.h"
#include "ui/windows/macro_list.h"

#include "dialog_driver.h"
#include "dialog_world.h"
#include "process_events.h"

namespace quorix::test {
namespace {

struct ConfirmWorld : DialogWorld {
  ConfirmWorld() {
    Load();
    // A program bound to profile 1, which a reset forgets.
    Options options = session->CurrentOptions();
    options.apps[0] = {"Clock game", "/opt/games/clock", 1};
    const Outcome written = WriteSetIni(dir.Path("set.ini"), options, SetIniCodePage(dir.Path("set.ini")));
    EXPECT_TRUE(written) << written.detail;
    const Outcome reloaded = session->ReloadOptions();
    EXPECT_TRUE(reloaded) << reloaded.detail;
    // The library: two macro files and an empty folder.
    std::filesystem::create_directories(dir.Path("Favorite/Old"));
    for (const auto& [file, name] : {std::pair{"Favorite/1.mf", "on disk"}, std::pair{"Favorite/2.mf", "kept"}})
      EXPECT_TRUE(WriteMacroFile(dir.Path(file), name, kModeOnce, {WaitItem(9)}, 100));
    library->Scan();
    EXPECT_TRUE(session->StoreMacro(0, kModeOnce, "used", {WaitItem(5)}).Wait());
  }

  // Steps of the main window's "Other" page.
  void Other(const QString& command) {
    ASSERT_TRUE(PressItem(Main(), QStringLiteral("Other")));
    ASSERT_TRUE(PressItem(Main(), command));
  }
  // The function list with the library row named `name` selected, and its Delete pressed.
  void DeleteFromList(const std::string& name) {
    list = std::make_unique<ui::MacroList>(*env, ui::MacroListMode::kFunctionList);
    list->show();
    const auto& rows = list->Model().Rows();
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].name == name) list->SelectRow(static_cast<int>(i));
    ASSERT_TRUE(PressItem(*list, QStringLiteral("Delete")));
  }

  std::string backup;  // the file Restore is given
  std::unique_ptr<ui::MacroList> list;
  std::unique_ptr<ui::MacroEdit> editor;
};

struct Confirmation {
  const char* what;
  std::function<void(ConfirmWorld&)> ask;  // the user's step that asks
  bool nameFollows;                        // OK goes on to the name entry
  std::function<void(ConfirmWorld&, const Snapshot& before)> checkOk;
};

const Confirmation kConfirmations[] = {
    {"Reset", [](ConfirmWorld& w) { w.Other(QStringLiteral("Reset")); }, false,
     [](ConfirmWorld& w, const Snapshot&) {
       ASSERT_TRUE(ProcessEventsUntil([&] { return !w.Main().InputBlocked(); }));
       const auto image = w.session->State().image.Snapshot();
       const std::vector<uint8_t> defaults = BuildDefaultImage(image->protocolLevel, image->modelCode, *image);
       // The front of memory, but for the lighting block the reset sets on its own.
       std::vector<uint8_t> memory(w.host->Mouse().Memory().begin(),
                                   w.host->Mouse().Memory().begin() + image->map.macroAreaStart);
       std::vector<uint8_t> expected(defaults.begin(), defaults.begin() + image->map.macroAreaStart);
       for (auto* bytes : {&memory, &expected})
         if (image->map.lightingBlockAddress >= 0)
           bytes->erase(bytes->begin() + image->map.lightingBlockAddress,
                        bytes->begin() + image->map.lightingBlockAddress + image->map.lightingBlockLength);
       EXPECT_EQ(memory, expected) << "the mouse holds the default image";
       for (const ProfileApp& app : w.StoredOptions().apps) {
         EXPECT_EQ(app.appPath, "");
         EXPECT_EQ(app.appEnabled, 0);
       }
     }},
    {"Restore",
     [](ConfirmWorld& w) {
       // A backup of the mouse as it was with pair 0's x at 44.
       std::vector<uint8_t> image = w.host->Mouse().Memory();
       image[3] = 44;
       const std::vector<uint8_t> bytes = EncodeBackup(image, w.session->CurrentOptions().apps);
       w.backup = w.dir.Path("mouse.bf");
       WriteFile(w.backup, std::string(bytes.begin(), bytes.end()));
       w.Main().SetChooseBackupFile([&w](bool, const QString&) { return QString::fromStdString(w.backup); });
       w.Other(QStringLiteral("Restore"));
     },
     false,
     [](ConfirmWorld& w, const Snapshot& before) {
       ASSERT_TRUE(ProcessEventsUntil([&] { return !w.Main().InputBlocked(); }));
       w.Drain();
       std::vector<uint8_t> expected = before.memory;
       expected[3] = 44;
       EXPECT_EQ(w.host->Mouse().Memory(), expected) << "the mouse holds the file's memory";
     }},
    {"Delete a macro file", [](ConfirmWorld& w) { w.DeleteFromList("on disk"); }, false,
     [](ConfirmWorld& w, const Snapshot&) {
       EXPECT_FALSE(std::filesystem::exists(w.dir.Path("Favorite/1.mf")));
       EXPECT_TRUE(std::filesystem::exists(w.dir.Path("Favorite/2.mf")));
     }},
    {"Delete a library folder", [](ConfirmWorld& w) { w.DeleteFromList("Old"); }, false,
     [](ConfirmWorld& w, const Snapshot&) {
       EXPECT_FALSE(std::filesystem::exists(w.dir.Path("Favorite/Old")));
       EXPECT_TRUE(std::filesystem::exists(w.dir.Path("Favorite/1.mf")));
     }},
    {"Delete a macro in the mouse from the editor",
     [](ConfirmWorld& w) {
       w.editor = std::make_unique<ui::MacroEdit>(*w.env, nullptr);
       w.editor->ShowEditor();
       for (size_t i = 0; i < w.editor->ListRows().size(); ++i)
         if (w.editor->ListRows()[i].kind == MacroRowKind::kDeviceSlot && w.editor->ListRows()[i].slot == 0)
           w.editor->LoadRow(static_cast<int>(i));
       ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
       ASSERT_TRUE(PressItem(*w.editor, QStringLiteral("Delete macro")));
     },
     false,
     [](ConfirmWorld& w, const Snapshot&) {
       ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
       w.Drain();
       // Read again from the mouse, not from the program's copy.
       ASSERT_TRUE(w.session->Load().Wait());
       EXPECT_FALSE(w.session->State().image.Snapshot()->macroSlots[0].InUse()) << "the mouse's slot is free";
     }},
    {"Overwrite a used slot",
     [](ConfirmWorld& w) {
       w.editor = std::make_unique<ui::MacroEdit>(*w.env, nullptr);
       w.editor->ShowEditor();
       ASSERT_TRUE(PressItem(*w.editor, QStringLiteral("Insert delay instruction")));
       for (size_t i = 0; i < w.editor->ListRows().size(); ++i)
         if (w.editor->ListRows()[i].kind == MacroRowKind::kDeviceSlot && w.editor->ListRows()[i].slot == 0)
           w.editor->DropOnRow(static_cast<int>(i));
     },
     true,
     [](ConfirmWorld& w, const Snapshot&) {
       ASSERT_TRUE(ProcessEventsUntil([&] { return !w.editor->Busy(); }));
       w.Drain();
       const auto image = w.session->State().image.Snapshot();
       EXPECT_EQ(image->macroSlots[0].name, "Macro name") << "the editor's macro took the slot";
     }},
};

TEST(Confirmations, CancelEscapeAndCloseChangeNothing) {
  struct Way {
    const char* what;
    std::function<std::shared_ptr<DialogAction>()> arm;
  } const ways[] = {
      {"Cancel", [] { return PressWhenShown(QStringLiteral("Cancel")); }},
      {"Escape", [] { return LeaveWhenShown(Leave::kEscape); }},
      {"close", [] { return LeaveWhenShown(Leave::kCloseButton); }},
  };
  for (const Confirmation& c : kConfirmations) {
    for (const Way& way : ways) {
      SCOPED_TRACE(std::string(c.what) + ", " + way.what);
      ConfirmWorld w;
      const Snapshot before = w.Snap();
      const auto answer = way.arm();
      const auto nothingMore = LeaveWhenShown(Leave::kEscape);
      c.ask(w);
      EXPECT_TRUE(answer->Fired()) << "it asked";
      EXPECT_FALSE(nothingMore->Fired()) << "and went no further";
      // Restore's file is new, not a change.
      Snapshot after = w.Snap();
      after.files.erase(w.backup);
      EXPECT_TRUE(after == before);
      EXPECT_FALSE(w.main && w.main->InputBlocked());
    }
  }
}

TEST(Confirmations, OkDoesWhatTheQuestionSaid) {
  for (const Confirmation& c : kConfirmations) {
    SCOPED_TRACE(c.what);
    ConfirmWorld w;
    const Snapshot before = w.Snap();
    const auto ok = PressWhenShown(QStringLiteral("OK"));
    const auto name = c.nameFollows ? TypeWhenShown({}, {Qt::Key_Return}) : nullptr;
    c.ask(w);
    ASSERT_TRUE(ok->Fired());
    EXPECT_TRUE(!name || name->Fired());
    c.checkOk(w, before);
  }
}

}  // namespace
}  // namespace quorix::test
