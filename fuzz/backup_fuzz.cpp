// Backup files come from anywhere: the reader must reject or accept any bytes
// without crashing, and an accepted file must decode into a settings image.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "settings/backup_file.h"
#include "settings/settings_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorix::BackupContents contents;
  quorix::BackupDefect defect;
  if (!quorix::ParseBackup(std::span<const uint8_t>(data, size), contents, defect, 70000)) return 0;
  for (int level : {0, 5, 11}) {
    const quorix::SettingsImage image = quorix::DecodeSettings(level, contents.image);
    if (image.memoryEnd != static_cast<int>(contents.image.size()) - 1) __builtin_trap();
  }
  // What was read writes back to the same image.
  quorix::BackupContents again;
  const auto bytes = quorix::EncodeBackup(contents.image, contents.apps);
  if (!quorix::ParseBackup(bytes, again, defect) || again.image != contents.image) __builtin_trap();
  return 0;
}
