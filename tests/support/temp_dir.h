#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test ends.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace quorix::test {

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() / ("quorix-test-" + std::to_string(random()));
    std::filesystem::create_directories(root_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Whether taking the write permission off a folder stops this process
// writing into it (it does not for root): tests of refused writes that rely
// on it are skipped where it does not.
inline bool FolderPermissionsApply(const TempDir& dir) {
  namespace fs = std::filesystem;
  const fs::path probe = dir.Root() / "permission-probe";
  fs::create_directory(probe);
  fs::permissions(probe, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  const bool refused = !std::ofstream(probe / "x");
  fs::permissions(probe, fs::perms::owner_all, fs::perm_options::replace);
  fs::remove_all(probe);
  return refused;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace quorix::test
