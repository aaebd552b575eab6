#include "platform/linux/x11_input_injector.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace quorix {

Result<std::unique_ptr<X11InputInjector>> X11InputInjector::Open(const char* displayName) {
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr) {
    return Outcome(Failure::kUnavailable, "Cannot open the X display; horizontal scrolling needs X11 or XWayland.");
  }
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
    XCloseDisplay(display);
    return Outcome(Failure::kUnavailable, "The X display has no XTest extension; horizontal scrolling is unavailable.");
  }
  return std::unique_ptr<X11InputInjector>(new X11InputInjector(display));
}

X11InputInjector::~X11InputInjector() { XCloseDisplay(display_); }

void X11InputInjector::ScrollHorizontal(int steps) {
  if (steps == 0) return;
  const unsigned button = steps < 0 ? kWheelLeftButton : kWheelRightButton;
  const long clicks = std::labs(static_cast<long>(steps));
  std::lock_guard<std::mutex> lock(mutex_);
  for (long i = 0; i < clicks; ++i) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
  }
  XFlush(display_);
}

void X11InputInjector::MovePointerBy(int dx, int dy) {
  std::lock_guard<std::mutex> lock(mutex_);
  XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
  XFlush(display_);
}

}  // namespace quorix
