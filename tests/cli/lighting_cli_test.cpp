#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "options/options_store.h"
#include "support/temp_dir.h"
#include "support/x11_test_util.h"
#include "support/xvfb_session.h"

namespace quorix {
namespace {

using Result = test::CliRun;
using test::RunCommand;

// The requests of a --trace run ("> " lines), without the report ID and cut
// to `bytes` bytes each, as lower-case hex.
std::vector<std::string> SentRequests(const std::string& trace, size_t bytes) {
  std::vector<std::string> requests;
  std::istringstream in(trace);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("> ", 0) != 0) continue;
    const std::string body = line.substr(5);  // after "> " and the report ID "xx "
    requests.push_back(body.substr(0, std::min(body.size(), bytes * 3 - 1)));
  }
  return requests;
}

bool Contains(const std::vector<std::string>& requests, const std::string& head) {
  for (const std::string& r : requests) {
    if (r.rfind(head, 0) == 0) return true;
  }
  return false;
}

TEST(LightingCli, EffectWritesTheByteThenSwitchesAtLevel11) {
  const Result r = RunCommand({"--simulate=level11", "--trace", "lighting", "effect", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("effect 2 (Wave (Invert))"), std::string::npos) << r.out;
  const auto requests = SentRequests(r.err, 5);
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests[requests.size() - 2], "03 11 00 01 02");
  EXPECT_EQ(requests.back(), "12 02 00 00 00");
}

TEST(LightingCli, NoLightingBelowLevel11AndNoUnknownEffect) {
  for (const char* level : {"--simulate=level5", "--simulate=level0"}) {
    const Result r = RunCommand({level, "--trace", "lighting", "effect", "2"});
    EXPECT_EQ(r.status, 1) << level;
    EXPECT_NE(r.err.find("no lighting"), std::string::npos) << r.err;
    const auto requests = SentRequests(r.err, 2);
    EXPECT_FALSE(Contains(requests, "12 02")) << level;
    EXPECT_FALSE(Contains(requests, "03 11")) << level;
  }
  const Result r = RunCommand({"--simulate=level11", "--trace", "lighting", "effect", "5"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("unknown light effect 5"), std::string::npos) << r.err;
  EXPECT_TRUE(SentRequests(r.err, 2).empty());
}

TEST(LightingCli, ZoneAndPreviewTrafficAndShow) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  Result r = RunCommand(
      {"--simulate=level11", "--sim-state", state, "--trace", "lighting", "zone", "3", "0xC0", "255", "0", "16"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(SentRequests(r.err, 8).back(), "03 0c 05 04 c0 ff 00 10");
  r = RunCommand({"--simulate=level11", "--trace", "lighting", "preview", "15", "0x40", "1", "2", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(SentRequests(r.err, 7).back(), "13 0f 40 01 02 03 00");
  r = RunCommand({"--simulate=level11", "lighting", "zone", "16", "0", "0", "0", "0"});
  EXPECT_EQ(r.status, 1);

  r = RunCommand({"--simulate=level11", "--sim-state", state, "lighting", "show"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("zone 3: flags 0xC0 (own colour, Always ON) rgb 255 0 16"), std::string::npos) << r.out;
  r = RunCommand({"--simulate=level0", "lighting", "show"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("no lighting"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("no zone table"), std::string::npos) << r.out;
}

TEST(LiftCli, SetStoresAndTestOnlyApplies) {
  test::TempDir dir;
  const std::string state = dir.Path("mouse.state");
  Result r = RunCommand({"--simulate=level11", "--sim-state", state, "--trace", "lift", "set", "0x0234"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto requests = SentRequests(r.err, 6);
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests[requests.size() - 2], "1a 13 34 02 00 00");
  EXPECT_EQ(requests.back(), "03 12 00 02 34 02");
  r = RunCommand({"--simulate=level11", "--sim-state", state, "--trace", "lift", "test", "5"});
  ASSERT_EQ(r.status, 0) << r.err;
  requests = SentRequests(r.err, 4);
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back(), "1a 13 05 00");
  EXPECT_FALSE(Contains(requests, "03 12 00"));  // a test stores nothing
  r = RunCommand({"--simulate=level11", "--sim-state", state, "lift", "show"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("lift value: 564 (0x0234)"), std::string::npos) << r.out;
  r = RunCommand({"--simulate=level5", "--trace", "lift", "set", "7"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(Contains(SentRequests(r.err, 2), "1a 13"));
}

TEST(WatchAppsCli, ReportsTheProfileOfTheActiveXterm) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  if (!session.StartWindowManager([&] { return test::WindowManagerRunning(session.Display()); })) {
    GTEST_SKIP() << "no window manager (openbox)";
  }
  const pid_t xterm = session.Spawn({"xterm"});
  if (xterm <= 0) GTEST_SKIP() << "no xterm";
  const std::string xtermPath = std::filesystem::read_symlink("/proc/" + std::to_string(xterm) + "/exe").string();
  // Bound in set.ini to profiles 3 and 4: the lower one is reported.
  test::TempDir dir;
  Options options;
  options.apps[3] = {"Terminal", xtermPath, 1};
  options.apps[4] = {"Terminal too", xtermPath, 1};
  ASSERT_TRUE(SaveOptions(dir.Path("set.ini"), options));
  Result r;
  const bool seen = test::XvfbSession::WaitFor([&] {
    test::ActivateWindowOfProcess(session.Display(), xterm);
    r = RunCommand({"watch-apps", "--display", session.Display(), "--data-dir", dir.Root().string(), "--count", "1"});
    return r.out.find("-> profile") != std::string::npos;
  }, 10000);
  ASSERT_TRUE(seen) << r.out << r.err;
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("foreground: xterm (" + xtermPath + ") -> profile 3 \"Terminal\""), std::string::npos)
      << r.out;
}

TEST(WatchAppsCli, WithoutAnXDisplaySaysSwitchingNeedsX11) {
  const Result r = RunCommand({"watch-apps", "--display", ":31998", "--bind", "0=/usr/bin/xterm", "--count", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("X11 or XWayland"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quorix
