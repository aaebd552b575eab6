#pragma once
// Which PointerSettings reaches the pointer of the session the program runs
// in. On a Wayland desktop only the compositor's own setting does (sway's
// input config, GNOME's GSettings key, KWin's input devices), also for a
// program on XWayland, whose X pointer control reaches no device; on an X11
// desktop the X server's pointer control.

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/foreground_choice.h"
#include "platform/pointer_settings.h"

namespace quorix {

// The names worth trying for env, best first: "sway", "kwin", "gnome", "x11";
// empty on a Wayland desktop none of them serves.
std::vector<std::string> PointerCandidates(const DesktopEnvironment& env);

// The first candidate that opens; kUnavailable with the last one's reason
// when none does.
Result<std::unique_ptr<PointerSettings>> OpenPointerSettings(const DesktopEnvironment& env);

}  // namespace quorix
