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

// The simulated mouse with /usr/bin/game bound to profile 2, a session on it
// and what a main window needs.
class MainWindowForegroundEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    SessionParts parts;
    auto clock = std::make_unique<test::FakeClock>();
    auto simHost = std::make_unique<sim::SimHidHost>(*clock, sim::SimOptions{});
    host_ = simHost.get();
    parts.clock = std::move(clock);
    parts.host = std::move(simHost);
    parts.exchangeMutex = std::make_unique<LocalMutex>();
    parts.deviceListMutex = std::make_unique<LocalMutex>();
    parts.setIni = dir_.Path("set.ini");
    Options bound;
    bound.apps[2] = {"Game", "/usr/bin/game", 1};
    ASSERT_TRUE(SaveOptions(parts.setIni, bound));
    session_ = std::make_unique<Session>(std::move(parts));
    const Outcome reloaded = session_->ReloadOptions();
    ASSERT_TRUE(reloaded) << reloaded.detail;
    env_ = std::make_unique<UiEnv>(UiEnv{*session_, session_->Texts(), fonts_, broadcasts_});
  }
  void Load(MainWindow& window) {
    ASSERT_TRUE(session_->ResolveDevice().Wait());
    ASSERT_TRUE(session_->Load().Wait());
    window.ShowLoaded();
  }
  // Runs the GUI thread's queue until the mouse has `profile` active, 10 s at most.
  void AwaitProfile(int profile) {
    for (int i = 0; i < 2000 && (i < 100 || host_->Mouse().ActiveProfile() != profile); ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(1);
    }
  }

  test::TempDir dir_;
  sim::SimHidHost* host_ = nullptr;  // owned by the session
  std::unique_ptr<Session> session_;
  SkinFonts fonts_{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts_;
  std::unique_ptr<UiEnv> env_;
};

TEST_F(MainWindowForegroundEvents, AReportedChangeSwitchesTheMouseWithoutATimer) {
  EventForeground source;
  {
    MainWindow window(*env_);
    Load(window);
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
      AwaitProfile(step.profileAfter);
      EXPECT_EQ(host_->Mouse().ActiveProfile(), step.profileAfter);
      EXPECT_EQ(window.Model().ActiveProfile(), step.profileAfter);
    }
    EXPECT_FALSE(window.ForegroundTimerRunning());
  }
  EXPECT_FALSE(source.Heard()) << "a closed window no longer hears the source";
}

// The source tells of the bound window once, while the mouse still loads;
// the switch comes when the load ends.
TEST_F(MainWindowForegroundEvents, AWindowInFrontDuringTheLoadSwitchesOnceLoaded) {
  EventForeground source;
  MainWindow window(*env_);
  window.SetForegroundSource(&source);
  source.Change(2, "/usr/bin/game");
  QCoreApplication::processEvents();
  EXPECT_EQ(host_->Mouse().ActiveProfile(), 0) << "no mouse yet";
  Load(window);
  AwaitProfile(2);
  EXPECT_EQ(host_->Mouse().ActiveProfile(), 2);
  EXPECT_EQ(window.Model().ActiveProfile(), 2);
}

}  // namespace
}  // namespace quorix::ui
