#include "device/transport.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link_fixture.h"

namespace quorix::test {
namespace {

// A lock another program holds: every attempt fails until freeAfterTries
// attempts have been made (-1: never).
class HeldElsewhereMutex final : public NamedMutex {
 public:
  void lock() override { ADD_FAILURE() << "an exchange must never wait without limit"; }
  void unlock() override {}
  bool try_lock() override { return freeAfterTries >= 0 && ++tries > freeAfterTries; }
  int freeAfterTries = -1;
  int tries = 0;
};

class TransportTest : public ::testing::Test, public LinkFixture {
 protected:
  FakeHidInterface& Add(uint16_t featureLength) {
    return host.Add(PathFor(1), featureLength, 1, kVendorPage);
  }
  ExchangeOutcome Exchange(FakeHidInterface& iface, uint8_t* request, uint8_t* response, int length, int delayMs) {
    FakeHidDevice device(iface);
    return ExchangeFeatureReport(link, device, request, response, length, delayMs);
  }
};

TEST_F(TransportTest, FramesEachReportLength) {
  FakeHidInterface& iface = Add(64);
  std::array<uint8_t, 200> req{};
  std::array<uint8_t, 200> resp{};

  // 64 bytes: report ID 1 and the XOR checksum replace whatever the caller left.
  req[0] = 0x77;
  req[1] = 0x02;
  req[2] = 0x34;
  req[3] = 0x12;
  req[63] = 0x99;
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 64, -1), ExchangeOutcome::kAnswered);
  std::vector<uint8_t> expected(64, 0);
  expected[0] = 1;
  expected[1] = 0x02;
  expected[2] = 0x34;
  expected[3] = 0x12;
  expected[63] = 0x02 ^ 0x34 ^ 0x12;
  EXPECT_EQ(iface.sent.back(), expected);

  // 9 bytes: report ID 0, byte 8 = XOR of bytes 1..7 ...
  req = {};
  req[0] = 5;
  for (int i = 1; i <= 7; ++i) req[i] = static_cast<uint8_t>(1 << (i - 1));
  req[8] = 0xAB;
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 9, -1), ExchangeOutcome::kAnswered);
  EXPECT_EQ(iface.sent.back(), (std::vector<uint8_t>{0, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x7F}));

  // ... except for the data chunk (command 9), whose byte 8 is payload.
  req = {};
  req[1] = 9;
  req[8] = 0xAB;
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 9, -1), ExchangeOutcome::kAnswered);
  EXPECT_EQ(iface.sent.back(), (std::vector<uint8_t>{0, 9, 0, 0, 0, 0, 0, 0, 0xAB}));

  // Other lengths leave unframed apart from report ID 0.
  req = {};
  req[0] = 3;
  req[1] = 0x42;
  req[19] = 0x55;
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 20, -1), ExchangeOutcome::kAnswered);
  std::vector<uint8_t> unframed(20, 0);
  unframed[1] = 0x42;
  unframed[19] = 0x55;
  EXPECT_EQ(iface.sent.back(), unframed);
}

TEST_F(TransportTest, AlwaysBusyDeviceGivesUpAfter421ReadyReadsWithoutSending) {
  FakeHidInterface& iface = Add(64);
  iface.busyReads = -1;
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  EXPECT_EQ(Exchange(iface, req.data(), resp.data(), 64, 0), ExchangeOutcome::kNoAnswer);
  EXPECT_EQ(iface.reads, 421);
  EXPECT_TRUE(iface.sent.empty());
  EXPECT_EQ(clock.Sleeps(), std::vector<int64_t>(420, 1));
  EXPECT_FALSE(exchangeMutex.held);
  EXPECT_EQ(iface.cancels, 1);
  EXPECT_EQ(resp, (std::array<uint8_t, 65>{}));
}

TEST_F(TransportTest, DeviceBusyAfterTheRequestGivesUpAfter301AnswerReads) {
  FakeHidInterface& iface = Add(64);
  iface.busyAfterSend = true;
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  EXPECT_EQ(Exchange(iface, req.data(), resp.data(), 64, 0), ExchangeOutcome::kNoAnswer);
  EXPECT_EQ(iface.sent.size(), 1u);
  EXPECT_EQ(iface.reads, 1 + 301);
  EXPECT_EQ(clock.Sleeps(), std::vector<int64_t>(300, 1));
  EXPECT_FALSE(exchangeMutex.held);
  EXPECT_EQ(iface.cancels, 1);
  // The busy reports' stale bytes never reach the caller.
  EXPECT_EQ(resp, (std::array<uint8_t, 65>{}));
}

TEST_F(TransportTest, BusyThenReadyPollsWithOneMillisecondPauses) {
  FakeHidInterface& iface = Add(64);
  iface.busyReads = 3;
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  EXPECT_EQ(Exchange(iface, req.data(), resp.data(), 64, 0), ExchangeOutcome::kAnswered);
  EXPECT_EQ(iface.reads, 4 + 1);
  EXPECT_EQ(clock.Sleeps(), (std::vector<int64_t>{1, 1, 1}));
  EXPECT_EQ(resp[1], 0x02);
}

