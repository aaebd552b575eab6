#pragma once
// The one way the system writes a file: the bytes go to a temporary file in
// the same folder, which is then renamed over the target, so a crash or a
// full disk never leaves half a file where the old one was.

#include <string>
#include <string_view>

namespace quorix {

// Writes bytes to path through a temporary file in the same folder and a
// rename. A path that is a symbolic link replaces the file it points at; a
// replaced file keeps its permissions. Returns false (leaving any old file
// untouched and no temporary file behind) on failure.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// Whether ReplaceFileContents(path, ...) could succeed now: its folder takes a
// new file (one is created and removed again) and path, or the file a link
// points at, is not a folder. Lets a program refuse at the start instead of
// losing its work at the end.
bool CanReplaceFile(const std::string& path);

}  // namespace quorix
