#include "platform/linux/process_image.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/path_name.h"
#include "base/text_case.h"

namespace quorix {

namespace {

// A name with something before ".exe", in any case.
bool EndsWithExe(const std::string& text) { return text.size() > 4 && EndsWithNoCase(text, ".exe"); }

bool IsWineLoader(const std::string& path) { return BaseName(path).rfind("wine", 0) == 0; }

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& raw) {
  std::vector<std::string> args;
  size_t start = 0;
  while (start < raw.size()) {
    size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    args.push_back(raw.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

std::optional<std::string> WindowsProgramFromCommandLine(const std::vector<std::string>& args,
                                                          const std::string& executable) {
  if (args.empty()) return std::nullopt;
  // Wine rewrites argv[0] to the program's Windows path.
  if (EndsWithExe(args[0])) return args[0];
  if (!IsWineLoader(executable) && !IsWineLoader(args[0])) return std::nullopt;
  for (size_t i = 1; i < args.size(); ++i) {
    if (EndsWithExe(args[i])) return args[i];
  }
  return std::nullopt;
}

std::optional<std::string> ProcessImagePath(int pid, const std::string& procRoot) {
  if (pid <= 0) return std::nullopt;
  const std::filesystem::path dir = std::filesystem::path(procRoot) / std::to_string(pid);
  std::error_code error;
  std::string executable = std::filesystem::read_symlink(dir / "exe", error).string();
  if (error) executable.clear();
  const std::string deleted = " (deleted)";
  if (executable.size() > deleted.size() &&
      executable.compare(executable.size() - deleted.size(), deleted.size(), deleted) == 0) {
    executable.resize(executable.size() - deleted.size());
  }
  std::ifstream cmdline(dir / "cmdline", std::ios::binary);
  if (cmdline) {
    const std::string raw((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    if (auto program = WindowsProgramFromCommandLine(SplitCommandLine(raw), executable)) return program;
  }
  if (executable.empty()) return std::nullopt;
  return executable;
}

}  // namespace quorix
