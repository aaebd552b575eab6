#include "cli/json_writer.h"

#include <cstdio>
#include <ostream>

namespace quorix {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

JsonWriter::~JsonWriter() {
  if (empty_.empty()) out_ << '\n';
}

JsonWriter& JsonWriter::Key(const std::string& name) {
  BeforeValue();
  out_ << JsonString(name) << ": ";
  afterKey_ = true;
  return *this;
}

void JsonWriter::String(const std::string& text) {
  BeforeValue();
  out_ << JsonString(text);
}

void JsonWriter::Number(long long value) {
  BeforeValue();
  out_ << value;
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ << bracket;
  empty_.push_back(true);
}

void JsonWriter::Close(char bracket) {
  const bool wasEmpty = empty_.back();
  empty_.pop_back();
  if (!wasEmpty) out_ << '\n' << std::string(2 * empty_.size(), ' ');
  out_ << bracket;
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (empty_.empty()) return;
  if (!empty_.back()) out_ << ',';
  empty_.back() = false;
  out_ << '\n' << std::string(2 * empty_.size(), ' ');
}

}  // namespace quorix
