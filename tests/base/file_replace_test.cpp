#include "base/file_replace.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>

#include "support/temp_dir.h"

namespace quorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

size_t Entries(const test::TempDir& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir.Root()), fs::directory_iterator()));
}

TEST(FileReplace, ReplacesWholeFileKeepingPermissionsAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string file = dir.Path("set.ini");
  const std::string binary("first\0x", 7);
  ASSERT_TRUE(ReplaceFileContents(file, binary));
  EXPECT_EQ(ReadFile(file), binary);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  ASSERT_TRUE(ReplaceFileContents(file, "2"));
  EXPECT_EQ(ReadFile(file), "2");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Entries(dir), 1u);
}

TEST(FileReplace, WritesThroughALinkAndFailsCleanlyWithoutAFolder) {
  test::TempDir dir;
  const std::string target = dir.Path("real.mf");
  ASSERT_TRUE(ReplaceFileContents(target, "old"));
  fs::create_symlink(target, dir.Path("link.mf"));
  ASSERT_TRUE(ReplaceFileContents(dir.Path("link.mf"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir.Path("link.mf")));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(Entries(dir), 2u);
  // A link to a file that does not exist yet creates that file.
  fs::create_symlink("later.mf", dir.Path("dangling.mf"));
  ASSERT_TRUE(ReplaceFileContents(dir.Path("dangling.mf"), "first"));
  EXPECT_TRUE(fs::is_symlink(dir.Path("dangling.mf")));
  EXPECT_EQ(ReadFile(dir.Path("later.mf")), "first");
  EXPECT_EQ(Entries(dir), 4u);

  EXPECT_FALSE(ReplaceFileContents(dir.Path("missing/x.mf"), "data"));
  EXPECT_FALSE(fs::exists(dir.Path("missing")));
  EXPECT_EQ(Entries(dir), 4u);
}

TEST(FileReplace, CanReplaceFileAnswersAsTheWriteWould) {
  test::TempDir dir;
  fs::create_directory(dir.Path("folder"));
  fs::create_symlink("folder", dir.Path("to-folder"));
  fs::create_symlink("missing/x.mf", dir.Path("to-missing"));
  fs::create_symlink("new.mf", dir.Path("to-new"));
  const struct {
    const char* name;
    bool can;
  } cases[] = {{"new.mf", true},  {"to-new", true},       {"folder", false},
               {"to-folder", false}, {"missing/x.mf", false}, {"to-missing", false}};
  for (const auto& c : cases) EXPECT_EQ(static_cast<bool>(CanReplaceFile(dir.Path(c.name))), c.can) << c.name;
  EXPECT_EQ(Entries(dir), 4u);  // the trial file is gone again
  for (const auto& c : cases) EXPECT_EQ(static_cast<bool>(ReplaceFileContents(dir.Path(c.name), "x")), c.can) << c.name;
}

TEST(FileReplace, AFailedWriteSaysWhy) {
  test::TempDir dir;
  fs::create_directory(dir.Path("folder"));
  fs::create_directory(dir.Path("read-only"));
  const bool permissionsApply = test::FolderPermissionsApply(dir);
  fs::permissions(dir.Path("read-only"), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  const struct {
    std::string path;
    std::string reason;
    bool runs;
  } cases[] = {
      {"folder", "is a directory", true},
      {"missing/x.mf", "no such file or directory", true},
      {"read-only/x.mf", "permission denied", permissionsApply},
  };
  for (const auto& c : cases) {
    if (!c.runs) continue;
    const Outcome written = ReplaceFileContents(dir.Path(c.path), "data");
    EXPECT_EQ(written, Failure::kCannotWriteFile) << c.path;
    EXPECT_EQ(written.detail, c.reason) << c.path;
  }
  EXPECT_TRUE(fs::is_empty(dir.Path("folder")));
  fs::permissions(dir.Path("read-only"), fs::perms::owner_all, fs::perm_options::replace);
  EXPECT_TRUE(fs::is_empty(dir.Path("read-only")));
}

TEST(FileRead, ReadsWholeFilesAndSaysWhyOthersCannotBe) {
  test::TempDir dir;
  ReplaceFileContents(dir.Path("four.bin"), std::string("12\0" "4", 4));
  ReplaceFileContents(dir.Path("locked.bin"), "secret");
  fs::permissions(dir.Path("locked.bin"), fs::perms::none, fs::perm_options::replace);
  const bool unreadable = !std::ifstream(dir.Path("locked.bin"));
  fs::create_directory(dir.Path("folder"));
  ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  // Sparse: the size says it all, nothing needs to be read.
  std::ofstream(dir.Path("huge.bin")).close();
  fs::resize_file(dir.Path("huge.bin"), 64u << 20);
  const struct {
    std::string path;
    size_t limit;
    Failure failure;
    std::string reason;
    bool runs;
  } cases[] = {
      {"four.bin", 4, Failure::kNone, "", true},
      {"four.bin", 3, Failure::kInvalidFormat, "larger than 3 bytes", true},
      {"folder", 100, Failure::kCannotReadFile, "is a directory", true},
      {"missing.bin", 100, Failure::kCannotReadFile, "no such file or directory", true},
      {"four.bin/below", 100, Failure::kCannotReadFile, "no such file or directory", true},
      {"locked.bin", 100, Failure::kCannotReadFile, "permission denied", unreadable},
      {"fifo", 100, Failure::kCannotReadFile, "not a regular file", true},
      {"/dev/null", 100, Failure::kCannotReadFile, "not a regular file", fs::exists("/dev/null")},
      {"huge.bin", 4u << 20, Failure::kInvalidFormat, "larger than 4194304 bytes", true},
  };
  for (const auto& c : cases) {
    if (!c.runs) continue;
    const std::string path = c.path.front() == '/' ? c.path : dir.Path(c.path);
    // A read that opens the FIFO waits for a writer: give it one after a
    // while, so that the fault fails the test instead of hanging it.
    auto read = std::async(std::launch::async, [&] { return ReadFileContents(path, c.limit); });
    if (read.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      ADD_FAILURE() << c.path << ": the read blocks";
      close(open(dir.Path("fifo").c_str(), O_WRONLY | O_NONBLOCK));
    }
    const Result<std::string> bytes = read.get();
    EXPECT_EQ(bytes.failure(), c.failure) << c.path;
    EXPECT_EQ(bytes.detail(), c.reason) << c.path;
    if (bytes) {
      EXPECT_EQ(*bytes, std::string("12\0"
                                    "4",
                                    4))
          << c.path;
    }
  }
}

}  // namespace
}  // namespace quorix
