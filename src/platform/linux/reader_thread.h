#pragma once
// The thread behind a capture that reads until told to stop: the reading
// blocks in poll() on its inputs and on a wake pipe, so that Stop from any
// other thread ends it at once, and Stop from inside the reading (a callback
// that ends the recording) returns without waiting for itself.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include "base/result.h"

namespace quorix {

class ReaderThread {
 public:
  using Body = std::function<void()>;

  // kUnavailable when no wake pipe can be made.
  static Result<std::unique_ptr<ReaderThread>> Create();
  ~ReaderThread();  // stops and waits
  ReaderThread(const ReaderThread&) = delete;
  ReaderThread& operator=(const ReaderThread&) = delete;

  // Starting a running reading does nothing and returns true. Otherwise
  // waits for a reading that was stopped from inside itself, then asks
  // prepare (under the same lock as Stop) for the body to run on a new
  // thread; an empty body means the reading cannot start: false.
  bool Start(const std::function<Body()>& prepare);
  // Called from another thread it returns once the body has returned;
  // called from inside the body it only asks it to end.
  void Stop();
  // A reading told to stop is not running, even while its thread winds down.
  bool Running() const { return running_ && !stop_; }
  // The body checks this after every wake-up and returns once it is set.
  bool Stopping() const { return stop_; }
  // Readable from Stop on: the body polls it beside its inputs.
  int WakeFd() const { return wakeRead_; }

 private:
  ReaderThread(int wakeRead, int wakeWrite) : wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

  const int wakeRead_;
  const int wakeWrite_;
  std::mutex controlMutex_;  // Start and Stop from other threads than the reader
  std::thread thread_;
  std::atomic<std::thread::id> readerId_{};  // the reading thread, set by itself
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
};

}  // namespace quorix