TEST_F(TransportTest, DelaySelectsPausesAndWhetherAnAnswerIsRead) {
  FakeHidInterface& iface = Add(64);
  struct Case {
    int delay;
    std::vector<int64_t> sleeps;
    int reads;
  };
  const Case cases[] = {
      {-1, {}, 1},          // send only
      {0, {}, 2},           // answer read at once, no pauses
      {3, {1, 3, 1}, 2},    // short delays pause 1 ms either side
      {10, {2, 10, 3}, 2},  // longer ones 2 ms before and 3 ms after
  };
  for (const Case& c : cases) {
    clock.ClearSleeps();
    iface.reads = 0;
    std::array<uint8_t, 65> req{};
    std::array<uint8_t, 65> resp{};
    req[1] = 0x14;
    EXPECT_EQ(Exchange(iface, req.data(), resp.data(), 64, c.delay), ExchangeOutcome::kAnswered) << c.delay;
    EXPECT_EQ(clock.Sleeps(), c.sleeps) << c.delay;
    EXPECT_EQ(iface.reads, c.reads) << c.delay;
    EXPECT_EQ(resp[1], c.delay < 0 ? 0 : 0x14) << c.delay;
  }
}

TEST_F(TransportTest, AnswerByte1LosesItsTopTwoBitsAndTraceSeesBothDirections) {
  FakeHidInterface& iface = Add(64);
  iface.respond = [](const std::vector<uint8_t>&, std::vector<uint8_t>& answer) {
    answer[1] = 0x45;
    answer[2] = 0xA0;
  };
  std::vector<std::pair<char, std::vector<uint8_t>>> trace;
  link.SetTrace([&](char dir, const uint8_t* bytes, size_t n) { trace.emplace_back(dir, std::vector<uint8_t>(bytes, bytes + n)); });
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x05;
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 64, 0), ExchangeOutcome::kAnswered);
  EXPECT_EQ(resp[1], 0x05);
  EXPECT_EQ(resp[2], 0xA0);
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[0].first, '>');
  EXPECT_EQ(trace[0].second, Frame64({0x05}));
  EXPECT_EQ(trace[1].first, '<');
  EXPECT_EQ(trace[1].second.size(), 64u);
  EXPECT_EQ(trace[1].second[1], 0x05);

  // A send-only exchange traces the request alone; a timed-out one nothing read.
  trace.clear();
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 64, -1), ExchangeOutcome::kAnswered);
  EXPECT_EQ(trace.size(), 1u);
  trace.clear();
  iface.sent.clear();
  iface.busyAfterSend = true;
  EXPECT_EQ(Exchange(iface, req.data(), resp.data(), 64, 0), ExchangeOutcome::kNoAnswer);
  ASSERT_EQ(trace.size(), 1u);
  EXPECT_EQ(trace[0].first, '>');
}

TEST_F(TransportTest, ExchangeMutexIsHeldAroundEveryTransfer) {
  FakeHidInterface& iface = Add(64);
  iface.busyReads = 2;
  int unguarded = 0;
  int transfers = 0;
  iface.onTransfer = [&] {
    ++transfers;
    if (!exchangeMutex.held) ++unguarded;
  };
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 1;
  ASSERT_EQ(Exchange(iface, req.data(), resp.data(), 64, 10), ExchangeOutcome::kAnswered);
  EXPECT_EQ(transfers, 3 + 1 + 1);
  EXPECT_EQ(unguarded, 0);
  EXPECT_EQ(exchangeMutex.locks, 1);
  EXPECT_FALSE(exchangeMutex.held);
}

TEST_F(TransportTest, DeviceTransactOutcomes) {
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;

  FakeHidInterface& none = host.Add("hid#none", 0, 1, kVendorPage);
  FakeHidInterface& noCaps = host.Add("hid#nocaps", 64, 1, kVendorPage);
  noCaps.capsReadable = false;
  FakeHidInterface& silent = host.Add("hid#silent", 64, 1, kVendorPage);
  silent.readsFail = true;
  FakeHidInterface& odd = host.Add("hid#odd", 64, 1, kVendorPage);
  odd.respond = [](const std::vector<uint8_t>&, std::vector<uint8_t>& answer) { answer[1] = 0x07; };
  FakeHidInterface& gone = host.Add("hid#gone", 64, 1, kVendorPage);
  gone.goneAfterSends = 0;
  FakeHidInterface& good = host.Add("hid#good", 64, 1, kVendorPage);

  struct Case {
    const char* path;
    ExchangeOutcome outcome;
    size_t sent;  // requests that reached the device
  };
  const Case cases[] = {
      {"hid#vid_3a5c&pid_0139&mi_01#absent", ExchangeOutcome::kCannotOpen, 0},
      {"hid#none", ExchangeOutcome::kCannotOpen, 0},    // no feature report
      {"hid#nocaps", ExchangeOutcome::kCannotOpen, 0},  // capabilities unreadable
      {"hid#silent", ExchangeOutcome::kNoAnswer, 0},    // never ready
      {"hid#odd", ExchangeOutcome::kBadAnswer, 1},      // answers another command
      {"hid#gone", ExchangeOutcome::kDeviceGone, 0},    // unplugged as the request left
      {"hid#good", ExchangeOutcome::kAnswered, 1},
  };
  for (const Case& c : cases) {
    resp = {};
    EXPECT_EQ(DeviceTransact(link, c.path, req.data(), resp.data(), 0), c.outcome) << c.path;
    if (FakeHidInterface* iface = host.Find(c.path)) {
      EXPECT_EQ(iface->sent.size(), c.sent) << c.path;
    }
    // Only a fitting answer reaches the caller.
    EXPECT_EQ(resp[1], c.outcome == ExchangeOutcome::kAnswered ? 0x02 : 0) << c.path;
  }
  EXPECT_TRUE(none.sent.empty());
  EXPECT_EQ(good.sent[0], Frame64({0x02}));
}

