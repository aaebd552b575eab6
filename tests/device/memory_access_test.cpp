// Chunked memory reads and writes in the three layouts, and the read cache.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "device/commands.h"
#include "link_fixture.h"

namespace quorix::test {
namespace {

using Frames = std::vector<std::vector<uint8_t>>;

class MemoryAccessTest : public ::testing::Test, public LinkFixture {
 protected:
  std::string Mouse(int level) {
    const std::string path = ListMouse(level);
    for (size_t i = 0; i < mouse.memory.size(); ++i) mouse.memory[i] = static_cast<uint8_t>(i * 7 + 3);
    mouse.Install(Iface(path));
    return path;
  }
  void EnableCache(const std::string& path) {
    link.cache.path = path;
    link.cache.enabled = true;
  }
  std::vector<uint8_t> Read(const std::string& path, int address, int length, bool cache) {
    std::vector<uint8_t> buffer(static_cast<size_t>(length), 0xCC);
    ReadMemory(link, path, address, buffer.data(), length, cache);
    return buffer;
  }
  std::vector<uint8_t> Expected(int address, int length) const {
    return {mouse.memory.begin() + address, mouse.memory.begin() + address + length};
  }
  size_t SentCount(const std::string& path) { return Iface(path).sent.size(); }
  ScriptedMouse mouse;
};

TEST_F(MemoryAccessTest, ReadsInPiecesOfEachLayout) {
  const std::string direct = Mouse(11);
  EXPECT_EQ(Read(direct, 100, 130, false), Expected(100, 130));
  EXPECT_EQ(Iface(direct).sent, (Frames{Frame64({0x02, 100, 0}), Frame64({0x02, 161, 0}), Frame64({0x02, 222, 0})}));

  LinkFixture grouped;
  const std::string g = grouped.ListMouse(7, mouse);
  std::vector<uint8_t> buffer(61);
  ReadMemory(grouped.link, g, 0x0456, buffer.data(), 61, false);
  EXPECT_EQ(buffer, Expected(0x0456, 61));
  EXPECT_EQ(grouped.Iface(g).sent, (Frames{Frame64({0x01, 0x00, 0x00, 0x56, 0x04})}));

  // Level 0: seven bytes per request, 24-bit address, check byte in byte 8.
  LinkFixture level0;
  const std::string z = level0.ListMouse(0, mouse);
  std::vector<uint8_t> small(10);
  ReadMemory(level0.link, z, 0x010203, small.data(), 10, false);
  const int a = 0x010203 % 8192;
  EXPECT_EQ(small, Expected(a, 10));
  EXPECT_EQ(level0.Iface(z).sent,
            (Frames{Frame64({0x05, 0x00, 0x03, 0x02, 0x01, 0x00, 0x12, 0x05 ^ 0x03 ^ 0x02 ^ 0x01 ^ 0x12}),
                    Frame64({0x05, 0x00, 0x0A, 0x02, 0x01, 0x00, 0x12, 0x05 ^ 0x0A ^ 0x02 ^ 0x01 ^ 0x12})}));
}

TEST_F(MemoryAccessTest, SilentDeviceLeavesZeros) {
  const std::string path = ListMouse(11);
  Iface(path).readsFail = true;
  EXPECT_EQ(Read(path, 40, 70, false), std::vector<uint8_t>(70, 0));
  EXPECT_EQ(ReadMemoryByte(link, path, 14, false), 0);
}

TEST_F(MemoryAccessTest, CacheServesValidRangesAboveTheHeaderOnly) {
  const std::string path = Mouse(11);
  EnableCache(path);

  // Addresses below 32 are always fetched; the piece at 61 comes from the cache.
  EXPECT_EQ(Read(path, 0, 70, true), Expected(0, 70));
  EXPECT_EQ(SentCount(path), 2u);
  EXPECT_EQ(Read(path, 0, 70, true), Expected(0, 70));
  EXPECT_EQ(SentCount(path), 3u);
  EXPECT_EQ(Iface(path).sent.back(), Frame64({0x02, 0, 0}));

  // A range read once is served without traffic.
  EXPECT_EQ(Read(path, 100, 10, true), Expected(100, 10));
  EXPECT_EQ(SentCount(path), 3u);  // 100..109 was entered by the piece at 61

  // A write invalidates: the next cached read asks the device again.
  WriteMemoryByte(link, path, 100, 0x42);
  const size_t afterWrite = SentCount(path);
  mouse.memory[100] = 0x42;
  EXPECT_EQ(ReadMemoryByte(link, path, 100, true), 0x42);
  EXPECT_EQ(SentCount(path), afterWrite + 1);
  EXPECT_EQ(ReadMemoryByte(link, path, 100, true), 0x42);
  EXPECT_EQ(SentCount(path), afterWrite + 1);

  // One invalid byte in the remaining range sends a piece although the
  // piece's own bytes (62..122) are all valid.
  WriteMemoryByte(link, path, 130, 1);
  const size_t before = SentCount(path);
  Read(path, 62, 69, true);
  ASSERT_EQ(SentCount(path), before + 2);
  EXPECT_EQ(Iface(path).sent[before], Frame64({0x02, 62, 0}));
}

TEST_F(MemoryAccessTest, CacheIgnoredWhenOffForAnotherPathOrPastItsEnd) {
  const std::string path = Mouse(11);
  EnableCache(path);
  Read(path, 200, 10, false);  // uncached reads still fill the cache
  Read(path, 200, 10, true);
  EXPECT_EQ(SentCount(path), 1u);
  Read(path, 200, 10, false);
  EXPECT_EQ(SentCount(path), 2u);

  link.cache.enabled = false;
  Read(path, 200, 10, true);
  EXPECT_EQ(SentCount(path), 3u);

  link.cache.enabled = true;
  link.cache.path = "another";
  Read(path, 200, 10, true);
  EXPECT_EQ(SentCount(path), 4u);

  // The cache ends at 70000: reads across the end go to the device every time.
  link.cache.path = path;
  Read(path, 69990, 20, true);
  Read(path, 69990, 20, true);
  EXPECT_EQ(SentCount(path), 6u);
}

TEST_F(MemoryAccessTest, WritesAreSplitIntoChunksOf32) {
  const std::string path = Mouse(11);
  std::vector<uint8_t> data(70);
  std::iota(data.begin(), data.end(), 1);
  EXPECT_TRUE(WriteMemory(link, path, 200, data.data(), 70));
  const Frames& sent = Iface(path).sent;
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0][1], 0x03);
  EXPECT_EQ(sent[0][2], 200);
  EXPECT_EQ(sent[0][4], 32);
  EXPECT_EQ(sent[0][5], 1);
  EXPECT_EQ(sent[0][36], 32);
  EXPECT_EQ(sent[1][2], 232);
  EXPECT_EQ(sent[2], Frame64({0x03, 0x08, 0x01, 6, 65, 66, 67, 68, 69, 70}));
  EXPECT_EQ(clock.Sleeps(), (std::vector<int64_t>{1, 1, 1}));  // writes are not answered

