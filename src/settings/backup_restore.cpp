#include "settings/backup_restore.h"

#include <algorithm>

#include "base/file_replace.h"
#include "device/commands.h"
#include "settings/backup_file.h"
#include "settings/image_write.h"

namespace quorix {
namespace {

// Far above any real backup (64 KiB of memory plus the application data).
constexpr size_t kMaxBackupFileSize = 4u << 20;

void Report(const ProgressFn& progress, double fraction) {
  if (progress) progress(fraction);
}

Outcome WriteFileAtomically(const std::string& file, const std::vector<uint8_t>& bytes) {
  return ReplaceFileContents(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

Outcome SaveBackup(DeviceLink& link, SettingsState& state, const std::string& file, const ProfileApps& apps,
                   const ProgressFn& progress) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return Failure::kNoDevice;
  DeviceOperation operation(link);
  const int memoryEnd = state.image.Snapshot()->memoryEnd;
  const int imageLength = memoryEnd + 1;
  // Pieces of 7 bytes; the last one may run past the end.
  std::vector<uint8_t> image(static_cast<size_t>(imageLength) + 10, 0);
  // A failed exchange ends the loop: the rest would be skipped anyway, and
  // progress must not run on to 1 for work that was not done.
  for (int address = 0; address <= memoryEnd && !operation.Failed(); address += 7) {
    Report(progress, static_cast<double>(address) / imageLength);
    ReadMemory(link, path, address, image.data() + address, 7, true);
  }
  image.resize(static_cast<size_t>(imageLength));
  // Only bytes the mouse answered go into a backup: restoring zeros that
  // stand for "no answer" would wipe the mouse.
  if (operation.Failed()) return operation.Result();
  if (Outcome written = WriteFileAtomically(file, EncodeBackup(image, apps)); !written) return written;
  Report(progress, 1.0);
  return {};
}

Result<std::vector<uint8_t>> ReadBackupFileBytes(const std::string& file) {
  const Result<std::string> data = ReadFileContents(file, kMaxBackupFileSize);
  if (!data) return data.outcome();
  return std::vector<uint8_t>(data->begin(), data->end());
}

Outcome RestoreBackup(DeviceLink& link, SettingsState& state, const std::string& file, ProfileApps& apps,
                      const RestoreOptions& options, BackupDefect* defect) {
  const Result<std::vector<uint8_t>> bytes = ReadBackupFileBytes(file);
  if (!bytes) {
    // Only a file far beyond any image length is refused before it is read.
    if (defect && bytes.failure() == Failure::kInvalidFormat) *defect = BackupDefect::kImageTooLong;
    return bytes.outcome();
  }
  return RestoreBackupBytes(link, state, *bytes, apps, options, defect);
}

Outcome RestoreBackupBytes(DeviceLink& link, SettingsState& state, std::span<const uint8_t> bytes,
                           ProfileApps& apps, const RestoreOptions& options, BackupDefect* defect) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return Failure::kNoDevice;
  // The memory wraps its addresses: a longer image would overwrite the start.
  const long long maxLength = static_cast<long long>(state.image.Snapshot()->memoryEnd) + 1;
  BackupContents contents;
  BackupDefect found = BackupDefect::kNone;
  if (!ParseBackup(bytes, contents, found, maxLength)) {
    if (defect) *defect = found;
    return Failure::kInvalidFormat;
  }

  DeviceOperation operation(link);
  state.busyWriting = true;
  Report(options.progress, 0.0);
  // Byte 0 last (see image_write.h), after the level selection too (which
  // is a memory write at level 0): a restore cut short leaves the mouse
  // erased, to be reset by the next load, never half old and half new.
  const bool held = WriteImageSignatureErased(link, path, contents.image, options.progress);
  if (held) {
    SetDpiLevel(link, path, 1);
    WriteImageSignature(link, path, contents.image);
  }
  state.busyWriting = false;
  if (operation.Failed()) return operation.Result();
  if (!held) return Failure::kBadAnswers;
  Report(options.progress, 1.0);
  CommitSettings(link, path);
  link.GetClock().SleepMs(10);
  if (operation.Failed()) return operation.Result();
  // The applications travel with the image: taken over only once the image
  // is in the mouse.
  apps = contents.apps;  // all cleared for an old file
  return LoadSettings(link, state, options.reload);
}

}  // namespace quorix