TEST_F(TransportTest, AFailedExchangeEndsTheRestOfItsOperation) {
  FakeHidInterface& iface = Add(64);
  const std::string path = iface.info.path;
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  {
    DeviceOperation operation(link);
    iface.busyReads = -1;
    EXPECT_EQ(DeviceTransact(link, path, req.data(), resp.data(), 0), ExchangeOutcome::kNoAnswer);
    iface.busyReads = 0;
    const int reads = iface.reads;
    // Skipped: not even opened.
    EXPECT_EQ(DeviceTransact(link, path, req.data(), resp.data(), 0), ExchangeOutcome::kNoAnswer);
    EXPECT_EQ(iface.reads, reads);
    EXPECT_EQ(operation.Result(), Outcome(Failure::kStoppedAnswering));
  }
  // The next operation starts afresh.
  {
    DeviceOperation next(link);
    EXPECT_EQ(DeviceTransact(link, path, req.data(), resp.data(), 0), ExchangeOutcome::kAnswered);
    EXPECT_TRUE(next.Result());
  }
  // A stop request ends an operation between two exchanges.
  std::stop_source stop;
  DeviceOperation stopped(link, stop.get_token());
  EXPECT_EQ(DeviceTransact(link, path, req.data(), resp.data(), 0), ExchangeOutcome::kAnswered);
  stop.request_stop();
  const size_t sent = iface.sent.size();
  EXPECT_EQ(DeviceTransact(link, path, req.data(), resp.data(), 0), ExchangeOutcome::kCancelled);
  EXPECT_EQ(iface.sent.size(), sent);
  EXPECT_EQ(stopped.Result(), Outcome(Failure::kCancelled));
}

TEST_F(TransportTest, EveryWaitIsBounded) {
  // A read that blocks the way a wedged device holds the kernel's control
  // transfer: the exchange gives up at its deadline, not after 421 of them.
  FakeHidInterface& blocking = Add(64);
  blocking.busyReads = -1;
  blocking.onTransfer = [this] { clock.Advance(2000); };
  const int64_t start = clock.NowMs();
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  EXPECT_EQ(Exchange(blocking, req.data(), resp.data(), 64, 0), ExchangeOutcome::kNoAnswer);
  EXPECT_EQ(blocking.reads, 2);
  EXPECT_LE(clock.NowMs() - start, kExchangeDeadlineMs + 2000);

  // A lock another program keeps: one notice, then kLockBusy after the limit.
  FakeHidInterface& iface = Add(64);
  FakeClock lockClock;
  const int64_t lockStart = lockClock.NowMs();
  int notices = 0;
  HeldElsewhereMutex held;
  DeviceLink locked(host, clock, held, listMutex);
  locked.SetLockClock(lockClock);
  locked.SetLockWaitNotice([&] { ++notices; });
  FakeHidDevice device(iface);
  EXPECT_EQ(ExchangeFeatureReport(locked, device, req.data(), resp.data(), 64, 0), ExchangeOutcome::kLockBusy);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(lockClock.NowMs() - lockStart, kLockWaitLimitMs);
  EXPECT_TRUE(iface.sent.empty());
  // Let go in time, and the exchange goes through.
  held.tries = 0;
  held.freeAfterTries = 3;
  EXPECT_EQ(ExchangeFeatureReport(locked, device, req.data(), resp.data(), 64, 0), ExchangeOutcome::kAnswered);
}

TEST_F(TransportTest, DeviceTransactKeepsLongReportsInsideTheCallersBuffers) {
  FakeHidInterface& wide = host.Add("hid#wide", 128, 1, kVendorPage);
  wide.respond = [](const std::vector<uint8_t>& request, std::vector<uint8_t>& answer) {
    std::fill(answer.begin() + 2, answer.end(), 0x21);
    answer[1] = request[1];
  };
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  EXPECT_EQ(DeviceTransact(link, "hid#wide", req.data(), resp.data(), 0), ExchangeOutcome::kAnswered);
  ASSERT_EQ(wide.sent.size(), 1u);
  EXPECT_EQ(wide.sent[0].size(), 128u);
  EXPECT_EQ(resp[64], 0x21);
}

}  // namespace
}  // namespace quorix::test
