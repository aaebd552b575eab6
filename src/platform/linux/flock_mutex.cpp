#include "platform/linux/flock_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace quorix {
namespace {

constexpr size_t kMaxLockFileNameLength = 200;

// LockFolderProblem after creating the folder when it is missing.
std::string UnsafeFolderReason(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
  return LockFolderProblem(folder);
}

int FlockRetrying(int fd, int operation) {
  int result;
  do {
    result = flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

}  // namespace

// The folder must be a real directory of ours that nobody else may write to:
// otherwise another user could pre-create the lock file and hold the lock.
std::string LockFolderProblem(const std::string& folder) {
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) return std::strerror(errno);
  if (S_ISLNK(info.st_mode)) return "is a symbolic link";
  if (!S_ISDIR(info.st_mode)) return "is not a folder";
  if (info.st_uid != getuid()) return "belongs to another user";
  if ((info.st_mode & 0022) != 0) return "can be written by other users";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return "";
}

std::string DefaultLockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/quorix-mouse";
  return FallbackLockFolder();
}

std::string FallbackLockFolder() { return "/tmp/quorix-mouse-" + std::to_string(getuid()); }

std::vector<std::string> LockFolders() {
  std::vector<std::string> folders{DefaultLockFolder()};
  if (folders[0] != FallbackLockFolder()) folders.push_back(FallbackLockFolder());
  return folders;
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

Result<std::unique_ptr<FlockMutex>> FlockMutex::Open(const std::string& name, const std::vector<std::string>& folders) {
  std::string reason = "no folder for lock files";
  for (const std::string& folder : folders) {
    reason = UnsafeFolderReason(folder);
    if (!reason.empty()) {
      reason = folder + ": " + reason;
      continue;
    }
    // A safe folder whose lock file cannot be opened is an error, not a reason
    // to try the next folder: another process that did open it there would
    // hold a different lock than this one.
    const std::string path = folder + "/" + LockFileName(name);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      reason = path + ": " + std::strerror(errno);
      break;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      close(fd);
      reason = path + ": is not a regular file";
      break;
    }
    return std::unique_ptr<FlockMutex>(new FlockMutex(fd, path));
  }
  return Outcome(Failure::kUnavailable, reason);
}

Result<std::unique_ptr<FlockMutex>> FlockMutex::OpenForFile(const std::string& file) {
  const size_t slash = file.rfind('/');
  if (slash != std::string::npos && slash + 1 < file.size()) {
    const std::string folder = slash == 0 ? "/" : file.substr(0, slash);
    struct stat info {};
    // Whether the folder is safe depends on the folder alone, so every
    // process locking this file makes the same choice.
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      if (auto beside = Open(file.substr(slash + 1), {folder})) return beside;
    }
  }
  return Open("file " + file);
}

FlockMutex::~FlockMutex() { close(fd_); }

void FlockMutex::lock() {
  local_.lock();
  // flock on an open regular file only fails for a bad descriptor.
  FlockRetrying(fd_, LOCK_EX);
}

void FlockMutex::unlock() {
  FlockRetrying(fd_, LOCK_UN);
  local_.unlock();
}

bool FlockMutex::try_lock() {
  if (!local_.try_lock()) return false;
  if (FlockRetrying(fd_, LOCK_EX | LOCK_NB) != 0) {
    local_.unlock();
    return false;
  }
  return true;
}

}  // namespace quorix
