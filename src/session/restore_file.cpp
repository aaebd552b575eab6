#include "session/restore_file.h"

#include "settings/backup_file.h"
#include "settings/backup_restore.h"

namespace quorix {

Result<std::vector<uint8_t>> ReadRestoreFile(const std::string& file) {
  Result<std::vector<uint8_t>> read = ReadBackupFileBytes(file);
  if (!read) return read.outcome();
  BackupContents contents;
  BackupDefect defect;
  if (!ParseBackup(*read, contents, defect)) return Failure::kInvalidFormat;
  return read;
}

}  // namespace quorix
