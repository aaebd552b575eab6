#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/linux/system_services.h"
#include "platform/linux/x11_input_capture.h"
#include "session/macro_recording.h"
#include "support/xvfb_session.h"

namespace quorix {
namespace {

bool OnPath(const std::string& program) { return std::system(("command -v " + program + " >/dev/null").c_str()) == 0; }

// Runs xdotool on the display and waits for it to finish (not through the
// session's Spawn, which would wait for the finished helpers again at its end).
bool Xdotool(test::XvfbSession& session, const std::vector<std::string>& args) {
  std::string command = "DISPLAY=" + session.Display() + " xdotool";
  for (const auto& arg : args) command += " '" + arg + "'";
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// What the recorded steps say happened, in order.
struct Replay {
  std::vector<uint8_t> keys;     // opcode, usage pairs
  std::vector<uint8_t> mouse;    // button and wheel opcodes
  int x = -1, y = -1;            // the cursor where the steps leave it
};
Replay Play(const std::vector<MacroItem>& items) {
  Replay r;
  for (const auto& item : items) {
    const uint8_t op = item.bytes[0];
    const auto word = [&](int at) { return static_cast<int16_t>(item.bytes[at] | (item.bytes[at + 1] << 8)); };
    if (op == 0x83 || op == 0x84) {
      r.keys.push_back(op);
      r.keys.push_back(item.bytes[1]);
    } else if (op == 0xC0) {
      r.x = word(1);
      r.y = word(3);
    } else if (op == 0x80) {
      r.x += word(1);
      r.y += word(3);
    } else if (op >= 0x20 && op <= 0x7F) {
      r.mouse.push_back(op);
    }
  }
  return r;
}

TEST(X11InputCapture, RecordsXdotoolInputAndSelectsNothingWhileIdle) {
  if (!OnPath("xdotool")) GTEST_SKIP() << "no xdotool";
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  auto ownedOpened = X11InputCapture::Open(session.Display().c_str());
  ASSERT_TRUE(ownedOpened) << ownedOpened.detail();
  auto owned = std::move(ownedOpened).value();
  X11InputCapture* capture = owned.get();
  EXPECT_EQ(capture->SelectedEventCount(), 0);

  SteadyClock clock;
  MacroRecording recording(std::move(owned), "", clock);
  recording.SetOptions({false, 50, true, true});  // no waits (real time), cursor track, click positions
  ASSERT_TRUE(Xdotool(session, {"mousemove", "100", "100"}));
  const Outcome started = recording.Record();
  ASSERT_TRUE(started) << started.detail;
  EXPECT_EQ(capture->SelectedEventCount(), 5);

  // F11 (the hotkey) starts the recording on its release.
  ASSERT_TRUE(Xdotool(session, {"key", "F11"}));
  ASSERT_TRUE(test::XvfbSession::WaitFor([&] { return recording.State() == RecorderState::kRecording; }, 10000));
  ASSERT_TRUE(Xdotool(session, {"type", "ab"}));
  ASSERT_TRUE(Xdotool(session, {"mousemove_relative", "--", "10", "20"}));
  ASSERT_TRUE(Xdotool(session, {"click", "1"}));
  ASSERT_TRUE(Xdotool(session, {"click", "4"}));
  ASSERT_TRUE(Xdotool(session, {"key", "F11"}));
  ASSERT_TRUE(test::XvfbSession::WaitFor([&] { return !recording.Reading(); }, 10000));

  const Replay replay = Play(recording.Items());
  EXPECT_EQ(replay.keys, (std::vector<uint8_t>{0x83, 0x04, 0x84, 0x04, 0x83, 0x05, 0x84, 0x05}));
  EXPECT_EQ(replay.mouse, (std::vector<uint8_t>{0x21, 0x41, 0x61}));
  EXPECT_EQ(replay.x, 110);
  EXPECT_EQ(replay.y, 120);
  EXPECT_EQ(recording.State(), RecorderState::kIdle);
  EXPECT_EQ(capture->SelectedEventCount(), 0);

  // Idle: typing now reaches nothing.
  ASSERT_TRUE(Xdotool(session, {"type", "a"}));
  EXPECT_EQ(Play(recording.Items()).keys.size(), 8u);
}

TEST(X11InputCapture, RawMotionIsRelativeAndStopDeselects) {
  if (!OnPath("xdotool")) GTEST_SKIP() << "no xdotool";
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  auto captureOpened = X11InputCapture::Open(session.Display().c_str());
  ASSERT_TRUE(captureOpened) << captureOpened.detail();
  auto capture = std::move(captureOpened).value();
  ASSERT_TRUE(Xdotool(session, {"mousemove", "200", "200"}));
  std::mutex mutex;
  int dx = 0, dy = 0, x = 0, y = 0;
  ASSERT_TRUE((capture->Start([&](const InputEvent& e) {
    if (e.kind != InputEvent::Kind::kMotion) return;
    std::lock_guard<std::mutex> lock(mutex);
    dx += e.dx;
    dy += e.dy;
    x = e.x;
    y = e.y;
  })));
  ASSERT_TRUE(Xdotool(session, {"mousemove_relative", "--", "-30", "15"}));
  const bool arrived = test::XvfbSession::WaitFor([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return x == 170 && y == 215;
  }, 10000);
  capture->Stop();
  EXPECT_TRUE(arrived);
  EXPECT_EQ(dx, -30);
  EXPECT_EQ(dy, 15);
  EXPECT_FALSE(capture->Running());
  EXPECT_EQ(capture->SelectedEventCount(), 0);
}

TEST(X11InputCapture, AServerThatGoesEndsTheRecordingNotTheProgram) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  auto captureOpened = X11InputCapture::Open(session.Display().c_str());
  ASSERT_TRUE(captureOpened) << captureOpened.detail();
  auto capture = std::move(captureOpened).value();
  SteadyClock clock;
  MacroRecording recording(std::move(capture), "", clock);
  const Outcome started = recording.Record();
  ASSERT_TRUE(started) << started.detail;
  session.KillServer();
  ASSERT_TRUE(test::XvfbSession::WaitFor([&] { return !recording.Reading(); }, 10000));
  EXPECT_TRUE(recording.InputLost());
  EXPECT_EQ(recording.State(), RecorderState::kIdle);
  const Outcome again = recording.Record();
  EXPECT_EQ(again, Failure::kUnavailable);
  EXPECT_FALSE(again.detail.empty());
}

// The factory takes X11 where there is an X11 session, and otherwise says
// what recording needs when no input device can be read.
TEST(CreateInputCapture, X11WhereThereIsADisplayElseTheDevicesOrWhyNot) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("XDG_SESSION_TYPE");
  setenv("DISPLAY", session.Display().c_str(), 1);
  const auto x11 = CreateInputCapture();
  ASSERT_TRUE(x11) << x11.detail();
  EXPECT_NE(dynamic_cast<X11InputCapture*>(x11->get()), nullptr);

  unsetenv("DISPLAY");
  const auto devices = CreateInputCapture();
  if (devices) GTEST_SKIP() << "this machine has readable input devices";
  EXPECT_NE(devices.detail().find("\"input\" group"), std::string::npos) << devices.detail();
}

}  // namespace
}  // namespace quorix
