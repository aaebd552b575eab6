#pragma once
// While alive, X errors are ignored instead of ending the program (Xlib's
// default handler exits). Windows and devices can vanish between a query
// and the request that follows it; such a request then simply has no effect.
// The destructor waits for the server, so errors of requests made in scope
// arrive while the trap is still set.

#include <X11/Xlib.h>

namespace quorix {

class ScopedErrorTrap {
 public:
  explicit ScopedErrorTrap(Display* display) : display_(display), previous_(XSetErrorHandler(Ignore)) {}
  ~ScopedErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }
  ScopedErrorTrap(const ScopedErrorTrap&) = delete;
  ScopedErrorTrap& operator=(const ScopedErrorTrap&) = delete;

 private:
  static int Ignore(Display*, XErrorEvent*) { return 0; }

  Display* display_;
  XErrorHandler previous_;
};

}  // namespace quorix
