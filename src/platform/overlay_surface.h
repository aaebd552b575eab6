#pragma once
// A picture shown above every window of the desktop, never focused and never
// hit by the pointer: the on-screen display where the desktop lets no window
// place itself or stay on top (Wayland). The GUI thread owns it and calls it;
// it keeps no thread of its own and does its work inside Show and Hide.

#include <cstdint>
#include <span>

namespace quorix {

class OverlaySurface {
 public:
  virtual ~OverlaySurface() = default;

  // Shows the picture, or replaces the one shown: width * height pixels row
  // after row, each 0xAARRGGBB with the colour premultiplied by alpha. Its
  // top-left corner goes to (x, y) from the top-left of the screen. False
  // when the desktop refused it or the connection to it is gone; nothing
  // shows then.
  virtual bool Show(std::span<const uint32_t> pixels, int width, int height, int x, int y) = 0;
  // Takes the picture off the screen; nothing when none is shown.
  virtual void Hide() = 0;
};

}  // namespace quorix
