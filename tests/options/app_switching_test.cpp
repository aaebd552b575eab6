#include "options/app_switching.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "platform/linux/x11_foreground_source.h"
#include "support/x11_test_util.h"
#include "support/xvfb_session.h"

namespace quorix {
namespace {

class FakeForeground final : public ForegroundSource {
 public:
  uint64_t ForegroundWindow() override { return window; }
  std::optional<std::string> ProcessImageName(uint64_t w) override {
    ++queries;
    auto it = images.find(w);
    if (it == images.end()) return std::nullopt;
    return it->second;
  }
  uint64_t window = 0;
  std::map<uint64_t, std::string> images;
  int queries = 0;
};

ProfileApps Bound(std::initializer_list<std::pair<int, std::string>> bindings) {
  ProfileApps apps;
  for (const auto& [profile, path] : bindings) {
    apps[profile].appPath = path;
    apps[profile].appEnabled = 1;
  }
  return apps;
}

TEST(MatchApplication, LowestProfileSuffixAndSwitches) {
  const std::array<bool, 5> none{};
  ProfileApps apps = Bound({{1, "C:\\Games\\game.exe"}, {3, "/home/u/.wine/drive_c/Games/game.exe"},
                            {4, "/opt/Setup.exe"}});
  EXPECT_EQ(MatchApplication(apps, none, "game.exe"), 1);
  EXPECT_EQ(MatchApplication(apps, none, "me.exe"), 1);     // a suffix, not a whole name
  EXPECT_FALSE(MatchApplication(apps, none, "setup.exe"));  // case differs
  EXPECT_EQ(MatchApplication(apps, none, "Setup.exe"), 4);
  EXPECT_FALSE(MatchApplication(apps, none, ""));
  EXPECT_FALSE(MatchApplication(apps, none, "a-much-longer-name-than-any-path-bound-here.exe"));

  apps[1].appEnabled = 0;
  EXPECT_EQ(MatchApplication(apps, none, "game.exe"), 3);
  std::array<bool, 5> off{};
  off[3] = true;  // switched off in the main window: never matches
  EXPECT_FALSE(MatchApplication(apps, off, "game.exe"));
}

TEST(ImageFileName, AfterTheLastSeparatorUnlessItLeads) {
  EXPECT_EQ(ImageFileName("\\Device\\HarddiskVolume2\\Games\\game.exe"), "game.exe");
  EXPECT_EQ(ImageFileName("C:\\Games\\game.exe"), "game.exe");
  EXPECT_EQ(ImageFileName("/usr/bin/xterm"), "xterm");
  EXPECT_EQ(ImageFileName("\\game.exe"), "\\game.exe");
  EXPECT_EQ(ImageFileName("game.exe"), "game.exe");
  EXPECT_EQ(ImageFileName("C:\\dir\\"), "");
}

TEST(CheckForeground, SwitchesOnlyWhenTheWindowChanges) {
  FakeForeground source;
  source.images = {{10, "/usr/bin/xterm"}, {20, "/usr/bin/gedit"}, {30, "C:\\Games\\game.exe"}};
  ProfileApps apps = Bound({{2, "/usr/bin/xterm"}, {3, "/usr/bin/xterm"}});
  const std::array<bool, 5> none{};
  AppSwitcher switcher(source);
  int active = 0;
  std::vector<int> sent;
  auto send = [&](int profile) { sent.push_back(profile); };

  source.window = 10;
  EXPECT_EQ(switcher.CheckForegroundApplication(apps, none, active, send), 2);  // lower of two
  EXPECT_EQ(active, 2);
  EXPECT_FALSE(switcher.CheckForegroundApplication(apps, none, active, send));  // same window
  EXPECT_EQ(source.queries, 1);
  source.window = 20;  // unbound: the profile stays
  EXPECT_FALSE(switcher.CheckForegroundApplication(apps, none, active, send));
  EXPECT_EQ(active, 2);
  source.window = 10;  // back again, profile still active: nothing sent
  EXPECT_FALSE(switcher.CheckForegroundApplication(apps, none, active, send));
  active = 0;
  source.window = 20;
  switcher.CheckForegroundApplication(apps, none, active, send);
  source.window = 10;
  EXPECT_EQ(switcher.CheckForegroundApplication(apps, none, active, send), 2);
  EXPECT_EQ(sent, (std::vector<int>{2, 2}));
}

TEST(CheckForeground, UnreadableProcessIsRememberedAndNotRetried) {
  FakeForeground source;
  ProfileApps apps = Bound({{0, "/bin/app"}});
  AppSwitcher switcher(source);
  int active = 1;
  source.window = 5;  // no image known: the process cannot be queried
  EXPECT_FALSE(switcher.CheckForegroundApplication(apps, {}, active, {}));
  source.images[5] = "/bin/app";
  EXPECT_FALSE(switcher.CheckForegroundApplication(apps, {}, active, {}));
  EXPECT_EQ(switcher.LastForegroundWindow(), 5u);
  source.window = 0;  // no foreground window
  EXPECT_FALSE(switcher.CheckForegroundApplication(apps, {}, active, {}));
  source.window = 5;
  EXPECT_EQ(switcher.CheckForegroundApplication(apps, {}, active, {}), 0);
  EXPECT_EQ(source.queries, 2);
}

TEST(BindApplication, BindsAsksNameAndToggles) {
  ProfileApps apps;
  int saves = 0;
  std::string prompted;
  std::string proposedSeen;
  BindApplicationHooks hooks;
  hooks.chooseFile = [] { return std::optional<std::string>("C:\\Games\\game.exe"); };
  hooks.displayName = [](const std::string&) { return std::string("game"); };
  hooks.enterName = [&](const std::string& prompt, const std::string& proposed) {
    prompted = prompt;
    proposedSeen = proposed;
    return std::optional<std::string>("My Game");
  };
  hooks.saveOptions = [&] { ++saves; };

  EXPECT_EQ(BindApplication(apps, 2, hooks), BindResult::kBound);
  EXPECT_EQ(apps[2].appPath, "C:\\Games\\game.exe");
  EXPECT_EQ(apps[2].appName, "My Game");
  EXPECT_EQ(apps[2].appEnabled, 1);
  EXPECT_EQ(prompted, "Enter name");
  EXPECT_EQ(proposedSeen, "game");
  EXPECT_EQ(BindApplication(apps, 2, hooks), BindResult::kToggled);
  EXPECT_EQ(apps[2].appEnabled, 0);
  EXPECT_EQ(apps[2].appPath, "C:\\Games\\game.exe");  // the binding stays
  EXPECT_EQ(BindApplication(apps, 2, hooks), BindResult::kToggled);
  EXPECT_EQ(apps[2].appEnabled, 1);
  EXPECT_EQ(saves, 3);
  EXPECT_EQ(BindApplication(apps, 5, hooks), BindResult::kNoProfile);
}

TEST(BindApplication, CancelsLeaveTheProfileUnbound) {
  ProfileApps apps;
  apps[1].appName = "Profile 2";
  int saves = 0;
  BindApplicationHooks hooks;
  hooks.saveOptions = [&] { ++saves; };
  hooks.chooseFile = [] { return std::optional<std::string>(); };
  EXPECT_EQ(BindApplication(apps, 1, hooks), BindResult::kCancelled);
  EXPECT_EQ(saves, 0);
  hooks.chooseFile = [] { return std::optional<std::string>("/usr/bin/xterm"); };
  hooks.enterName = [](const std::string&, const std::string&) { return std::optional<std::string>(); };
  EXPECT_EQ(BindApplication(apps, 1, hooks), BindResult::kNameCancelled);
  EXPECT_TRUE(apps[1].appPath.empty());
  EXPECT_EQ(apps[1].appEnabled, 0);
  EXPECT_EQ(apps[1].appName, "Profile 2");
}

TEST(CheckForegroundX11, ActiveXtermSelectsTheLowestBoundProfile) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  if (!session.StartWindowManager([&] { return test::WindowManagerRunning(session.Display()); })) {
    GTEST_SKIP() << "no window manager (openbox)";
  }
  auto sourceOpened = X11ForegroundSource::Open(session.Display().c_str());
  ASSERT_TRUE(sourceOpened) << sourceOpened.detail();
  auto source = std::move(sourceOpened).value();
  const pid_t xterm = session.Spawn({"xterm"});
  if (xterm <= 0) GTEST_SKIP() << "no xterm";
  if (!test::XvfbSession::WaitFor(
          [&] {
        test::ActivateWindowOfProcess(session.Display(), xterm);
        return source->WindowProcessId(source->ForegroundWindow()) == xterm;
      }, 10000)) {
    GTEST_SKIP() << "the window manager did not activate the xterm";
  }
  // Bind the xterm's executable, as a file dialog would give it, to profiles 3 and 4.
  const std::string xtermPath = std::filesystem::read_symlink("/proc/" + std::to_string(xterm) + "/exe").string();
  ProfileApps apps = Bound({{4, xtermPath}, {3, xtermPath}, {1, "/usr/bin/other"}});
  AppSwitcher switcher(*source);
  int active = 0;
  std::vector<int> sent;
  EXPECT_EQ(switcher.CheckForegroundApplication(apps, {}, active, [&](int p) { sent.push_back(p); }), 3);
  EXPECT_EQ(active, 3);
  EXPECT_EQ(sent, std::vector<int>{3});
}

}  // namespace
}  // namespace quorix

