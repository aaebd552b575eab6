#pragma once
// Saving the mouse's whole settings memory to a backup file and writing a
// backup file back into the mouse.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "settings/backup_file.h"
#include "settings/profile_apps.h"
#include "settings/settings_load.h"
#include "settings/settings_state.h"

namespace quorix {

// Reads memory 0..memory end of the current device (the loaded image's memory
// end) and writes it with the application data to `file`, through a
// temporary file in the same folder that is renamed into place: a failed
// backup leaves no partial file. No file at all when an exchange failed (the
// outcome says how); kCannotWriteFile with the system's reason as its detail
// ("permission denied") when the file could not be written.
Outcome SaveBackup(DeviceLink& link, SettingsState& state, const std::string& file, const ProfileApps& apps,
                   const ProgressFn& progress);

// Reads a whole backup file. kCannotReadFile with the system's reason as the
// detail when it cannot be read ("is a directory", "permission denied");
// kInvalidFormat when it is far too large to be a backup.
Result<std::vector<uint8_t>> ReadBackupFileBytes(const std::string& file);

struct RestoreOptions {
  ProgressFn progress;  // the write phase
  LoadSettingsOptions reload;   // the load that follows
};

// Reads and checks the whole file before anything goes to the mouse: magic,
// image length, image and trailer present, image no longer than the current
// device's memory end + 1. A rejected file gives kInvalidFormat (what is
// wrong in *defect when given) and writes nothing; one that cannot be read
// gives kCannotReadFile with the system's reason as its detail. Otherwise the image
// is written from address 0, committed, `apps` replaced by the file's
// application data (cleared for an old file without it), and the mouse
// loaded again. The caller saves `apps`. A failed exchange ends the restore
// with its outcome and leaves `apps` untouched: running it again repairs the
// mouse.
Outcome RestoreBackup(DeviceLink& link, SettingsState& state, const std::string& file, ProfileApps& apps,
                      const RestoreOptions& options, BackupDefect* defect = nullptr);
// The same for a file already read whole (ReadBackupFileBytes), so that a
// caller that looked at the file first need not read it again.
Outcome RestoreBackupBytes(DeviceLink& link, SettingsState& state, std::span<const uint8_t> bytes,
                           ProfileApps& apps, const RestoreOptions& options, BackupDefect* defect = nullptr);

}  // namespace quorix
