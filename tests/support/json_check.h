#pragma once
// A strict JSON syntax check for tests of the command line's --json output:
// true when text is exactly one JSON value (RFC 8259), with the names of the
// outermost object's members collected on the way.

#include <cctype>
#include <set>
#include <string>

namespace quorix::test {

class JsonCheck {
 public:
  explicit JsonCheck(std::string text) : text_(std::move(text)) {}
  bool Valid() {
    at_ = 0;
    const bool ok = Value(0);
    Space();
    return ok && at_ == text_.size();
  }
  const std::set<std::string>& TopKeys() const { return topKeys_; }

 private:
  void Space() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool Take(char c) {
    Space();
    if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
    return false;
  }
  bool Literal(const std::string& word) {
    if (text_.compare(at_, word.size(), word) != 0) return false;
    return at_ += word.size(), true;
  }
  bool String(std::string* out) {
    if (!Take('"')) return false;
    for (; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') return ++at_, true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c == '\\') {
        if (++at_ >= text_.size() || std::string("\"\\/bfnrtu").find(text_[at_]) == std::string::npos) return false;
        if (text_[at_] == 'u') {
          for (int i = 0; i < 4; ++i)
            if (++at_ >= text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[at_]))) return false;
        }
        continue;
      }
      if (out != nullptr) *out += c;
    }
    return false;
  }
  bool Number() {
    const size_t start = at_;
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
    return at_ > start && std::isdigit(static_cast<unsigned char>(text_[at_ - 1]));
  }
  bool Value(int depth) {
    Space();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') {
      ++at_;
      if (Take('}')) return true;
      do {
        std::string key;
        if (!String(&key) || !Take(':') || !Value(depth + 1)) return false;
        if (depth == 0) topKeys_.insert(key);
      } while (Take(','));
      return Take('}');
    }
    if (c == '[') {
      ++at_;
      if (Take(']')) return true;
      do {
        if (!Value(depth + 1)) return false;
      } while (Take(','));
      return Take(']');
    }
    if (c == '"') return String(nullptr);
    return Literal("true") || Literal("false") || Literal("null") || Number();
  }

  std::string text_;
  size_t at_ = 0;
  std::set<std::string> topKeys_;
};

}  // namespace quorix::test