  // Refusals send nothing.
  EXPECT_FALSE(WriteMemoryChunk(link, path, 0, data.data(), 0));
  EXPECT_FALSE(WriteMemoryChunk(link, path, 0, data.data(), 33));
  EXPECT_FALSE(WriteMemoryChunk(link, path, 0, data.data(), -1));
  EXPECT_FALSE(WriteMemory(link, path, 0, data.data(), 0));
  EXPECT_EQ(sent.size(), 3u);
  EXPECT_TRUE(WriteMemoryChunk(link, path, 0, data.data(), 32));
}

TEST_F(MemoryAccessTest, Level0ChunkIsSentInSixBytePiecesThenCommitted) {
  const std::string path = Mouse(0);
  std::vector<uint8_t> data(13);
  std::iota(data.begin(), data.end(), 0x21);
  EXPECT_TRUE(WriteMemoryChunk(link, path, 0x0345, data.data(), 13));
  EXPECT_EQ(Iface(path).sent,
            (Frames{Frame64({0x09, 0, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26}),
                    Frame64({0x09, 6, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C}), Frame64({0x09, 12, 0x2D, 0, 0, 0, 0, 0}),
                    Frame64({0x05, 0x02, 0x45, 0x03, 0x00, 13, 0x12, 0x05 ^ 0x02 ^ 0x45 ^ 0x03 ^ 13 ^ 0x12})}));
  // 1 ms after the pieces, the commit's delay of 10 with its pauses, then 2 ms.
  EXPECT_EQ(clock.Sleeps(), (std::vector<int64_t>{1, 2, 10, 3, 2}));
}

TEST_F(MemoryAccessTest, NineByteInterfaceKeepsTheLevel0PiecePayloadIntact) {
  const std::string path = "hid#vid_3a5c&pid_0139&mi_00#nine";
  FakeHidInterface& iface = host.Add(path, 9, 1, kVendorPage);
  link.deviceInfo[path].protocolLevel = 0;
  const uint8_t data[6] = {1, 2, 3, 4, 5, 0xF0};
  WriteMemoryChunk(link, path, 0x20, data, 6);
  ASSERT_EQ(iface.sent.size(), 2u);
  EXPECT_EQ(iface.sent[0], (std::vector<uint8_t>{0, 0x09, 0, 1, 2, 3, 4, 5, 0xF0}));
  EXPECT_EQ(iface.sent[1], (std::vector<uint8_t>{0, 0x05, 0x02, 0x20, 0, 0, 6, 0x12, 0x05 ^ 0x02 ^ 0x20 ^ 6 ^ 0x12}));
}

}  // namespace
}  // namespace quorix::test
