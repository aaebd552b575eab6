#include "options/app_display_name.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/path_name.h"
#include "base/text_case.h"
#include "options/pe_version.h"

namespace quorix {

namespace {

// .desktop files are small; a huge file in an applications folder is not one.
constexpr std::uintmax_t kMaxDesktopFile = 256 * 1024;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The program an Exec line starts: its first word, with double quotes
// honoured ("/opt/My App/run" %U).
std::string ExecProgram(std::string_view exec) {
  exec = Trim(exec);
  std::string word;
  bool quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\' && quoted && i + 1 < exec.size()) {
      word += exec[++i];
    } else if ((c == ' ' || c == '\t') && !quoted) {
      break;
    } else {
      word += c;
    }
  }
  return word;
}

std::string Printable(std::string name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  const std::string_view trimmed = Trim(name);
  return std::string(trimmed);
}

std::optional<std::string> SearchDesktopEntries(const std::string& path, const std::vector<std::string>& folders) {
  namespace fs = std::filesystem;
  for (const std::string& folder : folders) {
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (it->path().extension() == ".desktop") files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      std::error_code sizeError;
      const std::uintmax_t size = fs::file_size(file, sizeError);
      if (sizeError || size > kMaxDesktopFile) continue;
      std::ifstream in(file, std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (std::optional<std::string> name = DesktopEntryName(text, path)) return name;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string FileNameRule(const std::string& path) {
  std::string name = BaseName(path);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::optional<std::string> DesktopEntryName(std::string_view text, const std::string& executable) {
  bool inEntry = false;
  std::optional<std::string> name, exec;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (key == "Name" && !name) name = std::string(value);
    if (key == "Exec" && !exec) exec = std::string(value);
  }
  if (!name || name->empty() || !exec) return std::nullopt;
  const std::string program = ExecProgram(*exec);
  if (program.empty()) return std::nullopt;
  const bool runs = program == executable ||
                    (program.find('/') == std::string::npos && program == BaseName(executable));
  if (!runs) return std::nullopt;
  return name;
}

std::string AppDisplayName(const std::string& path, const std::vector<std::string>& applicationFolders) {
  std::optional<std::string> found;
  if (EndsWithNoCase(path, ".exe")) {
    found = ReadFileDescription(path);
  } else if (!path.empty()) {
    found = SearchDesktopEntries(path, applicationFolders);
  }
  if (found) {
    std::string name = Printable(*found);
    if (!name.empty()) return name;
  }
  return Printable(FileNameRule(path));
}

}  // namespace quorix
