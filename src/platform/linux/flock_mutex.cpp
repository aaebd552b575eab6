#include "platform/linux/flock_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace quorix {
namespace {

constexpr size_t kMaxLockFileNameLength = 200;

// The folder must be a real directory of ours that nobody else may write to:
// otherwise another user could pre-create the lock file and hold the lock.
bool EnsurePrivateFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 0022) == 0;
}

int FlockRetrying(int fd, int operation) {
  int result;
  do {
    result = flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

}  // namespace

std::string DefaultLockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/quorix-mouse";
  return "/tmp/quorix-mouse-" + std::to_string(getuid());
}

std::string LockFileName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                       c == '_' || c == '-';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    }
  }
  if (out.size() > kMaxLockFileNameLength) {
    char hash[20];
    std::snprintf(hash, sizeof hash, "~%016zx", std::hash<std::string>{}(name));
    out = out.substr(0, kMaxLockFileNameLength) + hash;
  }
  return out + ".lock";
}

FlockMutex::FlockMutex(const std::string& name, const std::string& folder) {
  const std::string dir = folder.empty() ? DefaultLockFolder() : folder;
  filePath_ = dir + "/" + LockFileName(name);
  if (!EnsurePrivateFolder(dir)) return;
  fd_ = open(filePath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

FlockMutex::~FlockMutex() {
  if (fd_ >= 0) close(fd_);
}

void FlockMutex::lock() {
  local_.lock();
  // A failing flock (it only fails for a bad descriptor) leaves the
  // process-local exclusion in force.
  if (fd_ >= 0) FlockRetrying(fd_, LOCK_EX);
}

void FlockMutex::unlock() {
  if (fd_ >= 0) FlockRetrying(fd_, LOCK_UN);
  local_.unlock();
}

bool FlockMutex::try_lock() {
  if (!local_.try_lock()) return false;
  if (fd_ >= 0 && FlockRetrying(fd_, LOCK_EX | LOCK_NB) != 0) {
    local_.unlock();
    return false;
  }
  return true;
}

}  // namespace quorix
