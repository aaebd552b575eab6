#include "options/options_store.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "options/language_setting.h"
#include "support/fake_pointer_settings.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

class OptionsStoreTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string setIni = dir.Path("set.ini");
  std::vector<std::string> named;
  AppNamer namer = [this](const std::string& path) {
    named.push_back(path);
    return "named:" + path;
  };
  // LoadOptions of a set.ini that can be read.
  Options Read(PointerSettings* pointer = nullptr, int codePage = kCodePageWindows1252) {
    Result<Options> read = LoadOptions(setIni, namer, pointer, codePage);
    EXPECT_TRUE(read) << read.detail();
    return read ? std::move(read).value() : Options{};
  }
};

TEST_F(OptionsStoreTest, DefaultsWithoutAFile) {
  test::FakePointerSettings pointer;
  const Options o = Read(&pointer);
  EXPECT_EQ(o.osdEnabled, 1);
  EXPECT_EQ(o.disableAcceleration, 1);
  EXPECT_EQ(o.recordHotkey, 68);
  EXPECT_EQ(o.recordHotkeyName, 68);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(o.apps[i].appName, "Profile " + std::to_string(i + 1));
    EXPECT_EQ(o.apps[i].appPath, "");
    EXPECT_EQ(o.apps[i].appEnabled, 0);
  }
  EXPECT_TRUE(named.empty());
  // Start-up switches acceleration off and forces the neutral speed.
  EXPECT_EQ(pointer.speedWrites, std::vector<int>{10});
  ASSERT_EQ(pointer.accelerationWrites.size(), 1u);
  EXPECT_EQ(pointer.acceleration.threshold1, 0);
  EXPECT_FALSE(std::filesystem::exists(setIni));
}

TEST_F(OptionsStoreTest, ReadingWithoutPointerLeavesTheDesktopAlone) {
  // A file that keeps acceleration: even given the pointer, reading must not
  // look at the desktop, let alone write to it. Without a pointer (the command
  // line) the same values come back.
  test::WriteFile(setIni, "[ARG]\ndisable_acc=0\nosd=0\n");
  test::FakePointerSettings pointer;
  const Options withPointer = Read(&pointer);
  EXPECT_TRUE(pointer.Untouched());
  EXPECT_EQ(pointer.reads, 0);
  const Options without = Read();
  EXPECT_EQ(without.disableAcceleration, 0);
  EXPECT_EQ(without.osdEnabled, 0);
  EXPECT_EQ(OptionEntries(without), OptionEntries(withPointer));
}

TEST_F(OptionsStoreTest, AnyNonZeroDisableValueSwitchesOff) {
  test::WriteFile(setIni, "[ARG]\ndisable_acc=2\n");
  test::FakePointerSettings pointer;
  pointer.acceleration = {0, 0, 0};  // already off: a toggle would turn it on
  pointer.speed = 10;
  Read(&pointer);
  EXPECT_EQ(pointer.acceleration.threshold1, 0);
  test::WriteFile(setIni, "[ARG]\ndisable_acc=0\n");
  test::FakePointerSettings untouched;
  Read(&untouched);
  EXPECT_TRUE(untouched.Untouched());
}

TEST_F(OptionsStoreTest, ProfileNamesAndApplications) {
  test::WriteFile(setIni,
                  "[ARG]\r\napp2=C:\\Games\\Run.exe\r\napp1=\r\napp_name1=Office\r\n"
                  "app3=/usr/bin/game\r\napp_name3=\r\napp_name4=@_NOSTR_\r\napp_enable2=1\r\n");
  const Options o = Read();
  EXPECT_EQ(o.apps[2].appPath, "C:\\Games\\Run.exe");
  EXPECT_EQ(o.apps[2].appName, "named:C:\\Games\\Run.exe");
  EXPECT_EQ(o.apps[2].appEnabled, 1);
  EXPECT_EQ(o.apps[1].appPath, "");
  EXPECT_EQ(o.apps[1].appName, "Office");
  EXPECT_EQ(o.apps[3].appName, "");  // an empty stored name stays empty
  EXPECT_EQ(o.apps[4].appName, "Profile 5");
  EXPECT_EQ(named, std::vector<std::string>{"C:\\Games\\Run.exe"});
}

