// The simulated firmware, driven through its HID handles the way the
// program's transport drives a real mouse.
#include "sim/sim_mouse.h"

#include <gtest/gtest.h>

#include "sim/sim_factory.h"
#include "sim/sim_hid_host.h"
#include "sim_wire.h"
#include "support/fake_clock.h"

namespace quorix::sim {
namespace {

using wire::Exchange;
using wire::Frame;
using wire::Level0;

struct Rig {
  explicit Rig(SimOptions o = {}) : host(clock, o), device(host.Open(host.ConfigPath())) {}
  SimMouse& Mouse() { return host.Mouse(); }
  std::vector<uint8_t> Ask(std::initializer_list<int> bytes) { return Exchange(*device, bytes); }
  test::FakeClock clock;
  SimHidHost host;
  std::unique_ptr<HidDevice> device;
};

TEST(SimMouseTest, IdentificationStringCarriesTheOptions) {
  SimOptions o;
  o.protocolLevel = 5;
  o.variantA = 34;
  o.modelCode = 18;
  o.buttonLayout = 13;
  o.featureLimit = 120;
  o.variantB = 9;
  o.optionFlag = 1;
  Rig rig(o);
  std::array<uint8_t, 512> s{};
  ASSERT_TRUE(rig.device->GetIndexedString(199, s.data(), s.size()));
  EXPECT_EQ(s[2], 'A');
  EXPECT_EQ(s[3], 'G');
  EXPECT_EQ(s[4], 5);
  EXPECT_EQ(s[5], 34);
  EXPECT_EQ(s[6], 18);
  EXPECT_EQ(s[7], 13);
  EXPECT_EQ(s[8], 3);
  EXPECT_EQ(s[9], 7);
  EXPECT_EQ(s[10], 120);
  EXPECT_EQ(s[11], 9);
  EXPECT_EQ(s[21], 1);
  EXPECT_FALSE(rig.device->GetIndexedString(198, s.data(), s.size()));
}

TEST(SimMouseTest, FirstReadAfterARequestIsBusy) {
  Rig rig;
  const auto request = Frame({0x02, 0x00, 0x00});
  rig.device->SetFeature(request.data(), request.size());
  std::vector<uint8_t> answer(64, 0);
  answer[0] = 1;
  ASSERT_TRUE(rig.device->GetFeature(answer.data(), answer.size()));
  EXPECT_EQ(answer[1], 0x82);
  ASSERT_TRUE(rig.device->GetFeature(answer.data(), answer.size()));
  EXPECT_EQ(answer[1], 0x02);
  EXPECT_EQ(answer[2], 0x12);  // signature
  EXPECT_EQ(answer[0], 1);     // the caller's report ID stays
  EXPECT_EQ(rig.Mouse().GetCount(), 2);
  EXPECT_EQ(rig.Mouse().SetCount(), 1);
}

TEST(SimMouseTest, BadFramingIsRefusedAndChangesNothing) {
  Rig rig;
  auto request = Frame({0x03, 0x40, 0x00, 1, 0xAA});
  request[63] ^= 1;
  rig.device->SetFeature(request.data(), request.size());
  request = Frame({0x03, 0x40, 0x00, 1, 0xAA});
  request[0] = 0;  // 64-byte reports carry report ID 1
  rig.device->SetFeature(request.data(), request.size());
  EXPECT_EQ(rig.Mouse().MemoryAt(0x40), 0);
  EXPECT_EQ(rig.Mouse().RejectedCount(), 2);
  ASSERT_EQ(rig.Mouse().Requests().size(), 2u);
  EXPECT_FALSE(rig.Mouse().Requests()[0].accepted);
}

TEST(SimMouseTest, DirectLayoutMemoryWrapsAtItsSize) {
  Rig rig;
  rig.Ask({0x03, 0xFE, 0xFF, 2, 0x12, 0x34});  // 0xFFFE, 0xFFFF land on 8190, 8191
  EXPECT_EQ(rig.Mouse().MemoryAt(8190), 0x12);
  EXPECT_EQ(rig.Mouse().MemoryAt(8191), 0x34);
  auto answer = rig.Ask({0x02, 0xFF, 0x1F});  // 61 bytes from 8191 run on at 0
  EXPECT_EQ(answer[2], 0x34);
  EXPECT_EQ(answer[3], 0x12);  // byte 0: signature
  answer = rig.Ask({0x02, 0xFF, 0x7F});       // 0x7FFF mirrors 8191 too
  EXPECT_EQ(answer[2], 0x34);
  rig.Ask({0x03, 0x00, 0x02, 33, 1});  // longer than a chunk: refused
  EXPECT_EQ(rig.Mouse().MemoryAt(0x200), 0);
  EXPECT_EQ(rig.Mouse().UnknownCount(), 1);
}

TEST(SimMouseTest, DirectLayoutStatusAndCommands) {
  Rig rig;
  rig.Ask({0x00, 0x01, 0x12, 0x5D});
  rig.Ask({0x0F, (0x1F << 3) | 2});
  rig.Ask({0x11, 3});
  rig.Ask({0x10, 44, 55});
  rig.Mouse().SetStatusWord(0x1234);
  auto s = rig.Ask({0x00, 0x00, 0x00});
  EXPECT_EQ(s[1], 0x00);
  EXPECT_EQ(s[10], 0x40);
  EXPECT_EQ(s[12], 0x5D);
  EXPECT_EQ(s[13] | s[14] << 8, 0x1234);
  EXPECT_EQ(s[17], (0x1F << 3) | 2);
  EXPECT_EQ(s[18], 3);
  EXPECT_EQ(rig.Mouse().LiveDpiPair(), (std::array<int, 2>{44, 55}));
  rig.Ask({0x14});
  EXPECT_EQ(rig.Mouse().CommitCount(), 1);
  auto b = rig.Ask({0x0A, 1, 0x01, 0, 0, 0, 0x12});
  EXPECT_EQ(b[1], 0x0A);
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 2, b.begin() + 6), std::vector<uint8_t>({4, 2, 0, 0}));
  EXPECT_EQ(rig.Mouse().UnknownCount(), 0);
}

