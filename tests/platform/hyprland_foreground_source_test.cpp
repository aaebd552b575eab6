// Hyprland cannot be installed here: its two sockets are played by fakes
// that speak its documented formats, with canned bytes.
#include "platform/linux/hyprland_foreground_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "support/fake_socket_server.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

TEST(HyprlandEvents, LinesAndActiveWindowEvents) {
  std::string buffer = "workspace>>2\nactivewindowv2>>5605e0a4c8f0\nactivewindow>>foot,~\nactivewindowv2>>\nactivewin";
  const std::vector<std::string> lines = TakeLines(buffer);
  EXPECT_EQ(buffer, "activewin");  // the partial line waits for the rest
  ASSERT_EQ(lines.size(), 4u);
  const std::optional<std::string> expected[] = {std::nullopt, "5605e0a4c8f0", std::nullopt, ""};
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(ActiveWindowOfEvent(lines[i]), expected[i]) << lines[i];
}

TEST(HyprlandEvents, ActiveWindowAnswers) {
  const struct {
    const char* answer;
    HyprlandFocus focus;
  } cases[] = {
      {R"({"address": "0x5605e0a4c8f0", "mapped": true, "class": "foot", "pid": 4242, "xwayland": false})",
       {0x5605e0a4c8f0, 4242}},
      {"{}", {}},
      {R"({"address": "0x5605e0a4c8f0", "pid": -1})", {0x5605e0a4c8f0, 0}},
      {R"({"address": "nonsense", "pid": 4242})", {}},
  };
  for (const auto& c : cases) {
    const auto json = ParseJson(c.answer);
    ASSERT_TRUE(json) << c.answer;
    EXPECT_EQ(FocusOfActiveWindow(*json), c.focus) << c.answer;
  }
}

TEST(HyprlandEvents, SocketFolderOfTheInstance) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path("hypr/sig_1"));
  EXPECT_TRUE(std::filesystem::equivalent(HyprlandSocketFolder(dir.Path(""), "sig_1"), dir.Path("hypr/sig_1")));
  EXPECT_EQ(HyprlandSocketFolder(dir.Path(""), "sig_2"), "/tmp/hypr/sig_2");  // where older versions keep them
}

// The event socket sends a window change in two pieces; the request socket
// answers with this test's own process, whose image the source then names.
TEST(HyprlandForegroundSource, ReportsTheActiveWindowsProcessOnEachEvent) {
  test::TempDir dir;
  std::mutex mutex;
  std::condition_variable cv;
  int requests = 0;
  bool sendEvent = false;
  test::FakeSocketServer requestSocket(dir.Path(".socket.sock"), [&](int fd) {
    const std::string request = test::FakeSocketServer::ReadSome(fd);
    std::lock_guard<std::mutex> lock(mutex);
    ++requests;
    // Before the event nothing is active; after it, this process is.
    test::FakeSocketServer::Write(fd, request != "j/activewindow" ? "unknown request"
                                      : sendEvent ? R"({"address":"0xabc","pid":)" + std::to_string(getpid()) + "}"
                                                  : "{}");
  });
  test::FakeSocketServer eventSocket(dir.Path(".socket2.sock"), [&](int fd) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      cv.wait(lock, [&] { return sendEvent; });
    }
    test::FakeSocketServer::Write(fd, "openwindow>>abc,1,foot,foot\nactivewindowv2>>a");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    test::FakeSocketServer::Write(fd, "bc\n");
    while (!test::FakeSocketServer::ReadSome(fd).empty()) {
    }
  });
  ASSERT_TRUE(requestSocket.Ok() && eventSocket.Ok());
  Result<std::unique_ptr<HyprlandForegroundSource>> opened = HyprlandForegroundSource::Open(dir.Path(""));
  ASSERT_TRUE(opened) << opened.detail();
  HyprlandForegroundSource* source = opened->get();
  EXPECT_EQ(source->ForegroundWindow(), 0u);
  int changes = 0;
  ASSERT_TRUE(source->NotifyChanges([&] {
    std::lock_guard<std::mutex> lock(mutex);
    ++changes;
    cv.notify_all();
  }));
  {
    std::unique_lock<std::mutex> lock(mutex);
    sendEvent = true;
    cv.notify_all();
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(5), [&] { return changes > 0; }));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(requests, 2);  // at start, and after the one activewindowv2 event
  }
  EXPECT_EQ(source->ForegroundWindow(), 0xabcu);
  EXPECT_EQ(source->ProcessImageName(0xabc), std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(source->ProcessImageName(0xdef), std::nullopt);  // not the window in front
}

TEST(HyprlandForegroundSource, WithoutTheEventSocketSaysWhere) {
  const Result<std::unique_ptr<HyprlandForegroundSource>> opened =
      HyprlandForegroundSource::Open("/nonexistent/hypr/x");
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.failure(), Failure::kUnavailable);
  EXPECT_NE(opened.detail().find("/nonexistent/hypr/x/.socket2.sock"), std::string::npos) << opened.detail();
}

}  // namespace
}  // namespace quorix
