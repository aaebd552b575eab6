#pragma once
// UTF-16 <-> UTF-8 for the names the mouse and the archive files hold. Both
// directions accept any input: broken sequences become U+FFFD.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorix {

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
// Code units from little-endian bytes; stops at the first zero unit.
std::u16string Utf16FromLittleEndian(std::span<const uint8_t> bytes);
// Single-byte characters (Latin-1) to UTF-8.
std::string Latin1ToUtf8(std::span<const uint8_t> bytes);

}  // namespace quorix
