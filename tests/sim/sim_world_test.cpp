// The simulated mouse behind the real device link: what the program relies on
// end to end (identification, status, memory, the memory-end probe).
#include "support/sim_world.h"

#include <gtest/gtest.h>

#include "device/commands.h"
#include "device/discovery.h"

namespace quorix::test {
namespace {

TEST(SimWorldTest, EachLevelIsListedAndIdentified) {
  for (int level : {11, 5, 0}) {
    SimWorld world(sim::SimOptions{.protocolLevel = level});
    ASSERT_EQ(world.path, "sim#vid_3a5c&pid_0139&mi_01#mouse1") << level;
    EXPECT_EQ(DeviceCount(world.link), 1);
    EXPECT_EQ(ProtocolLevel(world.link, world.path), level);
    EXPECT_EQ(TableSelect(world.link, world.path), 7);
    EXPECT_TRUE(world.Requests().empty());
    const Counts counts = GetCounts(world.link, world.path);
    EXPECT_EQ(counts.profileCount, 5) << level;
    EXPECT_EQ(counts.levelCount, 4) << level;
    EXPECT_EQ(ReadButtonRecord(world.link, world.path, 1), (std::array<uint8_t, 4>{4, 2, 0, 0})) << level;
  }
}

TEST(SimWorldTest, SecondMouseAndProgrammingIdentity) {
  sim::SimOptions o;
  o.secondMouse = true;
  o.isp = true;
  SimWorld world(o);
  ASSERT_EQ(DeviceCount(world.link), 2);
  EXPECT_EQ(DevicePath(world.link, 1), "sim#vid_3a5c&pid_0145&mi_01#mouse2");
  SelectHostMarker(world.link, world.path, true);
  EXPECT_EQ(world.Mouse(0).HostMarker(), kHostMarker);
  EXPECT_EQ(world.Mouse(1).HostMarker(), 0);
}

TEST(SimWorldTest, StatusAndDirectCommands) {
  SimWorld world;
  SetDpiLevel(world.link, world.path, (0x1F << 3) | 1);
  SetActiveProfile(world.link, world.path, 2);
  const StatusValues s = ReadStatus(world.link, world.path);
  EXPECT_EQ(s.levelAndMask, (0x1F << 3) | 1);
  EXPECT_EQ(s.activeProfile, 2);
  EXPECT_EQ(ReadStatusWord(world.link, world.path), 0);
  StoreLiftValue(world.link, world.path, 1234, true);
  EXPECT_EQ(world.Mouse().LiveLift(), 1234);
  EXPECT_EQ(ReadLiftValue(world.link, world.path, false), 1234);
  EXPECT_TRUE(SetLightingMode(world.link, world.path, 3));
  EXPECT_EQ(world.Mouse().LightingMode(), 3);
  EXPECT_EQ(world.Mouse().MemoryAt(17), 3);
  EXPECT_EQ(world.Mouse().UnknownCount(), 0);
}

TEST(SimWorldTest, WrappingMemoryMirrorsTheProbeMarker) {
  // The load's probe writes 0x12 at 0xFFFE/0xFFFF; an 8 KiB memory shows it at
  // 0x1FFF and every higher power-of-two mirror, but not at 0x0FFF.
  SimWorld world;
  WriteMemoryByte(world.link, world.path, 0xFFFE, 0x12);
  WriteMemoryByte(world.link, world.path, 0xFFFF, 0x12);
  for (int address : {0xFFFF, 0x7FFF, 0x3FFF, 0x1FFF}) {
    EXPECT_EQ(ReadMemoryByte(world.link, world.path, address, false), 0x12) << address;
  }
  EXPECT_NE(ReadMemoryByte(world.link, world.path, 0x0FFF, false), 0x12);
  EXPECT_EQ(world.Mouse().MemoryAt(8191), 0x12);
}

TEST(SimWorldTest, RequestsAreRecordedAsTheyLeft) {
  SimWorld world;
  CommitSettings(world.link, world.path);
  const auto requests = world.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0][0], 1);
  EXPECT_EQ(requests[0][1], 0x14);
  EXPECT_EQ(world.Mouse().CommitCount(), 1);
}

}  // namespace
}  // namespace quorix::test
