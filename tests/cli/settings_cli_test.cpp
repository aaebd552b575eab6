#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/archive.h"
#include "cli/cli.h"
#include "session/capabilities.h"
#include "session/models/main_window_model.h"
#include "session/models/slider_model.h"
#include "support/cli_run.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using Result = test::CliRun;

// Runs one command against a simulated mouse kept in `state` between runs.
Result RunSim(const std::string& state, std::vector<std::string> args, bool terminal = false,
              const std::string& level = "level11") {
  std::vector<std::string> argv = {"--simulate=" + level, "--sim-state", state};
  argv.insert(argv.end(), args.begin(), args.end());
  return test::RunCommand(argv, terminal);
}

// Trace lines of requests whose command bytes start with `prefix` (hex text).
int Requests(const std::string& trace, const std::string& prefix) {
  int n = 0;
  std::istringstream in(trace);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("> " + prefix, 0) == 0) ++n;
  return n;
}

std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(SettingsCli, ShowJsonReflectsBytesWrittenWithWrite) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  // Settings byte: snapping on, report-rate code 3; profile 1 named "Ab" (UTF-16LE at 192 + 6).
  ASSERT_EQ(RunSim(state, {"write", "14", "31"}).status, 0);
  ASSERT_EQ(RunSim(state, {"write", "198", "41006200"}).status, 0);
  // Button 2 of profile 0: planes at 64 + 2 + 32k.
  ASSERT_EQ(RunSim(state, {"write", "66", "05"}).status, 0);
  ASSERT_EQ(RunSim(state, {"write", "98", "02"}).status, 0);
  ASSERT_EQ(RunSim(state, {"write", "130", "04"}).status, 0);
  // Button 3 of profile 0: DPI firekey 8 x 8 steps, whose text has a line break.
  ASSERT_EQ(RunSim(state, {"write", "67", "0F"}).status, 0);
  ASSERT_EQ(RunSim(state, {"write", "99", "08"}).status, 0);
  ASSERT_EQ(RunSim(state, {"write", "131", "08"}).status, 0);
  const Result r = RunSim(state, {"show", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "\"memoryEnd\": 8191,"));
  EXPECT_TRUE(Has(r.out, "\"protocolLevel\": 11,"));
  EXPECT_TRUE(Has(r.out, "\"reportRateHz\": 250,"));
  EXPECT_TRUE(Has(r.out, "\"angleSnapping\": true,"));
  EXPECT_TRUE(Has(r.out, "{\"index\": 1, \"name\": \"Ab\", \"enabled\": true, \"colour\": [0, 255, 0]"));
  EXPECT_TRUE(Has(r.out, "{\"index\": 2, \"record\": [5, 2, 4, 0], \"default\": [4, 4, 0, 0], \"text\": "));
  EXPECT_TRUE(Has(r.out, "\"text\": \"Left click\"")) << r.out.substr(0, 2000);
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(r.err, "");  // no progress bar when stderr is not a terminal

  const Result text = RunSim(state, {"show"}, true);
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(Has(text.out, "Report rate: 250 Hz"));
  EXPECT_TRUE(Has(text.out, "Profile 1: \"Ab\""));
  EXPECT_TRUE(Has(text.out, "  button 3: DPI firekey [X:400 , Y:400]\n"));
  EXPECT_TRUE(Has(text.err, "100%"));
}

TEST(SettingsCli, OtherLevelsLoad) {
  test::TempDir dir;
  for (const std::string level : {"level5", "level0"}) {
    const Result r = RunSim(dir.Path(level), {"show", "--json"}, false, level);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"memoryEnd\": 8191,")) << level;
    EXPECT_TRUE(Has(r.out, level == "level5" ? "\"protocolLevel\": 5," : "\"protocolLevel\": 0,"));
    // Only level 11 keeps a lighting mode.
    EXPECT_FALSE(Has(RunSim(dir.Path(level), {"show"}, false, level).out, "Lighting mode")) << level;
  }
  EXPECT_TRUE(Has(RunSim(dir.Path("level11"), {"show"}).out, "Lighting mode: 0\n"));
}

