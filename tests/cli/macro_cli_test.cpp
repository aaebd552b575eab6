#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>

#include "cli/cli.h"
#include "macro/macro_file.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using test::CliRun;

CliRun Cli(const std::vector<std::string>& args) { return test::RunCommand(args); }

std::string Golden(const std::string& name) {
  return std::string(QUORIX_SOURCE_DATA_DIR) + "/../tests/macro/data/" + name;
}

TEST(DescribeCli, ReproducesTheFunctionTexts) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"4", "3", "0", "0"}, "Left clickRight click"},
      {{"4", "1", "1", "0"}, "Scroll up"},
      {{"4", "0", "0", "0"}, "No function"},
      {{"15", "8", "8", "0"}, "DPI firekey\n[X:400 , Y:400]"},
      {{"15", "0", "0xFF", "0"}, "Lock X-axis"},
      {{"27", "5", "3", "0"}, "Fire button (30ms)"},
      {{"27", "5", "3", "2"}, "Left click Wheel click x2"},
      {{"24", "1", "4", "5"}, "[AS] Ctrl + A / Ctrl + B"},
      {{"36", "2", "0", "1"}, "Profile 3"},
      {{"10", "10", "0", "255"}, "Tilt right"},
      {{"8", "0x40", "0x01", "0"}, "Macro "},
      {{"6", "0xE2", "0", "0"}, "Mute"},
  };
  for (const auto& [bytes, text] : cases) {
    std::vector<std::string> args = {"describe"};
    args.insert(args.end(), bytes.begin(), bytes.end());
    CliRun run = Cli(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, text + "\n") << bytes[0];
  }
  EXPECT_EQ(Cli({"describe", "15", "8", "8", "0", "--step", "100"}).out, "DPI firekey\n[X:800 , Y:800]\n");
  CliRun bad = Cli({"describe", "256", "0", "0", "0"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("TYPE"), std::string::npos);
  EXPECT_EQ(Cli({"describe", "4", "1"}).status, 1);
}

