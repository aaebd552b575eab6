#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "base/text_encoding.h"
#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using Result = test::CliRun;
using test::RunCommand;

std::map<std::string, std::string> Lines(const std::string& text) {
  std::map<std::string, std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    EXPECT_NE(eq, std::string::npos) << line;
    EXPECT_TRUE(lines.emplace(line.substr(0, eq), line.substr(eq + 1)).second) << line;
  }
  return lines;
}

TEST(TextsCli, EnglishDefaultsWithEscapes) {
  test::TempDir dir;
  const Result r = RunCommand({"texts", "--lang", "1033", "--language-file", QUORIX_SOURCE_DATA_DIR "/language.ini"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  EXPECT_EQ(lines.at("type_str0"), "Default");
  EXPECT_EQ(lines.at("button_str51"), "Customize");
  EXPECT_EQ(lines.at("button_tip_str59"), "");
  EXPECT_EQ(lines.count("button_tip_str60"), 0u);
  EXPECT_EQ(lines.at("upgrade_str0"),
            "New firmware available, need to upgrade now.\\r\\nCAUTION!! Don't plugin more than one mouse.");
  EXPECT_EQ(lines.at("adjust_lift_str12"), "Adjust Success !!");
  EXPECT_EQ(lines.at("consumer_key_str13"), "Fast Forward");
  EXPECT_EQ(r.out.substr(0, 18), "type_str0=Default\n");
}

TEST(TextsCli, LanguageFileEdgeCases) {
  test::TempDir dir;
  const std::string text =
      "[1041]\r\nBUTTON_STR47=X\r\nmsg_str10=No\\ndevice\r\nend_str=\r\nupgrade_str3=@_NOSTR_\r\n"
      "button_tip_str60=ignored\r\nmsg_str0=a\\\\b\r\n[1041]\r\nversion_str=second section\r\n";
  test::WriteFile(dir.Path("language.ini"), "\xFF\xFE" + Utf8ToUtf16Le(text));
  const Result ja = RunCommand({"texts", "--lang=1041", "--language-file", dir.Path("language.ini")});
  ASSERT_EQ(ja.status, 0) << ja.err;
  const auto lines = Lines(ja.out);
  EXPECT_EQ(lines.at("button_str47"), "X");
  EXPECT_EQ(lines.at("msg_str10"), "No\\ndevice");  // a real line feed, printed escaped
  EXPECT_EQ(lines.at("msg_str0"), "a\\\\\\\\b");   // two literal backslashes, each doubled
  EXPECT_EQ(lines.at("end_str"), "");
  EXPECT_EQ(lines.at("upgrade_str3"), "Upgrade finish.");
  EXPECT_EQ(lines.at("version_str"), "Software version");
  const Result en = RunCommand({"texts", "--lang", "1033", "--language-file", dir.Path("language.ini")});
  EXPECT_EQ(Lines(en.out).at("button_str47"), "Breathe");
}

TEST(TextsCli, ShippedTranslations) {
  const Result en = RunCommand({"texts", "--lang", "1033"});
  const Result ja = RunCommand({"texts", "--lang", "1041"});
  const Result zh = RunCommand({"texts", "--lang", "1028"});
  ASSERT_EQ(ja.status, 0) << ja.err;
  ASSERT_EQ(zh.status, 0) << zh.err;
  const auto english = Lines(en.out), japanese = Lines(ja.out), chinese = Lines(zh.out);
  EXPECT_EQ(japanese.at("button_str0"), "ボタン設定");
  EXPECT_EQ(chinese.at("button_str0"), "按鍵設定");
  for (const auto& [key, text] : english) {
    if (text.empty()) continue;
    EXPECT_FALSE(japanese.at(key).empty()) << key;
    EXPECT_FALSE(chinese.at(key).empty()) << key;
  }
}

TEST(TextsCli, Errors) {
  EXPECT_EQ(RunCommand({"texts", "--lang", "abc"}).status, 1);
  EXPECT_EQ(RunCommand({"texts", "--language-file", "/nonexistent/language.ini", "--lang", "1041"}).status, 1);
  EXPECT_EQ(RunCommand({"texts", "--bogus", "1"}).status, 1);
  EXPECT_EQ(RunCommand({"texts", "--lang"}).status, 1);
}

TEST(OptionsCli, ShowDefaultsThenSetWritesEveryKey) {
  test::TempDir dir;
  const std::string data = dir.Path("data");
  Result show = RunCommand({"options", "show", "--data-dir", data});
  ASSERT_EQ(show.status, 0) << show.err;
  auto lines = Lines(show.out);
  EXPECT_EQ(lines.at("osd"), "1");
  EXPECT_EQ(lines.at("disable_acc"), "1");
  EXPECT_EQ(lines.at("hotkey"), "68");
  EXPECT_EQ(lines.at("app_name4"), "Profile 5");
  EXPECT_EQ(lines.at("language"), "1033");
  EXPECT_FALSE(std::filesystem::exists(data));  // showing writes nothing

  ASSERT_EQ(RunCommand({"options", "set", "app_name1", "Office", "--data-dir", data}).status, 0);
  const std::string file = test::ReadFile(data + "/set.ini");
  for (const std::string key : {"osd=", "disable_acc=", "hotkey=", "hotkeym=", "app_enable0=", "app0=",
                                "app_name0=Profile 1", "app_name1=Office", "app_enable4=", "app4=", "app_name4="}) {
    EXPECT_NE(file.find("\n" + key), std::string::npos) << key;
  }
  EXPECT_TRUE(std::filesystem::is_directory(data + "/Favorite"));
  ASSERT_EQ(RunCommand({"options", "set", "language", "1041", "--data-dir", data}).status, 0);
  show = RunCommand({"options", "show", "--data-dir=" + data});
  lines = Lines(show.out);
  EXPECT_EQ(lines.at("app_name1"), "Office");
  EXPECT_EQ(lines.at("language"), "1041");
  // texts without --lang follows set.ini.
  EXPECT_EQ(Lines(RunCommand({"texts", "--data-dir", data}).out).at("button_str0"), "ボタン設定");
}

TEST(OptionsCli, ReadsEdgeCasesOfHandWrittenFiles) {
  test::TempDir dir;
  test::WriteFile(dir.Path("set.ini"),
                  "osd=0\r\n[arg]\r\n  OSD = \"0\" \r\nosd=1\r\nhotkey=0x41\r\napp_name2=@_NOSTR_\r\n"
                  "app3=C:\\Games\\Run.exe\r\n[ARG]\r\ndisable_acc=0\r\n");
  const auto lines = Lines(RunCommand({"options", "show", "--data-dir", dir.Root().string()}).out);
  EXPECT_EQ(lines.at("osd"), "0");
  EXPECT_EQ(lines.at("hotkey"), "65");
  EXPECT_EQ(lines.at("disable_acc"), "1");  // only the first [ARG] counts
  EXPECT_EQ(lines.at("app_name2"), "Profile 3");
  EXPECT_EQ(lines.at("app3"), "C:\\Games\\Run.exe");
  EXPECT_EQ(lines.at("app_name3"), "Run");
}

TEST(OptionsCli, SetKeepsTheCodePageOfAWindowsSavedFile) {
  test::TempDir dir;
  const std::string setIni = dir.Path("set.ini");
  const std::string original = "[ARG]\r\nlanguage=1041\r\napp_name0=\x83\x65\x83\x58\x83\x67\r\n";
  test::WriteFile(setIni, original);
  EXPECT_EQ(Lines(RunCommand({"options", "show", "--data-dir", dir.Root().string()}).out).at("app_name0"), "テスト");
  const Result refused = RunCommand({"options", "set", "app_name1", "Crème", "--data-dir", dir.Root().string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("\"è\" cannot be stored"), std::string::npos) << refused.err;
  EXPECT_EQ(test::ReadFile(setIni), original);
  ASSERT_EQ(RunCommand({"options", "set", "app_name1", "ゲーム", "--data-dir", dir.Root().string()}).status, 0);
  EXPECT_NE(test::ReadFile(setIni).find("app_name1=\x83\x51\x81\x5B\x83\x80\r\n"), std::string::npos);
}

TEST(OptionsCli, Errors) {
  test::TempDir dir;
  const std::string data = dir.Path("data");
  EXPECT_EQ(RunCommand({"options", "set", "bogus", "1", "--data-dir", data}).status, 1);
  EXPECT_EQ(RunCommand({"options", "set", "osd", "on", "--data-dir", data}).status, 1);
  EXPECT_EQ(RunCommand({"options", "set", "language", "x", "--data-dir", data}).status, 1);
  EXPECT_EQ(RunCommand({"options", "set", "app_name0", "a\nb", "--data-dir", data}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(data));
  EXPECT_EQ(RunCommand({"options", "set", "osd", "--data-dir", data}).status, 1);
  EXPECT_EQ(RunCommand({"options", "frobnicate"}).status, 1);
  const Result r = RunCommand({"options"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usage"), std::string::npos);
}

// set.ini and language files that cannot be read or written end the command
// with the path and the reason instead of quietly using the defaults.
TEST(OptionsCli, FilesThatCannotBeReadOrWrittenSayWhy) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const bool permissionsApply = test::FolderPermissionsApply(dir);
  const std::string folderIni = dir.Path("folder-ini");     // set.ini is a folder
  fs::create_directories(folderIni + "/set.ini");
  const std::string lockedIni = dir.Path("locked-ini");     // set.ini without read permission
  test::WriteFile(lockedIni + "/set.ini", "[ARG]\nosd=0\n");
  fs::permissions(lockedIni + "/set.ini", fs::perms::none, fs::perm_options::replace);
  const std::string readOnly = dir.Path("read-only");       // a data folder without write permission
  test::WriteFile(readOnly + "/set.ini", "[ARG]\nosd=0\n");
  fs::create_directories(readOnly + "/Favorite");
  const std::string bare = dir.Path("bare");                // the same, still without its Favorite folder
  fs::create_directories(bare);
  const std::string linkedIni = dir.Path("linked-ini");     // set.ini links into a missing folder
  fs::create_directories(linkedIni);
  fs::create_symlink(dir.Path("gone/set.ini"), linkedIni + "/set.ini");
  test::WriteFile(dir.Path("plain.txt"), "x");
  for (const std::string& folder : {readOnly, bare}) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  }

  const struct {
    std::vector<std::string> args;
    std::string error;
    bool runs;
  } cases[] = {
      {{"options", "show", "--data-dir", folderIni}, "cannot read " + folderIni + "/set.ini: is a directory", true},
      {{"options", "set", "osd", "1", "--data-dir", folderIni}, "cannot read " + folderIni + "/set.ini: is a directory",
       true},
      {{"texts", "--data-dir", folderIni}, "cannot read " + folderIni + "/set.ini: is a directory", true},
      {{"options", "show", "--data-dir", lockedIni}, "cannot read " + lockedIni + "/set.ini: permission denied",
       permissionsApply},
      {{"options", "set", "osd", "1", "--data-dir", readOnly},
       "cannot write " + readOnly + "/set.ini: permission denied", permissionsApply},
      {{"options", "set", "osd", "1", "--data-dir", bare}, "cannot set up the data folder " + bare + "/: permission denied",
       permissionsApply},
      {{"options", "set", "language", "1041", "--data-dir", linkedIni},
       "cannot write " + linkedIni + "/set.ini: no such file or directory", true},
      {{"options", "set", "osd", "1", "--data-dir", linkedIni},
       "cannot write " + linkedIni + "/set.ini: no such file or directory", true},
      {{"options", "show", "--data-dir", dir.Path("plain.txt")}, "--data-dir " + dir.Path("plain.txt") + " is not a folder",
       true},
      {{"options", "show", "--data-dir="}, "--data-dir needs a folder", true},
      {{"texts", "--lang", "1033", "--language-file", lockedIni + "/set.ini"},
       "cannot read language file " + lockedIni + "/set.ini: permission denied", permissionsApply},
      {{"texts", "--lang", "1033", "--language-file", dir.Path("none.ini")},
       "cannot read language file " + dir.Path("none.ini") + ": no such file or directory", true},
  };
  for (const auto& c : cases) {
    if (!c.runs) continue;
    const Result r = RunCommand(c.args);
    EXPECT_EQ(r.status, 1) << c.error;
    EXPECT_EQ(r.err, "quorix-mousectl: " + c.error + "\n");
  }
  EXPECT_EQ(test::ReadFile(readOnly + "/set.ini"), "[ARG]\nosd=0\n");
  for (const std::string& folder : {readOnly, bare}) fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
  // A set.ini that is missing is still the defaults.
  EXPECT_EQ(Lines(RunCommand({"options", "show", "--data-dir", dir.Path("new")}).out).at("osd"), "1");
}

}  // namespace
}  // namespace quorix
