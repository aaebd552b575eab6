#include "platform/linux/xdg_paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quorix {

namespace {

std::string StripSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

XdgPaths::XdgPaths(std::string defaultProgramFolder, GetEnv getEnv, std::string executable)
    : defaultProgramFolder_(std::move(defaultProgramFolder)),
      getEnv_(getEnv ? std::move(getEnv) : GetEnv([](const char* name) { return std::getenv(name); })),
      executable_(std::move(executable)) {}

std::string XdgPaths::Env(const char* name) const {
  const char* value = getEnv_(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string XdgPaths::Home() const {
  const std::string home = Env("HOME");
  return home.empty() ? std::string("/") : StripSlash(home);
}

std::string XdgPaths::DocumentsFolder() const {
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = Home() + "/.config";
  std::ifstream in(StripSlash(config) + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DOCUMENTS_DIR=";
    const size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line.compare(at, key.size(), key) != 0) continue;
    std::string value = line.substr(at + key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    // Only absolute paths count; anything else is how the file says "unset".
    if (!value.empty() && value.front() == '/') return StripSlash(value);
  }
  return StripSlash(Home() + "/Documents");
}

std::string XdgPaths::ProgramFolder() const {
  const std::string fromEnv = Env("QUORIX_DATA_DIR");
  if (!fromEnv.empty()) return StripSlash(fromEnv);
  std::error_code error;
  const std::filesystem::path exe =
      executable_.empty() ? std::filesystem::read_symlink("/proc/self/exe", error) : std::filesystem::path(executable_);
  if (!error) {
    const std::filesystem::path installed = exe.parent_path().parent_path() / "share" / "quorix-mouse";
    // An installed program reads its own prefix's data even when that is
    // missing: the source tree of the machine it was built on is no
    // substitute, and a missing file should name the folder it belongs in.
    if (exe.parent_path().filename() == "bin") return installed.string();
    if (std::filesystem::is_regular_file(installed / "language.ini", error)) return installed.string();
  }
  return StripSlash(defaultProgramFolder_);
}

std::vector<std::string> XdgPaths::ApplicationFolders() const {
  std::vector<std::string> folders;
  std::string dataHome = Env("XDG_DATA_HOME");
  if (dataHome.empty() || dataHome.front() != '/') dataHome = Home() + "/.local/share";
  folders.push_back(StripSlash(dataHome) + "/applications");
  std::string dirs = Env("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    if (!dir.empty() && dir.front() == '/') folders.push_back(StripSlash(dir) + "/applications");
    start = end + 1;
  }
  return folders;
}

}  // namespace quorix
