// Decodes arbitrary bytes in the code pages of files Windows saves without a
// byte-order mark, and encodes arbitrary text into them: nothing may crash,
// and whatever decodes must encode back to text that decodes the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Every byte string is 1252 text, and it writes back byte for byte.
  const std::optional<std::string> western = quorix::AnsiToUtf8(bytes, quorix::kCodePageWindows1252);
  if (!western || !quorix::IsUtf8(*western)) std::abort();
  if (quorix::Utf8ToAnsi(*western, quorix::kCodePageWindows1252) != bytes) std::abort();

  // 932 text may use the second code of a doubled character, so the bytes
  // may change, but never the text.
  if (const std::optional<std::string> japanese = quorix::AnsiToUtf8(bytes, quorix::kCodePageShiftJis)) {
    if (!quorix::IsUtf8(*japanese)) std::abort();
    const std::optional<std::string> again = quorix::Utf8ToAnsi(*japanese, quorix::kCodePageShiftJis);
    if (!again || quorix::AnsiToUtf8(*again, quorix::kCodePageShiftJis) != japanese) std::abort();
  }

  // The bytes as text to store: refused, or read back unchanged.
  for (const int codePage : {quorix::kCodePageWindows1252, quorix::kCodePageShiftJis}) {
    std::string bad;
    const std::optional<std::string> encoded = quorix::Utf8ToAnsi(bytes, codePage, &bad);
    if (encoded && quorix::AnsiToUtf8(*encoded, codePage) != bytes) std::abort();
    if (!encoded && bad.empty()) std::abort();
  }
  return 0;
}
