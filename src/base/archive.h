#pragma once
// The archive conventions of backup and macro files: little-endian integers,
// raw bytes and length-prefixed strings.
//
// String form written: 0xFF, 0xFE 0xFF (the UTF-16 marker), the length in code
// units (one byte below 255; 0xFF and a 16-bit length below 0xFFFE; else 0xFF,
// 0xFFFF and a 32-bit length), then the code units in UTF-16LE. The reader
// also takes the 64-bit form (0xFF, 0xFFFF, 0xFFFFFFFF, 64-bit length) and the
// marker-less form, whose length counts single-byte (Latin-1)
// characters. Strings are UTF-8 on this side.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {

class ArchiveWriter {
 public:
  void WriteString(std::string_view utf8);
  void WriteInt32(int32_t value);
  void WriteUint16(uint16_t value);
  void WriteUint8(uint8_t value) { bytes_.push_back(value); }
  void WriteBytes(std::span<const uint8_t> bytes);
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

// Reads from a byte span it does not own. Every read checks the bounds: a read
// past the end (or a malformed string) returns false, leaves the output
// unchanged, and puts the reader into a failed state that later reads keep.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ReadString(std::string& utf8);
  bool ReadInt32(int32_t& value);
  bool ReadUint16(uint16_t& value);
  bool ReadUint8(uint8_t& value);
  bool ReadBytes(size_t count, std::vector<uint8_t>& out);

  size_t Remaining() const { return failed_ ? 0 : bytes_.size() - position_; }
  bool Failed() const { return failed_; }
  // What went wrong first; empty while nothing has.
  const std::string& Error() const { return error_; }

 private:
  bool Fail(std::string message);
  bool ReadLength(uint64_t& length);

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool failed_ = false;
  std::string error_;
};

}  // namespace quorix
