#include "options/pe_version.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "base/text_encoding.h"

namespace quorix {

namespace {

// Version resources are a few KiB; anything far larger is not one.
constexpr uint32_t kMaxVersionResource = 1u << 20;
constexpr uint32_t kRtVersion = 16;

class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path) : in_(path, std::ios::binary) {
    if (in_) {
      in_.seekg(0, std::ios::end);
      const std::streamoff end = in_.tellg();
      size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
  }
  bool Ok() const { return static_cast<bool>(in_); }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, size_t n) const override {
    if (offset > size_ || n > size_ - offset) return false;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(static_cast<char*>(out), static_cast<std::streamsize>(n));
    return static_cast<size_t>(in_.gcount()) == n;
  }

 private:
  mutable std::ifstream in_;
  uint64_t size_ = 0;
};

class Reader {
 public:
  explicit Reader(const ByteSource& src) : src_(src) {}
  bool U16(uint64_t at, uint16_t& v) const {
    uint8_t b[2];
    if (!src_.ReadAt(at, b, 2)) return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
  }
  bool U32(uint64_t at, uint32_t& v) const {
    uint8_t b[4];
    if (!src_.ReadAt(at, b, 4)) return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
        (static_cast<uint32_t>(b[3]) << 24);
    return true;
  }
  const ByteSource& Source() const { return src_; }

 private:
  const ByteSource& src_;
};

struct Section {
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawPointer = 0;
};

// File offset of `size` bytes at `rva`, when they lie in one section's raw data.
bool RvaToOffset(const std::vector<Section>& sections, uint32_t rva, uint32_t size, uint64_t& offset) {
  for (const Section& s : sections) {
    if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize &&
        size <= s.rawSize - (rva - s.virtualAddress)) {
      offset = static_cast<uint64_t>(s.rawPointer) + (rva - s.virtualAddress);
      return true;
    }
  }
  return false;
}

// One entry of a resource directory: id (or name flag) and target.
struct DirEntry {
  uint32_t name = 0;
  uint32_t target = 0;
};

bool ReadDirectory(const Reader& r, uint64_t dirOffset, std::vector<DirEntry>& entries) {
  uint16_t named = 0, ids = 0;
  if (!r.U16(dirOffset + 12, named) || !r.U16(dirOffset + 14, ids)) return false;
  entries.clear();
  const uint32_t count = static_cast<uint32_t>(named) + ids;
  for (uint32_t i = 0; i < count; ++i) {
    DirEntry e;
    if (!r.U32(dirOffset + 16 + 8ull * i, e.name) || !r.U32(dirOffset + 20 + 8ull * i, e.target)) return false;
    entries.push_back(e);
  }
  return true;
}

// ---- VS_VERSIONINFO blocks ----

struct Block {
  std::u16string key;
  std::string_view value;     // raw value bytes
  std::string_view children;  // the child blocks
  uint16_t type = 0;
};

size_t Align4(size_t n) { return (n + 3) & ~size_t{3}; }

char16_t UnitAt(std::string_view d, size_t at) {
  return static_cast<char16_t>(static_cast<uint8_t>(d[at]) | (static_cast<uint8_t>(d[at + 1]) << 8));
}

// Parses the block at `pos` of `data` and moves `pos` past it.
bool NextBlock(std::string_view data, size_t& pos, Block& block) {
  pos = Align4(pos);
  if (pos > data.size() || data.size() - pos < 6) return false;
  const uint16_t length = UnitAt(data, pos);
  const uint16_t valueLength = UnitAt(data, pos + 2);
  block.type = UnitAt(data, pos + 4);
  if (length < 6 || length > data.size() - pos) return false;
  const std::string_view b = data.substr(pos, length);
  pos += length;

  size_t at = 6;
  block.key.clear();
  while (true) {
    if (at + 2 > b.size()) return false;
    const char16_t c = UnitAt(b, at);
    at += 2;
    if (c == 0) break;
    block.key += c;
  }
  at = std::min(Align4(at), b.size());
  const size_t valueBytes = block.type == 1 ? size_t{valueLength} * 2 : valueLength;
  block.value = b.substr(at, std::min(valueBytes, b.size() - at));
  at = std::min(Align4(at + block.value.size()), b.size());
  block.children = b.substr(at);
  return true;
}

