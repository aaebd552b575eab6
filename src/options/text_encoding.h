#pragma once
// Byte-level UTF-16LE for files written on systems whose text is UTF-16
// (initialisation files with a byte-order mark, version resources of
// executables), on top of the UTF-16 conversions of settings/utf16.h.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorix {

// Decodes UTF-16LE bytes (no byte-order mark) to UTF-8, zero units included.
// An unpaired surrogate becomes U+FFFD; an odd last byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);

// Encodes UTF-8 text as UTF-16LE bytes; broken UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16Le(std::string_view text);

// Cuts UTF-8 text to at most `units` UTF-16 code units without splitting a
// character: a character from a four-byte sequence counts two, every other
// character (and every stray byte) one.
std::string CutToUtf16Units(std::string_view text, size_t units);

}  // namespace quorix
