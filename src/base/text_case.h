#pragma once
// Letter case for the names the system compares without regard to case:
// device paths, vendor identities, file extensions, start-up switches. Only
// A-Z fold; every other byte (UTF-8 included) passes through unchanged,
// whatever locale the process runs in.

#include <string>
#include <string_view>

namespace quorix {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

// Whether text ends with suffix, compared without regard to ASCII case.
inline bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && AsciiLower(text.substr(text.size() - suffix.size())) == AsciiLower(suffix);
}

}  // namespace quorix
