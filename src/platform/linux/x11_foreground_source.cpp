#include "platform/linux/x11_foreground_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

#include "platform/linux/process_image.h"
#include "platform/linux/x11_error_trap.h"

namespace quorix {

namespace {

// Reads one 32-bit item of a property (XLib hands it over as a long).
std::optional<unsigned long> ReadCardinal(Display* display, Window window, const char* name, Atom type) {
  const Atom property = XInternAtom(display, name, True);
  if (property == None) return std::nullopt;
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::optional<unsigned long> value;
  if (XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &actualFormat, &items, &after,
                         &data) == Success) {
    if (data != nullptr && actualType == type && actualFormat == 32 && items >= 1) {
      value = *reinterpret_cast<unsigned long*>(data);
    }
  }
  if (data != nullptr) XFree(data);
  return value;
}

}  // namespace

bool IsWaylandSession() {
  const char* sessionType = std::getenv("XDG_SESSION_TYPE");
  const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
  return (sessionType != nullptr && std::strcmp(sessionType, "wayland") == 0) ||
         (waylandDisplay != nullptr && *waylandDisplay != '\0');
}

Result<std::unique_ptr<X11ForegroundSource>> X11ForegroundSource::Open(const char* displayName) {
  const char* name = displayName != nullptr ? displayName : std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    return Outcome(Failure::kUnavailable,
                   std::string(kNeedsX11Text) + " No X display is available (DISPLAY is not set).");
  }
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    return Outcome(Failure::kUnavailable, std::string(kNeedsX11Text) + " Cannot open the X display \"" + name + "\".");
  }
  return std::unique_ptr<X11ForegroundSource>(new X11ForegroundSource(display));
}

X11ForegroundSource::~X11ForegroundSource() { XCloseDisplay(display_); }

uint64_t X11ForegroundSource::ForegroundWindow() {
  ScopedErrorTrap trap(display_);
  const auto window = ReadCardinal(display_, DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  return window ? *window : 0;
}

int X11ForegroundSource::WindowProcessId(uint64_t window) {
  if (window == 0) return 0;
  ScopedErrorTrap trap(display_);
  const auto pid = ReadCardinal(display_, static_cast<Window>(window), "_NET_WM_PID", XA_CARDINAL);
  return pid ? static_cast<int>(*pid) : 0;
}

std::optional<std::string> X11ForegroundSource::ProcessImageName(uint64_t window) {
  const int pid = WindowProcessId(window);
  if (pid <= 0) return std::nullopt;
  return ProcessImagePath(pid);
}

std::string X11ForegroundSource::Limitation() const { return IsWaylandSession() ? kNeedsX11Text : ""; }

}  // namespace quorix
