#include "sim/sim_state_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/temp_dir.h"

namespace quorix::sim {
namespace {

namespace fs = std::filesystem;

class SimStateFileTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return dir_.Path(name); }
  test::TempDir dir_;
};

TEST_F(SimStateFileTest, RoundTripKeepsMemoryProfileAndSelection) {
  SimOptions o;
  o.memorySize = 100;  // not a multiple of the line length
  SimMouse a(o);
  a.Memory()[99] = 0xAB;
  a.Memory()[31] = 0x01;
  a.SetActiveProfile(3);
  a.SetDpiSelection(0x2A);
  SaveSimState(a, File("state"));
  // No temporary file is left beside the state file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Root()), fs::directory_iterator()), 1);

  SimMouse b(o);
  LoadSimState(b, File("state"));
  EXPECT_EQ(b.Memory(), a.Memory());
  EXPECT_EQ(b.ActiveProfile(), 3);
  EXPECT_EQ(b.DpiSelection(), 0x2A);
}

TEST_F(SimStateFileTest, AnotherKindOfMouseIsRefusedAndLeftUnchanged) {
  SimMouse level11(SimOptions{});
  SaveSimState(level11, File("state"));
  SimOptions o0;
  o0.protocolLevel = 0;
  SimMouse level0(o0);
  const auto before = level0.Memory();
  try {
    LoadSimState(level0, File("state"));
    FAIL() << "loaded a level-11 state into a level-0 mouse";
  } catch (const SimStateError& e) {
    EXPECT_NE(std::string(e.what()).find("level-11"), std::string::npos) << e.what();
  }
  EXPECT_EQ(level0.Memory(), before);

  SimOptions small;
  small.memorySize = 4096;
  SimMouse m(small);
  EXPECT_THROW(LoadSimState(m, File("state")), SimStateError);
}

TEST_F(SimStateFileTest, CorruptTextGivesAClearError) {
  SimOptions o;
  o.memorySize = 40;
  const std::string good = SerializeSimState(SimMouse(o).Save());
  EXPECT_NO_THROW(ParseSimState(good));
  auto expectError = [](const std::string& text, const std::string& words) {
    try {
      ParseSimState(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const SimStateError& e) {
      EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
    }
  };
  expectError("", "truncated");
  expectError("hello\n", "bad header");
  expectError(good.substr(0, good.size() - 5), "truncated");
  std::string s = good;
  s.replace(s.find("profile 0"), 9, "profile x");
  expectError(s, "bad value for profile");
  s = good;
  s.replace(s.find("memory 40"), 9, "memory 99999999999");
  expectError(s, "memory");
  s = good;
  s[s.find("end") - 2] = 'g';
  expectError(s, "bad hex digit");
  expectError(good + "more\n", "after \"end\"");
  s = good;
  s.replace(s.find("memory 40"), 9, "memory 41");
  expectError(s, "wrong length");
  EXPECT_NO_THROW(ParseSimState(good + "\n\n"));
}

TEST_F(SimStateFileTest, MissingOrUnwritableFiles) {
  SimMouse m(SimOptions{});
  EXPECT_THROW(LoadSimState(m, File("absent")), SimStateError);
  EXPECT_THROW(SaveSimState(m, File("no/such/folder/state")), SimStateError);
  EXPECT_THROW(CheckSimStateWritable(File("no/such/folder/state")), SimStateError);
  EXPECT_NO_THROW(CheckSimStateWritable(File("new")));
  EXPECT_FALSE(fs::exists(File("new")));
}

TEST_F(SimStateFileTest, ResolvedPathIsTheSameForEverySpellingOfOneFile) {
  fs::create_directory(File("real"));
  fs::create_directory_symlink(File("real"), File("link"));
  const std::string name = ResolvedSimStatePath(File("real/state"));
  const fs::path saved = fs::current_path();
  fs::current_path(dir_.Root());
  EXPECT_EQ(ResolvedSimStatePath("real/state"), name);
  fs::current_path(saved);
  EXPECT_EQ(ResolvedSimStatePath(File("link/state")), name);
  EXPECT_EQ(ResolvedSimStatePath(File("real/../real/./state")), name);
  EXPECT_EQ(ResolvedSimStatePath(File("real/other")), fs::canonical(File("real")) / "other");
}

}  // namespace
}  // namespace quorix::sim