TEST(MfShowCli, PrintsHeaderAndEveryInstruction) {
  CliRun run = Cli({"mf", "show", Golden("v61_tap.mf")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "version: _@_MF6.1_\n"
            "time: 1767225600 (2026-01-01 00:00:00 UTC)\n"
            "name: Tap A\n"
            "mode: 9 (Loop mode)\n"
            "length: 6\n"
            "instructions: 3\n"
            "   1  83 04           Press & hold Keyboard  A\n"
            "   2  88 32           Wait 50 ms\n"
            "   3  84 04           Release Keyboard  A\n");
  CliRun cut = Cli({"mf", "show", Golden("v62_zero_inside.mf")});
  EXPECT_NE(cut.out.find("instructions: 2\n"), std::string::npos);
  EXPECT_NE(cut.out.find("(body ends at a 0x00 byte at offset 2)"), std::string::npos);
  CliRun all = Cli({"mf", "show", Golden("all_forms.mf")});
  EXPECT_NE(all.out.find("C0 FF FF 0A 00  Mouse Move to (-1 , 10)"), std::string::npos);
  EXPECT_NE(all.out.find("Release Consumer-key"), std::string::npos);
}

// Points the documents and program folders at a test's own folders for as
// long as it lives.
class ScopedFolders {
 public:
  explicit ScopedFolders(const test::TempDir& dir) {
    Set("HOME", dir.Path("home"));
    Set("XDG_CONFIG_HOME", dir.Path("home/.config"));
    Set("QUORIX_DATA_DIR", dir.Path("program"));
  }
  ~ScopedFolders() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  void Set(const std::string& name, const std::string& value) {
    const char* old = getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(MfShowCli, TextsFollowTheStoredLanguage) {
  test::TempDir dir;
  ScopedFolders folders(dir);
  test::WriteFile(dir.Path("program/language.ini"), "[1041]\nmacro_str10=押す  %s\nbutton_str16=ループ\n");
  const std::string setIni = dir.Path("home/Documents/QUORIX Gaming Mouse Software/set.ini");
  test::WriteFile(setIni, "[ARG]\nlanguage=1041\n");
  const CliRun ja = Cli({"mf", "show", Golden("v61_tap.mf")});
  EXPECT_NE(ja.out.find("mode: 9 (ループ)\n"), std::string::npos) << ja.out;
  EXPECT_NE(ja.out.find("83 04           押す  A\n"), std::string::npos) << ja.out;
  test::WriteFile(setIni, "[ARG]\nlanguage=1033\n");
  EXPECT_NE(Cli({"mf", "show", Golden("v61_tap.mf")}).out.find("mode: 9 (Loop mode)\n"), std::string::npos);
}

TEST(MfShowCli, RejectsBadFiles) {
  CliRun bad = Cli({"mf", "show", Golden("bad_version.mf")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("invalid format !! (" + Golden("bad_version.mf") + ")\n"), std::string::npos) << bad.err;
  EXPECT_EQ(Cli({"mf", "show", Golden("nine_bytes.mf")}).status, 1);
  EXPECT_EQ(Cli({"mf", "show", Golden("truncated_body.mf")}).status, 1);
  EXPECT_EQ(Cli({"mf", "show", "/no/such/file.mf"}).status, 1);
  EXPECT_EQ(Cli({"mf", "list"}).status, 1);
}

// A name field the mouse says is 100 bytes long, all 0xFF (an erased or
// half-written record), gives the longest name a row can hold: 50 U+FFFF,
// 150 bytes. The row and the list still end whole.
TEST(MacroCli, ListEndsEveryRowWithItsNewlineWhateverTheName) {
  test::TempDir dir;
  const std::vector<std::string> sim = {"--simulate", "--sim-state", dir.Path("mouse.state")};
  auto with = [&sim](std::vector<std::string> args) {
    args.insert(args.begin(), sim.begin(), sim.end());
    return Cli(args);
  };
  ASSERT_EQ(with({"macro", "import", Golden("v62_tap.mf"), "5", "--mode", "fire"}).status, 0);
  // The record starts at 1360: its name-length byte, then the name.
  ASSERT_EQ(with({"write", "1360", "64" + std::string(200, 'f')}).status, 0);
  const CliRun list = with({"macro", "list"});
  ASSERT_EQ(list.status, 0) << list.err;
  std::string longName;
  for (int i = 0; i < 50; ++i) longName += "\xEF\xBF\xBF";
  EXPECT_NE(list.out.find("\n5     " + longName + " 10    1360   40     1461\nfree memory: "), std::string::npos)
      << list.out;
  ASSERT_FALSE(list.out.empty());
  EXPECT_EQ(list.out.back(), '\n');
}

TEST(MacroCli, ImportListShowExportDeleteOnTheSimulatedMouse) {
  test::TempDir dir;
  const std::vector<std::string> sim = {"--simulate", "--sim-state", dir.Path("mouse.state")};
  auto with = [&sim](std::vector<std::string> args) {
    args.insert(args.begin(), sim.begin(), sim.end());
    return Cli(args);
  };
  CliRun empty = with({"macro", "list"});
  ASSERT_EQ(empty.status, 0) << empty.err;
  EXPECT_NE(empty.out.find("free memory: "), std::string::npos);

  CliRun stored = with({"macro", "import", Golden("v62_tap.mf"), "5", "--mode", "fire", "--name", "Tapper"});
  ASSERT_EQ(stored.status, 0) << stored.err;
  EXPECT_NE(stored.out.find("stored \"Tapper\" in slot 5 at 1360, length 40"), std::string::npos);

  CliRun list = with({"macro", "list"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("5     Tapper           10    1360   40     1393"), std::string::npos) << list.out;

  CliRun show = with({"macro", "show", "5"});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("mode: 10 (Firekey mode)"), std::string::npos);
  EXPECT_NE(show.out.find("   2  88 32           Wait 50 ms\n"), std::string::npos);

  const std::string exported = dir.Path("out.mf");
  ASSERT_EQ(with({"macro", "export", "5", exported}).status, 0);
  const MacroFileRead read = ReadMacroFile(exported);
  ASSERT_TRUE(read.file) << read.file.detail();
  const MacroFile& file = *read.file;
  EXPECT_EQ(file.header.version, "_@_MF6.2_");
  EXPECT_EQ(file.header.name, "Tapper");
  EXPECT_EQ(file.header.mode, 10);
  EXPECT_EQ(file.body, (std::vector<uint8_t>{0x83, 0x04, 0x88, 0x32, 0x84, 0x04}));

  ASSERT_EQ(with({"macro", "delete", "5"}).status, 0);
  EXPECT_EQ(with({"macro", "show", "5"}).status, 1);
  EXPECT_EQ(with({"macro", "delete", "80"}).status, 1);
  EXPECT_EQ(with({"macro", "import", Golden("v62_tap.mf"), "1", "--mode", "twice"}).status, 1);
}

// The file's body stops at an unknown opcode after 2 of its 5 bytes.
TEST(MacroCli, ImportOfAFileWithAnUnknownInstructionWarnsOrRefuses) {
  const struct {
    bool strict;
    int status;
    std::string err;
  } cases[] = {
      {false, 0,
       "warning: " + Golden("invalid_opcode.mf") +
           ": stopped at an unknown instruction 0x02 at byte 2 of 5: only the first 2 bytes are stored\n"},
      {true, 1,
       Golden("invalid_opcode.mf") +
           ": stopped at an unknown instruction 0x02 at byte 2 of 5; nothing stored (--strict)\n"},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    std::vector<std::string> args = {
        "--simulate", "--sim-state", dir.Path("mouse.state"), "macro", "import", Golden("invalid_opcode.mf"), "3"};
    if (c.strict) args.push_back("--strict");
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err, "quorix-mousectl: " + c.err);
    const CliRun show = Cli({"--simulate", "--sim-state", dir.Path("mouse.state"), "macro", "show", "3"});
    EXPECT_EQ(show.status, c.status == 0 ? 0 : 1) << show.err;
    if (c.status == 0) {
      EXPECT_NE(show.out.find("instructions: 2\n"), std::string::npos) << show.out;
    }
  }
  // A file whose body simply ends is stored without a word, also with --strict.
  const CliRun clean = Cli({"--simulate", "macro", "import", Golden("v62_tap.mf"), "1", "--strict"});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.err, "");
}

TEST(MacroCli, LackOfSpaceIsAFailure) {
  test::TempDir dir;
  // A body of 60000 bytes fits the file format but not the mouse's memory.
  std::vector<MacroItem> items(30000, WaitItem(1));
  ASSERT_TRUE(WriteMacroFile(dir.Path("huge.mf"), "huge", 8, items, 0));
  CliRun run = Cli({"--simulate", "macro", "import", dir.Path("huge.mf"), "0"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Lack of space !! (" + dir.Path("huge.mf") + ")\n"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quorix
