#pragma once
// A lock that may be shared with other processes of this program.
//
// The exchange mutex and the device-list mutex serialise work on the mouse
// across every thread and every running instance. The Linux implementation
// (platform/linux/flock_mutex.h) adds an flock on a file in the user's runtime
// folder; LocalMutex serves tests and the in-process simulated mouse.

#include <mutex>
#include <string>

namespace quorix {

class NamedMutex {
 public:
  virtual ~NamedMutex() = default;
  virtual void lock() = 0;
  virtual void unlock() = 0;
  // Takes the lock only when no thread or process holds it.
  virtual bool try_lock() = 0;
};

// A NamedMutex that only excludes threads of this process.
class LocalMutex final : public NamedMutex {
 public:
  void lock() override { mutex_.lock(); }
  void unlock() override { mutex_.unlock(); }
  bool try_lock() override { return mutex_.try_lock(); }

 private:
  std::mutex mutex_;
};

// The names the program gives its cross-process locks.
inline constexpr const char* kExchangeMutexName = "QUORIX Gaming Mouse SoftwareG LOAD SETTING MUTEX";
inline constexpr const char* kDeviceListMutexName = "QUORIX Gaming Mouse Softwaredevlist MUTEX";

}  // namespace quorix
