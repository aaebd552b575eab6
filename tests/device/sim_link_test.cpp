// The device link against the simulated firmware, in all three layouts: the
// requests built here must be the ones the firmware model understands.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "device/commands.h"
#include "device/discovery.h"
#include "support/sim_world.h"

namespace quorix::test {
namespace {

sim::SimOptions Level(int level) {
  sim::SimOptions options;
  options.protocolLevel = level;
  return options;
}

class SimLinkTest : public ::testing::TestWithParam<int> {};

TEST_P(SimLinkTest, MemoryRoundTripAndCommandsAreUnderstood) {
  SimWorld world(Level(GetParam()));
  ASSERT_FALSE(world.path.empty());
  EXPECT_EQ(DeviceCount(world.link), 1);  // the pointing interface is not listed
  EXPECT_EQ(ProtocolLevel(world.link, world.path), GetParam());

  std::vector<uint8_t> data(45);
  std::iota(data.begin(), data.end(), 0x40);
  ASSERT_TRUE(WriteMemory(world.link, world.path, 0x300, data.data(), 45));
  CommitSettings(world.link, world.path);
  std::vector<uint8_t> back(45, 0);
  ReadMemory(world.link, world.path, 0x300, back.data(), 45, false);
  EXPECT_EQ(back, data);
  EXPECT_EQ(world.Mouse().MemoryAt(0x300 + 44), data[44]);

  WriteMemoryByte(world.link, world.path, 0x320, 0xA5);
  EXPECT_EQ(ReadMemoryByte(world.link, world.path, 0x320, false), 0xA5);

  SetActiveProfile(world.link, world.path, 3);
  EXPECT_EQ(world.Mouse().ActiveProfile(), 3);
  EXPECT_EQ(ReadStatus(world.link, world.path).activeProfile, 3);
  SetReportRateCode(world.link, world.path, 3);
  const int settingsByte = FamilyOf(world.link, world.path).settingsByteAddress;
  EXPECT_EQ(world.Mouse().MemoryAt(settingsByte) & 0x70, 0x30);

  SelectHostMarker(world.link, world.path, true);
  EXPECT_EQ(world.Mouse().HostMarker(), kHostMarker);
  EXPECT_EQ(world.Mouse().UnknownCount(), 0);
  EXPECT_EQ(world.Mouse().RejectedCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SimLinkTest, ::testing::Values(11, 5, 0));

TEST(SimLinkFaults, AMouseThatDoesNotAnswerItsIdentificationIsNotListed) {
  struct Case {
    bool busy, silent, odd;
    ExchangeOutcome outcome;
  };
  const Case cases[] = {{true, false, false, ExchangeOutcome::kNoAnswer},
                        {false, true, false, ExchangeOutcome::kNoAnswer},
                        {false, false, true, ExchangeOutcome::kBadAnswer}};
  for (const Case& c : cases) {
    sim::SimOptions options;
    options.alwaysBusy = c.busy;
    options.silent = c.silent;
    options.oddAnswers = c.odd;
    FakeClock clock;
    LocalMutex exchangeMutex, listMutex;
    sim::SimHidHost host(clock, options);
    DeviceLink link(host, clock, exchangeMutex, listMutex);
    DeviceOperation identification(link);
    EnumerateDevices(link);
    EXPECT_EQ(DeviceCount(link), 0);
    EXPECT_EQ(link.FirstFailure(), c.outcome);
    // It stopped at the first failed exchange of the information block.
    EXPECT_LE(host.Mouse().SetCount(), 1);
  }
}

TEST(SimLinkFaults, AlwaysBusyMouseReadsZerosAfter421ReadyReads) {
  sim::SimOptions options;
  options.alwaysBusy = true;
  SimWorld world(options);
  ASSERT_FALSE(world.path.empty());
  uint8_t value = 0xCC;
  ReadMemory(world.link, world.path, 0x100, &value, 1, false);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(world.Mouse().GetCount(), 421);
  EXPECT_EQ(world.Mouse().SetCount(), 0);
  EXPECT_EQ(world.clock.Sleeps(), std::vector<int64_t>(420, 1));
}

TEST(SimLinkFaults, SilentAndUnpluggedMiceLeaveZeros) {
  sim::SimOptions silent;
  silent.silent = true;
  SimWorld quiet(silent);
  ASSERT_FALSE(quiet.path.empty());
  std::fill(quiet.Mouse().Memory().begin(), quiet.Mouse().Memory().end(), 0x77);
  std::vector<uint8_t> buffer(80, 0xCC);
  ReadMemory(quiet.link, quiet.path, 64, buffer.data(), 80, false);
  EXPECT_EQ(buffer, std::vector<uint8_t>(80, 0));

  // The mouse leaves after the first memory read.
  SimWorld gone;
  ASSERT_FALSE(gone.path.empty());
  gone.host.ArmUnplug(1);
  std::fill(gone.Mouse().Memory().begin(), gone.Mouse().Memory().end(), 0x77);
  buffer.assign(130, 0xCC);
  ReadMemory(gone.link, gone.path, 64, buffer.data(), 130, false);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 61), std::vector<uint8_t>(61, 0x77));
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 61, buffer.end()), std::vector<uint8_t>(69, 0));
  uint8_t byte = 0xCC;
  ReadMemory(gone.link, gone.path, 64, &byte, 1, false);
  EXPECT_EQ(byte, 0);
}

}  // namespace
}  // namespace quorix::test
