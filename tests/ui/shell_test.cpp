// The shell: one instance per user, the question box and text entry
// ending as cancelled when the device goes or the program closes, and the
// device controller's loads.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "app/device_controller.h"
#include "app/local_instance_channel.h"
#include "platform/input_injector.h"
#include "platform/linux/unix_socket.h"
#include "session/models/str_entry_rules.h"
#include "session/session.h"
#include "session/world/session_world.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"
#include "ui/windows/button_set_dlg.h"
#include "ui/windows/main_window.h"
#include "ui/windows/option_dlg.h"
#include "ui/windows/osd_window.h"
#include "ui/windows/str_dlg.h"

#include "accessible_item.h"
#include "dialog_driver.h"

namespace quorix::ui {
namespace {

// Runs the event loop until `done` says so or `ms` have passed.
bool ProcessUntil(const std::function<bool()>& done, int ms = 1000) { return QTest::qWaitFor(done, ms); }

TEST(ShellTest, OneInstanceTakesWaitAndCloseFromLaterStarts) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString name = QDir(folder.path()).filePath(QStringLiteral("instance"));
  auto first = std::make_unique<app::LocalInstanceChannel>(name);
  std::vector<InstanceSignal> received;
  first->Receive([&received](InstanceSignal signal) { received.push_back(signal); });

  // "/close" with none running does nothing.
  EXPECT_FALSE(first->Send(InstanceSignal::kClose));
  ASSERT_TRUE(first->Claim());

  // A second start finds the first: it raises it, or with "/close" ends it.
  app::LocalInstanceChannel second(name);
  EXPECT_FALSE(second.Claim());
  EXPECT_TRUE(second.Send(InstanceSignal::kWait));
  ASSERT_TRUE(ProcessUntil([&] { return received.size() == 1; }));
  EXPECT_TRUE(second.Send(InstanceSignal::kClose));
  ASSERT_TRUE(ProcessUntil([&] { return received.size() == 2; }));
  EXPECT_EQ(received, (std::vector<InstanceSignal>{InstanceSignal::kWait, InstanceSignal::kClose}));

