#include "options/pe_version.h"

#include <gtest/gtest.h>

#include "pe_test_file.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

std::optional<std::string> Description(const std::string& file) {
  const MemoryByteSource source(file);
  const std::optional<std::string> info = ReadVersionResource(source);
  return info ? FileDescriptionFromVersionInfo(*info) : std::nullopt;
}

TEST(PeVersion, ReadsFileDescriptionOfPe32AndPe32Plus) {
  EXPECT_EQ(Description(test::PeFile(test::VersionInfo(u"Space Game"))), "Space Game");
  EXPECT_EQ(Description(test::PeFile(test::VersionInfo(u"宇宙ゲーム"), true)), "宇宙ゲーム");
  EXPECT_EQ(Description(test::PeFile(test::VersionInfo(u""))), "");
}

TEST(PeVersion, UsesTheFirstTranslationToPickTheStringTable) {
  // Translation says 0411/03a4; the only table is 040904b0.
  EXPECT_EQ(Description(test::PeFile(test::VersionInfo(u"Game", 0x0411, 0x03a4))), std::nullopt);
  EXPECT_EQ(Description(test::PeFile(test::VersionInfo(u"Game", 0x0411, 0x03a4, u"041103A4"))), "Game");
}

TEST(PeVersion, DamagedFilesGiveNothing) {
  const std::string good = test::PeFile(test::VersionInfo(u"Game"));
  EXPECT_EQ(Description(""), std::nullopt);
  EXPECT_EQ(Description("MZ"), std::nullopt);
  for (size_t cut : {size_t{0x40}, size_t{0x100}, size_t{0x220}, good.size() - 1}) {
    EXPECT_EQ(Description(good.substr(0, cut)), std::nullopt) << cut;
  }
  std::string badLfanew = good;
  test::Put32(badLfanew, 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ(Description(badLfanew), std::nullopt);
  std::string badSize = good;
  test::Put32(badSize, 0x200 + 0x4C, 0x7FFFFFFFu);  // resource size beyond the section
  EXPECT_EQ(Description(badSize), std::nullopt);
  std::string loop = good;
  test::Put32(loop, 0x200 + 0x18 + 20, 0x80000000u);  // level 2 points back at the root
  EXPECT_EQ(Description(loop), std::nullopt);
  std::string blockTooLong = good;
  test::Put16(blockTooLong, 0x200 + 0x58, 0xFFFF);  // VS_VERSIONINFO longer than the resource
  EXPECT_EQ(Description(blockTooLong), std::nullopt);
  // A translation shorter than 4 bytes is not used.
  std::string info = test::VersionInfo(u"Game");
  const size_t translation = info.find(test::Utf16(u"Translation"));
  ASSERT_NE(translation, std::string::npos);
  test::Put16(info, translation - 4, 2);
  EXPECT_EQ(FileDescriptionFromVersionInfo(info), std::nullopt);
}

TEST(PeVersion, ReadsFromAFile) {
  test::TempDir dir;
  test::WriteFile(dir.Path("game.exe"), test::PeFile(test::VersionInfo(u"Space Game")));
  EXPECT_EQ(ReadFileDescription(dir.Path("game.exe")), "Space Game");
  EXPECT_EQ(ReadFileDescription(dir.Path("missing.exe")), std::nullopt);
}

}  // namespace
}  // namespace quorix