TEST(SimMouseTest, LiftAdjustmentMeasuresAndApplies) {
  Rig rig;
  auto live = rig.Ask({0x1A, 0x00});
  EXPECT_EQ(live[2] | live[3] << 8, kFactoryLift);
  rig.Ask({0x1A, 0x12});
  EXPECT_TRUE(rig.Mouse().LiftAdjusting());
  live = rig.Ask({0x1A, 0x00});
  EXPECT_EQ(live[2] | live[3] << 8, rig.Mouse().Options().measuredLift);
  rig.Ask({0x1A, 0x14});
  EXPECT_FALSE(rig.Mouse().LiftAdjusting());
  rig.Ask({0x1A, 0x13, 0x34, 0x12});
  EXPECT_EQ(rig.Mouse().LiveLift(), 0x1234);
  EXPECT_EQ(rig.Mouse().MemoryAt(18) | rig.Mouse().MemoryAt(19) << 8, kFactoryLift);  // not stored
}

TEST(SimMouseTest, LightingCommands) {
  Rig rig;
  rig.Ask({0x12, 2});
  EXPECT_EQ(rig.Mouse().LightingMode(), 2);
  rig.Ask({0x12, 5});  // no such effect
  EXPECT_EQ(rig.Mouse().LightingMode(), 2);
  rig.Ask({0x13, 3, 0xC0, 10, 20, 30});
  EXPECT_EQ(rig.Mouse().LightingPreview(3), (std::array<uint8_t, 5>{3, 0xC0, 10, 20, 30}));
  rig.Ask({0x01, 0x04, 0x03});
  EXPECT_EQ(rig.Mouse().LightingResetCount(), 1);
  EXPECT_EQ(rig.Mouse().LightingPreview(3), (std::array<uint8_t, 5>{}));
}

