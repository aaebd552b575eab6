#pragma once
// A small reader for the version resource of Windows executables (PE files),
// enough to name a program by its "FileDescription" the way the platform's
// version-information calls do. Every offset and length read from the file is
// checked against the file and the enclosing structure; a damaged file gives
// "no description", never a read outside the data.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorix {

// Random access to the bytes of a file or a buffer.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Copies n bytes at offset into out; false when they are not all there.
  virtual bool ReadAt(uint64_t offset, void* out, size_t n) const = 0;
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, void* out, size_t n) const override;

 private:
  std::string_view bytes_;
};

// The raw version resource (the VS_VERSIONINFO block) of the first
// RT_VERSION entry, or nothing when there is none or the file is damaged.
std::optional<std::string> ReadVersionResource(const ByteSource& file);

// From a VS_VERSIONINFO block: the first language and code page of
// "\VarFileInfo\Translation" (taken only when that value is at least 4
// bytes), then "\StringFileInfo\<lang><codepage>\FileDescription" in UTF-8.
// Nothing when any step is missing.
std::optional<std::string> FileDescriptionFromVersionInfo(std::string_view versionInfo);

// Both steps on a file path; nothing when the file cannot be read.
std::optional<std::string> ReadFileDescription(const std::string& path);

}  // namespace quorix
