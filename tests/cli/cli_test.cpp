// Argument checks shared by every command.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

TEST(ParseNumber, DecimalAndHexWithinTheRange) {
  EXPECT_EQ(ParseNumber("42", 0, 100, "n"), 42);
  EXPECT_EQ(ParseNumber("-3", -5, 5, "n"), -3);
  EXPECT_EQ(ParseNumber("0x1F", 0, 100, "n"), 31);
  EXPECT_EQ(ParseNumber("0Xff", 0, 255, "n"), 255);
}

TEST(ParseNumber, RejectsAnythingButDigits) {
  for (const std::string text : {"", "0x", "0x-5", "0x 5", "0x+5", " 5", "+5", "5 ", "12ab", "0xfg", "-", "1e3"}) {
    EXPECT_THROW(ParseNumber(text, -100, 100, "n"), CliError) << "\"" << text << "\"";
  }
}

TEST(ParseNumber, OutOfRangeNamesTheRange) {
  try {
    ParseNumber("0x100", 0, 255, "flags");
    FAIL() << "0x100 accepted for 0..255";
  } catch (const CliError& e) {
    EXPECT_EQ(e.message, "flags out of range (0..255): 0x100");
  }
  EXPECT_THROW(ParseNumber("99999999999999999999", 0, 10, "n"), CliError);
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

// Every command and subcommand answers --help with its own forms, and a
// wrong argument count with the same text.
TEST(CommandHelp, EveryFormAnswersHelpAndUsageErrorsWithItself) {
  const CommandRegistry registry = AllCommands();
  // The subcommand of a form: its second word when lower case ("set dpi"),
  // else none (capitals and options are arguments: "read ADDR LEN").
  auto subOf = [](const std::string& form) {
    const size_t start = form.find(' ');
    if (start == std::string::npos || form[start + 1] < 'a' || form[start + 1] > 'z') return std::string();
    return form.substr(start + 1, form.find(' ', start + 1) - start - 1);
  };
  size_t forms = 0;
  for (const CommandSpec& command : registry.Commands()) {
    for (const std::string& form : command.forms) {
      ++forms;
      const std::string sub = subOf(form);
      std::vector<std::string> args = {command.name};
      if (!sub.empty()) args.push_back(sub);
      args.push_back("--help");
      const test::CliRun help = test::RunCommand(args);
      EXPECT_EQ(help.status, 0) << form;
      EXPECT_TRUE(Has(help.out, "quorix-mousectl [GLOBAL OPTIONS] " + form + "\n")) << form << "\n" << help.out;
      EXPECT_TRUE(Has(help.out, command.summary)) << form;
      for (const std::string& other : command.forms) {
        if (!sub.empty() && subOf(other) != sub) {
          EXPECT_FALSE(Has(help.out, other)) << form << " shows " << other;
        }
      }
    }
  }
  EXPECT_GE(forms, 25u);

  const struct {
    std::vector<std::string> args;
    std::string usage;
  } wrong[] = {
      {{"set", "dpi", "1"}, "usage: set dpi LEVEL X Y\n"},
      {{"set", "profile"}, "usage: set profile N\n"},
      {{"lift", "set"}, "usage: lift set VALUE\n"},
      {{"read", "0"}, "usage: read ADDR LEN\n"},
      {{"mf"}, "usage: mf show FILE.mf\n"},
      {{"options", "show", "extra"}, "usage: options show [--data-dir DIR]\n"},
      {{"lighting", "bogus"}, "usage: lighting show | lighting effect N | "},
  };
  for (const auto& w : wrong) {
    const test::CliRun run = test::RunCommand(w.args);
    EXPECT_EQ(run.status, 1) << w.usage;
    EXPECT_TRUE(Has(run.err, "quorix-mousectl: " + w.usage)) << run.err;
  }
}

TEST(GlobalOptions, EmptyNegativeAndOutOfRangeValuesAreRefused) {
  const struct {
    std::vector<std::string> args;
    std::string error;  // "" when the command runs
  } cases[] = {
      {{"--device=", "list"}, "--device needs a value, not an empty one"},
      {{"--device", "", "list"}, "--device needs a value, not an empty one"},
      {{"--simulate", "--sim-state", "", "list"}, "--sim-state needs a value, not an empty one"},
      {{"--vendor-id", "-1", "list"}, "vendor ID out of range (0..FFFF): -1"},
      {{"--vendor-id", "0x-1", "list"}, "vendor ID out of range (0..FFFF): 0x-1"},
      {{"--vendor-id", "10000", "list"}, "vendor ID out of range (0..FFFF): 10000"},
      {{"--vendor-id", "0x", "list"}, "invalid vendor ID (a hex number 0..FFFF): 0x"},
      {{"--vendor-id", "12g", "list"}, "invalid vendor ID (a hex number 0..FFFF): 12g"},
      {{"--simulate", "--vendor-id", "0x0000fFfF", "list"}, ""},
  };
  for (const auto& c : cases) {
    const test::CliRun run = test::RunCommand(c.args);
    if (c.error.empty()) {
      EXPECT_EQ(run.status, 0) << run.err;
    } else {
      EXPECT_EQ(run.status, 1) << c.error;
      EXPECT_EQ(run.err, "quorix-mousectl: " + c.error + "\n");
    }
  }
  EXPECT_TRUE(Has(test::RunCommand({"--simulate", "--vendor-id", "1234", "info"}).out, "vendor id: 0x1234\n"));
}

// --trace-file keeps the same exchanges --trace prints, whether or not
// --trace is given too, and a file that cannot be written stops the command
// before the mouse is asked anything.
TEST(GlobalOptions, TraceFileHoldsTheExchangesTraceShows) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  const std::string file = dir.Path("trace.txt");
  const test::CliRun both = test::RunCommand({"--simulate", "--sim-state", state, "--trace", "--trace-file", file, "info"});
  ASSERT_EQ(both.status, 0) << both.err;
  const std::string written = ReadText(file);
  EXPECT_NE(written.find("> "), std::string::npos);
  EXPECT_NE(written.find("< "), std::string::npos);
  EXPECT_EQ(written, both.err);

  const test::CliRun fileOnly = test::RunCommand({"--simulate", "--sim-state", state, "--trace-file=" + file, "info"});
  ASSERT_EQ(fileOnly.status, 0) << fileOnly.err;
  EXPECT_EQ(fileOnly.err, "");
  EXPECT_EQ(ReadText(file), written);  // rewritten, not appended

  const std::vector<std::string> read = {"--simulate", "--sim-state", state, "read", "14", "1"};
  const std::string before = test::RunCommand(read).out;
  const test::CliRun unwritable = test::RunCommand(
      {"--simulate", "--sim-state", state, "--trace-file", dir.Path("no-folder/trace.txt"), "write", "14", "ff"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_TRUE(Has(unwritable.err, "cannot write the trace file " + dir.Path("no-folder/trace.txt")));
  EXPECT_EQ(test::RunCommand(read).out, before);
}

// A folder given where a file belongs is named as such, whatever command
// reads or writes it.
TEST(FileArguments, AFolderWhereAFileBelongsIsADirectoryError) {
  test::TempDir dir;
  const std::string folder = dir.Root().string();
  const std::vector<std::vector<std::string>> cases = {
      {"--simulate", "backup", folder, "--data-dir", dir.Path("data")},
      {"--simulate", "restore", folder, "--data-dir", dir.Path("data")},
      {"--simulate", "macro", "import", folder, "1"},
      {"mf", "show", folder},
      {"texts", "--lang", "1033", "--language-file", folder},
      {"--simulate", "--sim-state", folder, "list"},
  };
  for (const auto& args : cases) {
    const test::CliRun run = test::RunCommand(args);
    EXPECT_EQ(run.status, 1) << args[1];
    EXPECT_TRUE(Has(run.err, folder + ": is a directory\n")) << run.err;
    EXPECT_EQ(test::SplitLines(run.err).size(), 1u) << run.err;
  }
}

}  // namespace
}  // namespace quorix
