#pragma once
// What the KWin and GNOME Shell foreground sources share: the process ID of
// the active window as their peer last reported it (on the bus thread), the
// change callback, and a wait for the first report.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace quorix {

class BusForeground {
 public:
  // Called on the bus thread with what the peer reported; 0: no window. The
  // change callback runs when the process differs from the last one.
  void Report(uint32_t pid) { Store(pid, false); }
  // The answer to a question asked at the start: older than any report.
  void ReportUnlessReported(uint32_t pid) { Store(pid, true); }
  // Waits up to timeoutMs for the first report; false when none came.
  bool WaitForFirst(int timeoutMs);

  // The window identity of ForegroundSource: the process ID (two windows of
  // one process select the same profile), 0 for none.
  uint64_t Window();
  void SetChanged(std::function<void()> changed);

 private:
  void Store(uint32_t pid, bool onlyFirst);

  std::mutex mutex_;
  std::condition_variable reported_;
  std::optional<uint32_t> pid_;
  std::function<void()> changed_;
};

// The number in a decimal string, 0 when it is none.
uint32_t ParsePid(const std::string& text);

}  // namespace quorix
