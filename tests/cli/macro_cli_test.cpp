#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "macro/macro_file.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = RunCli(args, out, err, false);
  return {status, out.str(), err.str()};
}

std::string Golden(const std::string& name) { return std::string(QUORIX_SOURCE_DATA_DIR) + "/../tests/macro/data/" + name; }

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

TEST(MfShowCli, RejectsBadFiles) {
  CliRun bad = Cli({"mf", "show", Golden("bad_version.mf")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("invalid format !!"), std::string::npos);
  EXPECT_EQ(Cli({"mf", "show", Golden("nine_bytes.mf")}).status, 1);
  EXPECT_EQ(Cli({"mf", "show", Golden("truncated_body.mf")}).status, 1);
  EXPECT_EQ(Cli({"mf", "show", "/no/such/file.mf"}).status, 1);
  EXPECT_EQ(Cli({"mf", "list"}).status, 1);
}

}  // namespace
}  // namespace quorix
