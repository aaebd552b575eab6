#include "base/text_encoding.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/cp932_table.h"
#include "base/utf16.h"

namespace quorix {

namespace {

// One UTF-8 character at text[at]: its value and length, or length 0 when
// the bytes there are not well-formed UTF-8.
struct Utf8Char {
  char32_t value = 0;
  size_t length = 0;
};

Utf8Char NextUtf8(std::string_view text, size_t at) {
  const auto lead = static_cast<uint8_t>(text[at]);
  if (lead < 0x80) return {lead, 1};
  size_t extra = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (at + extra >= text.size()) return {};
  for (size_t i = 1; i <= extra; ++i) {
    const auto next = static_cast<uint8_t>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {};
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, extra + 1};
}

// Windows-1252 bytes 0x80-0x9F; the unassigned ones keep their own value.
constexpr std::array<char16_t, 32> k1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<uint16_t> Encode1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint16_t>(c);
  for (size_t i = 0; i < k1252High.size(); ++i) {
    if (k1252High[i] == c) return static_cast<uint16_t>(0x80 + i);
  }
  return std::nullopt;
}

// Code page 932: single bytes are ASCII and the half-width katakana
// 0xA1-0xDF; lead bytes 0x81-0x9F and 0xE0-0xFC take a trail byte 0x40-0x7E
// or 0x80-0xFC.
constexpr size_t kTrailCount = 188;
constexpr char16_t kHalfWidthFirst = 0xFF61;
constexpr char16_t kUserFirst = 0xE000;  // lead bytes 0xF0-0xF9
constexpr uint8_t kUserLeadFirst = 0xF0;
constexpr uint8_t kUserLeadLast = 0xF9;

bool IsLead932(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

int TrailIndex(uint8_t b) {
  if (b >= 0x40 && b <= 0x7E) return b - 0x40;
  if (b >= 0x80 && b <= 0xFC) return b - 0x41;
  return -1;
}

uint8_t TrailByte(size_t index) { return static_cast<uint8_t>(index < 63 ? 0x40 + index : 0x41 + index); }

struct Cp932Tables {
  std::array<int, 256> rowOfLead{};          // index into chars / kTrailCount, -1 for none
  std::vector<char16_t> chars;               // 0 where a code has no character
  std::unordered_map<char16_t, uint16_t> codes;
};

Cp932Tables BuildCp932() {
  Cp932Tables t;
  t.rowOfLead.fill(-1);
  for (size_t r = 0; r < kCp932RowCount; ++r) {
    const Cp932Row& row = kCp932Rows[r];
    t.rowOfLead[row.lead] = static_cast<int>(r);
    const std::u16string chars = Utf8ToUtf16(row.chars);
    for (size_t i = 0; i < kTrailCount; ++i) t.chars.push_back(i < chars.size() && chars[i] != u' ' ? chars[i] : 0);
  }
  // A character with two codes is written with the first one met here: rows
  // in lead order, with 0xED and 0xEE (a second copy of the extension
  // characters of 0xFA-0xFC) last.
  for (const bool copyRows : {false, true}) {
    for (size_t r = 0; r < kCp932RowCount; ++r) {
      const uint8_t lead = kCp932Rows[r].lead;
      if ((lead == 0xED || lead == 0xEE) != copyRows) continue;
      for (size_t i = 0; i < kTrailCount; ++i) {
        const char16_t c = t.chars[r * kTrailCount + i];
        if (c != 0) t.codes.emplace(c, static_cast<uint16_t>(lead << 8 | TrailByte(i)));
      }
    }
  }
  return t;
}

const Cp932Tables& Cp932() {
  static const Cp932Tables tables = BuildCp932();
  return tables;
}

std::optional<std::u16string> Decode932(std::string_view bytes) {
  const Cp932Tables& t = Cp932();
  std::u16string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      continue;
    }
    if (b >= 0xA1 && b <= 0xDF) {
      out += static_cast<char16_t>(kHalfWidthFirst + (b - 0xA1));
      continue;
    }
    if (!IsLead932(b) || i + 1 >= bytes.size()) return std::nullopt;
    const int trail = TrailIndex(static_cast<uint8_t>(bytes[++i]));
    if (trail < 0) return std::nullopt;
    char16_t c = 0;
    if (b >= kUserLeadFirst && b <= kUserLeadLast) {
      c = static_cast<char16_t>(kUserFirst + (b - kUserLeadFirst) * kTrailCount + static_cast<size_t>(trail));
    } else if (t.rowOfLead[b] >= 0) {
      c = t.chars[static_cast<size_t>(t.rowOfLead[b]) * kTrailCount + static_cast<size_t>(trail)];
    }
    if (c == 0) return std::nullopt;
    out += c;
  }
  return out;
}

