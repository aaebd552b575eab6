#pragma once
// Starting the program with the user's desktop session: an XDG autostart
// entry that starts it hidden in the tray. The entry's presence is the
// switch; there is no copy of it in set.ini that could disagree.

#include <string>

#include "base/result.h"

namespace quorix {

inline constexpr const char* kAutostartFileName = "quorix-mouse.desktop";
// What starting with the session passes: no window, only the tray icon.
inline constexpr const char* kAutostartSwitch = "/hide";

// The entry under the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config): <configHome>/autostart/quorix-mouse.desktop.
std::string AutostartEntryPath(const std::string& configHome);
// The entry's text for the program at `program` (quoted as the desktop entry
// format wants when the path holds blanks or special characters).
std::string AutostartEntryText(const std::string& program);
bool AutostartEnabled(const std::string& entryPath);
// Writes the entry (on), creating its folder, or removes it (off); the write
// replaces any old entry in one step. Fails with kCannotWriteFile and the
// system's reason; a missing entry counts as removed.
Outcome SetAutostart(const std::string& entryPath, bool on, const std::string& program);

}  // namespace quorix
