#pragma once
// Which application is in front: the identity of the foreground window and the
// image file name of the process that owns it. Per-application profile
// switching asks it whenever the foreground may have changed: on a timer for a
// source that cannot tell (X11), at once for one that hears of every change
// (the Wayland desktops' own channels).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quorix {

class ForegroundSource {
 public:
  virtual ~ForegroundSource() = default;

  // An identity of the foreground window that changes when another window
  // comes to the front; 0 when there is none (or it cannot be told).
  virtual uint64_t ForegroundWindow() = 0;

  // The image file name of the process that owns window, as a path or a bare
  // file name. For a Windows program run by a loader (Wine, Proton) it is the
  // program's .exe, for example "C:\Games\game.exe". Nothing when the process
  // cannot be queried.
  virtual std::optional<std::string> ProcessImageName(uint64_t window) = 0;

  // For a source that cannot name processes (the window list a Wayland
  // compositor hands to other programs): the window's application id, most
  // often the name of the program's desktop file ("org.gnome.Nautilus",
  // "foot"). Nothing from a source that names processes.
  virtual std::optional<std::string> ApplicationId(uint64_t window) {
    (void)window;
    return std::nullopt;
  }

  // Empty when every application window can be seen; otherwise a sentence for
  // the user saying which windows are not (for example native Wayland ones).
  virtual std::string Limitation() const { return {}; }

  // A source that hears of every change of the foreground window calls
  // `changed` (on a thread of its own) after each one, and returns true: its
  // user then stops polling. False, and `changed` never called, for a source
  // that must be polled. Called once, before the first query.
  virtual bool NotifyChanges(std::function<void()> changed) {
    (void)changed;
    return false;
  }
};

}  // namespace quorix
