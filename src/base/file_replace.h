#pragma once
// The one way the system reads and writes a whole file. Writes go to a
// temporary file in the same folder, which is then renamed over the target,
// so a crash or a full disk never leaves half a file where the old one was.
// Both say why they failed, so that a person is told "is a directory" or
// "permission denied" rather than a guess made from an empty read.

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"

namespace quorix {

// The whole file at path. Only a regular file is opened: a FIFO, socket or
// device is refused before it could block the caller, and a file whose size
// is above maxSize is not read. On failure the detail is a few lower-case
// words: "no such file or directory", "is a directory", "not a regular file",
// "permission denied" (all kCannotReadFile), or "larger than N bytes"
// (kInvalidFormat: no file the caller reads is that large).
Result<std::string> ReadFileContents(const std::string& path, size_t maxSize);

// Writes bytes to path through a temporary file in the same folder and a
// rename. A path that is a symbolic link replaces the file it points at; a
// replaced file keeps its permissions. On failure (kCannotWriteFile, the
// detail as for ReadFileContents) any old file is untouched and no temporary
// file is left behind.
Outcome ReplaceFileContents(const std::string& path, std::string_view bytes);

// A system error as the reasons above spell it ("permission denied"), for
// other file operations that report one.
std::string FileErrorReason(const std::error_code& error);

// Whether ReplaceFileContents(path, ...) could succeed now: its folder takes a
// new file (one is created and removed again) and path, or the file a link
// points at, is not a folder. Lets a program refuse at the start instead of
// losing its work at the end. Fails as ReplaceFileContents would.
Outcome CanReplaceFile(const std::string& path);

}  // namespace quorix