TEST(SettingsCli, BackupRestoreRoundTripAndOldFileClearsApplications) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  const std::string data = dir.Path("data");
  const std::string file = dir.Path("mouse.bf");
  ASSERT_EQ(RunCli({"options", "set", "app2", "/usr/bin/game", "--data-dir", data}, std::cout, std::cerr, false), 0);
  ASSERT_EQ(RunSim(state, {"backup", file, "--data-dir", data}).status, 0);
  const std::string bytes = ReadBytes(file);
  ASSERT_GT(bytes.size(), 24u + 8192u);
  EXPECT_EQ(bytes.substr(20, 4), std::string("\x00\x20\x00\x00", 4));  // imageLength 8192
  EXPECT_TRUE(Has(bytes, std::string("/\0u\0s\0r\0", 8)));             // the application travels along

  const Result before = RunSim(state, {"read", "0", "2048"});
  ASSERT_EQ(RunSim(state, {"write", "40", "0102030405"}).status, 0);
  ASSERT_EQ(RunSim(state, {"write", "4000", "AABB"}).status, 0);
  const Result restore = RunSim(state, {"restore", file, "--data-dir", data});
  ASSERT_EQ(restore.status, 0) << restore.err;
  EXPECT_EQ(RunSim(state, {"read", "0", "2048"}).out, before.out);
  EXPECT_TRUE(Has(RunSim(state, {"read", "4000", "2"}).out, "00 00"));

  ArchiveWriter old;
  old.WriteString("_@_BF6_");
  old.WriteInt32(16);
  old.WriteBytes(std::vector<uint8_t>(bytes.begin() + 24, bytes.begin() + 40));
  WriteBytes(dir.Path("old.bf"), old.Bytes());
  ASSERT_EQ(RunSim(state, {"restore", dir.Path("old.bf"), "--data-dir", data}).status, 0);
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"options", "show", "--data-dir", data}, out, err, false), 0);
  EXPECT_TRUE(Has(out.str(), "app2=\n")) << out.str();
}

TEST(SettingsCli, InputsThatAreNoRegularFilesAreRefusedWithoutWaiting) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"restore", fifo}, "cannot open " + fifo + ": not a regular file"},
      {{"macro", "import", fifo, "2"}, "cannot read " + fifo + ": not a regular file"},
      {{"restore", "/dev/null"}, "cannot open /dev/null: not a regular file"},
      {{"macro", "import", dir.Root().string(), "2"}, "cannot read " + dir.Root().string() + ": is a directory"},
  };
  for (const auto& c : cases) {
    auto run = std::async(std::launch::async, [&] { return RunSim(state, c.args); });
    // Opening the FIFO for reading waits for a writer: one comes if the
    // command hangs, so that the test fails instead of hanging too.
    if (run.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      ADD_FAILURE() << c.args[0] << ": hangs";
      close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    }
    const Result r = run.get();
    EXPECT_EQ(r.status, 1) << c.error;
    EXPECT_EQ(r.err, "quorix-mousectl: " + c.error + "\n");
  }
}

TEST(SettingsCli, DamagedBackupsWriteNothing) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  const std::string data = dir.Path("data");
  const std::string file = dir.Path("mouse.bf");
  ASSERT_EQ(RunSim(state, {"backup", file, "--data-dir", data}).status, 0);
  const std::string good = ReadBytes(file);

  auto expectRejected = [&](const std::string& name, const std::string& content) {
    WriteBytes(dir.Path(name), std::vector<uint8_t>(content.begin(), content.end()));
    const Result r = RunSim(state, {"--trace", "restore", dir.Path(name), "--data-dir", data});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_TRUE(Has(r.err, "quorix-mousectl: invalid format !! (" + dir.Path(name) + ")\n"))
        << name << r.err.substr(r.err.size() - 200);
    EXPECT_EQ(Requests(r.err, "01 03"), 0) << name;  // no memory write
    EXPECT_EQ(Requests(r.err, "01 14"), 0) << name;  // no commit
  };
  expectRejected("truncated.bf", good.substr(0, good.size() - 3));
  std::string magic = good;
  magic[8] = 'Q';
  expectRejected("magic.bf", magic);

  ArchiveWriter longer;
  longer.WriteString("_@_BF6_");
  longer.WriteInt32(8193);
  longer.WriteBytes(std::vector<uint8_t>(8193, 0x12));
  expectRejected("long.bf", std::string(longer.Bytes().begin(), longer.Bytes().end()));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("data/set.ini")));

  const Result missing = RunSim(state, {"restore", dir.Path("missing.bf")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Has(missing.err, "cannot open"));
}

