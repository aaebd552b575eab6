#pragma once
// A small JSON reader for the answers of the desktops' own channels (the
// sway IPC's trees and events, Hyprland's request socket). It reads whole
// documents of a few hundred kilobytes at most; nesting deeper than
// kJsonMaxDepth is refused rather than followed, so a hostile peer cannot
// exhaust the stack.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorix {

inline constexpr int kJsonMaxDepth = 200;

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;                                        // kString
  std::vector<JsonValue> items;                            // kArray
  std::vector<std::pair<std::string, JsonValue>> members;  // kObject, in document order

  // The member named key of an object; nullptr for another kind or a missing key.
  const JsonValue* Find(std::string_view key) const;
  // The number when it is a whole number that fits a long long.
  std::optional<long long> Integer() const;
  // The member key when it is a string / a whole number / true or false.
  std::optional<std::string> StringAt(std::string_view key) const;
  std::optional<long long> IntegerAt(std::string_view key) const;
  bool TrueAt(std::string_view key) const;
};

// The document in text; nothing when it is not well-formed JSON (trailing
// bytes other than white space included).
std::optional<JsonValue> ParseJson(std::string_view text);

}  // namespace quorix
