#include "macro/macro_file.h"

#include <algorithm>

#include "base/archive.h"
#include "base/file_replace.h"
#include "base/text_case.h"
#include "base/utf16.h"

namespace quorix {

namespace {

bool ReadInt64(ArchiveReader& reader, int64_t& value) {
  std::vector<uint8_t> raw;
  if (!reader.ReadBytes(8, raw)) return false;
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | raw[static_cast<size_t>(i)];
  value = static_cast<int64_t>(u);
  return true;
}

// Reads the fields up to and including the body length; the reader is then
// at the body.
MacroFileStatus ParseHeaderFields(ArchiveReader& reader, size_t fileSize, MacroFileHeader& header) {
  if (fileSize < kMinMacroFileSize) return MacroFileStatus::kTooShort;
  MacroFileHeader parsed;
  if (!reader.ReadString(parsed.version)) return MacroFileStatus::kInvalidFormat;
  if (parsed.version != kMacroFileVersion && parsed.version != kMacroFileVersionOld) {
    return MacroFileStatus::kInvalidFormat;
  }
  if (parsed.version == kMacroFileVersion) {
    std::string comment;
    if (!reader.ReadString(comment)) return MacroFileStatus::kTruncated;
  }
  if (!ReadInt64(reader, parsed.time) || !reader.ReadString(parsed.name) || !reader.ReadInt32(parsed.mode) ||
      !reader.ReadInt32(parsed.bodyLength)) {
    return MacroFileStatus::kTruncated;
  }
  if (parsed.bodyLength < 0) return MacroFileStatus::kTruncated;
  if (parsed.bodyLength > kMaxMacroFileBody) return MacroFileStatus::kBodyTooLarge;
  header = std::move(parsed);
  return MacroFileStatus::kOk;
}

// The status of a file ReadFileContents could not read: only a file above the
// limit is refused as the wrong kind of file.
MacroFileStatus UnreadStatus(const Outcome& unread) {
  return unread.failure == Failure::kInvalidFormat ? MacroFileStatus::kFileTooLarge : MacroFileStatus::kUnreadable;
}

std::span<const uint8_t> BytesOf(const std::string& data) {
  return {reinterpret_cast<const uint8_t*>(data.data()), data.size()};
}

// kCannotWriteFile and the system's reason when it fails.
Outcome WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

int32_t MacroFileHeader::ShownSize() const { return bodyLength + 2 * static_cast<int32_t>(Utf8ToUtf16(name).size()); }

std::string CleanFileName(const std::string& name) {
  std::string clean = name;
  for (char& c : clean) {
    if (std::string_view("\\/\":<>|?*").find(c) != std::string_view::npos) c = '_';
  }
  return clean;
}

std::string ProposedMacroFileName(const std::string& macroName, const std::string& date) {
  if (macroName.empty()) return "macro_" + date;
  return CleanFileName(macroName) + "_" + date;
}

std::string TrimName(const std::string& name) {
  const char* blanks = " \t\r\n\v\f";
  size_t first = name.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  size_t last = name.find_last_not_of(blanks);
  return name.substr(first, last - first + 1);
}

MacroFileStatus ParseMacroFileHeader(std::span<const uint8_t> bytes, MacroFileHeader& header) {
  ArchiveReader reader(bytes);
  return ParseHeaderFields(reader, bytes.size(), header);
}

MacroFileStatus ParseMacroFile(std::span<const uint8_t> bytes, MacroFile& file) {
  ArchiveReader reader(bytes);
  MacroFileHeader header;
  MacroFileStatus status = ParseHeaderFields(reader, bytes.size(), header);
  if (status != MacroFileStatus::kOk) return status;
  std::vector<uint8_t> body;
  if (!reader.ReadBytes(static_cast<size_t>(header.bodyLength), body)) return MacroFileStatus::kTruncated;
  file.items = SplitInstructions(body.data(), body.size());
  file.header = std::move(header);
  file.body = std::move(body);
  return MacroFileStatus::kOk;
}

MacroFileStatus EncodeMacroFile(const std::string& name, int32_t mode, std::span<const uint8_t> body, int64_t time,
                                std::vector<uint8_t>& bytes) {
  if (body.size() > static_cast<size_t>(kMaxMacroFileBody)) return MacroFileStatus::kBodyTooLarge;
  ArchiveWriter writer;
  writer.WriteString(kMacroFileVersion);
  writer.WriteString("");
  const auto t = static_cast<uint64_t>(time);
  for (int shift = 0; shift < 64; shift += 8) writer.WriteUint8(static_cast<uint8_t>(t >> shift));
  writer.WriteString(TrimName(name));
  writer.WriteInt32(mode);
  writer.WriteInt32(static_cast<int32_t>(body.size()));
  writer.WriteBytes(body);
  bytes = writer.Take();
  return MacroFileStatus::kOk;
}

MacroFileStatus ReadMacroFileHeader(const std::string& path, MacroFileHeader& header) {
  const Result<std::string> data = ReadFileContents(path, kMaxMacroFileSize);
  return data ? ParseMacroFileHeader(BytesOf(*data), header) : UnreadStatus(data.outcome());
}

MacroFileRead ReadMacroFile(const std::string& path) {
  const Result<std::string> data = ReadFileContents(path, kMaxMacroFileSize);
  if (!data) return {UnreadStatus(data.outcome()), data.outcome()};
  MacroFile file;
  const MacroFileStatus status = ParseMacroFile(BytesOf(*data), file);
  if (status != MacroFileStatus::kOk) return {status, Failure::kInvalidFormat};
  return {status, std::move(file)};
}

Outcome WriteMacroFile(const std::string& path, const std::string& name, int32_t mode,
                       const std::vector<MacroItem>& items, int64_t time) {
  std::vector<uint8_t> bytes;
  if (EncodeMacroFile(name, mode, SerialiseItems(items), time, bytes) != MacroFileStatus::kOk) {
    return Failure::kLackOfSpace;
  }
  return WriteBytes(path, bytes);
}

MacroFileStatus RewriteMacroFileName(const std::string& path, const std::string& newName, int64_t time) {
  if (!EndsWithNoCase(path, ".mf")) return MacroFileStatus::kNotMacroFile;
  const MacroFileRead read = ReadMacroFile(path);
  if (!read.file) return read.status;
  std::vector<uint8_t> bytes;
  const MacroFileStatus status = EncodeMacroFile(newName, read.file->header.mode, read.file->body, time, bytes);
  if (status != MacroFileStatus::kOk) return status;
  return WriteBytes(path, bytes) ? MacroFileStatus::kOk : MacroFileStatus::kWriteFailed;
}

}  // namespace quorix
