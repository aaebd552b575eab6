#pragma once
// Byte-level text encodings of the files other systems write: UTF-16LE
// (initialisation files with a byte-order mark, version resources of
// executables) on top of the UTF-16 conversions of base/utf16.h, and the
// single- and double-byte code pages that Windows uses for files without a
// byte-order mark that are not UTF-8.

#include <cstddef>
#include <optional>
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

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values above U+10FFFF).
bool IsUtf8(std::string_view bytes);

// The code pages a file without a byte-order mark may be in when it is not
// UTF-8: Windows-1252 (Western) and 932 (Shift-JIS as Windows writes it).
inline constexpr int kCodePageWindows1252 = 1252;
inline constexpr int kCodePageShiftJis = 932;

// Decodes bytes in `codePage` to UTF-8 (any code page other than 932 reads
// as 1252). Every byte is 1252 text: its five unassigned bytes become the C1
// controls of the same value, so that writing back gives the same bytes.
// 932 gives nothing for bytes that are not 932 text (a lead byte without a
// valid trail byte, a code without a character, 0x80, 0xA0, 0xFD-0xFF).
std::optional<std::string> AnsiToUtf8(std::string_view bytes, int codePage);

// Encodes UTF-8 text in `codePage`; nothing when a character has no code
// there (or the text is not UTF-8), and `unencodable`, when given, then holds
// the first such character. A character with two 932 codes gets the lower
// one, except that rows 0xED and 0xEE (a second copy of extension
// characters) yield to their twins in 0xFA-0xFC, as Windows writes them.
std::optional<std::string> Utf8ToAnsi(std::string_view text, int codePage, std::string* unencodable = nullptr);

// "Windows-1252" or "code page 932 (Shift-JIS)", for messages.
std::string CodePageName(int codePage);

}  // namespace quorix
