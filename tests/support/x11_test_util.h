#pragma once
// Small X11 queries for tests that run under a private X server.

#include <X11/Xlib.h>

#include <string>

namespace quorix::test {

// True when an EWMH window manager has set _NET_SUPPORTING_WM_CHECK on the root.
inline bool WindowManagerRunning(const std::string& display) {
  Display* d = XOpenDisplay(display.c_str());
  if (d == nullptr) return false;
  bool running = false;
  const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
  if (check != None) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType, &type, &format, &items,
                           &after, &data) == Success) {
      running = items > 0;
    }
    if (data != nullptr) XFree(data);
  }
  XCloseDisplay(d);
  return running;
}

}  // namespace quorix::test
