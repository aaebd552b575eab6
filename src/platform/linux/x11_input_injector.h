#pragma once
// Synthetic input through the XTest extension: horizontal wheel clicks are
// buttons 6 (left) and 7 (right), one press and release per step.

#include <memory>
#include <mutex>
#include <string>

#include "platform/input_injector.h"

struct _XDisplay;

namespace quorix {

inline constexpr unsigned kWheelLeftButton = 6;
inline constexpr unsigned kWheelRightButton = 7;

class X11InputInjector final : public InputInjector {
 public:
  // kUnavailable when the display or the XTest extension is missing.
  static Result<std::unique_ptr<X11InputInjector>> Open(const char* displayName);
  ~X11InputInjector() override;
  X11InputInjector(const X11InputInjector&) = delete;
  X11InputInjector& operator=(const X11InputInjector&) = delete;

  void ScrollHorizontal(int steps) override;
  void MovePointerBy(int dx, int dy) override;

 private:
  explicit X11InputInjector(_XDisplay* display) : display_(display) {}
  std::mutex mutex_;  // the scroll worker and the lift test may both inject
  _XDisplay* display_;
};

}  // namespace quorix
