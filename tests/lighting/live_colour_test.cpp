#include "lighting/live_colour.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/fake_clock.h"

namespace quorix {
namespace {

// A clock whose sleeps let the "user" act: each sleep advances virtual time
// and replays what happened meanwhile on the user-interface thread.
class SteppingClock final : public Clock {
 public:
  int64_t NowMs() override { return now_; }
  void SleepMs(int64_t ms) override {
    const int64_t end = now_ + ms;
    while (now_ < end) {
      now_ = std::min(end, now_ + tickMs);
      if (onTick) onTick(now_);
    }
  }
  int64_t tickMs = 1;
  std::function<void(int64_t)> onTick;

 private:
  int64_t now_ = 0;
};

TEST(LiveColour, DragOnlyMarksPendingAndSenderTakesTheLatest) {
  LiveColour live({0x40, 0, 0, 0});
  live.DragTo(0x112233);
  live.DragTo(0xA1B2C3);
  EXPECT_TRUE(live.Pending());
  std::vector<LedZoneRecord> sent;
  EXPECT_TRUE(live.SendIfPending([&](const LedZoneRecord& c) { sent.push_back(c); }));
  EXPECT_FALSE(live.SendIfPending([&](const LedZoneRecord& c) { sent.push_back(c); }));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], (LedZoneRecord{0x40, 0xA1, 0xB2, 0xC3}));  // flags untouched by a drag
}

TEST(LiveColour, ClicksAndModeSetTheirBits) {
  LiveColour live({0x05, 0, 0, 0});
  EXPECT_EQ(live.ClickColour(0x0000FF), (LedZoneRecord{0x85, 0, 0, 0xFF}));
  EXPECT_EQ(live.ClickProfileColour({3, 1, 2}), (LedZoneRecord{0x05, 3, 1, 2}));
  EXPECT_EQ(live.ChooseMode(kPickerModeAlwaysOn).flags, 0x45);
  EXPECT_EQ(live.ChooseMode(0).flags, 0x05);
  EXPECT_FALSE(live.Pending());  // clicks are sent at once, not by the sender
}

TEST(ColourSender, OneSecondDragGivesAboutTenSends) {
  LiveColour live;
  SteppingClock clock;
  int moves = 0;
  std::atomic<bool> stop{false};
  // The cursor moves every 4 ms for one second.
  clock.onTick = [&](int64_t now) {
    if (now % 4 == 0 && now <= 1000) {
      live.DragTo(static_cast<uint32_t>(now));
      ++moves;
    }
    if (now >= 1050) stop = true;
  };
  std::vector<LedZoneRecord> sent;
  int repaints = 0;
  ColourSender sender(
      live, clock, [&](const LedZoneRecord& c) { sent.push_back(c); }, [&] { ++repaints; });
  sender.Run(stop);
  EXPECT_EQ(moves, 250);
  EXPECT_GE(sent.size(), 9u);
  EXPECT_LE(sent.size(), 11u);
  EXPECT_EQ(repaints, static_cast<int>(sent.size()));
  // The last send carries the last colour the cursor passed over (1000 ms).
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back().green, (1000 >> 8) & 0xFF);
  EXPECT_EQ(sent.back().blue, 1000 & 0xFF);
}

TEST(ColourSender, IdlePickerSendsNothingAndThreadStops) {
  LiveColour live;
  test::FakeClock clock;
  int sends = 0;
  ColourSender sender(live, clock, [&](const LedZoneRecord&) { ++sends; });
  EXPECT_FALSE(sender.Wake());
  live.DragTo(0x010203);
  EXPECT_TRUE(sender.Wake());
  EXPECT_EQ(sends, 1);
  sender.Start();
  sender.Stop();  // must return although the clock never blocks
  SUCCEED();
}

}  // namespace
}  // namespace quorix
