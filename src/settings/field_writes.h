#pragma once
// The immediate field writes: each sends its command to the current device at
// once and, when the mouse took it, applies the change to the published image
// (copy-on-write). Every function checks its arguments first: kNoDevice
// without a current device, kInvalidArgument for a value out of range, with
// nothing sent. Otherwise the outcome of the exchanges; a failed write leaves
// the image as it was.

#include <string>

#include "device/device_link.h"
#include "settings/settings_state.h"

namespace quorix {

// Button assignment: a record of type 0 takes the button's default (read from
// the mouse) in the image; then SyncHandshake and WriteButtonRecord with
// commit. The primary-click holder is recomputed.
Outcome AssignButton(DeviceLink& link, SettingsState& state, int profile, int button, ButtonRecord record);
// Active profile (SetActiveProfile); recomputes the primary-click holder.
Outcome WriteActiveProfile(DeviceLink& link, SettingsState& state, int profile);
// Profile flag (set: the profile is switched off): 0x92 or 0x12 at byte 0 of
// the profile's block.
Outcome WriteProfileFlag(DeviceLink& link, SettingsState& state, int profile, bool flagSet);
// Active sensitivity level and level enable mask (SetDpiLevel with
// mask << 3 | level).
Outcome WriteSensitivitySelection(DeviceLink& link, SettingsState& state, int activeLevel, int levelMask);
// The user picks a sensitivity level: SetDpiLevel with the level alone, no
// enable bits (only the level switches send the mask); the mask stays.
Outcome WriteActiveLevel(DeviceLink& link, SettingsState& state, int level);
// One level switched on or off, keeping the active level.
Outcome WriteLevelEnabled(DeviceLink& link, SettingsState& state, int level, bool enabled);
// Report-rate code 0..7 (SetReportRateCode); the rate is 1000 / (code + 1) Hz.
Outcome WriteReportRate(DeviceLink& link, SettingsState& state, int code);
Outcome WriteAngleSnapping(DeviceLink& link, SettingsState& state, bool on);
// Sensitivity pair of a level (the sliders' timer): ApplyDpiPair first when
// the level is the active one, then StoreDpiPair.
Outcome WriteDpiPair(DeviceLink& link, SettingsState& state, int index, int x, int y);
// Which parts of the selection WriteStoredSelection stores.
struct SelectionChanges {
  bool profile = false;
  bool level = false;
};
// The stored selection (the selection timer): the active profile at byte 1
// (14 at level 0) and/or the active level at byte 2; no commit.
Outcome WriteStoredSelection(DeviceLink& link, SettingsState& state, SelectionChanges changed);

// Lift adjustment: Begin reads the live value and starts the adjustment,
// returning the value to go back to. Confirm stores the live value
// persistently; Cancel ends the adjustment and puts the old value back for
// the session only.
int BeginLiftAdjust(DeviceLink& link, SettingsState& state, Outcome& outcome);
Outcome ConfirmLiftAdjust(DeviceLink& link, SettingsState& state);
Outcome CancelLiftAdjust(DeviceLink& link, SettingsState& state, int oldValue);

}  // namespace quorix
