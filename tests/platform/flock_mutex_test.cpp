#include "platform/linux/flock_mutex.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quorix {
namespace {

namespace fs = std::filesystem;

class FlockMutexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorix-flock-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs body in a child process and returns its exit status.
  static int InChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The lock called name with its file in folder_; every folder of the
  // test is safe, so this never fails.
  std::unique_ptr<FlockMutex> Lock(const std::string& name) const {
    auto mutex = FlockMutex::Open(name, {folder_});
    EXPECT_TRUE(mutex) << mutex.detail();
    return mutex ? std::move(mutex).value() : nullptr;
  }

  std::string folder_;
};

TEST_F(FlockMutexTest, ExcludesOtherProcessesUntilReleased) {
  auto mutex = Lock(kExchangeMutexName);
  ASSERT_NE(mutex, nullptr);
  mutex->lock();
  const auto childTry = [this] {
    auto other = Lock(kExchangeMutexName);
    if (!other->try_lock()) return 1;
    other->unlock();
    return 0;
  };
  EXPECT_EQ(InChild(childTry), 1);
  mutex->unlock();
  EXPECT_EQ(InChild(childTry), 0);
}

TEST_F(FlockMutexTest, KernelReleasesTheLockOfADeadHolder) {
  // The child takes the lock and dies without unlocking.
  EXPECT_EQ(InChild([this] {
              Lock(kDeviceListMutexName).release()->lock();
              return 7;
            }),
            7);
  auto mutex = Lock(kDeviceListMutexName);
  ASSERT_NE(mutex, nullptr);
  EXPECT_TRUE(mutex->try_lock());
  mutex->unlock();
}

TEST_F(FlockMutexTest, DistinctNamesDoNotExcludeEachOther) {
  auto a = Lock(kExchangeMutexName);
  auto b = Lock(kDeviceListMutexName);
  ASSERT_TRUE(a && b);
  a->lock();
  EXPECT_TRUE(b->try_lock());
  // A second open of the same name in this process is excluded like another
  // process would be.
  auto aAgain = Lock(kExchangeMutexName);
  ASSERT_NE(aAgain, nullptr);
  EXPECT_FALSE(aAgain->try_lock());
  b->unlock();
  a->unlock();
  EXPECT_TRUE(aAgain->try_lock());
  aAgain->unlock();
}

TEST_F(FlockMutexTest, ExcludesThreadsSharingOneObject) {
  auto mutex = Lock("counter");
  ASSERT_NE(mutex, nullptr);
  int counter = 0;  // deliberately plain: the lock is all that protects it
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        std::lock_guard<FlockMutex> guard(*mutex);
        const int seen = counter;
        std::this_thread::yield();
        counter = seen + 1;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 8000);
}

