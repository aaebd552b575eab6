#pragma once
// The program's own options and the per-profile application bindings, kept in
// section [ARG] of set.ini in the data folder. Values stay in an Options object
// owned by the caller; the file is read once at start-up and written in full
// after every change.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "base/text_encoding.h"
#include "settings/profile_apps.h"

namespace quorix {

class PointerSettings;

inline constexpr const char* kOptionsSection = "ARG";
inline constexpr const char* kSetIniName = "set.ini";
// The profile word of default profile names ("Profile 1"); built in, the
// language file does not change it.
inline constexpr const char* kProfileWord = "Profile";

// Where the user left the main window and on which page ("window_x",
// "window_y", "window_page"): kept when the program ends, so that the next
// start opens it there.
struct WindowPlace {
  int x = 0;
  int y = 0;
  int page = 0;
};

struct Options {
  int osdEnabled = 1;                      // "osd"
  int disableAcceleration = 1;             // "disable_acc"
  int recordHotkey = 68;                   // "hotkey"
  int recordHotkeyName = 68;               // "hotkeym"
  ProfileApps apps;                        // "app_enable%d", "app%d", "app_name%d"
  std::optional<WindowPlace> windowPlace;  // none until the window was closed once
};

// Proposes a display name for an executable (normally AppDisplayName).
using AppNamer = std::function<std::string(const std::string& path)>;

// Reads set.ini. Missing keys (or a missing file) give the defaults; a
// profile without an application is named "Profile N" unless the file names
// it; a bound application without a stored name is named by `appNamer`.
// When `pointer` is given and the options ask for acceleration off, it is
// switched off (the GUI's start-up); readers such as the command line pass
// nullptr and leave the desktop alone. `ansiCodePage` is the code page of a
// set.ini that Windows saved without UTF (SetIniCodePage gives it). A file
// that is there but cannot be read is kCannotReadFile, with the system's
// reason as the detail, and leaves the desktop alone.
Result<Options> LoadOptions(const std::string& setIniPath, const AppNamer& appNamer, PointerSettings* pointer = nullptr,
                            int ansiCodePage = kCodePageWindows1252);

// Writes every key, in the order osd, disable_acc, hotkey, hotkeym, then per
// profile app_enable%d, app%d, app_name%d, then the window's place when it
// has one. Other keys and lines of the file
// stay, and so does its encoding. Returns false when the file could not be
// written or a value cannot be stored (a line break in a path or name, or a
// character the file's code page has no code for): kCannotWriteFile, with
// the detail saying why for the user; in that case nothing is written.
Outcome SaveOptions(const std::string& setIniPath, const Options& options, int ansiCodePage = kCodePageWindows1252);

// The keys of set.ini with their values as SaveOptions writes them, in order.
std::vector<std::pair<std::string, std::string>> OptionEntries(const Options& options);

// Sets one option by its set.ini key ("osd", "app_name2", ...). Integer keys
// take decimal text. Returns false for an unknown key or a value that is not
// a number where one is needed.
bool SetOptionByKey(Options& options, const std::string& key, const std::string& value);

// Applies or toggles the desktop's pointer acceleration. With change set the
// new state is the opposite of the current one, or off when forceOff is set;
// switching off also sets the pointer speed to 10. Returns true when
// acceleration is off and the speed is 10 (what the switch shows as
// "disabled").
bool SetAcceleration(PointerSettings& pointer, bool change, bool forceOff);
// The main window's switch: checked switches acceleration off (speed 10);
// unchecked switches it back on, and leaves a desktop whose acceleration is
// already on (with its own thresholds) alone.
void ApplyAccelerationSwitch(PointerSettings& pointer, bool disable);

}  // namespace quorix
