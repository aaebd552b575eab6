#pragma once
// Synthetic input for the two things the program does on the mouse's behalf:
// horizontal scrolling of the window under the pointer, and a small pointer
// nudge that makes the sensor report motion during a lift test.

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "base/result.h"

namespace quorix {

class InputInjector {
 public:
  virtual ~InputInjector() = default;
  // One horizontal wheel click per step: steps > 0 scroll right, < 0 left.
  virtual void ScrollHorizontal(int steps) = 0;
  // Moves the pointer relative to where it is.
  virtual void MovePointerBy(int dx, int dy) = 0;
};

// One way of injecting: the injector, or why it cannot be had.
using InputInjectorOpener = std::function<Result<std::unique_ptr<InputInjector>>()>;

// The first of openers (in order of preference) that succeeds. When none
// does, kUnavailable with each one's reason, one a line.
Result<std::unique_ptr<InputInjector>> ChooseInputInjector(const std::vector<InputInjectorOpener>& openers);

}  // namespace quorix