TEST(SimMouseTest, GroupedLayout) {
  Rig rig(SimOptions{.protocolLevel = 5});
  rig.Ask({0x01, 0x06, 0x02, 0x02});
  auto block = rig.Ask({0x01, 0x00, 0x01, 30});  // words 30.. = block bytes 60..119
  EXPECT_EQ(block[2 + 12], 4);                    // block byte 72: button 0's type
  EXPECT_EQ(block[2 + 13], 1);
  block = rig.Ask({0x01, 0x00, 0x01, 120});       // bytes 240..255, then zeros
  EXPECT_EQ(block[2 + 16], 0);
  block = rig.Ask({0x01, 0x00, 0x01, 0});
  EXPECT_EQ(block[2 + 12], 5);
  EXPECT_EQ(block[2 + 13], 4);

  rig.Ask({0x01, 0x03, 0x00, 0x01, 3, 7, 8, 9});
  auto mem = rig.Ask({0x01, 0x00, 0x00, 0x00, 0x01});
  EXPECT_EQ(std::vector<uint8_t>(mem.begin() + 2, mem.begin() + 5), std::vector<uint8_t>({7, 8, 9}));

  rig.Ask({0x00, 0x01, 0x12, 0x5D});
  rig.Ask({0x01, 0x07, 0x00, 0x0B});
  rig.Ask({0x01, 0x07, 0x02, 4});
  rig.Ask({0x01, 0x07, 0x01, 30, 31});
  rig.Ask({0x01, 0x04});
  auto s = rig.Ask({0x00, 0x00, 0x00});
  EXPECT_EQ(s[6], 0x5D);
  EXPECT_EQ(s[8], 0x0B);
  EXPECT_EQ(s[9], 4);
  EXPECT_EQ(s[10] & 0x40, 0x40);
  EXPECT_EQ(rig.Mouse().LiveDpiPair(), (std::array<int, 2>{30, 31}));
  EXPECT_EQ(rig.Mouse().CommitCount(), 1);
  rig.Ask({0x12, 1});  // lighting belongs to the direct layout
  EXPECT_EQ(rig.Mouse().LightingMode(), 0);
  EXPECT_EQ(rig.Mouse().UnknownCount(), 1);
}

TEST(SimMouseTest, StatusFlagCanBeCleared) {
  SimOptions o = SimOptions{.protocolLevel = 5};
  o.statusFlag = false;
  Rig rig(o);
  EXPECT_EQ(rig.Ask({0x00, 0x00, 0x00})[10] & 0x40, 0);
}

TEST(SimMouseTest, Level0ChunkedWriteAndReads) {
  Rig rig(SimOptions{.protocolLevel = 0});
  const std::vector<uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  for (int o = 0; o < 13; o += 6) {
    std::vector<uint8_t> piece = Frame({0x09, o});
    for (int k = 0; k < 6; ++k) piece[static_cast<size_t>(3 + k)] = o + k < 13 ? data[static_cast<size_t>(o + k)] : 0;
    piece[63] = 0;
    for (size_t k = 1; k <= 62; ++k) piece[63] ^= piece[k];
    Exchange(*rig.device, piece);
  }
  EXPECT_EQ(rig.Mouse().MemoryAt(600), 0);  // nothing lands before the commit
  Exchange(*rig.device, Level0({0x05, 0x02, 0x58, 0x02, 0x00, 13, 0x12}));
  for (int i = 0; i < 13; ++i) EXPECT_EQ(rig.Mouse().MemoryAt(600 + i), data[static_cast<size_t>(i)]);
  EXPECT_EQ(rig.Mouse().MemoryAt(613), 0);

  auto r = Exchange(*rig.device, Level0({0x05, 0x00, 0x5E, 0x02, 0x00, 0x00, 0x12}));
  EXPECT_EQ(std::vector<uint8_t>(r.begin() + 2, r.begin() + 9), std::vector<uint8_t>({7, 8, 9, 10, 11, 12, 13}));
  // Without its check byte the read is refused.
  r = rig.Ask({0x05, 0x00, 0x5E, 0x02, 0x00, 0x00, 0x12});
  EXPECT_EQ(r[2], 0);
  EXPECT_EQ(rig.Mouse().UnknownCount(), 1);

  rig.Ask({0x05, 0x01, 0x0F, 0x00, 0x00, 0x31, 0x12});
  EXPECT_EQ(rig.Mouse().MemoryAt(15), 0x31);
}

