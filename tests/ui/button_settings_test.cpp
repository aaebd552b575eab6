// The button settings window offscreen on a simulated mouse, opened from the
// main window: clicks on the on-screen keyboard and the offered functions are
// stored by OK through the executor with the same requests as the command
// line's `set button`; Cancel, the device going and the primary-click holder
// store nothing; a function dropped on the mouse picture is stored.
#include "ui/windows/button_set_dlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QThread>
#include <filesystem>
#include <memory>

#include "macro/macro_file.h"
#include "macro/macro_instruction.h"
#include "platform/named_mutex.h"
#include "session/macro_recording.h"
#include "session/models/button_settings_model.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/cli_run.h"
#include "support/fake_clock.h"
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

std::string TraceLine(char direction, const uint8_t* bytes, size_t length) {
  std::string line(1, direction);
  char hex[4];
  for (size_t i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", bytes[i]);
    line += hex;
  }
  return line;
}

struct ButtonWorld {
  ButtonWorld() {
    SessionParts parts;
    parts.clock = std::make_unique<test::FakeClock>();
    auto simHost = std::make_unique<sim::SimHidHost>(*parts.clock, sim::SimOptions{});
    host = simHost.get();
    parts.host = std::move(simHost);
    parts.exchangeMutex = std::make_unique<LocalMutex>();
    parts.deviceListMutex = std::make_unique<LocalMutex>();
    session = std::make_unique<Session>(std::move(parts));
    std::filesystem::create_directories(dir.Path("Favorite"));
    libraryFile = dir.Path("Favorite/1.mf");
    EXPECT_TRUE(WriteMacroFile(libraryFile, "saved", kModeOnce, {WaitItem(7), WheelItem(1)}, 100));
    library = std::make_unique<MacroLibrary>(dir.Path("Favorite"), dir.Path("program"));
    library->Scan();
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts, library.get()});
    window = std::make_unique<MainWindow>(*env);
    window->SetKeyboardLayout(
        LoadKeyboardLayoutFile(std::string(QUORIX_SOURCE_DATA_DIR) + "/keyboard.ini", MakeKeyTexts(env->texts)));
    window->show();
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
    window->ShowLoaded();
  }
  ~ButtonWorld() { window.reset(); }

  // Opens the window for `button` as a click on its row does.
  CButtonSetDlg* Open(int button) {
    for (size_t i = 0; i < window->Items().size(); ++i)
      if (window->Items()[i].code == MainCode(MainRole::kButton, button)) window->ActivateItem(static_cast<int>(i));
    return window->ButtonDialog();
  }
  void Click(CButtonSetDlg* dlg, ButtonSetRole role, int index = 0) {
    const int item = dlg->ItemIndex(role, index);
    ASSERT_GE(item, 0);
    const QPointF at = dlg->Items()[static_cast<size_t>(item)].rect.center();
    for (auto type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const bool held = type == QEvent::MouseButtonPress;
      QMouseEvent event(type, at, dlg->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                        held ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QCoreApplication::sendEvent(dlg, &event);
    }
  }
  int Key(CButtonSetDlg* dlg, int hwcode) {
    const auto& keys = dlg->Model().Keyboard().keys;
    for (size_t k = 0; k < keys.size(); ++k)
      if (keys[k].hwcode == hwcode && keys[k].chwcode == 0) return static_cast<int>(k);
    ADD_FAILURE() << "no key " << hwcode;
    return -1;
  }
  ButtonRecord Stored(int profile, int button) {
    return session->State().image.Snapshot()->profiles[static_cast<size_t>(profile)].buttons[static_cast<size_t>(
        button)];
  }
  bool WaitStored(int button, ButtonRecord record) {
    return ProcessEventsUntil([&] { return Stored(0, button) == record && !window->ButtonDialog(); });
  }

  test::TempDir dir;
  std::string libraryFile;
  std::unique_ptr<MacroLibrary> library;
  sim::SimHidHost* host = nullptr;
  std::unique_ptr<Session> session;
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
  std::unique_ptr<MainWindow> window;
};

