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

namespace quorix {

enum class FileReadStatus {
  kOk,
  kMissing,   // nothing at the path (or a folder on the way is missing)
  kTooLarge,  // more than the caller's limit: not read at all
  kFailed,    // something is there but cannot be read
};

// Reads the whole file at path into bytes (left untouched unless kOk). Only
// a regular file is opened: a FIFO, socket or device is refused before it
// could block the caller, and a file whose size is above maxSize is not read.
// `reason`, when given, gets a few lower-case words for anything but kOk:
// "no such file or directory", "is a directory", "not a regular file",
// "permission denied", "larger than N bytes".
FileReadStatus ReadFileContents(const std::string& path, std::string& bytes, size_t maxSize,
                                std::string* reason = nullptr);

// Writes bytes to path through a temporary file in the same folder and a
// rename. A path that is a symbolic link replaces the file it points at; a
// replaced file keeps its permissions. Returns false (leaving any old file
// untouched and no temporary file behind) on failure, with `reason` as for
// ReadFileContents.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string* reason = nullptr);

// A system error as the reasons above spell it ("permission denied"), for
// other file operations that report one.
std::string FileErrorReason(const std::error_code& error);

// Whether ReplaceFileContents(path, ...) could succeed now: its folder takes a
// new file (one is created and removed again) and path, or the file a link
// points at, is not a folder. Lets a program refuse at the start instead of
// losing its work at the end.
bool CanReplaceFile(const std::string& path, std::string* reason = nullptr);

}  // namespace quorix
