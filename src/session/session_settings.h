#pragma once
// The settings use cases' own types: a change to the loaded image, and the
// restore of a backup file with where it stopped.

#include <cstdint>
#include <functional>

#include "base/result.h"
#include "device/device_link.h"
#include "settings/backup_restore.h"
#include "settings/settings_load.h"
#include "settings/settings_state.h"

namespace quorix {

// One change to the loaded image (a field write, a button assignment).
using FieldWrite = std::function<Outcome(DeviceLink&, SettingsState&)>;

// Where the restore of a backup file stopped; kDone when everything went in.
// The caller words a failure by it: a load that failed wrote nothing, a
// restore that failed may have written part of the image.
enum class RestoreStep : uint8_t { kLoad, kReadOptions, kRestore, kDataFolder, kWriteOptions, kDone };

struct RestoreResult {
  RestoreStep step = RestoreStep::kLoad;  // a restore that never ran stopped before its load
  // The device's outcome at kLoad and kRestore; kCannotReadFile or
  // kCannotWriteFile at the set.ini and data folder steps, with the system's
  // reason as the detail.
  Outcome outcome;
  BackupDefect defect = BackupDefect::kNone;  // at kRestore with kInvalidFormat: what is wrong
};

struct RestoreProgress {
  ProgressFn load;     // the load before the restore and the one after it
  ProgressFn restore;  // the write
};

}  // namespace quorix
