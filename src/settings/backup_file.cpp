#include "settings/backup_file.h"

#include "base/archive.h"

namespace quorix {

std::vector<uint8_t> EncodeBackup(std::span<const uint8_t> image, const ProfileApps& apps) {
  ArchiveWriter writer;
  writer.WriteString(kBackupMagic);
  writer.WriteInt32(static_cast<int32_t>(image.size()));
  writer.WriteBytes(image);
  for (const ProfileApp& app : apps) {
    writer.WriteString(app.appName);
    writer.WriteString(app.appPath);
    writer.WriteInt32(app.appEnabled);
  }
  return writer.Take();
}

bool ParseBackup(std::span<const uint8_t> bytes, BackupContents& out, BackupDefect& defect,
                 long long maxImageLength) {
  defect = BackupDefect::kNone;
  ArchiveReader reader(bytes);
  std::string magic;
  if (!reader.ReadString(magic) || (magic != kBackupMagic && magic != kBackupMagicOld)) {
    defect = BackupDefect::kBadMagic;
    return false;
  }
  int32_t imageLength = 0;
  if (!reader.ReadInt32(imageLength)) {
    defect = BackupDefect::kNoImageLength;
    return false;
  }
  if (imageLength <= 0) {
    defect = BackupDefect::kEmptyImage;
    return false;
  }
  if (maxImageLength >= 0 && imageLength > maxImageLength) {
    defect = BackupDefect::kImageTooLong;
    return false;
  }
  BackupContents contents;
  if (!reader.ReadBytes(static_cast<size_t>(imageLength), contents.image)) {
    defect = BackupDefect::kImageCut;
    return false;
  }
  contents.hasTrailer = magic == kBackupMagic;
  if (contents.hasTrailer) {
    for (ProfileApp& app : contents.apps) {
      int32_t enabled = 0;
      if (!reader.ReadString(app.appName) || !reader.ReadString(app.appPath) || !reader.ReadInt32(enabled)) {
        defect = BackupDefect::kTrailerCut;
        return false;
      }
      app.appEnabled = enabled;
    }
  }
  out = std::move(contents);
  return true;
}

}  // namespace quorix