namespace quorix {
namespace {

TEST(MatchApplicationId, FileNameOrItsStemAgainstTheIdOrItsLastPart) {
  const std::array<bool, 5> none{};
  const struct {
    const char* path;
    const char* appId;
    bool matches;
  } cases[] = {
      {"/usr/bin/foot", "foot", true},
      {"/usr/bin/nautilus", "org.gnome.Nautilus", true},  // the id's last part, case aside
      {"/usr/share/applications/org.gnome.Nautilus.desktop", "org.gnome.Nautilus", true},
      {"C:\\Games\\Game.exe", "game.exe", true},
      {"C:\\Games\\game.exe", "game", true},
      {"/usr/bin/firefox-esr", "firefox-esr", true},
      {"/usr/bin/foot", "footclient", false},
      {"/opt/bigfoot", "foot", false},  // a whole name, not a suffix
      {"/usr/bin/foot", "", false},
      {"/usr/bin/gnome", "org.gnome.Nautilus", false},  // only the last part counts
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " / " + c.appId);
    EXPECT_EQ(MatchApplicationId(Bound({{2, c.path}}), none, c.appId),
              c.matches ? std::optional<int>(2) : std::nullopt);
  }
  // As for images: the lowest bound profile wins, a switched-off one is passed over.
  const ProfileApps two = Bound({{1, "/usr/bin/foot"}, {4, "/opt/foot"}});
  EXPECT_EQ(MatchApplicationId(two, none, "foot"), 1);
  EXPECT_EQ(MatchApplicationId(two, {false, true, false, false, false}, "foot"), 4);
}

// A source that knows application ids only: the switcher matches by id.
class IdOnlyForeground final : public ForegroundSource {
 public:
  uint64_t ForegroundWindow() override { return window; }
  std::optional<std::string> ProcessImageName(uint64_t) override { return std::nullopt; }
  std::optional<std::string> ApplicationId(uint64_t w) override {
    return w == window && !appId.empty() ? std::optional<std::string>(appId) : std::nullopt;
  }
  uint64_t window = 0;
  std::string appId;
};

TEST(AppSwitcher, SwitchesByApplicationIdWhenNoImageIsKnown) {
  IdOnlyForeground source;
  AppSwitcher switcher(source);
  const ProfileApps apps = Bound({{1, "/usr/bin/foot"}, {3, "/usr/bin/nautilus"}});
  int active = 0;
  std::vector<int> sent;
  const struct {
    uint64_t window;
    const char* appId;
    int activeAfter;
  } steps[] = {{1, "foot", 1}, {2, "org.gnome.Nautilus", 3}, {3, "unbound", 3}, {4, "", 3}};
  for (const auto& step : steps) {
    source.window = step.window;
    source.appId = step.appId;
    switcher.CheckForegroundApplication(apps, {}, active, [&](int p) { sent.push_back(p); });
    EXPECT_EQ(active, step.activeAfter) << step.appId;
  }
  EXPECT_EQ(sent, (std::vector<int>{1, 3}));
}

}  // namespace
}  // namespace quorix