TEST(SimMouseTest, Level0StatusCountsAndMarker) {
  Rig rig(SimOptions{.protocolLevel = 0});
  rig.Ask({0x00, 0x01, 0x5D, 0, 0, 0, 0x12});
  EXPECT_EQ(rig.Ask({0x00, 0x00, 0, 0, 0, 0, 0x12})[7], 0x5D);
  auto counts = rig.Ask({0x00, 0x02, 0x01, 0, 0, 0, 0x12});
  EXPECT_EQ(counts[2], 5);
  EXPECT_EQ(counts[3], 4);
  rig.Ask({0x04, 0x02, 0x19, 0, 0, 0, 0x12});
  rig.Ask({0x04, 0x03, 2, 0, 0, 0, 0x12});
  auto s = rig.Ask({0x04, 0x00, 0, 0, 0, 0, 0x12});
  EXPECT_EQ(s[2], 0x19);
  EXPECT_EQ(s[7], 2);
  rig.Ask({0x08, 0, 0, 0, 0, 0x0C, 0x12});
  EXPECT_EQ(rig.Mouse().CommitCount(), 1);
}

// A level sent without enable bits leaves the mask alone; a power cycle
// brings back the selection the memory stores, a restored state its own.
TEST(SimMouseTest, LevelSelectionKeepsTheMaskAndPowerOnTakesTheStoredSelection) {
  for (const auto& [level, profileAddress] : {std::pair{11, 1}, {5, 1}, {0, 14}}) {
    Rig rig(SimOptions{.protocolLevel = level});
    auto select = [&](int v) {
      if (level >= 11) return rig.Ask({0x0F, v});
      if (level >= 1) return rig.Ask({0x01, 0x07, 0x00, v});
      return rig.Ask({0x04, 0x02, v, 0, 0, 0, 0x12});
    };
    select(0x0B << 3 | 1);
    select(3);
    EXPECT_EQ(rig.Mouse().DpiSelection(), 0x0B << 3 | 3) << level;
    const SimMouse::Persistent running = rig.Mouse().Save();
    rig.Mouse().Memory()[static_cast<size_t>(profileAddress)] = 4;
    rig.Mouse().Memory()[2] = 2;
    rig.Mouse().PowerOn();
    EXPECT_EQ(rig.Mouse().ActiveProfile(), 4) << level;
    EXPECT_EQ(rig.Mouse().DpiSelection(), 0x0B << 3 | 2) << level;
    rig.Mouse().Restore(running);
    EXPECT_EQ(rig.Mouse().ActiveProfile(), 0) << level;
    EXPECT_EQ(rig.Mouse().DpiSelection(), 0x0B << 3 | 3) << level;
  }
}

TEST(SimMouseTest, PointingInterfaceTakesNineByteReports) {
  Rig rig(SimOptions{.protocolLevel = 0});
  auto pointing = rig.host.Open(rig.host.PointingPath());
  ASSERT_NE(pointing, nullptr);
  auto r = Exchange(*pointing, {0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12}, 9);
  ASSERT_EQ(r.size(), 9u);
  EXPECT_EQ(r[2], 0x12);
  EXPECT_EQ(rig.Mouse().SetCount(kPointingInterface), 1);
  EXPECT_EQ(rig.Mouse().SetCount(kConfigInterface), 0);
}

