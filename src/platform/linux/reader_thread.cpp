#include "platform/linux/reader_thread.h"

#include <fcntl.h>
#include <unistd.h>

namespace quorix {

Result<std::unique_ptr<ReaderThread>> ReaderThread::Create() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    return Outcome(Failure::kUnavailable, "Cannot create a pipe.");
  }
  return std::unique_ptr<ReaderThread>(new ReaderThread(fds[0], fds[1]));
}

ReaderThread::~ReaderThread() {
  Stop();
  close(wakeRead_);
  close(wakeWrite_);
}

bool ReaderThread::Start(const std::function<Body()>& prepare) {
  std::lock_guard<std::mutex> control(controlMutex_);
  if (Running()) return true;
  // A reading stopped from inside itself ends without being waited for.
  if (thread_.joinable()) thread_.join();
  Body body = prepare();
  if (!body) return false;
  // Wake-ups left by an earlier Stop would end the new reading at once.
  char drain[64];
  while (read(wakeRead_, drain, sizeof drain) > 0) {
  }
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this, body = std::move(body)] {
    readerId_ = std::this_thread::get_id();
    body();
    readerId_ = std::thread::id();  // ids are reused once a thread has ended
    running_ = false;
  });
  return true;
}

void ReaderThread::Stop() {
  stop_ = true;
  const char wake = 1;
  [[maybe_unused]] ssize_t n = write(wakeWrite_, &wake, 1);
  if (std::this_thread::get_id() == readerId_.load()) return;
  std::lock_guard<std::mutex> control(controlMutex_);
  if (thread_.joinable()) thread_.join();
}

}  // namespace quorix
