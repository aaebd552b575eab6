#pragma once
// The foreground application on GNOME Shell (43 and later), native Wayland
// windows included. The Shell tells no other program which window has the
// focus, so the package ships a Shell extension (data/gnome-shell/) that
// offers the focused window's process ID at /org/quorix/MouseForeground under
// the Shell's bus name and signals each change; this source subscribes to
// that signal on SessionBus's thread (no polling) and turns the process ID
// into the image through /proc as on X11. Without the extension enabled the
// source is unavailable and says the one command that enables it.

#include <memory>
#include <optional>
#include <string>

#include "base/result.h"
#include "platform/foreground_source.h"
#include "platform/linux/bus_foreground.h"

namespace quorix {

class SessionBus;

inline constexpr const char* kGnomeExtensionUuid = "foreground@quorix-mouse.example.org";
// The sentence shown when the extension is not enabled; it ends in the command.
inline constexpr const char* kGnomeExtensionText =
    "Switching profiles by application on GNOME needs this program's Shell extension. Enable it with: "
    "gnome-extensions enable foreground@quorix-mouse.example.org";

class GnomeForegroundSource final : public ForegroundSource {
 public:
  // Asks the extension for the focused window. On failure kUnavailable and
  // the reason (kGnomeExtensionText when the Shell runs without the
  // extension).
  static Result<std::unique_ptr<GnomeForegroundSource>> Open();
  ~GnomeForegroundSource() override;
  GnomeForegroundSource(const GnomeForegroundSource&) = delete;
  GnomeForegroundSource& operator=(const GnomeForegroundSource&) = delete;

  // The process ID of the focused window (0: none).
  uint64_t ForegroundWindow() override;
  std::optional<std::string> ProcessImageName(uint64_t window) override;
  bool NotifyChanges(std::function<void()> changed) override;

 private:
  explicit GnomeForegroundSource(std::unique_ptr<SessionBus> bus);

  // Before bus_: the bus thread, which reports into it, stops first.
  BusForeground foreground_;
  std::unique_ptr<SessionBus> bus_;
};

}  // namespace quorix
