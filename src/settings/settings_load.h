#pragma once
// Filling the settings image from the mouse (the load), the memory-size
// probe, and the reset to defaults that rewrites the whole settings memory.
// All of them run one device sequence at a time, usually on a worker.

#include <functional>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "settings/profile_apps.h"
#include "settings/settings_decode.h"
#include "settings/settings_state.h"

namespace quorix {

struct LoadSettingsOptions {
  ProgressFn progress;
  // Called with the image right after it has been published (the windows
  // refresh, the macro library is rebuilt).
  std::function<void(const SettingsImage&)> onLoaded;
  // A mouse whose signature byte reads as erased is reset to defaults (at
  // every level: reset and restore erase it until their last write), and the
  // reset loads again. The reset's own load passes false: a mouse that still
  // lacks the signature afterwards is loaded as it is instead of being reset
  // over and over.
  bool resetOnBadSignature = true;
};

// Takes the selected listed device as the current device, reads it whole and
// publishes a fresh image in one step. Sets state.loadDone at the end,
// whatever happened. kNoDevice for an empty list; when an exchange failed,
// that failure, and the previously published image stays. A mouse whose
// byte 0 reads as erased (0xFF) is reset instead: then the reset's outcome.
Outcome LoadSettings(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options = {});

// Gets the selected listed device ready for field writes without reading it
// whole: taken as the current device, identified and selected like a load
// (a mouse whose byte 0 reads as erased is reset and loaded whole,
// as LoadSettings does), then only its live selection is read. Publishes an
// image holding the layout, the device's identity and the active profile,
// level and level mask; its other fields are defaults, so it serves writes,
// not display. Leaves state.loadDone alone. The outcome as for LoadSettings.
Outcome PrepareFieldWrite(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options = {});

// The highest usable settings-memory address: the status word when the mouse
// has one, else found through the marker 0x12 at the top of the address space
// showing through the memory's wrap-around. 8191 when nothing is seen.
// A smaller end is taken only where the memory is seen to start over (the
// bytes after it read as those from address 0) and only when the macros
// reaching up to macrosEnd still fit below it: a stored macro's own bytes may
// look like the marker.
int ProbeMemoryEnd(DeviceLink& link, const std::string& path, int macrosEnd = 0);

// One past the last byte of the highest macro record in the mouse's slot table
// (0 when none is stored), read through the cache.
int StoredMacrosEnd(DeviceLink& link, const std::string& path, const MemoryMap& map);

struct ResetOptions {
  // Asked before anything is written; false ends the reset. Empty: no question.
  std::function<bool()> askUser;
  // When the user confirmed a question: reset to "<profileWord> N", no path,
  // switched off. Untouched by a reset that asks nothing.
  ProfileApps* apps = nullptr;
  std::string profileWord = "Profile";
  ProgressFn progress;  // the write phase; the load that follows reports through `reload`
  LoadSettingsOptions reload;
};

// The 8192-byte default image written by a reset (only the part below the
// macro area start goes to the mouse). `current` gives the level-0 profile
// colours to keep.
std::vector<uint8_t> BuildDefaultImage(int protocolLevel, int modelCode, const SettingsImage& current);

// Rewrites the current device with defaults and loads it again. kNoDevice
// without a current device and kDeclined when the user said no (nothing was
// written either way); else the outcome of the writes and the load.
Outcome ResetToDefaults(DeviceLink& link, SettingsState& state, const ResetOptions& options = {});

}  // namespace quorix
