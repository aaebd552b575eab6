#include "session/restore_file.h"

#include "settings/backup_file.h"
#include "settings/backup_restore.h"

namespace quorix {

Result<std::vector<uint8_t>> ReadRestoreFile(const std::string& file) {
  std::vector<uint8_t> bytes;
  std::string reason;
  if (const Outcome read = ReadBackupFileBytes(file, bytes, reason); !read) return Outcome(read.failure, reason);
  BackupContents contents;
  BackupDefect defect;
  if (!ParseBackup(bytes, contents, defect)) return Failure::kInvalidFormat;
  return bytes;
}

}  // namespace quorix
