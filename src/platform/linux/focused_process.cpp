#include "platform/linux/focused_process.h"

#include <utility>

#include "platform/linux/process_image.h"

namespace quorix {

void FocusedProcess::Set(const WindowFocus& focus) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (focus_ == focus) return;
    focus_ = focus;
  }
  std::lock_guard<std::mutex> lock(notifyMutex_);
  if (changed_) changed_();
}

uint64_t FocusedProcess::Window() {
  std::lock_guard<std::mutex> lock(mutex_);
  return focus_.window;
}

int FocusedProcess::Pid() {
  std::lock_guard<std::mutex> lock(mutex_);
  return focus_.pid;
}

std::optional<std::string> FocusedProcess::ImageOf(uint64_t window) {
  int pid = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (window == 0 || window != focus_.window) return std::nullopt;
    pid = focus_.pid;
  }
  if (pid <= 0) return std::nullopt;
  return ProcessImagePath(pid);
}

void FocusedProcess::SetChanged(std::function<void()> changed) {
  std::lock_guard<std::mutex> lock(notifyMutex_);
  changed_ = std::move(changed);
}

}  // namespace quorix
