#include "base/archive.h"

#include "base/utf16.h"

namespace quorix {

void ArchiveWriter::WriteUint16(uint16_t value) {
  bytes_.push_back(static_cast<uint8_t>(value));
  bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void ArchiveWriter::WriteInt32(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(u >> shift));
}

void ArchiveWriter::WriteBytes(std::span<const uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

void ArchiveWriter::WriteString(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  WriteUint8(0xFF);
  WriteUint16(0xFFFE);
  const size_t n = units.size();
  if (n < 0xFF) {
    WriteUint8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    WriteUint8(0xFF);
    WriteUint16(static_cast<uint16_t>(n));
  } else {
    WriteUint8(0xFF);
    WriteUint16(0xFFFF);
    WriteInt32(static_cast<int32_t>(n));
  }
  for (char16_t unit : units) WriteUint16(static_cast<uint16_t>(unit));
}

bool ArchiveReader::Fail(std::string message) {
  if (!failed_) {
    failed_ = true;
    error_ = std::move(message) + " at byte " + std::to_string(position_);
  }
  return false;
}

bool ArchiveReader::ReadUint8(uint8_t& value) {
  if (failed_) return false;
  if (bytes_.size() - position_ < 1) return Fail("unexpected end of data");
  value = bytes_[position_++];
  return true;
}

bool ArchiveReader::ReadUint16(uint16_t& value) {
  if (failed_) return false;
  if (bytes_.size() - position_ < 2) return Fail("unexpected end of data");
  value = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
  position_ += 2;
  return true;
}

bool ArchiveReader::ReadInt32(int32_t& value) {
  if (failed_) return false;
  if (bytes_.size() - position_ < 4) return Fail("unexpected end of data");
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | bytes_[position_ + i];
  value = static_cast<int32_t>(u);
  position_ += 4;
  return true;
}

bool ArchiveReader::ReadBytes(size_t count, std::vector<uint8_t>& out) {
  if (failed_) return false;
  if (bytes_.size() - position_ < count) return Fail("unexpected end of data");
  out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(position_),
             bytes_.begin() + static_cast<std::ptrdiff_t>(position_ + count));
  position_ += count;
  return true;
}

// The length forms after the optional marker: a byte below 0xFF; 0xFF and a
// 16-bit value below 0xFFFE; 0xFF, 0xFFFF and a 32-bit value.
bool ArchiveReader::ReadLength(uint64_t& length) {
  uint8_t b = 0;
  if (!ReadUint8(b)) return false;
  if (b < 0xFF) {
    length = b;
    return true;
  }
  uint16_t w = 0;
  if (!ReadUint16(w)) return false;
  if (w < 0xFFFE) {
    length = w;
    return true;
  }
  if (w == 0xFFFE) return Fail("repeated string marker");
  int32_t l = 0;
  if (!ReadInt32(l)) return false;
  if (static_cast<uint32_t>(l) < 0xFFFFFFFFu) {
    length = static_cast<uint32_t>(l);
    return true;
  }
  // The largest form: 0xFF, 0xFFFF, 0xFFFFFFFF and a 64-bit length.
  std::vector<uint8_t> wide;
  if (!ReadBytes(8, wide)) return false;
  length = 0;
  for (int i = 7; i >= 0; --i) length = (length << 8) | wide[static_cast<size_t>(i)];
  return true;
}

bool ArchiveReader::ReadString(std::string& utf8) {
  if (failed_) return false;
  const size_t start = position_;
  bool wide = false;
  // The marker is 0xFF followed by 0xFFFE; anything else starts a length.
  if (bytes_.size() - position_ >= 3 && bytes_[position_] == 0xFF && bytes_[position_ + 1] == 0xFE &&
      bytes_[position_ + 2] == 0xFF) {
    wide = true;
    position_ += 3;
  }
  uint64_t length = 0;
  if (!ReadLength(length)) return false;
  const uint64_t available = bytes_.size() - position_;
  // Compared before doubling, so that a 64-bit length cannot wrap around.
  if (length > (wide ? available / 2 : available)) {
    position_ = start;
    return Fail("string longer than the data");
  }
  const uint64_t byteCount = wide ? length * 2 : length;
  const std::span<const uint8_t> body = bytes_.subspan(position_, static_cast<size_t>(byteCount));
  position_ += static_cast<size_t>(byteCount);
  if (!wide) {
    utf8 = Latin1ToUtf8(body);
    return true;
  }
  std::u16string units;
  units.reserve(static_cast<size_t>(length));
  for (size_t i = 0; i + 1 < body.size(); i += 2) units += static_cast<char16_t>(body[i] | (body[i + 1] << 8));
  utf8 = Utf16ToUtf8(units);
  return true;
}

}  // namespace quorix
