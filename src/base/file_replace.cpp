#include "base/file_replace.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace quorix {
namespace {

namespace fs = std::filesystem;

// "Permission denied" reads as "permission denied" after a colon.
std::string Lowered(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

std::string ErrorText(int error) { return Lowered(std::generic_category().message(error)); }

}  // namespace

std::string FileErrorReason(const std::error_code& error) { return Lowered(error.message()); }

namespace {

Outcome CannotRead(std::string reason) { return Outcome(Failure::kCannotReadFile, std::move(reason)); }
Outcome CannotWrite(std::string reason) { return Outcome(Failure::kCannotWriteFile, std::move(reason)); }

Outcome TooLarge(size_t maxSize) {
  return Outcome(Failure::kInvalidFormat, "larger than " + std::to_string(maxSize) + " bytes");
}

// Replace the file a link points at, not the link, also when that file does
// not exist yet; a few levels cover any sane chain of links.
fs::path ReplaceTarget(const std::string& path) {
  fs::path target(path);
  std::error_code linkError;
  for (int level = 0; level < 8 && fs::is_symlink(target, linkError); ++level) {
    const fs::path linked = fs::read_symlink(target, linkError);
    if (linkError) break;
    target = linked.is_absolute() ? linked : target.parent_path() / linked;
  }
  return target;
}

// The file behind path (target) and a new temporary file beside it (temp),
// opened for writing; a write failure when the target is a folder or its
// folder takes no new file. The folder check comes first: a rename onto a
// folder would fail only after a whole temporary file was written, and with a
// less clear error on some systems.
Result<std::FILE*> OpenTemporaryBeside(const std::string& path, fs::path& target, fs::path& temp) {
  target = ReplaceTarget(path);
  std::error_code error;
  if (fs::is_directory(target, error)) return CannotWrite(ErrorText(EISDIR));
  std::random_device random;
  temp = target.parent_path() / (target.filename().string() + ".tmp" + std::to_string(random() % 1000000u));
  errno = 0;
  std::FILE* out = std::fopen(temp.c_str(), "wb");
  if (out == nullptr) return CannotWrite(ErrorText(errno != 0 ? errno : EIO));
  return out;
}

}  // namespace

Result<std::string> ReadFileContents(const std::string& path, size_t maxSize) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return CannotRead(ErrorText(ENOENT));
  if (error) return CannotRead(Lowered(error.message()));
  // A folder opens fine for reading on some systems and then reads as
  // nothing (or fails with an unclear error): say what it is.
  if (fs::is_directory(status)) return CannotRead(ErrorText(EISDIR));
  // Opening a FIFO waits for a writer and a device may never end: only a
  // regular file is read (a link to one is fine).
  if (!fs::is_regular_file(status)) return CannotRead("not a regular file");
  // A file known to be too large is refused without reading it.
  if (const auto size = fs::file_size(path, error); !error && size > maxSize) return TooLarge(maxSize);
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return CannotRead(ErrorText(errno != 0 ? errno : EIO));
  std::string data;
  char buffer[65536];
  size_t got = 0;
  // Reading in pieces stops early at the limit, also for a file that grows
  // or a device that has no size.
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (got > maxSize - data.size()) {
      std::fclose(file);
      return TooLarge(maxSize);
    }
    data.append(buffer, got);
  }
  const int readError = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(file);
  if (readError != 0) return CannotRead(ErrorText(readError));
  return data;
}

Outcome CanReplaceFile(const std::string& path) {
  fs::path target;
  fs::path temp;
  const Result<std::FILE*> out = OpenTemporaryBeside(path, target, temp);
  if (!out) return out.outcome();
  std::fclose(*out);
  std::error_code error;
  if (!fs::remove(temp, error)) return CannotWrite(Lowered(error.message()));
  return {};
}

Outcome ReplaceFileContents(const std::string& path, std::string_view bytes) {
  fs::path target;
  fs::path temp;
  const Result<std::FILE*> opened = OpenTemporaryBeside(path, target, temp);
  if (!opened) return opened.outcome();
  std::FILE* out = *opened;
  std::error_code error;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  int writeError = written ? 0 : (errno != 0 ? errno : EIO);
  // A full disk may only show when the buffered bytes are flushed.
  if (std::fclose(out) != 0 && writeError == 0) writeError = errno != 0 ? errno : EIO;
  if (writeError != 0) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return CannotWrite(ErrorText(writeError));
  }
  // The new file keeps the permissions of the one it replaces.
  const fs::file_status old = fs::status(target, error);
  if (!error && fs::exists(old)) fs::permissions(temp, old.permissions(), fs::perm_options::replace, error);
  fs::rename(temp, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return CannotWrite(Lowered(error.message()));
  }
  return {};
}

}  // namespace quorix
