#include "options/autostart.h"

#include <filesystem>
#include <system_error>

#include "base/file_replace.h"

namespace quorix {
namespace {

// One Exec argument: quoted when it holds anything but plain characters,
// with the characters the format reserves inside quotes escaped; '%' starts
// a field code, so a literal one is doubled.
std::string ExecArgument(const std::string& arg) {
  const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string escaped;
  for (char c : arg) {
    if (c == '%') escaped += "%%";
    else escaped += c;
  }
  if (escaped.find_first_of(reserved) == std::string::npos) return escaped;
  std::string quoted = "\"";
  for (char c : escaped) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string AutostartEntryPath(const std::string& configHome) {
  return (std::filesystem::path(configHome) / "autostart" / kAutostartFileName).string();
}

std::string AutostartEntryText(const std::string& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=QUORIX Gaming Mouse Software\n"
         "Comment=Keeps the mouse's profiles following the program in front\n"
         "Exec=" +
         ExecArgument(program) + " " + kAutostartSwitch +
         "\n"
         "Icon=quorix-mouse\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEnabled(const std::string& entryPath) {
  std::error_code error;
  return std::filesystem::is_regular_file(entryPath, error);
}

Outcome SetAutostart(const std::string& entryPath, bool on, const std::string& program) {
  std::error_code error;
  if (!on) {
    if (std::filesystem::remove(entryPath, error) || !error) return {};
    return Outcome(Failure::kCannotWriteFile, FileErrorReason(error));
  }
  std::filesystem::create_directories(std::filesystem::path(entryPath).parent_path(), error);
  if (error) return Outcome(Failure::kCannotWriteFile, FileErrorReason(error));
  return ReplaceFileContents(entryPath, AutostartEntryText(program));
}

}  // namespace quorix
