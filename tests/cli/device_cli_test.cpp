// list, info, read, write and --trace on the simulated mouse.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using test::CliRun;
using test::SplitLines;

CliRun Cli(const std::vector<std::string>& args) { return test::RunCommand(args); }

// True when line is `prefix` followed by `count` bytes, each " xx" in
// lower-case hex.
bool IsHexLine(const std::string& line, const std::string& prefix, size_t count) {
  if (line.size() != prefix.size() + 3 * count || line.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < line.size(); i += 3) {
    auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    if (line[i] != ' ' || !hex(line[i + 1]) || !hex(line[i + 2])) return false;
  }
  return true;
}

void ExpectOneLineError(const CliRun& run) {
  EXPECT_NE(run.status, 0);
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(SplitLines(run.err).size(), 1u) << run.err;
}

class DeviceCliTest : public ::testing::Test {
 protected:
  std::string State() const { return dir_.Path("mouse.state"); }
  test::TempDir dir_;
};

TEST_F(DeviceCliTest, ListShowsTheConfigurationInterfaceOfEachLevel) {
  for (const auto& [option, level] : std::vector<std::pair<std::string, std::string>>{
           {"--simulate", "level 11"}, {"--simulate=level5", "level 5"}, {"--simulate=level0", "level 0"}}) {
    const CliRun run = Cli({option, "list"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(SplitLines(run.out).size(), 1u) << run.out;
    EXPECT_NE(run.out.find("mi_01"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(level + " "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("firmware 1"), std::string::npos) << run.out;
  }
  const CliRun two = Cli({"--simulate", "--sim-option", "second-mouse", "list"});
  ASSERT_EQ(two.status, 0) << two.err;
  EXPECT_EQ(SplitLines(two.out).size(), 2u) << two.out;
}

TEST_F(DeviceCliTest, InfoShowsIdentificationStatusCountsAndMemoryEnd) {
  const CliRun run = Cli({"--simulate", "info"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* line : {"protocol level: 11", "profiles: 5", "levels: 4", "memory end: 8191", "table select: 7"}) {
    EXPECT_NE(run.out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << run.out;
  }
}

TEST_F(DeviceCliTest, WriteThenReadThroughTheStateFile) {
  const CliRun write = Cli({"--simulate", "--sim-state", State(), "write", "0x100", "0a0B0c", "ff"});
  ASSERT_EQ(write.status, 0) << write.err;
  EXPECT_TRUE(write.out.empty());

  const CliRun read = Cli({"--simulate", "--sim-state", State(), "read", "0x0fe", "20"});
  ASSERT_EQ(read.status, 0) << read.err;
  const auto lines = SplitLines(read.out);
  ASSERT_EQ(lines.size(), 2u) << read.out;
  EXPECT_EQ(lines[0].substr(0, 19), "0x00fe: 00 00 0a 0b");
  EXPECT_EQ(lines[0].substr(19, 6), " 0c ff");
  EXPECT_TRUE(IsHexLine(lines[0], "0x00fe:", 16)) << lines[0];
  EXPECT_TRUE(IsHexLine(lines[1], "0x010e:", 4)) << lines[1];
}

TEST_F(DeviceCliTest, TraceShowsEachExchangeAsHexLines) {
  const CliRun run = Cli({"--simulate", "--trace", "read", "256", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  bool sawRead = false;
  bool sawAnswer = false;
  for (const std::string& line : SplitLines(run.err)) {
    EXPECT_TRUE(IsHexLine(line, "<", 64) || IsHexLine(line, ">", 64)) << line;
    sawRead = sawRead || line.rfind("> 01 02 00 01 00", 0) == 0;
    sawAnswer = sawAnswer || line.rfind("< 01 02 ", 0) == 0;
  }
  EXPECT_TRUE(sawRead) << run.err;
  EXPECT_TRUE(sawAnswer) << run.err;

  const CliRun quiet = Cli({"--simulate", "read", "256", "1"});
  EXPECT_TRUE(quiet.err.empty()) << quiet.err;
}

TEST_F(DeviceCliTest, FaultyMiceGiveACleanErrorNeverMadeUpZeros) {
  ASSERT_EQ(Cli({"--simulate", "--sim-state", State(), "write", "0x100", "aabbccdd"}).status, 0);
  const CliRun healthy = Cli({"--simulate", "--sim-state", State(), "read", "0x100", "4"});
  EXPECT_EQ(healthy.out, "0x0100: aa bb cc dd\n");

  // Always busy, never answering, garbage, or gone part-way: one error line
  // and no dump. The simulated world keeps virtual time, so the poll limits
  // cost no waiting.
  for (const char* fault : {"busy", "silent", "odd-answers", "unplug-after=0", "unplug-after=3"}) {
    const auto started = std::chrono::steady_clock::now();
    const CliRun run = Cli({"--simulate", "--sim-state", State(), "--sim-option", fault, "read", "0x100", "130"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << fault;
    EXPECT_NE(run.status, 0) << fault;
    EXPECT_EQ(run.out, "") << fault;
    ExpectOneLineError(run);
  }
}

TEST_F(DeviceCliTest, BadArgumentsAreOneLineErrors) {
  ExpectOneLineError(Cli({"--simulate", "read", "0x100"}));
  ExpectOneLineError(Cli({"--simulate", "read", "0x100", "0"}));
  ExpectOneLineError(Cli({"--simulate", "read", "zz", "4"}));
  ExpectOneLineError(Cli({"--simulate", "write", "0x100"}));
  ExpectOneLineError(Cli({"--simulate", "write", "0x100", "0g"}));
  ExpectOneLineError(Cli({"--simulate", "write", "0x100", "abc"}));
  ExpectOneLineError(Cli({"--simulate", "write", "0xffffff", "0102"}));
  ExpectOneLineError(Cli({"--simulate", "list", "extra"}));
  // Above level 0 addresses are 16 bits: 0x10000 would land on address 0.
  ExpectOneLineError(Cli({"--simulate", "read", "0x10000", "1"}));
  ExpectOneLineError(Cli({"--simulate", "read", "0xfff0", "17"}));
  const CliRun signature = Cli({"--simulate", "--sim-state", State(), "read", "0", "1"});
  ExpectOneLineError(Cli({"--simulate", "--sim-state", State(), "write", "0x10000", "00"}));
  EXPECT_EQ(Cli({"--simulate", "--sim-state", State(), "read", "0", "1"}).out, signature.out);
  EXPECT_EQ(signature.out, "0x0000: 12\n");
  EXPECT_EQ(Cli({"--simulate=level0", "read", "0x10000", "1"}).status, 0);

  // A rejected write leaves the memory as it was.
  const CliRun before = Cli({"--simulate", "--sim-state", State(), "read", "0x100", "2"});
  Cli({"--simulate", "--sim-state", State(), "write", "0x100", "0102", "0x"});
  const CliRun after = Cli({"--simulate", "--sim-state", State(), "read", "0x100", "2"});
  EXPECT_EQ(before.out, after.out);
}

// monitor prints what the event pump delivers; the simulated user's presses
// come 100 ms apart once it listens, and an unplug is followed by a rescan.
TEST_F(DeviceCliTest, MonitorPrintsPressesRemovalsAndRescans) {
  // The request that finds the mouse gone is the first after identification
  // (the host marker), so the mouse is current when it goes.
  const CliRun list = Cli({"--simulate", "--trace", "list"});
  size_t identification = 0;
  for (const std::string& line : SplitLines(list.err)) identification += line.rfind(">", 0) == 0;
  ASSERT_GT(identification, 0u);
  const std::string unplug = "unplug-after=" + std::to_string(identification);
  const std::string mouse = "sim#vid_3a5c&pid_0139&mi_01#mouse1";
  const std::string pointing = "sim#vid_3a5c&pid_0139&mi_00#mouse1";

  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> lines;  // empty: a one-line error
  };
  const std::vector<Case> cases = {
      {{"--sim-option", "press=dpi-up", "monitor", "--count", "2"},
       {"rescan", "device path=" + mouse, "state path=" + mouse + " profile=0 level=1 x=40 y=40 flags=0"}},
      {{"--sim-option", "press=dpi-down,wheel-right", "--sim-option", "press=profile-prev,open", "monitor", "--json",
        "--count", "5"},
       {"{\"event\": \"rescan\"}", "{\"event\": \"device\", \"path\": \"" + mouse + "\"}",
        // Down from the first level is the last the mouse counts (four).
        "{\"event\": \"state\", \"path\": \"" + mouse + "\", \"profile\": 0, \"level\": 3, \"x\": 160, \"y\": 160, \"flags\": 0}",
        "{\"event\": \"wheel\", \"path\": \"" + mouse + "\", \"steps\": 1}",
        "{\"event\": \"state\", \"path\": \"" + mouse + "\", \"profile\": 4, \"level\": 3, \"x\": 160, \"y\": 160, \"flags\": 0}",
        "{\"event\": \"open\", \"path\": \"" + mouse + "\", \"value\": 1}"}},
      {{"--sim-option", unplug, "monitor", "--count", "4"},
       {"rescan", "device path=" + mouse, "removal path=" + pointing + " current=false",
        "removal path=" + mouse + " current=true", "rescan", "no-device"}},
      {{"monitor", "--count", "0"}, {}},
      {{"monitor", "--loud"}, {}},
      {{"--sim-option", "press=dpi-sideways", "monitor"}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--simulate"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Cli(args);
    SCOPED_TRACE(args.back() + " " + run.err);
    if (c.lines.empty()) {
      ExpectOneLineError(run);
    } else {
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(SplitLines(run.out), c.lines);
    }
  }
}

}  // namespace
}  // namespace quorix
