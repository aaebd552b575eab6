#include "platform/linux/bus_foreground.h"

#include <charconv>
#include <chrono>

namespace quorix {

void BusForeground::Store(uint32_t pid, bool onlyFirst) {
  std::function<void()> changed;
  {
    std::lock_guard lock(mutex_);
    if (pid_ == pid || (onlyFirst && pid_)) return;
    pid_ = pid;
    changed = changed_;
  }
  reported_.notify_all();
  if (changed) changed();
}

bool BusForeground::WaitForFirst(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return reported_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return pid_.has_value(); });
}

uint64_t BusForeground::Window() {
  std::lock_guard lock(mutex_);
  return pid_.value_or(0);
}

void BusForeground::SetChanged(std::function<void()> changed) {
  std::lock_guard lock(mutex_);
  changed_ = std::move(changed);
}

uint32_t ParsePid(const std::string& text) {
  uint32_t pid = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
  return error == std::errc() && end == text.data() + text.size() ? pid : 0;
}

}  // namespace quorix