  // Once the first has gone, the next start becomes the instance, also over
  // the socket file a crashed one would leave.
  first.reset();
  app::LocalInstanceChannel third(name);
  EXPECT_TRUE(third.Claim());
}

TEST(ShellTest, InstanceTakesOverACrashedOnesSocketAndReadsALineInPieces) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string path = QDir(folder.path()).filePath(QStringLiteral("instance")).toStdString();
  {
    // Bound and never removed: the socket file a crashed instance leaves.
    UnixSocket crashed(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(bind(crashed.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  }
  app::LocalInstanceChannel channel(QString::fromStdString(path));
  std::vector<InstanceSignal> received;
  channel.Receive([&received](InstanceSignal signal) { received.push_back(signal); });
  ASSERT_TRUE(channel.Claim());

  Result<UnixSocket> sender = UnixSocket::Connect(path);
  ASSERT_TRUE(sender);
  ASSERT_TRUE(sender->WriteAll("clo"));
  QTest::qWait(50);
  EXPECT_TRUE(received.empty());
  ASSERT_TRUE(sender->WriteAll("se\n"));
  ASSERT_TRUE(ProcessUntil([&] { return received.size() == 1; }));
  EXPECT_EQ(received[0], InstanceSignal::kClose);

  // A name too long for a socket address is refused, not cut short.
  app::LocalInstanceChannel tooLong(QDir(folder.path()).filePath(QString(120, QLatin1Char('x'))));
  EXPECT_FALSE(tooLong.Claim());
  EXPECT_FALSE(tooLong.Send(InstanceSignal::kWait));
}

class DialogTest : public ::testing::Test {
 protected:
  DialogTest()
      : world_([] {
          WorldOptions options;
          options.simulate = "level11";
          // The device controller's pump runs on the real clock, as in the program.
          options.simulateInRealTime = true;
          return options;
        }()),
        fonts_(QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")),
        env_{world_.GetSession(), world_.GetSession().Texts(), fonts_, signals_} {}

  SessionWorld world_;
  AppSignals signals_;
  SkinFonts fonts_;
  UiEnv env_;
};

TEST_F(DialogTest, EndAsCancelledWhenTheDeviceGoesOrTheProgramCloses) {
  using Emit = void (AppSignals::*)();
  for (Emit broadcast : {&AppSignals::deviceGone, &AppSignals::closing}) {
    QTimer::singleShot(20, &signals_, broadcast);
    EXPECT_EQ(RunOptionDlg(env_, nullptr, QStringLiteral("Reset"), QStringLiteral("continue?")), Answer::kClosed);
    const std::pair<const char*, std::function<bool(CStrDlg&)>> asks[] = {
        {"name", [](CStrDlg& d) { return d.AskName({}, QStringLiteral("12")).has_value(); }},
        {"number", [](CStrDlg& d) { return d.AskNumber({}, 12).has_value(); }},
        {"point",
         [](CStrDlg& d) {
           return d.AskPoint({}, {12, 12, true}).has_value();
         }},
        {"folder",
         [](CStrDlg& d) {
           return d.AskFolder({}, {{QStringLiteral("a"), 0, 1}, {QStringLiteral("b"), 1, 2}}).has_value();
         }},
        {"yes/no", [](CStrDlg& d) { return d.AskYesNo({}); }},
    };
    for (const auto& [kind, ask] : asks) {
      CStrDlg entry(env_);
      QTimer::singleShot(20, &signals_, broadcast);
      EXPECT_FALSE(ask(entry)) << kind;
    }
  }
}

TEST_F(DialogTest, ButtonsEndTheQuestionBoxWithTheirAnswer) {
  const std::vector<AnswerButton> buttons = {
      {QStringLiteral("a"), Answer::kYes}, {QStringLiteral("b"), Answer::kNo}, {QStringLiteral("c"), Answer::kCancel}};
  for (int button = 1; button <= 3; ++button) {
    OptionDlg box(env_, nullptr, QStringLiteral("t"), QStringLiteral("m"), buttons);
    QTimer::singleShot(10, &box, [&box, button] {
      // Tab to the button, Enter on it: the keyboard's way to press it.
      for (int i = 0; i < button; ++i) QTest::keyClick(&box, Qt::Key_Tab);
      QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(box.Run(), buttons[static_cast<size_t>(button - 1)].answer);
  }
}

TEST_F(DialogTest, YesNoCaptionsAreTheDesktopsWordsWithoutTheirAccessKeys) {
  QTranslator japanese;
  ASSERT_TRUE(japanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
  QCoreApplication::installTranslator(&japanese);
  CStrDlg entry(env_);
  for (const bool yes : {true, false}) {
    const auto press = test::PressWhenShown(QString::fromUtf8(yes ? "\u306f\u3044" : "\u3044\u3044\u3048"));
    EXPECT_EQ(entry.AskYesNo(QStringLiteral("q")), yes);
    EXPECT_TRUE(press->Fired());
  }
  EXPECT_FALSE(CStrDlg(env_).OkCaption().contains(QLatin1Char('&')));
  QCoreApplication::removeTranslator(&japanese);
}

TEST_F(DialogTest, UnpluggingClosesTheQuestionBoxAndTheMouseIsPickedUpAgain) {
  app::DeviceController controller(world_.GetSession(), signals_);
  int loads = 0, cleared = 0;
  QObject::connect(&controller, &app::DeviceController::reloaded, [&] { ++loads; });
  QObject::connect(&controller, &app::DeviceController::deviceCleared, [&] { ++cleared; });
  controller.Start();
  auto loaded = [&] { return loads > 0 && !world_.GetSession().CurrentDevicePath().empty(); };
  ASSERT_TRUE(ProcessUntil(loaded, 3000));

  sim::SimHidHost& host = *world_.SimHost();
  QTimer::singleShot(50, [&host] { host.Unplug(); });
  EXPECT_EQ(RunOptionDlg(env_, nullptr, QStringLiteral("Reset"), QStringLiteral("continue?")), Answer::kClosed);
  EXPECT_EQ(cleared, 1);

  // Back again: the rescan a second after the arrival loads it.
  const int before = loads;
  host.Replug();
  EXPECT_TRUE(ProcessUntil([&] { return loads > before; }, 4000));
  EXPECT_FALSE(world_.GetSession().CurrentDevicePath().empty());
  controller.Stop();
}

// Rescans that arrive while a load runs (the arrival's rescan of a slow
// start) or after it found the mouse do not start loads of their own: the
// window shows the loaded mouse with no progress over it. Without the mouse
// a load ends in the window's honest "no device".
TEST_F(DialogTest, RescansDuringOrAfterALoadThatFoundTheMouseLoadNothingMore) {
  MainWindow window(env_);
  app::DeviceController controller(world_.GetSession(), signals_);
  controller.SetMainWindow(&window);
  int loads = 0;
  bool shownWithoutDevice = false;
  QObject::connect(&controller, &app::DeviceController::reloaded, [&] {
    ++loads;
    shownWithoutDevice = shownWithoutDevice || !window.Model().HasDevice();
  });
  const DeviceEvent rescan{DeviceEventKind::kRescanDue};
  controller.OnEvent(rescan);
  controller.OnEvent(rescan);
  ASSERT_TRUE(ProcessUntil([&] { return loads > 0 && !window.IsBusy(); }, 3000));
  controller.OnEvent(rescan);
  QTest::qWait(300);
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(shownWithoutDevice);
  EXPECT_TRUE(window.Model().HasDevice());
  EXPECT_FALSE(window.IsBusy());

  // The mouse went: the next rescan loads, finds none and says so.
  const std::string path = world_.GetSession().CurrentDevicePath();
  world_.SimHost()->Unplug();
  controller.OnEvent({DeviceEventKind::kRemoval, path, 0, true});
  controller.OnEvent(rescan);
  ASSERT_TRUE(ProcessUntil([&] { return loads == 2 && !window.IsBusy(); }, 3000));
  EXPECT_FALSE(window.Model().HasDevice());
}

// The mouse's own profile button while Button settings is open: the window
// closes as cancelled, so its choice is not written to either profile, and
// the on-screen display stays hidden while the window is open.
TEST_F(DialogTest, AProfileChangeClosesButtonSettingsAsCancelledAndTheOsdWaits) {
  Session& session = world_.GetSession();
  MainWindow window(env_);
  OsdWindow osd(env_, session.GetClock());
  app::DeviceController controller(session, signals_);
  controller.SetMainWindow(&window);
  controller.SetOsd(&osd);
  window.show();
  int loads = 0;
  QObject::connect(&controller, &app::DeviceController::reloaded, [&] { ++loads; });
  controller.Start();
  ASSERT_TRUE(ProcessUntil([&] { return loads > 0 && window.Model().HasDevice(); }, 3000));
  sim::SimMouse& mouse = world_.SimHost()->Mouse();
  mouse.Press(sim::SimPress::kDpiUp);
  ASSERT_TRUE(ProcessUntil([&] { return osd.isVisible(); }, 3000)) << "a report shows the display";

  const QString button = QString::fromStdString(session.Texts().btOrderStr[2]) + ":";
  ASSERT_TRUE(test::PressAccessible(window, button, true));
  QPointer<CButtonSetDlg> dialog = window.ButtonDialog();
  ASSERT_NE(dialog, nullptr);
  int result = -1;
  QObject::connect(dialog, &CButtonSetDlg::finished, [&](int r) { result = r; });
  EXPECT_FALSE(osd.isVisible()) << "hidden as the window opens";
  ASSERT_TRUE(test::PressAccessible(*dialog, QStringLiteral("Tilt right")));
  const std::vector<uint8_t> memory = mouse.Memory();
  mouse.Press(sim::SimPress::kDpiUp);
  QTest::qWait(200);
  EXPECT_FALSE(osd.isVisible()) << "and stays hidden while it is open";

  mouse.Press(sim::SimPress::kProfileNext);
  ASSERT_TRUE(ProcessUntil([&] { return window.ButtonDialog() == nullptr; }, 3000));
  EXPECT_EQ(result, 0) << "closed as cancelled";
  EXPECT_EQ(window.Model().ActiveProfile(), 1);
  QTest::qWait(100);
  EXPECT_EQ(mouse.Memory(), memory) << "nothing written to either profile";
}

TEST_F(DialogTest, TheMousesOwnReportsRaiseTheWindowScrollAndRescanAfterProgrammingMode) {
  struct Injected final : InputInjector {
    void ScrollHorizontal(int steps) override { scrolls.push_back(steps); }
    void MovePointerBy(int, int) override {}
    std::vector<int> scrolls;
  } injector;
  Session& session = world_.GetSession();
  app::DeviceController controller(session, signals_);
  controller.SetInputInjector(&injector);
  int loads = 0, opens = 0;
  QObject::connect(&controller, &app::DeviceController::reloaded, [&] { ++loads; });
  QObject::connect(&controller, &app::DeviceController::openRequested, [&] { ++opens; });
  controller.Start();
  ASSERT_TRUE(ProcessUntil([&] { return loads > 0 && !session.CurrentDevicePath().empty(); }, 3000));

  sim::SimHidHost& host = *world_.SimHost();
  struct Case {
    const char* name;
    std::function<void()> act;
    int opens;
    std::vector<int> scrolls;
    int loadsAdded;
  };
  const std::vector<Case> cases = {
      {"launch setting 1 asks for the window", [&] { host.Mouse().EmitOpenRequest(1); }, 1, {}, 0},
      {"another value does not", [&] { host.Mouse().EmitOpenRequest(2); }, 0, {}, 0},
      {"the wheel tilted right scrolls two clicks", [&] { host.Mouse().EmitHorizontalWheel(2); }, 0, {2}, 0},
      {"and left one", [&] { host.Mouse().EmitHorizontalWheel(-1); }, 0, {-1}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    opens = 0;
    injector.scrolls.clear();
    const int before = loads;
    c.act();
    ProcessUntil(
        [&] {
          return opens >= c.opens && injector.scrolls.size() >= c.scrolls.size() && loads - before >= c.loadsAdded;
        },
        3000);
    QTest::qWait(150);  // and nothing more follows
    EXPECT_EQ(opens, c.opens);
    EXPECT_EQ(injector.scrolls, c.scrolls);
    EXPECT_EQ(loads - before, c.loadsAdded);
  }

  // Into programming mode: the mouse goes (its rescan finds nothing), the
  // microcontroller's identity comes, and once it has settled one more
  // rescan looks again.
  int cleared = 0;
  QObject::connect(&controller, &app::DeviceController::deviceCleared, [&] { ++cleared; });
  int before = loads;
  host.Unplug();
  ASSERT_TRUE(ProcessUntil([&] { return cleared == 1 && loads > before; }, 4000));
  before = loads;
  host.SetIspPresent(true);
  QTest::qWait(1000);
  EXPECT_EQ(loads, before) << "the identity is still settling";
  EXPECT_TRUE(ProcessUntil([&] { return loads > before; }, 3000));
  controller.Stop();
}

}  // namespace
}  // namespace quorix::ui
