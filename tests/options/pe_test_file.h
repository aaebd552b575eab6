#pragma once
// Builds small PE executables with a version resource, for the tests of the
// version reader.

#include <cstdint>
#include <string>
#include <vector>

namespace quorix::test {

inline void Put16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}
inline std::string Utf16(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}
inline void Pad4(std::string& s) {
  while (s.size() % 4 != 0) s += '\0';
}

// One block of a VS_VERSIONINFO tree. `valueLength` is the stored field
// (characters for text values, bytes for binary ones).
inline std::string VersionBlock(const std::u16string& key, const std::string& value, uint16_t type,
                                uint16_t valueLength, const std::vector<std::string>& children = {}) {
  std::string s(6, '\0');
  s += Utf16(key) + std::string(2, '\0');
  Pad4(s);
  s += value;
  for (const std::string& child : children) {
    Pad4(s);
    s += child;
  }
  Put16(s, 0, static_cast<uint32_t>(s.size()));
  Put16(s, 2, valueLength);
  Put16(s, 4, type);
  return s;
}

inline std::string TextBlock(const std::u16string& key, const std::u16string& text) {
  return VersionBlock(key, Utf16(text) + std::string(2, '\0'), 1, static_cast<uint16_t>(text.size() + 1));
}

// A version resource whose translation is (language, codePage) and whose
// string table `tableKey` holds FileDescription = description.
inline std::string VersionInfo(const std::u16string& description, uint16_t language = 0x0409,
                               uint16_t codePage = 0x04b0, const std::u16string& tableKey = u"040904b0") {
  std::string fixed(52, '\0');
  Put32(fixed, 0, 0xFEEF04BD);
  std::string translation(4, '\0');
  Put16(translation, 0, language);
  Put16(translation, 2, codePage);
  const std::string strings = VersionBlock(
      u"StringFileInfo", "", 1, 0,
      {VersionBlock(tableKey, "", 1, 0,
                    {TextBlock(u"CompanyName", u"Maker"), TextBlock(u"FileDescription", description)})});
  const std::string vars =
      VersionBlock(u"VarFileInfo", "", 1, 0, {VersionBlock(u"Translation", translation, 0, 4)});
  return VersionBlock(u"VS_VERSION_INFO", fixed, 0, 52, {strings, vars});
}

// A PE32 (or PE32+) file with one .rsrc section holding `versionInfo` as its
// only RT_VERSION resource.
inline std::string PeFile(const std::string& versionInfo, bool pe32Plus = false) {
  const uint32_t optionalSize = pe32Plus ? 240 : 224;
  const uint32_t sectionTable = 0x40 + 24 + optionalSize;
  const uint32_t rawPointer = 0x200, rva = 0x1000;
  std::string rsrc(0x58, '\0');
  auto dir = [&](uint32_t at, uint32_t id, uint32_t target) {
    Put16(rsrc, at + 14, 1);
    Put32(rsrc, at + 16, id);
    Put32(rsrc, at + 20, target);
  };
  dir(0x00, 16, 0x80000000u | 0x18);
  dir(0x18, 1, 0x80000000u | 0x30);
  dir(0x30, 0x409, 0x48);
  Put32(rsrc, 0x48, rva + 0x58);
  Put32(rsrc, 0x4C, static_cast<uint32_t>(versionInfo.size()));
  rsrc += versionInfo;

  std::string file(rawPointer, '\0');
  file[0] = 'M';
  file[1] = 'Z';
  Put32(file, 0x3C, 0x40);
  file.replace(0x40, 4, std::string("PE\0\0", 4));
  Put16(file, 0x44, pe32Plus ? 0x8664 : 0x14C);
  Put16(file, 0x46, 1);
  Put16(file, 0x54, optionalSize);
  const uint32_t optional = 0x58;
  Put16(file, optional, pe32Plus ? 0x20B : 0x10B);
  const uint32_t dirs = optional + (pe32Plus ? 108 : 92);
  Put32(file, dirs, 16);
  Put32(file, dirs + 4 + 16, rva);
  Put32(file, dirs + 4 + 20, static_cast<uint32_t>(rsrc.size()));
  file.replace(sectionTable, 5, ".rsrc");
  Put32(file, sectionTable + 8, static_cast<uint32_t>(rsrc.size()));
  Put32(file, sectionTable + 12, rva);
  Put32(file, sectionTable + 16, static_cast<uint32_t>(rsrc.size()));
  Put32(file, sectionTable + 20, rawPointer);
  return file + rsrc;
}

}  // namespace quorix::test