TEST_F(OptionsStoreTest, SaveWritesEveryKeyInOrderAndRoundTrips) {
  test::WriteFile(setIni, "[ARG]\r\nlanguage=1041\r\nosd=0\r\n; keep me\r\n");
  Options o = Read();
  o.recordHotkey = 70;
  o.apps[0].appPath = "/usr/bin/game";
  o.apps[0].appName = "Game";
  o.apps[0].appEnabled = 1;
  ASSERT_TRUE(SaveOptions(setIni, o));
  std::string expected =
      "[ARG]\r\nlanguage=1041\r\nosd=0\r\n; keep me\r\ndisable_acc=1\r\nhotkey=70\r\nhotkeym=68\r\n"
      "app_enable0=1\r\napp0=/usr/bin/game\r\napp_name0=Game\r\n";
  for (int i = 1; i < 5; ++i) {
    expected += "app_enable" + std::to_string(i) + "=0\r\napp" + std::to_string(i) + "=\r\napp_name" +
                std::to_string(i) + "=Profile " + std::to_string(i + 1) + "\r\n";
  }
  EXPECT_EQ(test::ReadFile(setIni), expected);
  const Options again = Read();
  EXPECT_EQ(OptionEntries(again), OptionEntries(o));
}

// The window's place is written after the other keys once it is known; a
// file with half a place (edited by hand) has none.
TEST_F(OptionsStoreTest, WindowPlaceFollowsTheOtherKeysAndNeedsBothCoordinates) {
  Options o;
  o.windowPlace = WindowPlace{-40, 1200, 2};
  ASSERT_TRUE(SaveOptions(setIni, o));
  const std::string file = test::ReadFile(setIni);
  EXPECT_TRUE(file.ends_with("app_name4=\nwindow_x=-40\nwindow_y=1200\nwindow_page=2\n")) << file;
  const Options again = Read();
  ASSERT_TRUE(again.windowPlace.has_value());
  EXPECT_EQ(OptionEntries(again), OptionEntries(o));
  for (const char* half : {"[ARG]\r\nwindow_x=10\r\nwindow_page=1\r\n", "[ARG]\r\nwindow_y=10\r\n"}) {
    test::WriteFile(setIni, half);
    EXPECT_FALSE(Read().windowPlace.has_value()) << half;
  }
  Options set;
  EXPECT_TRUE(SetOptionByKey(set, "window_page", "1"));
  EXPECT_FALSE(SetOptionByKey(set, "window_x", "left"));
  ASSERT_TRUE(set.windowPlace.has_value());
  EXPECT_EQ(set.windowPlace->page, 1);
}

TEST_F(OptionsStoreTest, SaveRefusesValuesThatBreakTheFile) {
  Options o;
  o.apps[0].appName = "two\nlines";
  EXPECT_FALSE(SaveOptions(setIni, o));
  EXPECT_FALSE(std::filesystem::exists(setIni));
}

TEST_F(OptionsStoreTest, WindowsSavedFileKeepsItsCodePage) {
  // Japanese Windows saved it in code page 932: "テスト", and "ゲーム", whose
  // "ー" has "[" as its trail byte.
  const std::string original = "[ARG]\r\nlanguage=1041\r\napp_name0=\x83\x65\x83\x58\x83\x67\r\n";
  test::WriteFile(setIni, original);
  const int codePage = SetIniCodePage(setIni);
  Options o = Read(nullptr, codePage);
  EXPECT_EQ(o.apps[0].appName, "テスト");
  o.apps[1].appName = "Crème";
  const Outcome refused = SaveOptions(setIni, o, codePage);
  EXPECT_EQ(refused, Failure::kCannotWriteFile);
  EXPECT_NE(refused.detail.find("\"è\""), std::string::npos) << refused.detail;
  EXPECT_EQ(test::ReadFile(setIni), original);
  o.apps[1].appName = "ゲーム";
  ASSERT_TRUE(SaveOptions(setIni, o, codePage));
  EXPECT_NE(test::ReadFile(setIni).find("\r\napp_name1=\x83\x51\x81\x5B\x83\x80\r\n"), std::string::npos);
  EXPECT_EQ(OptionEntries(Read(nullptr, codePage)), OptionEntries(o));
}

