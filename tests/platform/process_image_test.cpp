#include "platform/linux/process_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace quorix {
namespace {

namespace fs = std::filesystem;

class FakeProc : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quorix_proc_" + std::to_string(getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void AddProcess(int pid, const std::string& exe, const std::string& cmdline) {
    const fs::path dir = root_ / std::to_string(pid);
    fs::create_directories(dir);
    if (!exe.empty()) fs::create_symlink(exe, dir / "exe");
    std::ofstream(dir / "cmdline", std::ios::binary) << cmdline;
  }
  std::string Root() const { return root_.string(); }

 private:
  fs::path root_;
};

using namespace std::string_literals;

TEST(CommandLine, WindowsProgramsUnderLoaders) {
  EXPECT_EQ(SplitCommandLine("a\0b c\0\0d\0"s), (std::vector<std::string>{"a", "b c", "", "d"}));
  EXPECT_EQ(WindowsProgramFromCommandLine({"C:\\Games\\game.exe"}, "/usr/bin/wine64-preloader"),
            "C:\\Games\\game.exe");
  EXPECT_EQ(WindowsProgramFromCommandLine({"/usr/bin/wine", "--debug", "/home/u/Games/GAME.EXE"}, "/usr/bin/wine"),
            "/home/u/Games/GAME.EXE");
  // A native program that happens to get an .exe argument stays itself.
  EXPECT_FALSE(WindowsProgramFromCommandLine({"/usr/bin/file", "setup.exe"}, "/usr/bin/file"));
  EXPECT_FALSE(WindowsProgramFromCommandLine({"/usr/bin/wine64"}, "/usr/bin/wine64"));
  EXPECT_FALSE(WindowsProgramFromCommandLine({}, "/usr/bin/wine"));
  EXPECT_FALSE(WindowsProgramFromCommandLine({".exe"}, ""));  // too short to be a name
}

TEST_F(FakeProc, ImageFromExeLinkOrWindowsProgram) {
  AddProcess(100, "/usr/bin/xterm", "xterm\0-e\0bash\0"s);
  AddProcess(200, "/opt/proton/bin/wine64-preloader", "Z:\\home\\u\\Games\\game.exe\0"s);
  AddProcess(300, "/usr/bin/updated (deleted)", "updated\0"s);
  AddProcess(400, "", "");  // another user's process: no readable link, no command line
  EXPECT_EQ(ProcessImagePath(100, Root()), "/usr/bin/xterm");
  EXPECT_EQ(ProcessImagePath(200, Root()), "Z:\\home\\u\\Games\\game.exe");
  EXPECT_EQ(ProcessImagePath(300, Root()), "/usr/bin/updated");
  EXPECT_FALSE(ProcessImagePath(400, Root()));
  EXPECT_FALSE(ProcessImagePath(500, Root()));
  EXPECT_FALSE(ProcessImagePath(0, Root()));
}

TEST(ProcessImage, OwnProcessFromTheRealProc) {
  const auto image = ProcessImagePath(getpid());
  ASSERT_TRUE(image);
  EXPECT_EQ(fs::path(*image).filename(), "platform_test");
}

}  // namespace
}  // namespace quorix
