#pragma once
// UTF-16LE <-> UTF-8 conversion for files and resources written on systems
// whose text is UTF-16 (initialisation files with a byte-order mark, version
// resources of executables).

#include <string>
#include <string_view>

namespace quorix {

// Decodes UTF-16LE bytes (no byte-order mark) to UTF-8. An unpaired surrogate
// becomes U+FFFD; an odd last byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);

// Encodes UTF-8 text as UTF-16LE bytes. Bytes that are not valid UTF-8 are
// taken one by one as Latin-1 characters, so no input is lost silently.
std::string Utf8ToUtf16Le(std::string_view text);

// Cuts UTF-8 text to at most `units` UTF-16 code units without splitting a
// character (a character outside the BMP counts two; a byte that is not
// valid UTF-8 counts one).
std::string CutToUtf16Units(std::string_view text, size_t units);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace quorix
