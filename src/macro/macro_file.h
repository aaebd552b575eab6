#pragma once
// Macro files (.mf): one macro with its name, execution mode and instruction
// bytes, behind a version string and the time of writing. Every writer
// produces version "_@_MF6.2_"; readers also take "_@_MF6.1_", which has no
// comment string.
//
//   version  string  "_@_MF6.2_" or "_@_MF6.1_"
//   comment  string  6.2 only; written empty, read and dropped
//   time     int64   seconds since 1970-01-01 UTC
//   name     string  trimmed of outer white space
//   mode     int32   8, 9 or 10
//   length   int32   number of body bytes
//   body     bytes   instructions without the 0x00 terminator
//
// Strings use the archive string form of base/archive.h.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "macro/macro_instruction.h"

namespace quorix {

inline constexpr const char* kMacroFileVersion = "_@_MF6.2_";
inline constexpr const char* kMacroFileVersionOld = "_@_MF6.1_";
// The largest body a macro file holds (the writers' buffer).
inline constexpr int kMaxMacroFileBody = 65536;
// A shorter file is not a macro file.
inline constexpr size_t kMinMacroFileSize = 10;
// A larger one is not read: no macro file comes near it (the body is at most
// 64 KiB), and the library scans every .mf file it finds.
inline constexpr size_t kMaxMacroFileSize = 4u << 20;

enum class MacroFileStatus {
  kOk,
  kUnreadable,     // the file could not be opened or read
  kTooShort,       // below kMinMacroFileSize bytes
  kInvalidFormat,  // the version string is neither accepted one (the user sees the message table's text)
  kTruncated,      // the file ends before its fields do
  kBodyTooLarge,   // a body above kMaxMacroFileBody
  kFileTooLarge,   // far larger than any macro file: not read at all
  kNotMacroFile,   // rewrite: the path does not end in ".mf"
  kWriteFailed,    // the file could not be written; any old file is unchanged
};

struct MacroFileHeader {
  std::string version;
  int64_t time = 0;
  std::string name;
  int32_t mode = 8;  // as stored; NormaliseMode() for use
  int32_t bodyLength = 0;
  // The size the library shows: the body length plus twice the name's
  // UTF-16 length.
  int32_t ShownSize() const;
};

struct MacroFile {
  MacroFileHeader header;
  std::vector<uint8_t> body;     // as stored, may hold a 0x00 before its end
  std::vector<MacroItem> items;  // the body split up to its first 0x00
};

// Pure decoding of file bytes.
MacroFileStatus ParseMacroFileHeader(std::span<const uint8_t> bytes, MacroFileHeader& header);
MacroFileStatus ParseMacroFile(std::span<const uint8_t> bytes, MacroFile& file);
// The bytes of a version 6.2 file; kBodyTooLarge (and no bytes) for a body
// above kMaxMacroFileBody.
MacroFileStatus EncodeMacroFile(const std::string& name, int32_t mode, std::span<const uint8_t> body, int64_t time,
                                std::vector<uint8_t>& bytes);

// A macro file read, or why not. `status` tells every case apart (the CLI
// has a text for each, the editors warn on kInvalidFormat); `file` holds the
// macro, or the Failure with the system's reason ("Is a directory") as its
// detail for kUnreadable (kCannotReadFile) and kFileTooLarge (kInvalidFormat).
// A file that is there but no macro file is kInvalidFormat without a detail.
struct MacroFileRead {
  MacroFileStatus status = MacroFileStatus::kOk;
  Result<MacroFile> file;
};

// The file operations. Writes go to a temporary file in the same folder and
// are renamed into place; a refused or failed write leaves any old file as it
// was.
MacroFileStatus ReadMacroFileHeader(const std::string& path, MacroFileHeader& header);
MacroFileRead ReadMacroFile(const std::string& path);
// kLackOfSpace for a body above kMaxMacroFileBody (nothing is written);
// kCannotWriteFile with the system's reason when the file could not be
// written.
Outcome WriteMacroFile(const std::string& path, const std::string& name, int32_t mode,
                       const std::vector<MacroItem>& items, int64_t time);
// Reads the file (either version) and writes it back in place as version 6.2
// with the new name and time, the same mode and the same body.
MacroFileStatus RewriteMacroFileName(const std::string& path, const std::string& newName, int64_t time);

// The nine characters a file or folder name cannot hold (\ / " : < > | ? *)
// become '_'.
std::string CleanFileName(const std::string& name);

// The file name the save dialogs propose: "<name>_<date>" from the editor
// (name cleaned), "macro_<date>" from the button window
// (empty name). date is "yyyy-MM-dd".
std::string ProposedMacroFileName(const std::string& macroName, const std::string& date);

// Outer white space removed, as names are written.
std::string TrimName(const std::string& name);

}  // namespace quorix
