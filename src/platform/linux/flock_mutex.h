#pragma once
// NamedMutex across processes: an flock on a lock file in a folder private to
// the user, plus a process-local mutex (an flock held through one open file
// excludes other open files, not other threads using the same one).
//
// The kernel drops the flock when the holding process dies, so a crashed
// instance never leaves the mouse locked. Lock files are created 0600 in a
// folder only the user can enter; they are never removed (removing a lock file
// while another process waits on it would split the lock in two).
//
// There is no process-local fallback: a lock that quietly stopped excluding
// other processes would let two programs interleave their exchanges with the
// mouse, so a lock that cannot be shared is not made at all.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/named_mutex.h"

namespace quorix {

// "$XDG_RUNTIME_DIR/quorix-mouse" when the variable names an absolute path,
// else FallbackLockFolder().
std::string DefaultLockFolder();
// "/tmp/quorix-mouse-<uid>": used when the runtime folder is missing or unsafe.
std::string FallbackLockFolder();
// Why an existing folder cannot hold the locks safely (a symbolic link, not
// a folder, another user's, writable by others, not writable by us), or ""
// when it can. Only looks; creates nothing.
std::string LockFolderProblem(const std::string& folder);
// DefaultLockFolder() then FallbackLockFolder(), without repeats.
std::vector<std::string> LockFolders();

// The file name a lock name maps to: letters, digits, '.', '_' and '-' stay,
// every other byte becomes %XX, so distinct names never share a file. Long
// names are cut and get a hash suffix to stay within file name limits.
std::string LockFileName(const std::string& name);

class FlockMutex final : public NamedMutex {
 public:
  // Opens (creating it when needed) the lock file for name in the first of
  // folders that is safe: a real folder (created 0700 when missing) that the
  // user owns and can write, and that nobody else may write to. Fails
  // (kUnavailable, the detail "<folder>: <reason>") when the last folder is
  // not safe either, or when the lock file cannot be opened.
  static Result<std::unique_ptr<FlockMutex>> Open(const std::string& name,
                                                  const std::vector<std::string>& folders = LockFolders());
  // A lock for one file (give its resolved path) that every process locking
  // the same file shares: "<file name>.lock" beside it when its folder is
  // safe as above (it is never created here), else a lock named after the
  // whole path in the first safe folder of LockFolders(). A lock file in the
  // file's own folder goes when the folder goes.
  static Result<std::unique_ptr<FlockMutex>> OpenForFile(const std::string& file);
  ~FlockMutex() override;
  FlockMutex(const FlockMutex&) = delete;
  FlockMutex& operator=(const FlockMutex&) = delete;

  void lock() override;
  void unlock() override;
  bool try_lock() override;

  const std::string& FilePath() const { return filePath_; }

 private:
  FlockMutex(int fd, std::string filePath) : filePath_(std::move(filePath)), fd_(fd) {}
  std::mutex local_;
  std::string filePath_;
  int fd_;
};

}  // namespace quorix
