#pragma once
// Which ForegroundSource serves the session the program runs in, chosen at
// run time from the environment the desktop hands down: a compositor's own
// channel where it has one (sway IPC, Hyprland's sockets, the KWin script,
// the GNOME Shell extension), else the window
// list of wlroots compositors, else X11 (on an X11 desktop, and under
// Wayland for XWayland windows, as before).

#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/foreground_source.h"

namespace quorix {

// The variables the choice reads; empty for an unset one.
struct DesktopEnvironment {
  std::string currentDesktop;     // XDG_CURRENT_DESKTOP, e.g. "sway", "KDE", "GNOME"
  std::string waylandDisplay;     // WAYLAND_DISPLAY
  std::string display;            // DISPLAY
  std::string swaySocket;         // SWAYSOCK
  std::string hyprlandSignature;  // HYPRLAND_INSTANCE_SIGNATURE
  std::string runtimeDir;         // XDG_RUNTIME_DIR

  static DesktopEnvironment FromProcess();
};

// Whether XDG_CURRENT_DESKTOP, a colon-separated list ("ubuntu:GNOME"),
// names `name`.
bool DesktopIncludes(const DesktopEnvironment& env, const std::string& name);

// The names of the sources worth trying for env, best first: "sway",
// "hyprland", "kwin", "gnome", "wlr-toplevel", "x11". The last is always "x11", whose
// failure says why nothing could be opened.
std::vector<std::string> ForegroundCandidates(const DesktopEnvironment& env);

// The first candidate that opens; kUnavailable with the last one's reason
// when none does. Where the user can mend the desktop's own channel (GNOME
// without the Shell extension), its reason is the detail, and a lesser source
// that opens instead gives it as its Limitation().
Result<std::unique_ptr<ForegroundSource>> OpenForegroundSource(const DesktopEnvironment& env);

}  // namespace quorix
