#include "keys/pc_actions.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <X11/Xlib.h>

#include <array>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/x11_input_injector.h"
#include "support/fake_clock.h"
#include "support/xvfb_session.h"

namespace quorix {
namespace {

class RecordingInjector final : public InputInjector {
 public:
  void ScrollHorizontal(int steps) override {
    std::lock_guard<std::mutex> lock(mutex);
    batches.push_back(steps);
  }
  void MovePointerBy(int, int) override {}
  int Total() {
    std::lock_guard<std::mutex> lock(mutex);
    int total = 0;
    for (int steps : batches) total += steps;
    return total;
  }
  std::mutex mutex;
  std::vector<int> batches;
};

std::array<uint8_t, 16> WheelReport(uint8_t first, int8_t steps) {
  std::array<uint8_t, 16> report{};
  report[0] = first;
  report[1] = 11;
  report[9] = static_cast<uint8_t>(steps);
  return report;
}

TEST(HorizontalScroll, ReportsBeforeAPollMakeOneBatch) {
  RecordingInjector injector;
  test::FakeClock clock;
  HorizontalScroller scroller(injector, clock);
  EXPECT_EQ(scroller.NextDueMs(), std::nullopt);
  auto plusOne = WheelReport(11, 1);
  auto plusOneOther = WheelReport(1, 1);
  EXPECT_TRUE(scroller.OnHorizontalWheelReport(plusOne.data(), plusOne.size()));
  EXPECT_TRUE(scroller.OnHorizontalWheelReport(plusOneOther.data(), plusOneOther.size()));
  EXPECT_EQ(scroller.NextDueMs(), clock.NowMs());
  EXPECT_EQ(scroller.Poll(), 2);
  EXPECT_EQ(scroller.NextDueMs(), std::nullopt);
  EXPECT_EQ(scroller.RunBatch(), 0);
  auto minusTwo = WheelReport(11, -2);  // byte 9 = 0xFE
  EXPECT_EQ(minusTwo[9], 0xFE);
  scroller.OnHorizontalWheelReport(minusTwo.data(), minusTwo.size());
  EXPECT_EQ(scroller.RunBatch(), -2);
  EXPECT_EQ(injector.batches, (std::vector<int>{2, -2}));
}

TEST(HorizontalScroll, OtherReportsAreNotTaken) {
  RecordingInjector injector;
  test::FakeClock clock;
  HorizontalScroller scroller(injector, clock);
  auto wrongKind = WheelReport(11, 3);
  wrongKind[1] = 12;
  auto wrongId = WheelReport(2, 3);
  auto shortReport = WheelReport(11, 3);
  EXPECT_FALSE(scroller.OnHorizontalWheelReport(wrongKind.data(), wrongKind.size()));
  EXPECT_FALSE(scroller.OnHorizontalWheelReport(wrongId.data(), wrongId.size()));
  EXPECT_FALSE(scroller.OnHorizontalWheelReport(shortReport.data(), 9));
  EXPECT_FALSE(scroller.OnHorizontalWheelReport(nullptr, 16));
  EXPECT_EQ(scroller.PendingSteps(), 0);
}

TEST(HorizontalScroll, PollingLosesNoStepsUnderABurst) {
  RecordingInjector injector;
  test::FakeClock clock;
  HorizontalScroller scroller(injector, clock);
  constexpr int kReports = 5000;
  int expected = 0;
  std::atomic<bool> done{false};
  // Reports come from the input thread while the owner polls.
  std::thread input([&] {
    for (int i = 0; i < kReports; ++i) {
      const int8_t steps = static_cast<int8_t>((i % 7) - 2);  // mixed directions
      expected += steps;
      auto report = WheelReport(11, steps);
      scroller.OnHorizontalWheelReport(report.data(), report.size());
    }
    done = true;
  });
  while (!done) scroller.Poll();
  input.join();
  scroller.Poll();
  EXPECT_EQ(injector.Total(), expected);
  EXPECT_EQ(scroller.PendingSteps(), 0);
}

TEST(LaunchSetting, ChecksumAndValue) {
  // Byte 1 = 13, byte 2 = 1, and a last byte that makes bytes 1.. XOR to 0.
  std::array<uint8_t, 8> report{0x06, 13, 1, 0, 0, 0, 0, 13 ^ 1};
  EXPECT_TRUE(IsLaunchSettingReport(report.data(), report.size()));
  report[7] ^= 1;
  EXPECT_FALSE(IsLaunchSettingReport(report.data(), report.size()));
  report[7] ^= 1;
  report[1] = 12;
  EXPECT_FALSE(IsLaunchSettingReport(report.data(), report.size()));
  EXPECT_FALSE(IsLaunchSettingReport(nullptr, 0));

  int raised = 0;
  EXPECT_TRUE(OnLaunchSettingReport(1, [&] { ++raised; }));
  EXPECT_FALSE(OnLaunchSettingReport(0, [&] { ++raised; }));
  EXPECT_FALSE(OnLaunchSettingReport(2, [&] { ++raised; }));
  EXPECT_EQ(raised, 1);
}

}  // namespace
}  // namespace quorix

namespace quorix {
namespace {

// ---- the scroller with the XTest injector on a private X server ----

// A full-screen window under the pointer that counts the wheel buttons it
// receives.
class WheelCounter {
 public:
  explicit WheelCounter(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {
    if (display_ == nullptr) return;
    const Window root = DefaultRootWindow(display_);
    window_ = XCreateSimpleWindow(display_, root, 0, 0, 800, 600, 0, 0, 0);
    XSelectInput(display_, window_, ButtonPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    XEvent event;
    do XNextEvent(display_, &event);
    while (event.type != MapNotify);
    XWarpPointer(display_, None, root, 0, 0, 0, 0, 400, 300);
    XSync(display_, False);
  }
  ~WheelCounter() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  bool Ok() const { return display_ != nullptr; }
  void Drain() {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == ButtonPress && event.xbutton.button == kWheelLeftButton) ++left;
      if (event.type == ButtonPress && event.xbutton.button == kWheelRightButton) ++right;
    }
  }
  int left = 0;
  int right = 0;

 private:
  Display* display_;
  Window window_ = 0;
};

TEST(HorizontalScrollX11, BurstBecomesExactlyAsManyWheelClicks) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  WheelCounter counter(session.Display());
  ASSERT_TRUE(counter.Ok());
  auto injectorOpened = X11InputInjector::Open(session.Display().c_str());
  ASSERT_TRUE(injectorOpened) << injectorOpened.detail();
  auto injector = std::move(injectorOpened).value();
  test::FakeClock clock;
  HorizontalScroller scroller(*injector, clock);

  int right = 0;
  for (int i = 0; i < 60; ++i) {
    const int8_t steps = static_cast<int8_t>(1 + i % 3);
    right += steps;
    auto report = WheelReport(11, steps);
    scroller.OnHorizontalWheelReport(report.data(), report.size());
  }
  test::XvfbSession::WaitFor([&] {
    scroller.Poll();
    counter.Drain();
    return counter.right >= right;
  });
  int left = 0;
  for (int i = 0; i < 20; ++i) {
    left += 2;
    auto report = WheelReport(1, -2);
    scroller.OnHorizontalWheelReport(report.data(), report.size());
  }
  test::XvfbSession::WaitFor([&] {
    scroller.Poll();
    counter.Drain();
    return counter.left >= left;
  });
  counter.Drain();
  EXPECT_EQ(counter.right, right);
  EXPECT_EQ(counter.left, left);
}

}  // namespace
}  // namespace quorix
