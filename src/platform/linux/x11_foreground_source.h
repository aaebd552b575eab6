#pragma once
// The foreground application on an X11 display (also XWayland): the window
// in the root's _NET_ACTIVE_WINDOW, its _NET_WM_PID, and the process image
// from /proc. Native Wayland windows are invisible to it.

#include <memory>
#include <optional>
#include <string>

#include "base/result.h"
#include "platform/foreground_source.h"

struct _XDisplay;

namespace quorix {

// The sentence shown when switching by application cannot see every window.
inline constexpr const char* kNeedsX11Text =
    "Switching profiles by application needs X11 or XWayland windows: native Wayland windows are not seen.";

class X11ForegroundSource final : public ForegroundSource {
 public:
  // Connects to displayName (nullptr: $DISPLAY). Fails with kUnavailable
  // and the reason.
  static Result<std::unique_ptr<X11ForegroundSource>> Open(const char* displayName);
  ~X11ForegroundSource() override;
  X11ForegroundSource(const X11ForegroundSource&) = delete;
  X11ForegroundSource& operator=(const X11ForegroundSource&) = delete;

  uint64_t ForegroundWindow() override;
  std::optional<std::string> ProcessImageName(uint64_t window) override;
  std::string Limitation() const override;

  // The window's _NET_WM_PID, or 0.
  int WindowProcessId(uint64_t window);

 private:
  explicit X11ForegroundSource(_XDisplay* display) : display_(display) {}
  _XDisplay* display_;
};

// True when the session is a Wayland one (native windows exist beside X11).
bool IsWaylandSession();

}  // namespace quorix
