#include "options/app_display_name.h"

#include <gtest/gtest.h>

#include "pe_test_file.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

TEST(FileNameRule, LastComponentWithoutExtension) {
  EXPECT_EQ(FileNameRule("C:\\Games\\Run.exe"), "Run");
  EXPECT_EQ(FileNameRule("/home/u/.wine/drive_c/Games/Run.EXE"), "Run");
  EXPECT_EQ(FileNameRule("/usr/bin/game"), "game");
  EXPECT_EQ(FileNameRule("/usr/bin/game.sh"), "game");
  EXPECT_EQ(FileNameRule("archive.tar.gz"), "archive.tar");
  // Dots in folders are not extensions, and a leading dot is part of the name.
  EXPECT_EQ(FileNameRule("/home/u/.local/bin/tool"), "tool");
  EXPECT_EQ(FileNameRule("/opt/app.d/run"), "run");
  EXPECT_EQ(FileNameRule("/opt/.hidden"), ".hidden");
  EXPECT_EQ(FileNameRule("Run"), "Run");
}

TEST(DesktopEntryName, MatchesTheExecProgram) {
  const std::string entry =
      "# comment\n[Desktop Entry]\nType=Application\nName=Space Game\nName[ja]=宇宙ゲーム\n"
      "Exec=game --fullscreen %U\n[Desktop Action new]\nName=Other\nExec=/usr/bin/other\n";
  EXPECT_EQ(DesktopEntryName(entry, "/usr/bin/game"), "Space Game");
  EXPECT_EQ(DesktopEntryName(entry, "/usr/bin/gamer"), std::nullopt);
  EXPECT_EQ(DesktopEntryName(entry, "/usr/bin/other"), std::nullopt);  // not the main group
  const std::string full = "[Desktop Entry]\r\nExec=\"/opt/My Game/run\" %f\r\nName=My Game\r\n";
  EXPECT_EQ(DesktopEntryName(full, "/opt/My Game/run"), "My Game");
  EXPECT_EQ(DesktopEntryName(full, "/usr/bin/run"), std::nullopt);  // the Exec names a folder
  EXPECT_EQ(DesktopEntryName("[Desktop Entry]\nExec=game\n", "/usr/bin/game"), std::nullopt);
  EXPECT_EQ(DesktopEntryName("", "/usr/bin/game"), std::nullopt);
}

TEST(AppDisplayName, ExeDesktopAndFileNameRules) {
  test::TempDir dir;
  test::WriteFile(dir.Path("games/run.exe"), test::PeFile(test::VersionInfo(u"Space\r\nGame ")));
  test::WriteFile(dir.Path("games/plain.exe"), "MZ not really");
  test::WriteFile(dir.Path("apps/b.desktop"), "[Desktop Entry]\nName=Second\nExec=tool\n");
  test::WriteFile(dir.Path("apps/a.desktop"), "[Desktop Entry]\nName=First\nExec=tool %u\n");
  test::WriteFile(dir.Path("apps/c.txt"), "[Desktop Entry]\nName=Not an entry\nExec=other\n");
  const std::vector<std::string> folders = {dir.Path("missing"), dir.Path("apps")};

  EXPECT_EQ(AppDisplayName(dir.Path("games/run.exe"), folders), "Space  Game");
  EXPECT_EQ(AppDisplayName(dir.Path("games/plain.exe"), folders), "plain");
  EXPECT_EQ(AppDisplayName(dir.Path("games/gone.exe"), folders), "gone");
  EXPECT_EQ(AppDisplayName("/usr/bin/tool", folders), "First");
  EXPECT_EQ(AppDisplayName("/usr/bin/other", folders), "other");
  EXPECT_EQ(AppDisplayName("/usr/bin/tool", {}), "tool");
}

}  // namespace
}  // namespace quorix
