#pragma once
// When the tray icon's menu opens: 500 ms after a left click (so that a
// double click can still come), 10 ms after a right click; a double click
// restores the window and no menu follows it, not even after the release
// that ends it.

#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace quorix {

inline constexpr int64_t kTrayLeftMenuMs = 500;
inline constexpr int64_t kTrayRightMenuMs = 10;

class TrayClicks {
 public:
  explicit TrayClicks(Clock& clock) : clock_(clock) {}

  void LeftRelease() { Release(kTrayLeftMenuMs); }
  void RightRelease() { Release(kTrayRightMenuMs); }
  // The window is to be restored; a pending menu is dropped.
  // releaseFollows: the desktop sends one more release after the double
  // click (some trays do, some end the double click on the press).
  void DoubleClick(bool releaseFollows = true) {
    menuPending_ = false;
    armed_ = !releaseFollows;
  }
  // True once when the menu is due.
  bool Poll() {
    if (!menuPending_ || menuDueMs_ > clock_.NowMs()) return false;
    menuPending_ = false;
    return true;
  }
  std::optional<int64_t> NextDueMs() const {
    return menuPending_ ? std::optional<int64_t>(menuDueMs_) : std::nullopt;
  }

 private:
  void Release(int64_t delayMs) {
    // The release that ends a double click only arms the next one.
    if (!armed_) {
      armed_ = true;
      return;
    }
    menuDueMs_ = clock_.NowMs() + delayMs;
    menuPending_ = true;
  }

  Clock& clock_;
  bool armed_ = true;
  // A flag beside a plain time rather than an optional: GCC 12 at -O3 takes
  // the optional's value for uninitialized where a test copies it.
  bool menuPending_ = false;
  int64_t menuDueMs_ = 0;
};

}  // namespace quorix
