#pragma once
// The backup file a restore writes into the mouse, read and checked before
// anything else happens: both front ends ask here before they ask the user
// or touch the mouse, so a file that is not a whole backup never reaches it
// and both refuse the same files for the same reasons. Runs on the caller's
// thread; it only reads the file.

#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"

namespace quorix {

// The file's bytes, or kCannotReadFile with the system's reason as the
// detail ("is a directory", "permission denied"), or kInvalidFormat for a
// file that is not a whole backup.
Result<std::vector<uint8_t>> ReadRestoreFile(const std::string& file);

}  // namespace quorix
