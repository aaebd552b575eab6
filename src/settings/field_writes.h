#pragma once
// The immediate field writes: each sends its command to the current device at
// once and applies the change to the published image (copy-on-write). Every
// function checks its arguments first and returns false, with nothing sent,
// for a value out of range or when there is no current device.

#include <string>

#include "device/device_link.h"
#include "settings/settings_state.h"

namespace quorix {

// Button assignment: a record of type 0 takes the button's default (read from
// the mouse) in the image; then SyncHandshake and WriteButtonRecord with
// commit. The primary-click holder is recomputed.
bool AssignButton(DeviceLink& link, SettingsState& state, int profile, int button, ButtonRecord record);
// Active profile (SetActiveProfile); recomputes the primary-click holder.
bool WriteActiveProfile(DeviceLink& link, SettingsState& state, int profile);
// Profile flag (set: the profile is switched off): 0x92 or 0x12 at byte 0 of
// the profile's block.
bool WriteProfileFlag(DeviceLink& link, SettingsState& state, int profile, bool flagSet);
// Active sensitivity level and level enable mask (SetDpiLevel with
// mask << 3 | level).
bool WriteSensitivitySelection(DeviceLink& link, SettingsState& state, int activeLevel, int levelMask);
// The user picks a sensitivity level: SetDpiLevel with the level alone, no
// enable bits (only the level switches send the mask); the mask stays.
bool WriteActiveLevel(DeviceLink& link, SettingsState& state, int level);
// One level switched on or off, keeping the active level.
bool WriteLevelEnabled(DeviceLink& link, SettingsState& state, int level, bool enabled);
// Report-rate code 0..7 (SetReportRateCode); the rate is 1000 / (code + 1) Hz.
bool WriteReportRate(DeviceLink& link, SettingsState& state, int code);
bool WriteAngleSnapping(DeviceLink& link, SettingsState& state, bool on);
// Sensitivity pair of a level (the sliders' timer): ApplyDpiPair first when
// the level is the active one, then StoreDpiPair.
bool WriteDpiPair(DeviceLink& link, SettingsState& state, int index, int x, int y);
// The stored selection (the selection timer): the active profile at byte 1
// (14 at level 0) and/or the active level at byte 2; no commit.
bool WriteStoredSelection(DeviceLink& link, SettingsState& state, bool profileChanged, bool levelChanged);

// Lift adjustment: Begin reads the live value and starts the adjustment,
// returning the value to go back to. Confirm stores the live value
// persistently; Cancel ends the adjustment and puts the old value back for
// the session only.
int BeginLiftAdjust(DeviceLink& link, SettingsState& state);
bool ConfirmLiftAdjust(DeviceLink& link, SettingsState& state);
bool CancelLiftAdjust(DeviceLink& link, SettingsState& state, int oldValue);

}  // namespace quorix
