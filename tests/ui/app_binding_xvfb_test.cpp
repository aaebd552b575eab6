// Per-application profiles in the main window, against real X11 windows: a
// private X server with a window manager and xterms, the simulated mouse
// behind the session. Skipped where Xvfb, the window manager or xterm is
// missing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "platform/linux/x11_foreground_source.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "support/xvfb_session.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/main_window.h"
#include "ui/windows/main_window_painter.h"
#include "ui/windows/str_dlg.h"
// Last: the X11 headers define names (None, Bool, ...) the others use.
#include "support/x11_test_util.h"

namespace quorix::ui {
namespace {

// Accepts the name entry with the name it proposes, from inside its loop.
void AcceptNameEntryWhenShown() {
  auto* poll = new QTimer(qApp);
  poll->setInterval(2);
  QObject::connect(poll, &QTimer::timeout, qApp, [poll] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* entry = qobject_cast<CStrDlg*>(top);
      if (entry == nullptr || !entry->isVisible()) continue;
      poll->stop();
      poll->deleteLater();
      entry->Accept();
      return;
    }
  });
  poll->start();
}

TEST(AppBindingXvfb, ActivatingABoundXtermSwitchesTheMouseOnceAndAnUnboundProgramNever) {
  test::XvfbSession x;
  if (!x.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  if (!x.StartWindowManager([&] { return test::WindowManagerRunning(x.Display()); }))
    GTEST_SKIP() << "no window manager";
  auto sourceOpened = X11ForegroundSource::Open(x.Display().c_str());
  ASSERT_TRUE(sourceOpened) << sourceOpened.detail();
  auto source = std::move(sourceOpened).value();
  // The unbound program: xterm under another name.
  test::TempDir dir;
  const std::string other = dir.Path("otherterm");
  std::filesystem::copy_file("/usr/bin/xterm", other);
  const pid_t xterm = x.Spawn({"xterm"});
  const pid_t otherTerm = x.Spawn({other});
  if (xterm <= 0 || otherTerm <= 0) GTEST_SKIP() << "no xterm";
  const auto activate = [&](pid_t pid) {
    return test::XvfbSession::WaitFor(
        [&] {
          test::ActivateWindowOfProcess(x.Display(), pid);
          return source->WindowProcessId(source->ForegroundWindow()) == pid;
        },
        10000);
  };
  if (!activate(otherTerm)) GTEST_SKIP() << "the window manager did not activate the xterm";

  // The main window on the simulated mouse, its set.ini in the temporary folder.
  SessionParts parts;
  auto clock = std::make_unique<test::FakeClock>();
  auto simHost = std::make_unique<sim::SimHidHost>(*clock, sim::SimOptions{});
  sim::SimHidHost* host = simHost.get();
  parts.clock = std::move(clock);
  parts.host = std::move(simHost);
  parts.exchangeMutex = std::make_unique<LocalMutex>();
  parts.deviceListMutex = std::make_unique<LocalMutex>();
  parts.setIni = dir.Path("set.ini");
  Session session(std::move(parts));
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  UiEnv env{session, session.Texts(), fonts, broadcasts};
  MainWindow window(env);
  window.show();
  ASSERT_TRUE(session.ResolveDevice().Wait());
  ASSERT_TRUE(session.Load().Wait());
  window.ShowLoaded();
  window.SetForegroundSource(source.get());
  EXPECT_FALSE(window.ForegroundTimerRunning()) << "nothing bound: nothing wakes";

  // Profile 3's application field: the program chooser gives the xterm's
  // executable, the proposed name is taken.
  const std::string xtermPath = std::filesystem::read_symlink("/proc/" + std::to_string(xterm) + "/exe").string();
  window.SetChooseFile([&] { return std::optional<std::string>(xtermPath); });
  AcceptNameEntryWhenShown();
  const QPointF field = layout::AppField(3).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, field, window.mapToGlobal(field), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
  }
  ASSERT_EQ(window.CurrentOptions().apps[3].appPath, xtermPath);
  ASSERT_EQ(window.CurrentOptions().apps[3].appEnabled, 1);
  EXPECT_TRUE(window.ForegroundTimerRunning());

  struct Step {
    const char* name;
    pid_t activate;  // 0: the same window stays in front
    int profileAfter;
    bool sends;
  };
  const std::vector<Step> steps = {
      {"the unbound program in front switches nothing", otherTerm, 0, false},
      {"the bound xterm switches to profile 3", xterm, 3, true},
      {"the same window again sends nothing", 0, 3, false},
      {"away and back while profile 3 is active sends nothing", otherTerm, 3, false},
      {"", xterm, 3, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.activate != 0) {
      ASSERT_TRUE(activate(step.activate));
    }
    host->Mouse().ResetCounters();
    window.CheckForeground();
    // The profile goes to the mouse on the executor: a while for it to
    // arrive, or to show that nothing does.
    for (int i = 0; i < 2000 && (i < 100 || host->Mouse().ActiveProfile() != step.profileAfter); ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(1);
    }
    EXPECT_EQ(host->Mouse().ActiveProfile(), step.profileAfter);
    EXPECT_EQ(window.Model().ActiveProfile(), step.profileAfter);
    EXPECT_EQ(!host->Mouse().Requests().empty(), step.sends);
  }
}

}  // namespace
}  // namespace quorix::ui
