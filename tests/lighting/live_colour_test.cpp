#include "lighting/live_colour.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

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
  EXPECT_TRUE(live.SendIfPending([&](const LedZoneRecord& c) {
        sent.push_back(c);
        return Outcome{};
      }));
  EXPECT_FALSE(live.SendIfPending([&](const LedZoneRecord& c) {
        sent.push_back(c);
        return Outcome{};
      }));
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
      live, clock, [&](const LedZoneRecord& c) {
        sent.push_back(c);
        return Outcome{};
      }, [&] { ++repaints; });
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
  test::FakeClock fake;
  ColourSender direct(live, fake, [](const LedZoneRecord&) {
    ADD_FAILURE() << "idle picker sent";
    return Outcome{};
  });
  EXPECT_FALSE(direct.Wake());

  // On its own thread: one drag at 250 ms is sent at the next wake-up
  // (300 ms) and only then; the clock never blocks, so the thread spins
  // through virtual time until Stop() must end it.
  SteppingClock clock;
  std::atomic<bool> passed1s{false};
  clock.onTick = [&](int64_t now) {
    if (now == 250) live.DragTo(0x010203);
    if (now == 1000) passed1s = true;
  };
  std::vector<std::pair<int64_t, LedZoneRecord>> sent;  // sender thread only, until joined
  ColourSender sender(live, clock, [&](const LedZoneRecord& c) {
    sent.emplace_back(clock.NowMs(), c);
    return Outcome{};
  });
  sender.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!passed1s && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  sender.Stop();
  ASSERT_TRUE(passed1s) << "the sender thread did not run";
  live.DragTo(0x040506);  // after Stop nothing sends it
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].first, 300);
  EXPECT_EQ(sent[0].second, (LedZoneRecord{0, 1, 2, 3}));
  EXPECT_TRUE(live.Pending());
}

}  // namespace
}  // namespace quorix
