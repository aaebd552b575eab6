#pragma once
// NamedMutex across processes: an flock on a lock file in the user's runtime
// folder, plus a process-local mutex (an flock held through one open file
// excludes other open files, not other threads using the same one).
//
// The kernel drops the flock when the holding process dies, so a crashed
// instance never leaves the mouse locked. Lock files are created 0600 in a
// folder only the user can enter; they are never removed (removing a lock file
// while another process waits on it would split the lock in two).

#include <mutex>
#include <string>

#include "platform/named_mutex.h"

namespace quorix {

// "$XDG_RUNTIME_DIR/quorix-mouse" when the variable names an absolute path,
// else "/tmp/quorix-mouse-<uid>".
std::string DefaultLockFolder();

// The file name a lock name maps to: letters, digits, '.', '_' and '-' stay,
// every other byte becomes %XX, so distinct names never share a file. Long
// names are cut and get a hash suffix to stay within file name limits.
std::string LockFileName(const std::string& name);

class FlockMutex final : public NamedMutex {
 public:
  // Opens (creating it when needed) the lock file for name in folder, or in
  // DefaultLockFolder() when folder is empty. When the folder cannot be made
  // safe (not ours, a symlink, not writable) the mutex still excludes the
  // threads of this process, and IsShared() says false.
  explicit FlockMutex(const std::string& name, const std::string& folder = {});
  ~FlockMutex() override;
  FlockMutex(const FlockMutex&) = delete;
  FlockMutex& operator=(const FlockMutex&) = delete;

  void lock() override;
  void unlock() override;
  bool try_lock() override;

  bool IsShared() const { return fd_ >= 0; }
  const std::string& FilePath() const { return filePath_; }

 private:
  std::mutex local_;
  std::string filePath_;
  int fd_ = -1;
};

}  // namespace quorix
