// Checks run inside a headless sway session that tests/wayland/sway_suite.sh
// starts with two clients: app ids "alpha" and "beta", whose images are the
// paths in QUORIX_ALPHA_IMAGE and QUORIX_BETA_IMAGE. Every check skips
// without $SWAYSOCK, so the binary is harmless on its own.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>

#include "options/acceleration_switch.h"
#include "options/app_switching.h"
#include "platform/linux/sway_foreground_source.h"
#include "platform/linux/sway_ipc.h"
#include "platform/linux/sway_pointer_settings.h"
#include "platform/linux/wayland_toplevel_source.h"
#include "settings/field_writes.h"
#include "support/sim_session.h"

namespace quorix {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Counts the source's change calls and waits for the next one.
class Changes {
 public:
  std::function<void()> Callback() {
    return [this] {
      std::lock_guard<std::mutex> lock(mutex_);
      ++count_;
      cv_.notify_all();
    };
  }
  int Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }
  bool WaitBeyond(int seen) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(3), [&] { return count_ > seen; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  int count_ = 0;
};

class SwaySession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Env("SWAYSOCK").empty()) GTEST_SKIP() << "not inside a sway session (SWAYSOCK is unset)";
    Result<std::unique_ptr<SwayIpc>> connected = SwayIpc::Connect(Env("SWAYSOCK"));
    ASSERT_TRUE(connected) << connected.detail();
    ipc_ = std::move(connected).value();
    apps_[1] = ProfileApp{};
    apps_[1].appPath = Env("QUORIX_ALPHA_IMAGE");
    apps_[1].appEnabled = 1;
    apps_[3].appPath = Env("QUORIX_BETA_IMAGE");
    apps_[3].appEnabled = 1;
  }
  bool Run(const std::string& command) {
    const std::optional<JsonValue> reply = ipc_->Request(sway::kRunCommand, command);
    return reply && !reply->items.empty() && reply->items[0].TrueAt("success");
  }
  // The focus moves to appId's window; the source reports changes until
  // arrived() (a window list reports the old window's leaving first).
  void Focus(const std::string& appId, Changes& changes, const std::function<bool()>& arrived) {
    const int seen = changes.Count();
    ASSERT_TRUE(Run("[app_id=\"" + appId + "\"] focus")) << appId;
    for (int count = seen; !arrived() && changes.WaitBeyond(count);) count = changes.Count();
    EXPECT_GT(changes.Count(), seen) << "no change was reported";
  }

  std::unique_ptr<SwayIpc> ipc_;
  ProfileApps apps_{};
  const std::array<bool, 5> noneOff_{};
};

TEST_F(SwaySession, IpcSourceReportsEachFocusedProcessAndSwitchesTheMousesProfile) {
  test::SimSession sim;
  ASSERT_TRUE(sim.session->ResolveDevice().Wait());
  ASSERT_TRUE(sim.session->Load().Wait());
  Result<std::unique_ptr<SwayForegroundSource>> opened = SwayForegroundSource::Open(Env("SWAYSOCK"));
  ASSERT_TRUE(opened) << opened.detail();
  SwayForegroundSource* source = opened->get();
  Changes changes;
  ASSERT_TRUE(source->NotifyChanges(changes.Callback()));
  AppSwitcher switcher(*source);
  int active = 0;
  const struct {
    const char* appId;
    const char* imageVariable;
    int profile;
  } steps[] = {
      {"alpha", "QUORIX_ALPHA_IMAGE", 1}, {"beta", "QUORIX_BETA_IMAGE", 3}, {"alpha", "QUORIX_ALPHA_IMAGE", 1}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.appId);
    const std::string image = Env(step.imageVariable);
    Focus(step.appId, changes, [&] { return source->ProcessImageName(source->ForegroundWindow()) == image; });
    const uint64_t window = source->ForegroundWindow();
    ASSERT_NE(window, 0u);
    EXPECT_GT(source->ForegroundProcessId(), 0);
    EXPECT_EQ(source->ProcessImageName(window), Env(step.imageVariable));
    // As the main window does: the profile goes to the (simulated) mouse.
    std::vector<int> switched;
    switcher.CheckForegroundApplication(apps_, noneOff_, active, [&](int p) {
      switched.push_back(p);
      EXPECT_TRUE(
          sim.session->Write([p](DeviceLink& link, SettingsState& state) { return WriteActiveProfile(link, state, p); })
              .Wait());
    });
    EXPECT_EQ(switched, std::vector<int>{step.profile});
    EXPECT_EQ(sim.host->Mouse().ActiveProfile(), step.profile);
  }
}

TEST_F(SwaySession, WindowListSourceReportsEachFocusedApplicationId) {
  Result<std::unique_ptr<ForeignToplevelSource>> opened = ForeignToplevelSource::Open(nullptr);
  ASSERT_TRUE(opened) << opened.detail();
  ForeignToplevelSource* source = opened->get();
  Changes changes;
  ASSERT_TRUE(source->NotifyChanges(changes.Callback()));
  AppSwitcher switcher(*source);
  int active = 0;
  for (const auto& [appId, profile] : {std::pair{"beta", 3}, std::pair{"alpha", 1}, std::pair{"beta", 3}}) {
    SCOPED_TRACE(appId);
    Focus(appId, changes, [&] { return source->ApplicationId(source->ForegroundWindow()) == appId; });
    const uint64_t window = source->ForegroundWindow();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(source->ProcessImageName(window), std::nullopt);
    EXPECT_EQ(source->ApplicationId(window), appId);
    switcher.CheckForegroundApplication(apps_, noneOff_, active, {});
    EXPECT_EQ(active, profile);
  }
}

// A headless sway has no libinput pointer to read back, so this checks what
// can be seen: sway takes each command the switch sends, and the switch gives
// back what it read.
TEST_F(SwaySession, AccelerationSwitchCommandsAreTakenBySway) {
  Result<std::unique_ptr<SwayPointerSettings>> opened = SwayPointerSettings::Open(Env("SWAYSOCK"));
  ASSERT_TRUE(opened) << opened.detail();
  SwayPointerSettings* pointer = opened->get();
  const std::optional<JsonValue> inputs = ipc_->Request(sway::kGetInputs);
  ASSERT_TRUE(inputs.has_value());
  const bool hasPointer = PointerFactsOfInputs(*inputs).has_value();
  AccelerationSwitch accelerationSwitch(*pointer);
  accelerationSwitch.Apply(true);
  EXPECT_TRUE(accelerationSwitch.Changed());
  if (hasPointer) {
    EXPECT_EQ(pointer->GetAcceleration().threshold1, 0);
  }
  accelerationSwitch.GiveBack();
  EXPECT_FALSE(accelerationSwitch.Changed());
  if (hasPointer) {
    EXPECT_GT(pointer->GetAcceleration().threshold1, 0);
  }
  for (const std::string& command :
       {AccelerationCommand(false), AccelerationCommand(true), SpeedCommand(5), SpeedCommand(20)}) {
    EXPECT_TRUE(Run(command)) << command;
  }
  EXPECT_FALSE(Run("input type:pointer accel_profile sideways"));  // sway does refuse a wrong command
}

}  // namespace
}  // namespace quorix
