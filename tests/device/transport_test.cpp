#include "device/transport.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link_fixture.h"

namespace quorix::test {
namespace {

class TransportTest : public ::testing::Test, public LinkFixture {
 protected:
  FakeHidInterface& Add(uint16_t featureLength) {
    return host.Add(PathFor(1), featureLength, 1, kVendorPage);
  }
  bool Exchange(FakeHidInterface& iface, uint8_t* request, uint8_t* response, int length, int delayMs) {
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
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 64, -1));
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
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 9, -1));
  EXPECT_EQ(iface.sent.back(), (std::vector<uint8_t>{0, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x7F}));

  // ... except for the data chunk (command 9), whose byte 8 is payload.
  req = {};
  req[1] = 9;
  req[8] = 0xAB;
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 9, -1));
  EXPECT_EQ(iface.sent.back(), (std::vector<uint8_t>{0, 9, 0, 0, 0, 0, 0, 0, 0xAB}));

  // Other lengths leave unframed apart from report ID 0.
  req = {};
  req[0] = 3;
  req[1] = 0x42;
  req[19] = 0x55;
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 20, -1));
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
  EXPECT_FALSE(Exchange(iface, req.data(), resp.data(), 64, 0));
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
  EXPECT_FALSE(Exchange(iface, req.data(), resp.data(), 64, 0));
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
  EXPECT_TRUE(Exchange(iface, req.data(), resp.data(), 64, 0));
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
    EXPECT_TRUE(Exchange(iface, req.data(), resp.data(), 64, c.delay)) << c.delay;
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
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 64, 0));
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
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 64, -1));
  EXPECT_EQ(trace.size(), 1u);
  trace.clear();
  iface.sent.clear();
  iface.busyAfterSend = true;
  EXPECT_FALSE(Exchange(iface, req.data(), resp.data(), 64, 0));
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
  ASSERT_TRUE(Exchange(iface, req.data(), resp.data(), 64, 10));
  EXPECT_EQ(transfers, 3 + 1 + 1);
  EXPECT_EQ(unguarded, 0);
  EXPECT_EQ(exchangeMutex.locks, 1);
  EXPECT_FALSE(exchangeMutex.held);
}

TEST_F(TransportTest, DeviceTransactResults) {
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;

  // A path that is gone.
  EXPECT_FALSE(DeviceTransact(link, "hid#vid_3a5c&pid_0139&mi_01#gone", req.data(), resp.data(), 0));

  // No feature report.
  FakeHidInterface& none = host.Add("hid#none", 0, 1, kVendorPage);
  EXPECT_FALSE(DeviceTransact(link, "hid#none", req.data(), resp.data(), 0));
  EXPECT_TRUE(none.sent.empty());

  // Unreadable capabilities: true, nothing sent.
  FakeHidInterface& noCaps = host.Add("hid#nocaps", 64, 1, kVendorPage);
  noCaps.capsReadable = false;
  EXPECT_TRUE(DeviceTransact(link, "hid#nocaps", req.data(), resp.data(), 0));
  EXPECT_TRUE(noCaps.sent.empty());
  EXPECT_EQ(noCaps.cancels, 1);

  // A device that never answers: true, the response stays zero.
  FakeHidInterface& silent = host.Add("hid#silent", 64, 1, kVendorPage);
  silent.readsFail = true;
  EXPECT_TRUE(DeviceTransact(link, "hid#silent", req.data(), resp.data(), 0));
  EXPECT_EQ(resp, (std::array<uint8_t, 65>{}));
  EXPECT_EQ(silent.opens, 1);

  // A working one answers with the capabilities' length.
  FakeHidInterface& good = host.Add("hid#good", 64, 1, kVendorPage);
  EXPECT_TRUE(DeviceTransact(link, "hid#good", req.data(), resp.data(), 0));
  ASSERT_EQ(good.sent.size(), 1u);
  EXPECT_EQ(good.sent[0], Frame64({0x02}));
  EXPECT_EQ(resp[1], 0x02);
}

TEST_F(TransportTest, DeviceTransactKeepsLongReportsInsideTheCallersBuffers) {
  FakeHidInterface& wide = host.Add("hid#wide", 128, 1, kVendorPage);
  wide.respond = [](const std::vector<uint8_t>&, std::vector<uint8_t>& answer) {
    std::fill(answer.begin() + 1, answer.end(), 0x21);
  };
  std::array<uint8_t, 65> req{};
  std::array<uint8_t, 65> resp{};
  req[1] = 0x02;
  EXPECT_TRUE(DeviceTransact(link, "hid#wide", req.data(), resp.data(), 0));
  ASSERT_EQ(wide.sent.size(), 1u);
  EXPECT_EQ(wide.sent[0].size(), 128u);
  EXPECT_EQ(resp[64], 0x21);
}

}  // namespace
}  // namespace quorix::test
