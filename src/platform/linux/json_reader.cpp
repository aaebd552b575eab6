#include "platform/linux/json_reader.h"

#include <charconv>
#include <cmath>

namespace quorix {

namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Document() {
    JsonValue value;
    if (!Value(value, 0)) return std::nullopt;
    SkipSpace();
    if (pos_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool Take(char c) {
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool Value(JsonValue& out, int depth) {
    if (depth > kJsonMaxDepth) return false;
    SkipSpace();
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    if (c == '{') return Object(out, depth);
    if (c == '[') return Array(out, depth);
    if (c == '"') {
      out.kind = JsonValue::Kind::kString;
      return String(out.text);
    }
    if (Word("true")) {
      out.kind = JsonValue::Kind::kBool;
      out.boolean = true;
      return true;
    }
    if (Word("false")) {
      out.kind = JsonValue::Kind::kBool;
      return true;
    }
    if (Word("null")) return true;
    return Number(out);
  }

  bool Object(JsonValue& out, int depth) {
    ++pos_;  // '{'
    out.kind = JsonValue::Kind::kObject;
    if (Take('}')) return true;
    do {
      SkipSpace();
      std::string key;
      if (pos_ >= text_.size() || text_[pos_] != '"' || !String(key) || !Take(':')) return false;
      JsonValue member;
      if (!Value(member, depth + 1)) return false;
      out.members.emplace_back(std::move(key), std::move(member));
    } while (Take(','));
    return Take('}');
  }

  bool Array(JsonValue& out, int depth) {
    ++pos_;  // '['
    out.kind = JsonValue::Kind::kArray;
    if (Take(']')) return true;
    do {
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      out.items.push_back(std::move(item));
    } while (Take(','));
    return Take(']');
  }

  bool Number(JsonValue& out) {
    const size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    auto digits = [&] {
      const size_t from = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ > from;
    };
    if (!digits()) return false;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      if (!digits()) return false;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (!digits()) return false;
    }
    out.kind = JsonValue::Kind::kNumber;
    // from_chars reads the C notation whatever the program's locale.
    std::from_chars(text_.data() + start, text_.data() + pos_, out.number);
    return true;
  }

  std::optional<unsigned> Hex4() {
    if (pos_ + 4 > text_.size()) return std::nullopt;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_++];
      value <<= 4;
      if (c >= '0' && c <= '9')
        value |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        value |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        value |= static_cast<unsigned>(c - 'A' + 10);
      else
        return std::nullopt;
    }
    return value;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool String(std::string& out) {
    ++pos_;  // '"'
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      const char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::optional<unsigned> code = Hex4();
          if (!code) return false;
          // A high surrogate takes the low one that follows; a lone one
          // stands for itself as U+FFFD.
          if (*code >= 0xD800 && *code < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
            pos_ += 2;
            const std::optional<unsigned> low = Hex4();
            if (!low) return false;
            if (*low >= 0xDC00 && *low < 0xE000) {
              code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
            } else {
              AppendUtf8(out, 0xFFFD);
              code = *low;
            }
          }
          if (*code >= 0xD800 && *code < 0xE000) code = 0xFFFD;
          AppendUtf8(out, *code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
  if (kind != Kind::kObject) return nullptr;
  for (const auto& [name, value] : members) {
    if (name == key) return &value;
  }
  return nullptr;
}

std::optional<long long> JsonValue::Integer() const {
  if (kind != Kind::kNumber || number != std::floor(number) || std::fabs(number) > 9.0e15) return std::nullopt;
  return static_cast<long long>(number);
}

std::optional<std::string> JsonValue::StringAt(std::string_view key) const {
  const JsonValue* value = Find(key);
  if (value == nullptr || value->kind != Kind::kString) return std::nullopt;
  return value->text;
}

std::optional<long long> JsonValue::IntegerAt(std::string_view key) const {
  const JsonValue* value = Find(key);
  return value != nullptr ? value->Integer() : std::nullopt;
}

bool JsonValue::TrueAt(std::string_view key) const {
  const JsonValue* value = Find(key);
  return value != nullptr && value->kind == Kind::kBool && value->boolean;
}

std::optional<JsonValue> ParseJson(std::string_view text) { return Parser(text).Document(); }

}  // namespace quorix
