#include "firmware/isp_mode.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace quorix {
namespace {

TEST(IspIdentity, BothProductsInAnyCaseFromIndexTwo) {
  EXPECT_TRUE(IsIspModePath("\\\\?\\hid#vid_0c45&pid_7500#7&1a2b&0&0000#{4d1e55b2}"));
  EXPECT_TRUE(IsIspModePath("\\\\?\\HID#VID_0C45&PID_7B00#7&1A2B&0&0000"));
  EXPECT_TRUE(IsIspModePath("/dev/x/Vid_0c45&Pid_7b00"));
  EXPECT_TRUE(IsIspModePath("ab" + std::string(kIspIdentity7500)));
  EXPECT_FALSE(IsIspModePath("a" + std::string(kIspIdentity7500)));  // index 1 is too early
  EXPECT_FALSE(IsIspModePath(std::string(kIspIdentity7500)));
  EXPECT_FALSE(IsIspModePath("\\\\?\\hid#vid_0c45&pid_7501#x"));
  EXPECT_FALSE(IsIspModePath("\\\\?\\hid#vid_0c46&pid_7500#x"));
  EXPECT_FALSE(IsIspModePath(""));
}

TEST(FirmwareNumber, VariantMinusTenAtLeastOne) {
  EXPECT_EQ(FirmwareVersionNumber(14), 4);
  EXPECT_EQ(FirmwareVersionNumber(11), 1);
  EXPECT_EQ(FirmwareVersionNumber(3), 1);
  EXPECT_EQ(FirmwareVersionNumber(0), 1);
  EXPECT_EQ(FirmwareVersionNumber(255), 245);
}

// Polls every 10 ms until the rescan fires or limitMs passes; returns the
// time of the rescan relative to start, or -1.
int64_t PollUntilRescan(test::FakeClock& clock, IspWatcher& watcher, int64_t start, int64_t limitMs) {
  while (clock.NowMs() - start <= limitMs) {
    if (watcher.Poll()) return clock.NowMs() - start;
    clock.Advance(10);
  }
  return -1;
}

TEST(IspWatcher, ArrivalWithoutMouseRescansAfterSettleAndDelay) {
  test::FakeClock clock;
  IspWatcher watcher(clock);
  const int64_t start = clock.NowMs();
  EXPECT_TRUE(watcher.OnInterfaceArrival("\\\\?\\hid#vid_0c45&pid_7500#1", false));
  EXPECT_EQ(watcher.NextDueMs(), start + 2000);
  EXPECT_EQ(PollUntilRescan(clock, watcher, start, 5000), 2100);
  EXPECT_FALSE(watcher.Poll());  // reported once
  EXPECT_FALSE(watcher.NextDueMs());
}

TEST(IspWatcher, EachArrivalRestartsTheSettleTimer) {
  test::FakeClock clock;
  IspWatcher watcher(clock);
  const int64_t start = clock.NowMs();
  watcher.OnInterfaceArrival("\\\\?\\HID#VID_0C45&PID_7B00#1", false);
  clock.Advance(1500);
  EXPECT_FALSE(watcher.Poll());
  watcher.OnInterfaceArrival("\\\\?\\hid#vid_0c45&pid_7b00#2", false);
  int rescans = 0;
  int64_t at = -1;
  while (clock.NowMs() - start < 8000) {
    if (watcher.Poll()) {
      ++rescans;
      at = clock.NowMs() - start;
    }
    clock.Advance(10);
  }
  EXPECT_EQ(rescans, 1);
  EXPECT_EQ(at, 1500 + 2100);
}

TEST(IspWatcher, IgnoredWithMouseOrOtherDevice) {
  test::FakeClock clock;
  IspWatcher watcher(clock);
  EXPECT_FALSE(watcher.OnInterfaceArrival("\\\\?\\hid#vid_0c45&pid_7500#1", true));
  EXPECT_FALSE(watcher.OnInterfaceArrival("\\\\?\\hid#vid_0c45&pid_1234#1", false));
  EXPECT_FALSE(watcher.SettleTimerRunning());
  EXPECT_EQ(PollUntilRescan(clock, watcher, clock.NowMs(), 5000), -1);
}

TEST(IspWatcher, LatePollStillSchedulesRescanFromExpiry) {
  test::FakeClock clock;
  IspWatcher watcher(clock);
  const int64_t start = clock.NowMs();
  watcher.OnInterfaceArrival("xxvid_0c45&pid_7500", false);
  clock.Advance(2050);
  EXPECT_FALSE(watcher.Poll());
  EXPECT_TRUE(watcher.RescanScheduled());
  EXPECT_EQ(watcher.NextDueMs(), start + 2100);
  clock.Advance(50);
  EXPECT_TRUE(watcher.Poll());
}

}  // namespace
}  // namespace quorix