TEST(SimMouseTest, FactoryStateMatchesTheResetImage) {
  SimMouse m11(SimOptions{.protocolLevel = 11});
  const auto& a = m11.Memory();
  EXPECT_EQ(a[0], 0x12);
  EXPECT_EQ(a[14], 0x10);
  EXPECT_EQ(std::vector<uint8_t>(a.begin() + 3, a.begin() + 13),
            std::vector<uint8_t>({20, 20, 40, 40, 80, 80, 160, 160, 80, 80}));
  EXPECT_EQ(a[32 + 160 * 3 + 2], 7);
  EXPECT_EQ(std::vector<uint8_t>(a.begin() + 32 + 160 * 3 + 3, a.begin() + 32 + 160 * 3 + 6),
            std::vector<uint8_t>({255, 0, 255}));
  EXPECT_EQ(std::vector<uint8_t>(a.begin() + 1284, a.begin() + 1288), std::vector<uint8_t>({0xC0, 0xFF, 0, 0}));
  EXPECT_EQ(a[1280], 0);
  EXPECT_EQ(a[1308], 0);  // zone 7
  EXPECT_EQ(m11.LiveLift(), kFactoryLift);
  EXPECT_EQ(a.size(), 8192u);

  SimMouse m5(SimOptions{.protocolLevel = 5});
  EXPECT_EQ(m5.Memory()[32 + 128 * 1 + 4], 255);  // profile 1 is green
  EXPECT_EQ(m5.Memory()[1284], 0);                // no lighting below level 11

  SimOptions o0 = SimOptions{.protocolLevel = 0};
  o0.modelCode = 12;
  SimMouse m0(o0);
  const auto& z = m0.Memory();
  EXPECT_EQ(z[15], 0x10);
  EXPECT_EQ(z[4], 20);
  EXPECT_EQ(z[11], 160);
  EXPECT_EQ(z[12], 245);
  EXPECT_EQ(z[13], 182);
  for (int p = 0; p < 5; ++p) {
    EXPECT_EQ(z[static_cast<size_t>(16 + 96 * p)], 0x12);
    EXPECT_EQ(z[static_cast<size_t>(17 + 96 * p)], 0x12);
    EXPECT_EQ(z[static_cast<size_t>(16 + 96 * p + 35)], 1);
  }
  EXPECT_EQ(z[16 + 96 * 3 + 3], 0x33);  // magenta in two-bit fields
}

TEST(SimMouseTest, FaultSwitches) {
  SimOptions busy;
  busy.alwaysBusy = true;
  Rig b(busy);
  EXPECT_EQ(b.Ask({0x02, 0, 0})[1], 0);  // never a ready answer

  SimOptions silent;
  silent.silent = true;
  Rig s(silent);
  std::vector<uint8_t> buf(64, 0);
  buf[0] = 1;
  EXPECT_FALSE(s.device->GetFeature(buf.data(), buf.size()));
  s.Ask({0x03, 0x40, 0x00, 1, 0xAA});
  EXPECT_EQ(s.Mouse().MemoryAt(0x40), 0);
  std::array<uint8_t, 64> id{};
  EXPECT_TRUE(s.device->GetIndexedString(199, id.data(), id.size()));  // still identifiable

  SimOptions odd;
  odd.oddAnswers = true;
  Rig o(odd);
  const auto answer = o.Ask({0x02, 0, 0});
  EXPECT_NE(answer[1], 0x02);
  EXPECT_EQ(answer[1] & 0x80, 0);
  o.Ask({0x03, 0x40, 0x00, 1, 0xAA});
  EXPECT_EQ(o.Mouse().MemoryAt(0x40), 0xAA);  // writes still land
}

TEST(SimMouseTest, StateReportCarriesMarkerAndChecksum) {
  SimMouse mouse(SimOptions{.protocolLevel = 11});
  StateReportFields f;
  f.level = 6;
  f.x = 40;
  f.y = 41;
  f.profile = 2;
  f.flags = 0x60;
  const auto r = SimMouse::BuildStateReport(f, 0x5D);
  ASSERT_EQ(r.size(), static_cast<size_t>(kInputReportLength));
  EXPECT_EQ(r[1], 0x0C);
  EXPECT_EQ(r[2], 6);
  EXPECT_EQ(r[5], 2);
  EXPECT_EQ(r[6], 0x60);
  EXPECT_EQ(r[r.size() - 2], 0x5D);
  uint8_t x = 0;
  for (size_t i = 1; i < r.size(); ++i) x ^= r[i];
  EXPECT_EQ(x, 0);
  f.validChecksum = false;
  f.marker = 0;
  const auto bad = SimMouse::BuildStateReport(f, 0x5D);
  EXPECT_EQ(bad[bad.size() - 2], 0);
  x = 0;
  for (size_t i = 1; i < bad.size(); ++i) x ^= bad[i];
  EXPECT_NE(x, 0);
}

}  // namespace
}  // namespace quorix::sim