TEST(ButtonSettings, KeyboardChoiceIsStoredWithTheCommandLinesRequests) {
  ButtonWorld w;
  CButtonSetDlg* dlg = w.Open(1);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(dlg->size(), QSize(965, 642));
  EXPECT_TRUE(dlg->isVisible());
  w.Click(dlg, ButtonSetRole::kChoice, kChoiceKeyboard);
  for (int usage : {0xE0, 0xE1, 0x04}) w.Click(dlg, ButtonSetRole::kKey, w.Key(dlg, usage));
  EXPECT_EQ(dlg->Model().Text(), "Shift + Ctrl + A") << "modifiers in the layout's order";

  std::vector<std::string> trace;
  w.session->Link().SetTrace([&trace](char direction, const uint8_t* bytes, size_t length) {
    trace.push_back(TraceLine(direction, bytes, length));
  });
  w.Click(dlg, ButtonSetRole::kOk);
  ASSERT_TRUE(w.WaitStored(1, {5, 0x03, 0x04, 0}));
  w.session->Link().SetTrace({});
  ASSERT_FALSE(trace.empty());

  const test::CliRun cli = test::RunCommand({"--simulate", "--trace", "set", "button", "0", "1", "5", "3", "4", "0"});
  ASSERT_EQ(cli.status, 0) << cli.err;
  std::vector<std::string> cliTrace;
  for (const std::string& line : test::SplitLines(cli.err))
    if (line.rfind("> ", 0) == 0 || line.rfind("< ", 0) == 0) cliTrace.push_back(line);
  ASSERT_GE(cliTrace.size(), trace.size());
  const std::vector<std::string> cliWrite(cliTrace.end() - static_cast<std::ptrdiff_t>(trace.size()), cliTrace.end());
  EXPECT_EQ(trace, cliWrite) << "the window's write is the command line's";
}

TEST(ButtonSettings, OfferedFunctionsOkAndCancel) {
  struct Case {
    const char* what;
    int choice;  // -1: none, then `end`
    bool ok;
    ButtonRecord stored;
  } cases[] = {
      {"Tilt right", kChoiceTiltRight, true, {10, 10, 0, 0xFF}},
      {"keyboard without a key", kChoiceKeyboard, true, {5, 0, 0, 0}},
      {"cancel", kChoiceTiltRight, false, {4, 0x02, 0, 0}},
  };
  for (const Case& c : cases) {
    ButtonWorld w;
    const ButtonRecord before = w.Stored(0, 1);
    CButtonSetDlg* dlg = w.Open(1);
    ASSERT_NE(dlg, nullptr) << c.what;
    w.Click(dlg, ButtonSetRole::kChoice, c.choice);
    EXPECT_EQ(dlg->Items()[static_cast<size_t>(dlg->ItemIndex(ButtonSetRole::kChoice, c.choice))].selected, true)
        << c.what << ": the current choice is highlighted";
    w.Click(dlg, c.ok ? ButtonSetRole::kOk : ButtonSetRole::kCancel);
    if (c.ok) {
      EXPECT_TRUE(w.WaitStored(1, c.stored)) << c.what;
    } else {
      EXPECT_TRUE(ProcessEventsUntil([&] { return !w.window->ButtonDialog(); }));
      EXPECT_EQ(w.Stored(0, 1), before) << c.what;
    }
  }
}

TEST(ButtonSettings, DeviceGoneClosesAsCancelAndTheHolderNeverOpens) {
  ButtonWorld w;
  CButtonSetDlg* dlg = w.Open(2);
  ASSERT_NE(dlg, nullptr);
  w.Click(dlg, ButtonSetRole::kChoice, kChoiceTiltRight);
  const ButtonRecord before = w.Stored(0, 2);
  w.host->Mouse().ResetCounters();
  emit w.broadcasts.deviceGone();
  EXPECT_EQ(dlg->Result(), 0);
  EXPECT_TRUE(ProcessEventsUntil([&] { return !w.window->ButtonDialog(); }));
  EXPECT_EQ(w.Stored(0, 2), before);
  EXPECT_TRUE(w.host->Mouse().Requests().empty());

  const int holder = w.window->Model().PrimaryClickHolder();
  ASSERT_GE(holder, 0);
  EXPECT_EQ(w.Open(holder), nullptr);
  // The numbered spots on the mouse picture open their buttons too.
  for (int button : {holder, 4}) {
    const QPointF spot = layout::ButtonSpot(button);
    QMouseEvent press(QEvent::MouseButtonPress, spot, w.window->mapToGlobal(spot), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.get(), &press);
    CButtonSetDlg* opened = w.window->ButtonDialog();
    EXPECT_EQ(opened != nullptr, button != holder) << button;
    if (opened) {
      EXPECT_EQ(opened->Button(), button);
    }
  }
}

