#pragma once
// The window in front as a compositor's channel last told it, and the
// process that owns it: what the sway and Hyprland foreground sources keep.
// The source's reader thread writes it; the user's thread reads it. The
// change callback runs on the reader thread, under a lock of its own, so that
// SetChanged({}) returns only once no call is under way.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace quorix {

struct WindowFocus {
  uint64_t window = 0;  // the compositor's identity of the window, 0 for none
  int pid = 0;          // its process, 0 when not told
  bool operator==(const WindowFocus&) const = default;
};

class FocusedProcess {
 public:
  // The focus found at start, before any callback is set.
  explicit FocusedProcess(const WindowFocus& start = {}) : focus_(start) {}

  // Keeps `focus`; calls the change callback when it differs from the last.
  void Set(const WindowFocus& focus);
  uint64_t Window();
  int Pid();
  // The image of the process of `window` while it is the one in front.
  std::optional<std::string> ImageOf(uint64_t window);
  void SetChanged(std::function<void()> changed);

 private:
  std::mutex mutex_;
  WindowFocus focus_;  // guarded by mutex_
  std::mutex notifyMutex_;
  std::function<void()> changed_;  // guarded by notifyMutex_
};

}  // namespace quorix
