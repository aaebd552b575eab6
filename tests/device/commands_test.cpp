// Golden requests of every device command in the direct (level 11), grouped
// (level 5) and level-0 layouts, and what each makes of the answers.
#include "device/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "link_fixture.h"

namespace quorix::test {
namespace {

using Frames = std::vector<std::vector<uint8_t>>;

class CommandsTest : public ::testing::Test, public LinkFixture {
 protected:
  // A listed mouse at `level` answering from `mouse`.
  std::string Mouse(int level) {
    const std::string path = ListMouse(level);
    mouse.Install(Iface(path));
    return path;
  }
  const Frames& Sent(const std::string& path) { return Iface(path).sent; }
  ScriptedMouse mouse;
};

// Level-0 requests on the 64-byte interface: the command fills byte 8 with
// the check byte only for memory reads and the commit of a chunked write.
std::vector<uint8_t> Level0(std::initializer_list<int> bytes) { return Frame64(bytes); }

struct GoldenCase {
  const char* name;
  int level;
  std::function<void(DeviceLink&, const std::string&)> run;
  Frames expected;
};

TEST_F(CommandsTest, GoldenRequests) {
  const uint8_t entry[4] = {0xC0, 0xFF, 0x00, 0x01};
  const std::vector<GoldenCase> cases = {
      {"sync direct", 11, [](DeviceLink& l, const std::string& p) { SyncHandshake(l, p); }, {Frame64({0x00, 0x12, 0x12})}},
      {"sync grouped", 5, [](DeviceLink& l, const std::string& p) { SyncHandshake(l, p); }, {Frame64({0x00, 0x12, 0x12})}},
      {"sync level0", 0, [](DeviceLink& l, const std::string& p) { SyncHandshake(l, p); }, {}},
      {"dpi level direct", 11, [](DeviceLink& l, const std::string& p) { SetDpiLevel(l, p, 0x2B); }, {Frame64({0x0F, 0x2B})}},
      {"dpi level grouped", 5, [](DeviceLink& l, const std::string& p) { SetDpiLevel(l, p, 0x2B); },
       {Frame64({0, 0, 0}), Frame64({0, 0x12, 0x12}), Frame64({0x01, 0x07, 0x00, 0x2B}), Frame64({0, 0x12, 0x12})}},
      {"dpi level level0", 0, [](DeviceLink& l, const std::string& p) { SetDpiLevel(l, p, 0x2B); },
       {Level0({0x04, 0x02, 0x2B, 0, 0, 0, 0x12}), Level0({0x05, 0x01, 0x02, 0x00, 0x00, 0x2B, 0x12})}},
      {"profile direct", 11, [](DeviceLink& l, const std::string& p) { SetActiveProfile(l, p, 3); }, {Frame64({0x11, 3})}},
      {"profile grouped", 5, [](DeviceLink& l, const std::string& p) { SetActiveProfile(l, p, 3); },
       {Frame64({0, 0, 0}), Frame64({0, 0x12, 0x12}), Frame64({0x01, 0x07, 0x02, 3}), Frame64({0, 0x12, 0x12})}},
      {"profile level0", 0, [](DeviceLink& l, const std::string& p) { SetActiveProfile(l, p, 3); },
       {Level0({0x04, 0x03, 3, 0, 0, 0, 0x12})}},
      {"apply dpi direct", 11, [](DeviceLink& l, const std::string& p) { ApplyDpiPair(l, p, 2, 40, 50); }, {Frame64({0x10, 40, 50})}},
      {"apply dpi grouped", 5, [](DeviceLink& l, const std::string& p) { ApplyDpiPair(l, p, 2, 40, 50); },
       {Frame64({0x01, 0x07, 0x01, 40, 50})}},
      {"apply dpi level0", 0, [](DeviceLink& l, const std::string& p) { ApplyDpiPair(l, p, 2, 40, 50); },
       {Level0({0x04, 0x01, 2, 40, 50, 0, 0x12})}},
      // Index 7 is clamped to the fifth pair: addresses 11 and 12.
      {"store dpi direct", 11, [](DeviceLink& l, const std::string& p) { StoreDpiPair(l, p, 7, 40, 50); },
       {Frame64({0x03, 11, 0, 2, 40, 50})}},
      // A negative index stays on the first pair instead of the header bytes.
      {"store dpi negative", 11, [](DeviceLink& l, const std::string& p) { StoreDpiPair(l, p, -2, 40, 50); },
       {Frame64({0x03, 3, 0, 2, 40, 50})}},
      {"store dpi grouped", 5, [](DeviceLink& l, const std::string& p) { StoreDpiPair(l, p, 1, 40, 50); },
       {Frame64({0x01, 0x03, 5, 0, 2, 40, 50})}},
      {"store dpi level0", 0, [](DeviceLink& l, const std::string& p) { StoreDpiPair(l, p, 1, 40, 50); },
       {Level0({0x09, 0, 40, 50, 0, 0, 0, 0}), Level0({0x05, 0x02, 6, 0, 0, 2, 0x12, 0x05 ^ 0x02 ^ 6 ^ 2 ^ 0x12})}},
      {"commit direct", 11, [](DeviceLink& l, const std::string& p) { CommitSettings(l, p); }, {Frame64({0x14})}},
      {"commit grouped", 5, [](DeviceLink& l, const std::string& p) { CommitSettings(l, p); }, {Frame64({0x01, 0x04})}},
      {"commit level0", 0, [](DeviceLink& l, const std::string& p) { CommitSettings(l, p); },
       {Level0({0x08, 0, 0, 0, 0, 0x0C, 0x12})}},
      {"button record direct", 11, [](DeviceLink& l, const std::string& p) { ReadButtonRecord(l, p, 5); },
       {Frame64({0x0A, 5, 0x01})}},
      {"button record grouped", 5, [](DeviceLink& l, const std::string& p) { ReadButtonRecord(l, p, 5); }, {}},
      {"write button direct", 11,
       [](DeviceLink& l, const std::string& p) { WriteButtonRecord(l, p, 2, 3, 0xA1, 0xA2, 0xA3, 0xA4, true); },
       {Frame64({0x03, 0x83, 0x01, 1, 0xA1}), Frame64({0x03, 0xA3, 0x01, 1, 0xA2}),
        Frame64({0x03, 0xC3, 0x01, 1, 0xA3}), Frame64({0x03, 0xE3, 0x01, 1, 0xA4}), Frame64({0x14})}},
      {"write button grouped", 5,
       [](DeviceLink& l, const std::string& p) { WriteButtonRecord(l, p, 2, 3, 0xA1, 0xA2, 0xA3, 0xA4, false); },
       {Frame64({0x01, 0x03, 0x43, 0x01, 1, 0xA1}), Frame64({0x01, 0x03, 0x5B, 0x01, 1, 0xA2}),
        Frame64({0x01, 0x03, 0x73, 0x01, 1, 0xA3}), Frame64({0x01, 0x03, 0x8B, 0x01, 1, 0xA4})}},
      {"write button level0", 0,
       [](DeviceLink& l, const std::string& p) { WriteButtonRecord(l, p, 2, 3, 0xA1, 0xA2, 0xA3, 0xA4, false); },
       {Level0({0x05, 0x01, 0xF3, 0x00, 0, 0xA1, 0x12}), Level0({0x05, 0x01, 0x03, 0x01, 0, 0xA2, 0x12}),
        Level0({0x05, 0x01, 0x13, 0x01, 0, 0xA3, 0x12}), Level0({0x05, 0x01, 0x23, 0x01, 0, 0xA4, 0x12})}},
      {"lift start direct", 11, [](DeviceLink& l, const std::string& p) { StartLiftAdjust(l, p); }, {Frame64({0x1A, 0x12})}},
      {"lift live direct", 11, [](DeviceLink& l, const std::string& p) { ReadLiftValue(l, p, true); }, {Frame64({0x1A, 0x00})}},
      {"lift stored direct", 11, [](DeviceLink& l, const std::string& p) { ReadLiftValue(l, p, false); }, {Frame64({0x02, 18, 0})}},
      {"lift stored grouped", 5, [](DeviceLink& l, const std::string& p) { ReadLiftValue(l, p, false); },
       {Frame64({0x01, 0, 0, 18, 0})}},
      {"lift finish direct", 11, [](DeviceLink& l, const std::string& p) { FinishLiftAdjust(l, p); }, {Frame64({0x1A, 0x14})}},
      {"lift store direct", 11, [](DeviceLink& l, const std::string& p) { StoreLiftValue(l, p, 4828, true); },
       {Frame64({0x1A, 0x13, 0xDC, 0x12}), Frame64({0x03, 18, 0, 2, 0xDC, 0x12})}},
      {"lighting block direct", 11, [](DeviceLink& l, const std::string& p) { uint8_t b[64]; ReadLightingBlock(l, p, b); },
       {Frame64({0, 0, 0}), Frame64({0, 0x12, 0x12}), Frame64({0x02, 0x00, 0x05}), Frame64({0x02, 0x3D, 0x05}),
        Frame64({0, 0x12, 0x12})}},
      {"lighting block grouped", 5, [](DeviceLink& l, const std::string& p) { uint8_t b[64]; ReadLightingBlock(l, p, b); },
       {Frame64({0, 0, 0}), Frame64({0, 0x12, 0x12}), Frame64({0x01, 0, 0, 0x60, 0x04}), Frame64({0, 0x12, 0x12})}},
      {"lighting block level2", 2, [](DeviceLink& l, const std::string& p) { uint8_t b[64]; ReadLightingBlock(l, p, b); }, {}},
      {"preview direct", 11, [](DeviceLink& l, const std::string& p) { PreviewLighting(l, p, 1, 2, 3, 4, 5); },
       {Frame64({0x13, 1, 2, 3, 4, 5})}},
      {"lighting entry direct", 11, [&entry](DeviceLink& l, const std::string& p) { WriteLightingEntry(l, p, 2, entry); },
       {Frame64({0x03, 0x08, 0x05, 4, 0xC0, 0xFF, 0x00, 0x01})}},
      {"lighting mode direct", 11, [](DeviceLink& l, const std::string& p) { EXPECT_TRUE(SetLightingMode(l, p, 3)); },
       {Frame64({0x03, 17, 0, 1, 3}), Frame64({0x12, 3})}},
      {"lighting mode 5 refused", 11, [](DeviceLink& l, const std::string& p) { EXPECT_FALSE(SetLightingMode(l, p, 5)); }, {}},
      {"lighting mode -1 refused", 11, [](DeviceLink& l, const std::string& p) { EXPECT_FALSE(SetLightingMode(l, p, -1)); }, {}},
      {"read lighting mode direct", 11, [](DeviceLink& l, const std::string& p) { ReadLightingMode(l, p); },
       {Frame64({0, 0, 0}), Frame64({0x02, 17, 0}), Frame64({0, 0x12, 0x12})}},
      {"lighting reset direct", 11, [](DeviceLink& l, const std::string& p) { SendLightingReset(l, p); },
       {Frame64({0x01, 0x04, 0x03})}},
  };
  for (const GoldenCase& c : cases) {
    LinkFixture world;
    ScriptedMouse m;
    const std::string path = world.ListMouse(c.level, m);
    c.run(world.link, path);
    EXPECT_EQ(world.Iface(path).sent, c.expected) << c.name;
  }
}

// Direct-layout-only commands send nothing to the older layouts.
TEST_F(CommandsTest, OlderLayoutsGetNoDirectOnlyTraffic) {
  for (int level : {5, 0}) {
    LinkFixture world;
    const std::string path = world.ListMouse(level);
    const uint8_t entry[4] = {1, 2, 3, 4};
    StartLiftAdjust(world.link, path);
    EXPECT_EQ(ReadLiftValue(world.link, path, true), 0);
    FinishLiftAdjust(world.link, path);
    ApplyLiftValue(world.link, path, 100);
    StoreLiftValue(world.link, path, 100, true);
    PreviewLighting(world.link, path, 1, 2, 3, 4, 5);
    WriteLightingEntry(world.link, path, 1, entry);
    EXPECT_FALSE(SetLightingMode(world.link, path, 1));
    EXPECT_EQ(ReadLightingMode(world.link, path), 0);
    SendLightingReset(world.link, path);
    EXPECT_EQ(ReadStatusWord(world.link, path), 0);
    EXPECT_TRUE(world.Iface(path).sent.empty()) << level;
  }
}

TEST_F(CommandsTest, StatusValuesComeFromEachLayoutsAnswerBytes) {
  // The scripted answer byte n is n, so each value names the byte it came from.
  const std::string direct = Mouse(11);
  StatusValues d = ReadStatus(link, direct);
  EXPECT_EQ(Sent(direct).back(), Frame64({0, 0, 0}));
  EXPECT_EQ((std::vector<int>{d.levelAndMask, d.statusB, d.statusC, d.statusD, d.statusE, d.activeProfile}),
            (std::vector<int>{17, 15, 16, 4, 0, 18}));
  EXPECT_EQ(ReadStatusWord(link, direct), 13 + 256 * 14);

  LinkFixture grouped;
  ScriptedMouse m;
  const std::string g = grouped.ListMouse(5, m);
  grouped.link.deviceInfo[g].deviceInfoBlock[14] = 0x33;
  StatusValues v = ReadStatus(grouped.link, g);
  EXPECT_EQ((std::vector<int>{v.levelAndMask, v.statusB, v.statusC, v.statusD, v.statusE, v.activeProfile}),
            (std::vector<int>{8, 21, 22, 0x33, 0, 9}));

  LinkFixture level0;
  const std::string z = level0.ListMouse(0, m);
  StatusValues w = ReadStatus(level0.link, z);
  EXPECT_EQ(level0.Iface(z).sent.back(), Frame64({0x04, 0x00, 0, 0, 0, 0, 0x12}));
  EXPECT_EQ((std::vector<int>{w.levelAndMask, w.statusB, w.statusC, w.statusD, w.statusE, w.activeProfile}),
            (std::vector<int>{2, 4, 5, 3, 6, 7}));
}

TEST_F(CommandsTest, GuardedGroupedCommandsSkipHandshakesWhileTheStatusFlagIsSet) {
  const std::string path = Mouse(5);
  mouse.statusFlag = true;
  SetDpiLevel(link, path, 9);
  EXPECT_EQ(Sent(path), (Frames{Frame64({0, 0, 0}), Frame64({0x01, 0x07, 0x00, 9})}));
}

TEST_F(CommandsTest, CountsAndButtonRecordsFromTheInformationBlock) {
  const std::string path = Mouse(5);
  auto& block = link.deviceInfo[path].deviceInfoBlock;
  block[12] = 5;
  block[13] = 4;
  block[72 + 4 * 3] = 51;  // above 50: reads as 1
  block[73 + 4 * 3] = 0x22;
  block[72 + 4 * 4] = 50;
  EXPECT_EQ(GetCounts(link, path).profileCount, 5);
  EXPECT_EQ(GetCounts(link, path).levelCount, 4);
  EXPECT_EQ(ReadButtonRecord(link, path, 3), (std::array<uint8_t, 4>{1, 0x22, 0, 0}));
  EXPECT_EQ(ReadButtonRecord(link, path, 4), (std::array<uint8_t, 4>{50, 0, 0, 0}));
  // Outside the 32 records, or without a record at all: type 1, nothing read past the block.
  EXPECT_EQ(ReadButtonRecord(link, path, 60), (std::array<uint8_t, 4>{1, 0, 0, 0}));
  link.deviceInfo.erase(path);
  EXPECT_EQ(ReadButtonRecord(link, path, 0), (std::array<uint8_t, 4>{1, 0, 0, 0}));
  EXPECT_TRUE(Sent(path).empty());

  LinkFixture level0;
  ScriptedMouse m;
  const std::string z = level0.ListMouse(0, m);
  const Counts c = GetCounts(level0.link, z);
  EXPECT_EQ(level0.Iface(z).sent, (Frames{Frame64({0x00, 0x02, 0x01, 0, 0, 0, 0x12})}));
  EXPECT_EQ(c.profileCount, 2);
  EXPECT_EQ(c.levelCount, 3);
}

TEST_F(CommandsTest, ButtonRecordOfTheDirectLayoutComesFromTheAnswer) {
  const std::string path = ListMouse(11);
  Iface(path).respond = [](const std::vector<uint8_t>& r, std::vector<uint8_t>& a) {
    a[1] = r[1];
    a[2] = 7;
    a[3] = r[2];
    a[4] = 0x30;
    a[5] = 0x40;
  };
  EXPECT_EQ(ReadButtonRecord(link, path, 9), (std::array<uint8_t, 4>{7, 9, 0x30, 0x40}));
}

TEST_F(CommandsTest, SettingsByteReadModifyWrite) {
  // Report rate: bits 4..6 replaced, the rest kept.
  const std::string direct = Mouse(11);
  mouse.memory[14] = 0x91;
  SetReportRateCode(link, direct, 3);
  EXPECT_EQ(Sent(direct), (Frames{Frame64({0, 0x12, 0x12}), Frame64({0x02, 14, 0}), Frame64({0x03, 14, 0, 1, 0xB1}),
                                  Frame64({0x14}), Frame64({0, 0x12, 0x12})}));

  // Angle snapping at level 0 uses byte 15 and no handshakes.
  LinkFixture level0;
  ScriptedMouse m;
  const std::string z = level0.ListMouse(0, m);
  m.memory[15] = 0xF0;
  SetAngleSnapping(level0.link, z, true);
  EXPECT_EQ(level0.Iface(z).sent,
            (Frames{Level0({0x05, 0x00, 15, 0, 0, 0, 0x12, 0x05 ^ 15 ^ 0x12}), Level0({0x05, 0x01, 15, 0, 0, 0xF1, 0x12}),
                    Level0({0x08, 0, 0, 0, 0, 0x0C, 0x12})}));

  // Grouped angle snapping: the write is guarded, the commit follows.
  LinkFixture grouped;
  ScriptedMouse gm;
  const std::string g = grouped.ListMouse(5, gm);
  gm.memory[14] = 0x31;
  SetAngleSnapping(grouped.link, g, false);
  EXPECT_EQ(grouped.Iface(g).sent,
            (Frames{Frame64({0x01, 0, 0, 14, 0}), Frame64({0, 0, 0}), Frame64({0, 0x12, 0x12}),
                    Frame64({0x01, 0x03, 14, 0, 1, 0x30}), Frame64({0, 0x12, 0x12}), Frame64({0x01, 0x04})}));
}

TEST_F(CommandsTest, LiftAndLightingAnswers) {
  const std::string path = Mouse(11);
  mouse.memory[18] = 0xDC;
  mouse.memory[19] = 0x12;
  EXPECT_EQ(ReadLiftValue(link, path, false), 4828);
  for (int i = 0; i < 64; ++i) mouse.memory[1280 + static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
  uint8_t block[64];
  ReadLightingBlock(link, path, block);
  EXPECT_EQ(block[0], 1);
  EXPECT_EQ(block[60], 61);
  EXPECT_EQ(block[63], 64);
  mouse.memory[17] = 3;
  EXPECT_EQ(ReadLightingMode(link, path), 3);

  // Grouped lighting block: 52 bytes at 1120, the rest zero.
  LinkFixture grouped;
  ScriptedMouse gm;
  const std::string g = grouped.ListMouse(4, gm);
  std::fill(gm.memory.begin() + 1120, gm.memory.begin() + 1200, 0x5A);
  std::fill(block, block + 64, 0xFF);
  ReadLightingBlock(grouped.link, g, block);
  EXPECT_EQ(block[51], 0x5A);
  EXPECT_EQ(block[52], 0);
}

}  // namespace
}  // namespace quorix::test