bool KeyEquals(const std::u16string& key, std::string_view ascii) {
  if (key.size() != ascii.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    char16_t a = key[i], b = static_cast<unsigned char>(ascii[i]);
    if (a >= 'A' && a <= 'Z') a = static_cast<char16_t>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char16_t>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

bool FindChild(std::string_view children, std::string_view key, Block& found) {
  size_t pos = 0;
  Block b;
  while (NextBlock(children, pos, b)) {
    if (KeyEquals(b.key, key)) {
      found = b;
      return true;
    }
  }
  return false;
}

}  // namespace

bool MemoryByteSource::ReadAt(uint64_t offset, void* out, size_t n) const {
  if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
  if (n != 0) std::memcpy(out, bytes_.data() + offset, n);
  return true;
}

std::optional<std::string> ReadVersionResource(const ByteSource& file) {
  const Reader r(file);
  uint16_t mz = 0;
  uint32_t peOffset = 0, signature = 0;
  if (!r.U16(0, mz) || mz != 0x5A4D || !r.U32(0x3C, peOffset)) return std::nullopt;
  if (!r.U32(peOffset, signature) || signature != 0x00004550) return std::nullopt;
  const uint64_t coff = uint64_t{peOffset} + 4;
  uint16_t sectionCount = 0, optionalSize = 0, magic = 0;
  if (!r.U16(coff + 2, sectionCount) || !r.U16(coff + 16, optionalSize)) return std::nullopt;
  const uint64_t optional = coff + 20;
  if (!r.U16(optional, magic)) return std::nullopt;
  uint64_t dirCountAt = 0;
  if (magic == 0x10B) {
    dirCountAt = 92;
  } else if (magic == 0x20B) {
    dirCountAt = 108;
  } else {
    return std::nullopt;
  }
  uint32_t dirCount = 0, rsrcRva = 0, rsrcSize = 0;
  // The resource directory is entry 2; it must lie inside the optional header.
  if (dirCountAt + 4 + 3 * 8 > optionalSize || !r.U32(optional + dirCountAt, dirCount) || dirCount < 3 ||
      !r.U32(optional + dirCountAt + 4 + 16, rsrcRva) || !r.U32(optional + dirCountAt + 4 + 20, rsrcSize) ||
      rsrcRva == 0) {
    return std::nullopt;
  }

  std::vector<Section> sections;
  const uint64_t table = optional + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    Section s;
    const uint64_t at = table + 40ull * i;
    if (!r.U32(at + 12, s.virtualAddress) || !r.U32(at + 16, s.rawSize) || !r.U32(at + 20, s.rawPointer)) {
      return std::nullopt;
    }
    sections.push_back(s);
  }

  uint64_t rsrc = 0;
  if (!RvaToOffset(sections, rsrcRva, 16, rsrc)) return std::nullopt;
  // Offsets inside the resource tree are relative to its start and must stay
  // inside the same section; RvaToOffset checks each one.
  auto dirAt = [&](uint32_t relative, uint64_t& offset) {
    return relative <= 0xFFFFFFFFu - rsrcRva && RvaToOffset(sections, rsrcRva + relative, 16, offset);
  };

  std::vector<DirEntry> entries;
  if (!ReadDirectory(r, rsrc, entries)) return std::nullopt;
  uint64_t level = 0;
  bool found = false;
  for (const DirEntry& e : entries) {
    if ((e.name & 0x80000000u) == 0 && e.name == kRtVersion && (e.target & 0x80000000u) != 0) {
      found = dirAt(e.target & 0x7FFFFFFFu, level);
      break;
    }
  }
  if (!found) return std::nullopt;
  // Level 2 (resource name) and level 3 (language): the first entry of each.
  for (int depth = 0; depth < 2; ++depth) {
    if (!ReadDirectory(r, level, entries) || entries.empty()) return std::nullopt;
    const DirEntry& e = entries.front();
    const bool isDirectory = (e.target & 0x80000000u) != 0;
    if (depth == 0 && !isDirectory) return std::nullopt;
    if (depth == 1 && isDirectory) return std::nullopt;
    uint64_t next = 0;
    if (isDirectory ? !dirAt(e.target & 0x7FFFFFFFu, next)
                    : !(e.target <= 0xFFFFFFFFu - rsrcRva &&
                        RvaToOffset(sections, rsrcRva + e.target, 16, next))) {
      return std::nullopt;
    }
    level = next;
  }
  uint32_t dataRva = 0, dataSize = 0;
  if (!r.U32(level, dataRva) || !r.U32(level + 4, dataSize)) return std::nullopt;
  if (dataSize == 0 || dataSize > kMaxVersionResource) return std::nullopt;
  uint64_t dataOffset = 0;
  if (!RvaToOffset(sections, dataRva, dataSize, dataOffset)) return std::nullopt;
  std::string data(dataSize, '\0');
  if (!file.ReadAt(dataOffset, data.data(), data.size())) return std::nullopt;
  return data;
}

std::optional<std::string> FileDescriptionFromVersionInfo(std::string_view info) {
  size_t pos = 0;
  Block root;
  if (!NextBlock(info, pos, root) || !KeyEquals(root.key, "VS_VERSION_INFO")) return std::nullopt;
  Block varInfo, translation, stringInfo, table, description;
  if (!FindChild(root.children, "VarFileInfo", varInfo) ||
      !FindChild(varInfo.children, "Translation", translation) || translation.value.size() < 4) {
    return std::nullopt;
  }
  const unsigned language = UnitAt(translation.value, 0);
  const unsigned codePage = UnitAt(translation.value, 2);
  char tableKey[9];
  std::snprintf(tableKey, sizeof tableKey, "%04x%04x", language, codePage);
  if (!FindChild(root.children, "StringFileInfo", stringInfo) ||
      !FindChild(stringInfo.children, tableKey, table) ||
      !FindChild(table.children, "FileDescription", description)) {
    return std::nullopt;
  }
  std::string_view text = description.value.substr(0, description.value.size() & ~size_t{1});
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    if (UnitAt(text, i) == 0) {
      text = text.substr(0, i);
      break;
    }
  }
  return Utf16LeToUtf8(text);
}

std::optional<std::string> ReadFileDescription(const std::string& path) {
  const FileByteSource file(path);
  if (!file.Ok()) return std::nullopt;
  const std::optional<std::string> info = ReadVersionResource(file);
  if (!info) return std::nullopt;
  return FileDescriptionFromVersionInfo(*info);
}

}  // namespace quorix
