#include "lighting/live_colour.h"

#include <gtest/gtest.h>

#include <functional>
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
  // The owner's timer: it fires when the sender is due, until the picker closes.
  for (;;) {
    clock.SleepMs(*sender.NextDueMs() - clock.NowMs());
    if (stop) break;
    sender.Poll();
  }
  EXPECT_EQ(moves, 250);
  EXPECT_GE(sent.size(), 9u);
  EXPECT_LE(sent.size(), 11u);
  EXPECT_EQ(repaints, static_cast<int>(sent.size()));
  // The last send carries the last colour the cursor passed over (1000 ms).
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back().green, (1000 >> 8) & 0xFF);
  EXPECT_EQ(sent.back().blue, 1000 & 0xFF);
}

TEST(ColourSender, IdlePickerSendsNothingAndEachSendWaitsForTheOneBefore) {
  LiveColour live;
  test::FakeClock fake;
  ColourSender direct(live, fake, [](const LedZoneRecord&) {
    ADD_FAILURE() << "idle picker sent";
    return Outcome{};
  });
  EXPECT_FALSE(direct.Wake());

  // Sends are posted to a queue that runs only when the test says so, as a
  // busy device executor would. A drag at 250 ms is posted at the 300 ms tick
  // and only then; drags while it waits stay pending until it has run, and
  // then only the latest goes out.
  SteppingClock clock;
  std::vector<std::function<Outcome()>> queued;
  std::vector<std::pair<int64_t, LedZoneRecord>> sent;
  int repaints = 0;
  ColourSender sender(
      live, clock,
      [&](const LedZoneRecord& c) {
        sent.emplace_back(clock.NowMs(), c);
        return Outcome(Failure::kStoppedAnswering);
      },
      [&] { ++repaints; }, [&](std::function<Outcome()> work) { queued.push_back(std::move(work)); });
  const struct {
    int64_t atMs;       // a drag to this colour just before the tick at atMs + 50
    bool runQueued;     // the executor gets to the queued sends before the tick
    size_t queuedAfter;
    size_t sentAfter;
  } steps[] = {
      {250, false, 1, 0},   // posted at 300, not run yet
      {350, false, 1, 0},   // 400: the first still waits, this one stays pending
      {-1, true, 1, 1},     // 500: the first ran, the 350 colour is posted now
      {-1, false, 1, 1},    // 600: nothing new pending
      {-1, true, 0, 2},     // 700: the second ran; idle
  };
  for (const auto& step : steps) {
    // Idle ticks before the first drag send nothing.
    while (step.atMs > sender.NextDueMs().value()) {
      clock.SleepMs(*sender.NextDueMs() - clock.NowMs());
      EXPECT_FALSE(sender.Poll());
    }
    const int64_t tick = sender.NextDueMs().value();
    clock.SleepMs(tick - 50 - clock.NowMs());
    if (step.atMs >= 0) {
      ASSERT_EQ(clock.NowMs(), step.atMs);
      live.DragTo(static_cast<uint32_t>(step.atMs));
    }
    if (step.runQueued) {
      auto work = std::move(queued);
      queued.clear();
      for (auto& w : work) w();
    }
    clock.SleepMs(50);
    sender.Poll();
    EXPECT_EQ(queued.size(), step.queuedAfter) << tick;
    EXPECT_EQ(sent.size(), step.sentAfter) << tick;
  }
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].second.blue, 250);
  EXPECT_EQ(sent[1].second.green, 350 >> 8);
  EXPECT_EQ(sent[1].second.blue, 350 & 0xFF);
  EXPECT_EQ(repaints, 2);
  EXPECT_EQ(sender.LastOutcome(), Outcome(Failure::kStoppedAnswering));

  // A send the poster drops unrun (an executor closing down) does not hold
  // back the next one.
  live.DragTo(0x010203);
  clock.SleepMs(*sender.NextDueMs() - clock.NowMs());
  EXPECT_TRUE(sender.Poll());
  queued.clear();
  live.DragTo(0x040506);
  clock.SleepMs(*sender.NextDueMs() - clock.NowMs());
  EXPECT_TRUE(sender.Poll());
  EXPECT_FALSE(live.Pending());
}

}  // namespace
}  // namespace quorix