// Whatever rate the main window's slider shows, the command line accepts
// spelled the same way and stores the code the window stores for it.
TEST(SettingsCli, SetReportRateAcceptsEveryRateTheWindowOffers) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  Slider slider;
  slider.kind = SliderKind::kReportRate;
  for (slider.value = 0; slider.value < kReportRateCodeCount; ++slider.value) {
    std::string shown = SliderText(slider);
    ASSERT_EQ(shown.substr(shown.size() - 2), "Hz");
    shown.resize(shown.size() - 2);
    const Result set = RunSim(state, {"set", "report-rate", shown});
    ASSERT_EQ(set.status, 0) << shown << ": " << set.err;
    // The settings byte (14) holds the code in bits 4..6; the window writes
    // max - slider value.
    const Result byte = RunSim(state, {"read", "14", "1"});
    const int code = std::stoi(byte.out.substr(byte.out.find(':') + 2, 2), nullptr, 16) >> 4 & 7;
    EXPECT_EQ(code, kReportRateCodeCount - 1 - slider.value) << shown;
    EXPECT_TRUE(Has(RunSim(state, {"show", "--json"}).out, "\"reportRateHz\": " + shown + ",")) << shown;
  }
}

TEST(SettingsCli, SetWritesAndRejectsOutOfRangeValues) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  ASSERT_EQ(RunSim(state, {"set", "report-rate", "125"}).status, 0);
  ASSERT_EQ(RunSim(state, {"set", "angle-snapping", "on"}).status, 0);
  ASSERT_EQ(RunSim(state, {"set", "profile", "2"}).status, 0);
  ASSERT_EQ(RunSim(state, {"set", "profile-enabled", "3", "off"}).status, 0);
  ASSERT_EQ(RunSim(state, {"set", "dpi", "1", "90", "91"}).status, 0);
  ASSERT_EQ(RunSim(state, {"set", "button", "2", "23", "5", "0", "4", "0"}).status, 0);
  ASSERT_EQ(RunSim(state, {"set", "level-enabled", "1", "on"}).status, 0);
  const Result dpiLevel = RunSim(state, {"--trace", "set", "dpi-level", "3"});
  ASSERT_EQ(dpiLevel.status, 0) << dpiLevel.err;
  EXPECT_EQ(Requests(dpiLevel.err, "01 0f"), 1);
  EXPECT_EQ(Requests(dpiLevel.err, "01 0f 03 00"), 1);  // the level alone, no enable bits
  // Both selections are stored at once: the profile at byte 1, the level at byte 2.
  EXPECT_TRUE(Has(RunSim(state, {"read", "1", "2"}).out, "02 03"));
  const Result show = RunSim(state, {"show", "--json"});
  EXPECT_TRUE(Has(show.out, "\"reportRateHz\": 125,"));
  EXPECT_TRUE(Has(show.out, "\"angleSnapping\": true,"));
  EXPECT_TRUE(Has(show.out, "\"activeProfile\": 2,"));
  EXPECT_TRUE(Has(show.out, "\"activeLevel\": 3,"));
  // Level 1 was on already (an empty mask cycles all four); picking a level
  // keeps the switches.
  EXPECT_TRUE(Has(show.out, "\"levelMask\": 15,"));
  EXPECT_TRUE(Has(show.out, "{\"index\": 3, \"name\": \"\", \"enabled\": false"));
  EXPECT_TRUE(Has(show.out, "{\"x\": 20, \"y\": 20}, {\"x\": 90, \"y\": 91}"));
  EXPECT_TRUE(Has(show.out, "{\"index\": 23, \"record\": [5, 0, 4, 0]"));

  const std::vector<std::vector<std::string>> bad = {{"set", "report-rate", "300"},
                                                     {"set", "profile", "5"},
                                                     {"set", "dpi", "5", "10", "10"},
                                                     {"set", "dpi", "0", "0", "10"},
                                                     {"set", "button", "0", "3x", "1", "0", "0", "0"},
                                                     {"set", "button", "0", "0", "37", "0", "0", "0"},
                                                     {"set", "angle-snapping", "maybe"},
                                                     {"set", "level-enabled", "5", "on"},
                                                     {"set", "colour"},
                                                     {"set", "profile"}};
  for (std::vector<std::string> args : bad) {
    args.insert(args.begin(), "--trace");
    const Result r = RunSim(state, args);
    EXPECT_EQ(r.status, 1) << args[2];
    EXPECT_EQ(Requests(r.err, ""), 0) << args[2];  // refused before any request
  }
  // Checks that need the layout: 24 buttons at level 5, 4 levels at level 0.
  const Result l5 =
      RunSim(dir.Path("l5"), {"--trace", "set", "button", "0", "24", "1", "0", "0", "0"}, false, "level5");
  EXPECT_EQ(l5.status, 1);
  EXPECT_TRUE(Has(l5.err, "button out of range (0..23)"));
  EXPECT_EQ(Requests(l5.err, "01 01 03"), 0);
  const Result l0 = RunSim(dir.Path("l0"), {"set", "dpi-level", "4"}, false, "level0");
  EXPECT_EQ(l0.status, 1);
  // Early level-0 firmware has neither a report rate nor level switches: no
  // read, no write, and a message that says so.
  for (std::vector<std::string> args : {std::vector<std::string>{"set", "report-rate", "500"},
                                        std::vector<std::string>{"set", "level-enabled", "1", "off"}}) {
    args.insert(args.begin(), "--trace");
    const Result r = RunSim(dir.Path("l0"), args, false, "level0");
    EXPECT_EQ(r.status, 1) << args[2];
    EXPECT_TRUE(Has(r.err, "nothing written")) << args[2];
    EXPECT_EQ(Requests(r.err, "01 05"), 0) << args[2];
    EXPECT_EQ(Requests(r.err, "01 04 02"), 0) << args[2];
  }
  // Level 0 stores the profile at byte 14.
  ASSERT_EQ(RunSim(dir.Path("l0"), {"set", "profile", "4"}, false, "level0").status, 0);
  EXPECT_TRUE(Has(RunSim(dir.Path("l0"), {"read", "14", "1"}, false, "level0").out, ": 04"));
}