TEST(OptionKeys, SetByKey) {
  Options o;
  EXPECT_TRUE(SetOptionByKey(o, "osd", "0"));
  EXPECT_TRUE(SetOptionByKey(o, "app_enable4", "1"));
  EXPECT_TRUE(SetOptionByKey(o, "app3", "/bin/x"));
  EXPECT_TRUE(SetOptionByKey(o, "app_name0", "Name"));
  EXPECT_TRUE(SetOptionByKey(o, "hotkey", "-5"));
  EXPECT_EQ(o.osdEnabled, 0);
  EXPECT_EQ(o.apps[4].appEnabled, 1);
  EXPECT_EQ(o.apps[3].appPath, "/bin/x");
  EXPECT_EQ(o.apps[0].appName, "Name");
  EXPECT_EQ(o.recordHotkey, -5);
  EXPECT_FALSE(SetOptionByKey(o, "osd", "on"));
  EXPECT_FALSE(SetOptionByKey(o, "osd", "99999999999"));
  EXPECT_FALSE(SetOptionByKey(o, "app5", "x"));
  EXPECT_FALSE(SetOptionByKey(o, "language", "1041"));
  EXPECT_EQ(o.osdEnabled, 0);
}

TEST(SetAcceleration, TogglesAndForces) {
  test::FakePointerSettings pointer;  // on, speed 14
  EXPECT_FALSE(SetAcceleration(pointer, false, false));
  EXPECT_TRUE(pointer.Untouched());

  EXPECT_TRUE(SetAcceleration(pointer, true, false));  // toggle: on -> off
  EXPECT_EQ(pointer.speed, 10);
  EXPECT_EQ(pointer.acceleration.threshold1, 0);
  EXPECT_EQ(pointer.acceleration.acceleration, 0);

  EXPECT_FALSE(SetAcceleration(pointer, true, false));  // off -> on, speed kept
  EXPECT_EQ(pointer.acceleration.threshold1, 4);
  EXPECT_EQ(pointer.acceleration.threshold2, 12);
  EXPECT_EQ(pointer.acceleration.acceleration, 2);
  EXPECT_EQ(pointer.speedWrites, std::vector<int>{10});

  pointer.acceleration = {0, 0, 0};
  EXPECT_TRUE(SetAcceleration(pointer, true, true));  // forced off stays off
  EXPECT_EQ(pointer.acceleration.threshold1, 0);
  pointer.speed = 7;
  EXPECT_FALSE(SetAcceleration(pointer, false, false));  // off but not at speed 10
}

TEST(SetAcceleration, TheWindowsSwitchOnEitherDesktop) {
  struct Case {
    const char* name;
    int threshold1;  // the desktop before: above 0 is on
    bool disable;
    int threshold1After;
    size_t writes;
  };
  const std::vector<Case> cases = {
      {"checked on an accelerating desktop switches it off", 6, true, 0, 1},
      {"checked on a plain desktop still settles speed 10", 0, true, 0, 1},
      {"unchecked turns it back on", 0, false, 4, 1},
      {"unchecked keeps the desktop's own thresholds", 6, false, 6, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakePointerSettings pointer;
    pointer.acceleration = {c.threshold1, 10, 1};
    ApplyAccelerationSwitch(pointer, c.disable);
    EXPECT_EQ(pointer.acceleration.threshold1, c.threshold1After);
    EXPECT_EQ(pointer.accelerationWrites.size(), c.writes);
    if (c.disable) {
      EXPECT_EQ(pointer.speed, 10);
    }
  }
}

}  // namespace
}  // namespace quorix
