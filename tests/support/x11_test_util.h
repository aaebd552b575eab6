#pragma once
// Small X11 queries for tests that run under a private X server.

#include <X11/Xatom.h>
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

// Asks the window manager to activate the managed window of process pid, as
// a pager or a user's click would (_NET_ACTIVE_WINDOW client message). False
// when no managed window of that process is listed yet.
inline bool ActivateWindowOfProcess(const std::string& display, long pid) {
  Display* d = XOpenDisplay(display.c_str());
  if (d == nullptr) return false;
  const Window root = DefaultRootWindow(d);
  const Atom clientList = XInternAtom(d, "_NET_CLIENT_LIST", False);
  const Atom wmPid = XInternAtom(d, "_NET_WM_PID", False);
  const Atom active = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  Window target = 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, root, clientList, 0, 1024, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
          Success &&
      data != nullptr && format == 32) {
    const auto* windows = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long i = 0; i < count && target == 0; ++i) {
      unsigned char* pidData = nullptr;
      unsigned long pidItems = 0;
      if (XGetWindowProperty(d, windows[i], wmPid, 0, 1, False, XA_CARDINAL, &type, &format, &pidItems, &after,
                             &pidData) == Success &&
          pidData != nullptr && pidItems == 1 && static_cast<long>(*reinterpret_cast<unsigned long*>(pidData)) == pid) {
        target = windows[i];
      }
      if (pidData != nullptr) XFree(pidData);
    }
  }
  if (data != nullptr) XFree(data);
  if (target != 0) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = active;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // a pager: the window manager obeys at once
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(d, False);
  }
  XCloseDisplay(d);
  return target != 0;
}

}  // namespace quorix::test
