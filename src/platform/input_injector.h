#pragma once
// Synthetic input for the two things the program does on the mouse's behalf:
// horizontal scrolling of the window under the pointer, and a small pointer
// nudge that makes the sensor report motion during a lift test.

namespace quorix {

class InputInjector {
 public:
  virtual ~InputInjector() = default;
  // One horizontal wheel click per step: steps > 0 scroll right, < 0 left.
  virtual void ScrollHorizontal(int steps) = 0;
  // Moves the pointer relative to where it is.
  virtual void MovePointerBy(int dx, int dy) = 0;
};

}  // namespace quorix