TEST_F(FlockMutexTest, LockFileIsPrivate) {
  auto mutex = Lock(kExchangeMutexName);
  ASSERT_NE(mutex, nullptr);
  struct stat info {};
  ASSERT_EQ(stat(mutex->FilePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// How a candidate lock folder looks before the lock is opened.
enum class Folder { Missing, Private, OpenToAll, RegularFile, Link, NoParent, OtherOwner, LockFileIsAFolder };

void Prepare(Folder kind, const std::string& path) {
  const std::string lockFile = path + "/" + LockFileName("x");
  switch (kind) {
    case Folder::Missing:
    case Folder::NoParent:  // e.g. $XDG_RUNTIME_DIR names a folder that is gone
      break;
    case Folder::Private:
      fs::create_directory(path);
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace);
      break;
    case Folder::OpenToAll:
      fs::create_directory(path);
      fs::permissions(path, fs::perms::all, fs::perm_options::replace);
      break;
    case Folder::RegularFile:
      std::ofstream(path) << "x";
      break;
    case Folder::Link:  // even to a folder that would be safe itself
      Prepare(Folder::Private, path + ".real");
      fs::create_directory_symlink(path + ".real", path);
      break;
    case Folder::OtherOwner:
      Prepare(Folder::Private, path);
      ASSERT_EQ(chown(path.c_str(), 4242, 4242), 0);
      break;
    case Folder::LockFileIsAFolder:
      Prepare(Folder::Private, path);
      fs::create_directory(lockFile);
      break;
  }
}

TEST_F(FlockMutexTest, UnsafeFoldersAreNeverUsed) {
  // used: 0 the preferred folder, 1 the fallback, -1 no lock at all, with
  // reason naming why the folder (or the lock file) in `failing` is refused.
  struct Case {
    Folder preferred, fallback;
    int used;
    int failing;
    const char* reason;
  };
  const Case cases[] = {
      {Folder::Private, Folder::Private, 0, 0, ""},
      {Folder::Missing, Folder::OpenToAll, 0, 0, ""},
      {Folder::OpenToAll, Folder::Missing, 1, 0, ""},
      {Folder::RegularFile, Folder::Private, 1, 0, ""},
      {Folder::Link, Folder::Private, 1, 0, ""},
      {Folder::NoParent, Folder::Missing, 1, 0, ""},
      {Folder::OtherOwner, Folder::Private, 1, 0, ""},
      {Folder::NoParent, Folder::OpenToAll, -1, 1, "can be written by other users"},
      {Folder::OpenToAll, Folder::RegularFile, -1, 1, "is not a folder"},
      {Folder::OpenToAll, Folder::Link, -1, 1, "is a symbolic link"},
      {Folder::NoParent, Folder::OtherOwner, -1, 1, "belongs to another user"},
      {Folder::NoParent, Folder::NoParent, -1, 1, "No such file or directory"},
      // A safe folder whose lock file cannot be opened is not skipped: other
      // processes may hold the lock there.
      {Folder::LockFileIsAFolder, Folder::Private, -1, 0, "Is a directory"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(row));
    const std::string base = folder_ + "/" + std::to_string(row++);
    const bool givesAway = c.preferred == Folder::OtherOwner || c.fallback == Folder::OtherOwner;
    if (givesAway && getuid() != 0) continue;  // only root can give a folder to another user
    fs::create_directory(base);
    std::vector<std::string> folders;
    for (const Folder kind : {c.preferred, c.fallback}) {
      const std::string path = base + (kind == Folder::NoParent ? "/gone/" : "/") + std::to_string(folders.size());
      Prepare(kind, path);
      folders.push_back(path);
    }
    const auto mutex = FlockMutex::Open("x", folders);
    const std::string& error = mutex.detail();
    if (c.used < 0) {
      EXPECT_EQ(mutex.failure(), Failure::kUnavailable);
      EXPECT_EQ(error.rfind(folders[static_cast<size_t>(c.failing)], 0), 0u) << error;
      EXPECT_NE(error.find(c.reason), std::string::npos) << error;
      continue;
    }
    ASSERT_TRUE(mutex) << error;
    const std::string& folder = folders[static_cast<size_t>(c.used)];
    EXPECT_EQ((*mutex)->FilePath(), folder + "/" + LockFileName("x"));
    struct stat info {};
    ASSERT_EQ(lstat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);  // a folder it created is private too
  }
}

TEST_F(FlockMutexTest, FileLocksLieBesideTheFileOnlyInASafeFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved ? saved : "";
  const std::string lockFolder = folder_ + "/quorix-mouse";
  setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  Prepare(Folder::Private, folder_ + "/private");
  Prepare(Folder::OpenToAll, folder_ + "/shared");
  for (const std::string& file : {folder_ + "/private/a.state", folder_ + "/shared/a.state"}) {
    SCOPED_TRACE(file);
    const bool beside = file.find("/private/") != std::string::npos;
    const auto lockOpened = FlockMutex::OpenForFile(file);
    const auto againOpened = FlockMutex::OpenForFile(file);
    ASSERT_TRUE(lockOpened && againOpened) << lockOpened.detail() << againOpened.detail();
    FlockMutex* lock = lockOpened->get();
    FlockMutex* again = againOpened->get();
    EXPECT_EQ(lock->FilePath() == file + ".lock", beside) << lock->FilePath();
    EXPECT_EQ(lock->FilePath().rfind(lockFolder + "/", 0) == 0, !beside) << lock->FilePath();
    lock->lock();
    EXPECT_FALSE(again->try_lock());
    lock->unlock();
  }
  if (saved) {
    setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
}

TEST(LockNames, FileNamesAreSafeAndDistinct) {
  EXPECT_EQ(LockFileName("QUORIX Gaming Mouse Softwaredevlist MUTEX"),
            "QUORIX%20Gaming%20Mouse%20Softwaredevlist%20MUTEX.lock");
  EXPECT_EQ(LockFileName("../a/b"), "..%2Fa%2Fb.lock");
  EXPECT_NE(LockFileName("a b"), LockFileName("a_b"));
  const std::string longName(400, 'x');
  const std::string longFile = LockFileName(longName);
  EXPECT_LT(longFile.size(), 255u);
  EXPECT_NE(longFile, LockFileName(longName + "y"));
}

TEST(LockNames, DefaultFolderFollowsRuntimeDir) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  const std::string fallback = "/tmp/quorix-mouse-" + std::to_string(getuid());
  EXPECT_EQ(LockFolders(), (std::vector<std::string>{"/run/user/4242/quorix-mouse", fallback}));
  setenv("XDG_RUNTIME_DIR", "relative", 1);
  EXPECT_EQ(LockFolders(), std::vector<std::string>{fallback});
  if (saved) {
    setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
}

}  // namespace
}  // namespace quorix