// Which buttons take a function is one rule, asked by both front ends: the
// main window's model on a loaded mouse and `set button` on the same mouse
// answer alike. A hidden row (24..31 at level 11) and the primary-click holder
// (button 0 of a new mouse) keep what they hold; a refusal names the range the
// mouse allows, whatever a profile's records could hold.
TEST(SettingsCli, ButtonsTakeFunctionsAsInTheMainWindow) {
  const std::string holds = "button 0 holds the left click of profile 0: nothing written";
  struct Row {
    const char* sim;
    int level, button;
    bool takes;
    std::string said;  // in the refusal
  } rows[] = {{"level11", 11, 0, false, holds},
              {"level11", 11, 1, true, ""},
              {"level11", 11, 23, true, ""},
              {"level11", 11, 24, false, "button out of range (0..23): 24"},
              {"level11", 11, 31, false, "button out of range (0..23): 31"},
              {"level11", 11, 32, false, "button out of range (0..23): 32"},
              {"level11", 11, -1, false, "button out of range (0..23): -1"},
              {"level5", 5, 0, false, holds},
              {"level5", 5, 23, true, ""},
              {"level5", 5, 24, false, "button out of range (0..23): 24"},
              {"level0", 0, 0, false, holds},
              {"level0", 0, 15, true, ""},
              {"level0", 0, 16, false, "button out of range (0..15): 16"},
              {"level0", 0, 32, false, "button out of range (0..15): 32"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.sim) + " button " + std::to_string(row.button));
    test::SimSession world(sim::SimOptions{.protocolLevel = row.level});
    ASSERT_TRUE(world.session->ResolveDevice().Wait());
    ASSERT_TRUE(world.session->Load().Wait());
    MainWindowModel model(*world.clock, world.session->State(), {});
    model.ShowLoaded(CapabilitiesAt(world.session->Link(), world.session->CurrentDevicePath()));
    EXPECT_EQ(ButtonTakesFunctions(model.Caps(), row.button, model.PrimaryClickHolder()), row.takes);

    test::TempDir dir;
    const Result cli =
        RunSim(dir.Path("mouse.state"),
               {"--trace", "set", "button", "0", std::to_string(row.button), "5", "0", "4", "0"}, false, row.sim);
    EXPECT_EQ(cli.status == 0, row.takes) << cli.err;
    if (!row.takes) {
      EXPECT_TRUE(Has(cli.err, "quorix-mousectl: " + row.said + "\n")) << cli.err;
      EXPECT_EQ(Requests(cli.err, row.level == 11 ? "01 03" : row.level == 5 ? "01 01 03" : "01 09"), 0);
    }
  }
  // A mouse that cannot be reached says so, whichever button was asked for.
  test::TempDir dir;
  for (const char* button : {"1", "32"}) {
    const Result cli =
        RunSim(dir.Path("silent.state"), {"--sim-option", "silent", "set", "button", "0", button, "5", "0", "4", "0"});
    EXPECT_EQ(cli.status, 1) << button;
    EXPECT_TRUE(Has(cli.err, "the mouse stopped answering")) << button << ": " << cli.err;
    EXPECT_FALSE(Has(cli.err, "out of range")) << button;
  }
}

