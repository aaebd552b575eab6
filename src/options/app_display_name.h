#pragma once
// The name the program proposes for an executable bound to a profile.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {

// The file-name rule: the last path component ("/" or "\" separate them)
// without its extension (the text from its last "." on, when that "." is not
// the component's first character).
std::string FileNameRule(const std::string& path);

// From the text of a .desktop file: the "Name=" of its [Desktop Entry] group
// when its "Exec=" runs `executable` (the command's first word equals the
// full path, or has no folder and equals the path's file name).
std::optional<std::string> DesktopEntryName(std::string_view desktopFile, const std::string& executable);

// The name for `path`:
//  - a path ending in ".exe" (any case; Windows programs, also those run
//    under a compatibility layer): the FileDescription of its version
//    resource when that is not empty;
//  - any other path: the Name= of the first .desktop file in
//    `applicationFolders` (searched in order, file names sorted) whose Exec
//    runs it;
//  - otherwise, or when neither gives a name, FileNameRule(path).
// Line breaks and other control characters in a found name become blanks, so
// the name can be stored in set.ini.
std::string AppDisplayName(const std::string& path, const std::vector<std::string>& applicationFolders);

}  // namespace quorix
