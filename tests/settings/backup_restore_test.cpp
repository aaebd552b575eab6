#include "settings/backup_restore.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "base/archive.h"
#include "settings/backup_file.h"
#include "support/sim_world.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using test::SimWorld;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class BackupRestore : public ::testing::Test {
 protected:
  void SetUp() override { LoadSettings(world.link, state); }

  std::string File(const std::string& name) const { return dir_.Path(name); }
  static Bytes Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), {}};
  }
  static void Write(const std::string& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // Restores `file` expecting a rejection: nothing may reach the mouse.
  void ExpectRejected(const std::string& file) {
    const Bytes memory = world.Mouse().Memory();
    world.ClearTraffic();
    ProfileApps apps;
    apps[0].appName = "kept";
    EXPECT_EQ(RestoreBackup(world.link, state, file, apps, {}), Outcome(Failure::kInvalidFormat));
    EXPECT_TRUE(world.Requests().empty());
    EXPECT_EQ(world.Mouse().Memory(), memory);
    EXPECT_EQ(apps[0].appName, "kept");
  }

  SimWorld world;
  SettingsState state;
  test::TempDir dir_;
};

TEST_F(BackupRestore, BackupHoldsTheWholeMemoryAndRestoreReproducesIt) {
  ProfileApps apps;
  apps[3] = {"Editor", "/usr/bin/editor", 1};
  const std::string file = File("mouse.bf");
  std::vector<double> fractions;
  ASSERT_TRUE(SaveBackup(world.link, state, file, apps, [&](double f) { fractions.push_back(f); }));
  // No temporary file is left beside the backup.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Root()), fs::directory_iterator()), 1);
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);

  const Bytes original = world.Mouse().Memory();
  BackupContents contents;
  BackupDefect defect;
  ASSERT_TRUE(ParseBackup(Read(file), contents, defect));
  EXPECT_EQ(contents.image.size(), 8192u);
  EXPECT_EQ(contents.image, original);

  // Scramble the mouse, then restore.
  std::mt19937 random(7);
  for (uint8_t& b : world.Mouse().Memory()) b = static_cast<uint8_t>(random());
  ProfileApps restored;
  RestoreOptions options;
  int reloads = 0;
  options.reload.onLoaded = [&](const SettingsImage&) { ++reloads; };
  ASSERT_TRUE(RestoreBackup(world.link, state, file, restored, options));
  EXPECT_EQ(world.Mouse().Memory(), original);
  EXPECT_EQ(restored[3].appPath, "/usr/bin/editor");
  EXPECT_EQ(restored[3].appEnabled, 1);
  EXPECT_EQ(reloads, 1);
  EXPECT_FALSE(state.busyWriting);
  EXPECT_GE(world.Mouse().CommitCount(), 1);
}

TEST_F(BackupRestore, ImageIsWrittenInPiecesOf32ThenSelectionAndCommit) {
  ArchiveWriter writer;
  writer.WriteString("_@_BF6E_");
  writer.WriteInt32(100);
  Bytes image(100, 0x12);
  writer.WriteBytes(image);
  for (int p = 0; p < 5; ++p) {
    writer.WriteString("");
    writer.WriteString("");
    writer.WriteInt32(0);
  }
  const std::string file = File("small.bf");
  Write(file, writer.Bytes());
  world.ClearTraffic();
  ProfileApps apps;
  ASSERT_TRUE(RestoreBackup(world.link, state, file, apps, {}));
  const auto requests = world.Requests();
  ASSERT_GE(requests.size(), 8u);
  // Byte 0 goes first as erased and last as itself: a cut restore reads as
  // an erased mouse.
  const int addresses[] = {0, 1, 32, 64, 96};
  const int lengths[] = {1, 31, 32, 32, 4};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(requests[static_cast<size_t>(i)][1], 0x03);
    EXPECT_EQ(requests[static_cast<size_t>(i)][2], addresses[i]);
    EXPECT_EQ(requests[static_cast<size_t>(i)][4], lengths[i]);
  }
  EXPECT_EQ(requests[0][5], 0xFF);
  EXPECT_EQ(requests[5][1], 0x0F);
  EXPECT_EQ(requests[5][2], 1);
  const uint8_t signature[] = {0x01, 0x03, 0x00, 0x00, 1, 0x12};
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), requests[6].begin()));
  EXPECT_EQ(requests[7][1], 0x14);
}

TEST_F(BackupRestore, OldFileClearsTheApplicationData) {
  ArchiveWriter writer;
  writer.WriteString("_@_BF6_");
  writer.WriteInt32(4);
  writer.WriteBytes(Bytes{0x12, 0, 0, 20});
  const std::string file = File("old.bf");
  Write(file, writer.Bytes());
  ProfileApps apps;
  for (ProfileApp& app : apps) app = {"x", "/y", 1};
  ASSERT_TRUE(RestoreBackup(world.link, state, file, apps, {}));
  for (const ProfileApp& app : apps) {
    EXPECT_EQ(app.appName, "");
    EXPECT_EQ(app.appPath, "");
    EXPECT_EQ(app.appEnabled, 0);
  }
}

TEST_F(BackupRestore, DamagedOrOversizedFilesWriteNothing) {
  const std::string good = File("good.bf");
  ASSERT_TRUE(SaveBackup(world.link, state, good, {}, {}));
  const Bytes bytes = Read(good);

  Write(File("cut.bf"), Bytes(bytes.begin(), bytes.end() - 1));  // trailer one byte short
  ExpectRejected(File("cut.bf"));
  Write(File("half.bf"), Bytes(bytes.begin(), bytes.begin() + 4000));  // image cut
  ExpectRejected(File("half.bf"));
  Bytes magic = bytes;
  magic[6] = 'X';
  Write(File("magic.bf"), magic);
  ExpectRejected(File("magic.bf"));
  Write(File("empty.bf"), {});
  ExpectRejected(File("empty.bf"));

  // One byte more than the mouse's memory would wrap around onto address 0.
  ArchiveWriter writer;
  writer.WriteString("_@_BF6_");
  writer.WriteInt32(8193);
  writer.WriteBytes(Bytes(8193, 0x44));
  Write(File("long.bf"), writer.Bytes());
  ExpectRejected(File("long.bf"));

  ProfileApps apps;
  world.ClearTraffic();
  const Outcome missing = RestoreBackup(world.link, state, File("missing.bf"), apps, {});
  EXPECT_EQ(missing, Failure::kCannotReadFile);
  EXPECT_EQ(missing.detail, "no such file or directory");
  EXPECT_TRUE(world.Requests().empty());
}

TEST_F(BackupRestore, FailedBackupLeavesNoFile) {
  const std::string file = File("no/such/folder/mouse.bf");
  const Outcome failed = SaveBackup(world.link, state, file, {}, {});
  EXPECT_EQ(failed, Failure::kCannotWriteFile);
  EXPECT_EQ(failed.detail, "no such file or directory");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(fs::exists(file + ".tmp"));

  // An existing backup is replaced whole, never left half-written.
  const std::string existing = File("keep.bf");
  Write(existing, Bytes{1, 2, 3});
  ASSERT_TRUE(SaveBackup(world.link, state, existing, {}, {}));
  BackupContents contents;
  BackupDefect defect;
  EXPECT_TRUE(ParseBackup(Read(existing), contents, defect));

  SettingsState none;
  EXPECT_EQ(SaveBackup(world.link, none, File("none.bf"), {}, {}), Outcome(Failure::kNoDevice));
  EXPECT_FALSE(fs::exists(File("none.bf")));
}

}  // namespace
}  // namespace quorix
