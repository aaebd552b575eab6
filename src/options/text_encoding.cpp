#include "options/text_encoding.h"

#include <cstdint>

#include "settings/utf16.h"

namespace quorix {

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

}  // namespace quorix