TEST(ButtonSettings, FunctionsDroppedOnTheMousePicture) {
  ButtonWorld w;
  MacroListItem function;
  function.type = 6;  // Mute, as the function library lists it
  function.op1 = 0xE2;
  MacroListItem header;
  header.kind = MacroRowKind::kFolder;
  header.path = "@_INTERNAL_201";
  EXPECT_FALSE(w.window->DropRow(3, header)) << "a group header assigns nothing";
  EXPECT_FALSE(w.window->DropRow(w.window->Model().PrimaryClickHolder(), function));
  ASSERT_TRUE(w.window->DropRow(w.window->ButtonAt(layout::ButtonSpot(3)), function));
  EXPECT_TRUE(w.WaitStored(3, {6, 0xE2, 0, 0}));
}

TEST(ButtonSettings, MacroRecordedInTheWindowIsStoredAndTheButtonRunsIt) {
  test::FakeClock clock;  // outlives the window, as the shell's recording does
  auto owned = std::make_unique<test::FakeInputCapture>();
  test::FakeInputCapture* capture = owned.get();
  MacroRecording recording(std::move(owned), "", clock);
  ButtonWorld w;
  w.window->SetRecording(&recording);
  CButtonSetDlg* dlg = w.Open(1);
  ASSERT_NE(dlg, nullptr);
  EXPECT_FALSE(capture->Running()) << "nothing is read before Record";
  w.Click(dlg, ButtonSetRole::kRecord);
  ASSERT_TRUE(capture->Running());
  constexpr int kF11 = 0x57, kA = 0x1E;
  for (auto [make, down] : {std::pair{kF11, true}, {kF11, false}, {kA, true}, {kA, false}, {kF11, true}})
    capture->Feed(test::KeyInput(make, down));
  ASSERT_TRUE(ProcessEventsUntil([&] { return dlg->Model().Pending().has_value(); }));
  EXPECT_FALSE(capture->Running()) << "the hotkey's press ends the reading";
  const std::vector<uint8_t> recorded = SerialiseItems(dlg->Model().Pending()->items);
  EXPECT_EQ(recorded, (std::vector<uint8_t>{0x83, 0x04, 0x84, 0x04}));

  w.Click(dlg, ButtonSetRole::kOk);
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.Stored(0, 1).type == kFnMacroOnce && !w.window->ButtonDialog(); }));
  const auto image = w.session->State().image.Snapshot();
  const MacroSlot& slot = image->macroSlots[1];  // the slot of profile 0's button 1
  ASSERT_TRUE(slot.InUse());
  EXPECT_EQ(MacroCodeAddress(ButtonFunction{w.Stored(0, 1).type, w.Stored(0, 1).p1, w.Stored(0, 1).p2, 0}),
            slot.codeAddress);
  const MacroReadBack back = w.session->ReadMacro(1).Wait();
  ASSERT_TRUE(back.outcome);
  EXPECT_EQ(SerialiseItems(back.items), recorded);
}

// Macro -> Select lists the macros saved on the computer too; one picked
// there goes into the mouse with OK, as an import does, and the button runs it.
TEST(ButtonSettings, AMacroOfTheLibraryPickedWithSelectIsStoredAndTheButtonRunsIt) {
  ButtonWorld w;
  CButtonSetDlg* dlg = w.Open(1);
  ASSERT_NE(dlg, nullptr);
  // The list: "Empty", "Macro list (PC)", the file. Down to the file, Tab to OK, Enter.
  const auto pick = test::TypeWhenShown({}, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab, Qt::Key_Return});
  w.Click(dlg, ButtonSetRole::kSelectMacro);
  EXPECT_TRUE(pick->Fired());
  ASSERT_TRUE(dlg->Model().Pending().has_value());
  EXPECT_EQ(dlg->Model().MacroName(), "saved");

  w.Click(dlg, ButtonSetRole::kOk);
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.Stored(0, 1).type == kFnMacroOnce && !w.window->ButtonDialog(); }));
  const auto image = w.session->State().image.Snapshot();
  const MacroSlot& slot = image->macroSlots[1];
  ASSERT_TRUE(slot.InUse());
  EXPECT_EQ(slot.name, "saved");
  EXPECT_EQ(MacroCodeAddress(ButtonFunction{w.Stored(0, 1).type, w.Stored(0, 1).p1, w.Stored(0, 1).p2, 0}),
            slot.codeAddress);
  const MacroReadBack back = w.session->ReadMacro(1).Wait();
  ASSERT_TRUE(back.outcome);
  EXPECT_EQ(SerialiseItems(back.items), (std::vector<uint8_t>{0x88, 7, 0x61}));
}

}  // namespace
}  // namespace quorix::ui