std::optional<uint16_t> Encode932(char32_t c) {
  if (c < 0x80) return static_cast<uint16_t>(c);
  if (c >= kHalfWidthFirst && c <= kHalfWidthFirst + (0xDF - 0xA1)) {
    return static_cast<uint16_t>(0xA1 + (c - kHalfWidthFirst));
  }
  const size_t userCount = (kUserLeadLast - kUserLeadFirst + 1) * kTrailCount;
  if (c >= kUserFirst && c < kUserFirst + userCount) {
    const size_t index = c - kUserFirst;
    return static_cast<uint16_t>((kUserLeadFirst + index / kTrailCount) << 8 | TrailByte(index % kTrailCount));
  }
  if (c > 0xFFFF) return std::nullopt;
  const auto& codes = Cp932().codes;
  const auto found = codes.find(static_cast<char16_t>(c));
  if (found == codes.end()) return std::nullopt;
  return found->second;
}

}  // namespace

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return Utf16ToUtf8(units);
}

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  for (char16_t unit : Utf8ToUtf16(text)) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

std::string CutToUtf16Units(std::string_view text, size_t units) {
  size_t used = 0;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    size_t end = i + 1;
    if (lead >= 0xC0) {  // a lead byte takes its continuation bytes along
      while (end < text.size() && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80 && end - i < 4) ++end;
    }
    const size_t cost = (lead >= 0xF0 && end - i == 4) ? 2 : 1;
    if (used + cost > units) break;
    used += cost;
    i = end;
  }
  return std::string(text.substr(0, i));
}

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const Utf8Char c = NextUtf8(bytes, i);
    if (c.length == 0) return false;
    i += c.length;
  }
  return true;
}

std::optional<std::string> AnsiToUtf8(std::string_view bytes, int codePage) {
  if (codePage == kCodePageShiftJis) {
    const std::optional<std::u16string> text = Decode932(bytes);
    if (!text) return std::nullopt;
    return Utf16ToUtf8(*text);
  }
  std::u16string text;
  text.reserve(bytes.size());
  for (char byte : bytes) {
    const auto b = static_cast<uint8_t>(byte);
    text += (b >= 0x80 && b < 0xA0) ? k1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return Utf16ToUtf8(text);
}

std::optional<std::string> Utf8ToAnsi(std::string_view text, int codePage, std::string* unencodable) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const Utf8Char c = NextUtf8(text, i);
    if (c.length == 0) {
      if (unencodable) *unencodable = text.substr(i, 1);
      return std::nullopt;
    }
    // A 932 code above 0xFF is a lead and a trail byte.
    const std::optional<uint16_t> code = codePage == kCodePageShiftJis ? Encode932(c.value) : Encode1252(c.value);
    if (!code) {
      if (unencodable) *unencodable = text.substr(i, c.length);
      return std::nullopt;
    }
    if (*code > 0xFF) out += static_cast<char>(*code >> 8);
    out += static_cast<char>(*code & 0xFF);
    i += c.length;
  }
  return out;
}

std::string CodePageName(int codePage) {
  return codePage == kCodePageShiftJis ? "code page 932 (Shift-JIS)" : "Windows-1252";
}

}  // namespace quorix
