#include "settings/backup_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace quorix {
namespace {

std::vector<uint8_t> Image(size_t n) {
  std::vector<uint8_t> image(n);
  for (size_t i = 0; i < n; ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
  return image;
}

ProfileApps SomeApps() {
  ProfileApps apps;
  apps[0] = {"Profile 1", "", 0};
  apps[2] = {"Spiel", "/usr/bin/spi\xC3\xA9l", 1};
  return apps;
}

TEST(BackupFile, GoldenBytes) {
  const std::vector<uint8_t> image = {0x12, 0x00, 0x34};
  const std::vector<uint8_t> bytes = EncodeBackup(image, ProfileApps{});
  std::vector<uint8_t> expected = {0xFF, 0xFE, 0xFF, 8};
  for (char c : std::string("_@_BF6E_")) expected.insert(expected.end(), {static_cast<uint8_t>(c), 0});
  expected.insert(expected.end(), {3, 0, 0, 0, 0x12, 0x00, 0x34});
  for (int p = 0; p < 5; ++p) expected.insert(expected.end(), {0xFF, 0xFE, 0xFF, 0, 0xFF, 0xFE, 0xFF, 0, 0, 0, 0, 0});
  EXPECT_EQ(bytes, expected);

  // The checked-in golden file is what this build writes for the same input.
  std::ifstream golden(std::string(QUORIX_TEST_DATA_DIR) + "/tiny.bf", std::ios::binary);
  ASSERT_TRUE(golden.good());
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(golden), {}};
  EXPECT_EQ(file, expected);
}

TEST(BackupFile, RoundTrip) {
  const std::vector<uint8_t> image = Image(8192);
  const std::vector<uint8_t> bytes = EncodeBackup(image, SomeApps());
  BackupContents contents;
  BackupDefect defect = BackupDefect::kNone;
  ASSERT_TRUE(ParseBackup(bytes, contents, defect, 8192)) << static_cast<int>(defect);
  EXPECT_EQ(contents.image, image);
  EXPECT_TRUE(contents.hasTrailer);
  EXPECT_EQ(contents.apps[2].appPath, "/usr/bin/spi\xC3\xA9l");
  EXPECT_EQ(contents.apps[2].appEnabled, 1);
  EXPECT_EQ(contents.apps[0].appName, "Profile 1");
}

TEST(BackupFile, OldMagicHasNoTrailerAndClearsTheApplicationData) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE, 0xFF, 7};
  for (char c : std::string("_@_BF6_")) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
  bytes.insert(bytes.end(), {2, 0, 0, 0, 0x12, 0x05});
  BackupContents contents;
  contents.apps = SomeApps();
  BackupDefect defect = BackupDefect::kNone;
  ASSERT_TRUE(ParseBackup(bytes, contents, defect)) << static_cast<int>(defect);
  EXPECT_FALSE(contents.hasTrailer);
  EXPECT_EQ(contents.image, (std::vector<uint8_t>{0x12, 0x05}));
  for (const ProfileApp& app : contents.apps) {
    EXPECT_EQ(app.appName, "");
    EXPECT_EQ(app.appPath, "");
    EXPECT_EQ(app.appEnabled, 0);
  }
  // The marker-less single-byte magic of an old writer is read too.
  std::vector<uint8_t> narrow = {7};
  for (char c : std::string("_@_BF6_")) narrow.push_back(static_cast<uint8_t>(c));
  narrow.insert(narrow.end(), {1, 0, 0, 0, 0x12});
  EXPECT_TRUE(ParseBackup(narrow, contents, defect)) << static_cast<int>(defect);
}

TEST(BackupFile, EveryDamagedFileIsRejectedWhole) {
  const std::vector<uint8_t> good = EncodeBackup(Image(100), SomeApps());
  BackupContents untouched;
  untouched.image = {9};
  BackupDefect defect = BackupDefect::kNone;

  // Every truncation, including inside the trailer.
  for (size_t n = 0; n < good.size(); ++n) {
    BackupContents contents = untouched;
    EXPECT_FALSE(ParseBackup(std::span(good).first(n), contents, defect)) << n;
    EXPECT_EQ(contents.image, untouched.image) << n;
    // The image starts after the magic's 20 bytes and the 4-byte length.
    const BackupDefect expected = n < 20   ? BackupDefect::kBadMagic
                                  : n < 24  ? BackupDefect::kNoImageLength
                                  : n < 124 ? BackupDefect::kImageCut
                                            : BackupDefect::kTrailerCut;
    EXPECT_EQ(defect, expected) << n;
  }
  std::vector<uint8_t> badMagic = good;
  badMagic[4] = 'X';
  EXPECT_FALSE(ParseBackup(badMagic, untouched, defect));
  EXPECT_EQ(defect, BackupDefect::kBadMagic);

  for (int32_t length : {0, -1, INT32_MIN}) {
    std::vector<uint8_t> bad = good;
    const auto u = static_cast<uint32_t>(length);
    for (int i = 0; i < 4; ++i) bad[20 + i] = static_cast<uint8_t>(u >> (8 * i));
    EXPECT_FALSE(ParseBackup(bad, untouched, defect)) << length;
    EXPECT_EQ(defect, BackupDefect::kEmptyImage) << length;
  }
  // Longer than the connected mouse's memory.
  EXPECT_FALSE(ParseBackup(good, untouched, defect, 99));
  EXPECT_EQ(defect, BackupDefect::kImageTooLong);
  EXPECT_TRUE(ParseBackup(good, untouched, defect, 100)) << static_cast<int>(defect);
}

}  // namespace
}  // namespace quorix
