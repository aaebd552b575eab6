#pragma once
// Per-application profile switching: each profile can be bound to one program;
// while that program's window is in front the mouse uses that profile.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/foreground_source.h"
#include "settings/profile_apps.h"

namespace quorix {

inline constexpr int kSwitchProfileCount = 5;
inline constexpr const char* kApplicationFilterPattern = "*.exe";
inline constexpr size_t kApplicationPathMax = 1023;

// What BindApplication asks of the user interface and the options store.
struct BindApplicationHooks {
  // The open-file dialog: a path, or nothing when cancelled.
  std::function<std::optional<std::string>()> chooseFile;
  // The text entry: the entered name, or nothing when cancelled.
  std::function<std::optional<std::string>(const std::string& prompt, const std::string& proposed)> enterName;
  // The name proposed for an executable (the options store's AppDisplayName).
  std::function<std::string(const std::string& path)> displayName;
  std::function<void()> saveOptions;
};

enum class BindResult {
  kBound,          // a program was chosen and named; switching is on
  kNameCancelled,  // a program was chosen but the name entry was cancelled
  kToggled,        // the existing binding's switch was flipped
  kCancelled,      // the file dialog was cancelled; nothing saved
  kNoProfile,      // index out of range
};

// The user clicked profile i's application field. An unbound profile asks for
// a program and a name; a bound one toggles its switch. Saves the options in
// every case but a cancelled file dialog.
BindResult BindApplication(ProfileApps& apps, int profile, const BindApplicationHooks& hooks,
                           const std::string& namePrompt = "Enter name");

// The part of an image path after the last path separator (backslash or
// slash) when that separator is not the first character.
std::string ImageFileName(const std::string& imagePath);

// The first profile (lowest number) whose switch is on, that is not switched
// off, and whose bound path ends with fileName exactly (case-sensitive);
// nothing when none matches.
std::optional<int> MatchApplication(const ProfileApps& apps, const std::array<bool, 5>& profileOff,
                                    const std::string& fileName);

// The first profile, as MatchApplication picks it, whose bound path names the
// program with the application id appId (a window seen by its id only): the
// path's file name, or that name without its extension, equals appId or the
// last dot-separated part of appId, without regard to ASCII case. So
// "/usr/bin/nautilus" and ".../org.gnome.Nautilus.desktop" both match
// "org.gnome.Nautilus", and "C:\Games\game.exe" matches "game.exe".
std::optional<int> MatchApplicationId(const ProfileApps& apps, const std::array<bool, 5>& profileOff,
                                      const std::string& appId);

// The periodic foreground check. Remembers the last foreground window and
// does work only when it changes.
class AppSwitcher {
 public:
  explicit AppSwitcher(ForegroundSource& source) : source_(source) {}

  // Looks at the foreground window; when it is new and its program (its
  // process image, else its application id) is bound
  // to a profile other than activeProfile, sets activeProfile and calls
  // switchTo(profile) (which sends the profile to the mouse and repaints).
  // Returns the profile switched to.
  std::optional<int> CheckForegroundApplication(const ProfileApps& apps, const std::array<bool, 5>& profileOff,
                                                int& activeProfile, const std::function<void(int)>& switchTo);

  uint64_t LastForegroundWindow() const { return lastForegroundWindow_; }

 private:
  ForegroundSource& source_;
  uint64_t lastForegroundWindow_ = 0;
};

}  // namespace quorix
