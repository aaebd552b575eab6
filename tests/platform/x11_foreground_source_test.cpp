#include "platform/linux/x11_foreground_source.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "support/x11_test_util.h"
#include "support/xvfb_session.h"

namespace quorix {
namespace {

TEST(X11ForegroundSource, WithoutDisplaySaysSwitchingNeedsX11) {
  const auto noName = X11ForegroundSource::Open("");
  EXPECT_EQ(noName.failure(), Failure::kUnavailable);
  EXPECT_NE(noName.detail().find("X11 or XWayland"), std::string::npos);
  const auto noServer = X11ForegroundSource::Open(":31999");
  EXPECT_EQ(noServer.failure(), Failure::kUnavailable);
  EXPECT_NE(noServer.detail().find(":31999"), std::string::npos);
}

TEST(X11ForegroundSource, ReportsTheActiveXtermUnderAWindowManager) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  auto sourceOpened = X11ForegroundSource::Open(session.Display().c_str());
  ASSERT_TRUE(sourceOpened) << sourceOpened.detail();
  auto source = std::move(sourceOpened).value();
  EXPECT_EQ(source->ForegroundWindow(), 0u);  // nothing is active without a window manager
  if (!session.StartWindowManager([&] { return test::WindowManagerRunning(session.Display()); })) {
    GTEST_SKIP() << "no window manager (openbox)";
  }
  const pid_t xterm = session.Spawn({"xterm"});
  if (xterm <= 0) GTEST_SKIP() << "no xterm";
  const bool active = test::XvfbSession::WaitFor(
      [&] {
        test::ActivateWindowOfProcess(session.Display(), xterm);
        return source->WindowProcessId(source->ForegroundWindow()) == xterm;
      }, 10000);
  if (!active) GTEST_SKIP() << "the window manager did not activate the xterm";
  const uint64_t window = source->ForegroundWindow();
  EXPECT_NE(window, 0u);
  const auto image = source->ProcessImageName(window);
  ASSERT_TRUE(image);
  EXPECT_EQ(std::filesystem::path(*image).filename(), "xterm");
  // A window that no longer exists is an unreadable process, not a crash.
  EXPECT_FALSE(source->ProcessImageName(0x7fffff));
}

}  // namespace
}  // namespace quorix
