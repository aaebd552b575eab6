#include "platform/linux/flock_mutex.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

  std::string folder_;
};

TEST_F(FlockMutexTest, ExcludesOtherProcessesUntilReleased) {
  FlockMutex mutex(kExchangeMutexName, folder_);
  ASSERT_TRUE(mutex.IsShared());
  mutex.lock();
  const auto childTry = [this] {
    FlockMutex other(kExchangeMutexName, folder_);
    if (!other.try_lock()) return 1;
    other.unlock();
    return 0;
  };
  EXPECT_EQ(InChild(childTry), 1);
  mutex.unlock();
  EXPECT_EQ(InChild(childTry), 0);
}

TEST_F(FlockMutexTest, KernelReleasesTheLockOfADeadHolder) {
  // The child takes the lock and dies without unlocking.
  EXPECT_EQ(InChild([this] {
              auto* held = new FlockMutex(kDeviceListMutexName, folder_);
              held->lock();
              return 7;
            }),
            7);
  FlockMutex mutex(kDeviceListMutexName, folder_);
  EXPECT_TRUE(mutex.try_lock());
  mutex.unlock();
}

TEST_F(FlockMutexTest, DistinctNamesDoNotExcludeEachOther) {
  FlockMutex a(kExchangeMutexName, folder_);
  FlockMutex b(kDeviceListMutexName, folder_);
  a.lock();
  EXPECT_TRUE(b.try_lock());
  // A second open of the same name in this process is excluded like another
  // process would be.
  FlockMutex aAgain(kExchangeMutexName, folder_);
  EXPECT_FALSE(aAgain.try_lock());
  b.unlock();
  a.unlock();
  EXPECT_TRUE(aAgain.try_lock());
  aAgain.unlock();
}

TEST_F(FlockMutexTest, ExcludesThreadsSharingOneObject) {
  FlockMutex mutex("counter", folder_);
  int counter = 0;  // deliberately plain: the lock is all that protects it
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        std::lock_guard<FlockMutex> guard(mutex);
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
  FlockMutex mutex(kExchangeMutexName, folder_);
  struct stat info {};
  ASSERT_EQ(stat(mutex.FilePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(FlockMutexTest, FolderWritableByOthersIsNotTrusted) {
  ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
  FlockMutex mutex("x", folder_);
  EXPECT_FALSE(mutex.IsShared());
  // Still a working lock for this process's threads.
  EXPECT_TRUE(mutex.try_lock());
  EXPECT_FALSE(mutex.try_lock());
  mutex.unlock();
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
  EXPECT_EQ(DefaultLockFolder(), "/run/user/4242/quorix-mouse");
  setenv("XDG_RUNTIME_DIR", "relative", 1);
  EXPECT_EQ(DefaultLockFolder(), "/tmp/quorix-mouse-" + std::to_string(getuid()));
  if (saved) {
    setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
}

}  // namespace
}  // namespace quorix
