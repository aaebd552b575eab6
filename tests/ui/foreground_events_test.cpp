// The main window with a foreground source that tells of every change: no
// timer runs, and a change reported on the source's own thread switches the
// simulated mouse's profile on the GUI thread.
#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "options/options_store.h"
#include "platform/foreground_source.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/main_window.h"

namespace quorix::ui {
namespace {

class EventForeground final : public ForegroundSource {
 public:
  uint64_t ForegroundWindow() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_;
  }
  std::optional<std::string> ProcessImageName(uint64_t w) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return w == window_ ? std::optional<std::string>(image_) : std::nullopt;
  }
  bool NotifyChanges(std::function<void()> changed) override {
    std::lock_guard<std::mutex> lock(mutex_);
    changed_ = std::move(changed);
    return true;
  }
  // From another thread, as a real source's reader does.
  void Change(uint64_t window, const std::string& image) {
    std::thread([&] {
      std::function<void()> changed;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        window_ = window;
        image_ = image;
        changed = changed_;
      }
      if (changed) changed();
    }).join();
  }
  bool Heard() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<bool>(changed_);
  }

 private:
  std::mutex mutex_;
  uint64_t window_ = 0;
  std::string image_;
  std::function<void()> changed_;
};

TEST(MainWindowForegroundEvents, AReportedChangeSwitchesTheMouseWithoutATimer) {
  test::TempDir dir;
  SessionParts parts;
  auto clock = std::make_unique<test::FakeClock>();
  auto simHost = std::make_unique<sim::SimHidHost>(*clock, sim::SimOptions{});
  sim::SimHidHost* host = simHost.get();
  parts.clock = std::move(clock);
  parts.host = std::move(simHost);
  parts.exchangeMutex = std::make_unique<LocalMutex>();
  parts.deviceListMutex = std::make_unique<LocalMutex>();
  parts.setIni = dir.Path("set.ini");
  Options bound;
  bound.apps[2] = {"Game", "/usr/bin/game", 1};
  ASSERT_TRUE(SaveOptions(parts.setIni, bound));
  Session session(std::move(parts));
  const Outcome reloaded = session.ReloadOptions();
  ASSERT_TRUE(reloaded) << reloaded.detail;
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  UiEnv env{session, session.Texts(), fonts, broadcasts};
  EventForeground source;
  {
    MainWindow window(env);
    ASSERT_TRUE(session.ResolveDevice().Wait());
    ASSERT_TRUE(session.Load().Wait());
    window.ShowLoaded();
    window.SetForegroundSource(&source);
    ASSERT_EQ(window.CurrentOptions().apps[2].appPath, "/usr/bin/game");
    EXPECT_FALSE(window.ForegroundTimerRunning()) << "a program is bound, but the source tells of changes";

    const struct {
      uint64_t window;
      const char* image;
      int profileAfter;
    } steps[] = {{1, "/usr/bin/editor", 0}, {2, "/usr/bin/game", 2}};
    for (const auto& step : steps) {
      SCOPED_TRACE(step.image);
      source.Change(step.window, step.image);
      for (int i = 0; i < 2000 && (i < 100 || host->Mouse().ActiveProfile() != step.profileAfter); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
      }
      EXPECT_EQ(host->Mouse().ActiveProfile(), step.profileAfter);
      EXPECT_EQ(window.Model().ActiveProfile(), step.profileAfter);
    }
    EXPECT_FALSE(window.ForegroundTimerRunning());
  }
  EXPECT_FALSE(source.Heard()) << "a closed window no longer hears the source";
}

}  // namespace
}  // namespace quorix::ui
