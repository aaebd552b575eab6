#include "platform/file_replace.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace quorix {
namespace {

namespace fs = std::filesystem;

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

fs::path TemporaryBeside(const fs::path& target) {
  std::random_device random;
  return target.parent_path() / (target.filename().string() + ".tmp" + std::to_string(random() % 1000000u));
}

}  // namespace

bool CanReplaceFile(const std::string& path) {
  const fs::path target = ReplaceTarget(path);
  std::error_code error;
  if (fs::is_directory(target, error)) return false;
  const fs::path temp = TemporaryBeside(target);
  if (!std::ofstream(temp, std::ios::binary | std::ios::trunc)) return false;
  return fs::remove(temp, error);
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const fs::path target = ReplaceTarget(path);
  const fs::path temp = TemporaryBeside(target);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temp, ignored);
      return false;
    }
  }
  std::error_code error;
  // The new file keeps the permissions of the one it replaces.
  const fs::file_status old = fs::status(target, error);
  if (!error && fs::exists(old)) fs::permissions(temp, old.permissions(), fs::perm_options::replace, error);
  fs::rename(temp, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  return true;
}

}  // namespace quorix