// `show` says which levels the DPI button cycles through, as the window's
// switches do: all on a new mouse; the last one on cannot be switched off.
TEST(SettingsCli, ShowTellsTheLevelsTheButtonCyclesThrough) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  const auto levels = [&] {
    std::string on;
    const std::string out = RunSim(state, {"show"}).out;
    for (int i = 0; i < 4; ++i) {
      const size_t line = out.find("  level " + std::to_string(i) + ":");
      on += line != std::string::npos && out.compare(out.find('\n', line) - 3, 3, " on") == 0 ? '1' : '0';
    }
    return on;
  };
  EXPECT_EQ(levels(), "1111");
  for (const char* level : {"0", "1", "3"}) ASSERT_EQ(RunSim(state, {"set", "level-enabled", level, "off"}).status, 0);
  EXPECT_EQ(levels(), "0010");
  EXPECT_TRUE(Has(RunSim(state, {"show", "--json"}).out, "\"levelsOn\": [false, false, true, false]"));
  const Result last = RunSim(state, {"--trace", "set", "level-enabled", "2", "off"});
  EXPECT_EQ(last.status, 1);
  EXPECT_TRUE(Has(last.err, "at least one DPI level must stay on"));
  EXPECT_EQ(Requests(last.err, "01 0f"), 0);
  EXPECT_EQ(levels(), "0010");
}

TEST(SettingsCli, ResetRestoresDefaults) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  ASSERT_EQ(RunSim(state, {"write", "35", "01"}).status, 0);  // profile 0 red component
  ASSERT_EQ(RunSim(state, {"reset"}).status, 0);
  const Result show = RunSim(state, {"show", "--json"});
  EXPECT_TRUE(Has(show.out, "{\"index\": 0, \"name\": \"\", \"enabled\": true, \"colour\": [255, 0, 0]"));
  EXPECT_EQ(RunSim(state, {"reset", "now"}).status, 1);
}

}  // namespace
}  // namespace quorix
