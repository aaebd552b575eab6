#pragma once
// Just enough JSON for the reports the command line prints for machines:
// nested objects and arrays, two spaces per level, strings escaped.

#include <iosfwd>
#include <string>
#include <vector>

namespace quorix {

// text as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  // Ends the last line once the outermost value is closed.
  ~JsonWriter();

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The next value's name; only inside an object.
  JsonWriter& Key(const std::string& name);
  void String(const std::string& text);
  void Number(long long value);
  void Bool(bool value);
  void Null();

 private:
  void Open(char bracket);
  void Close(char bracket);
  // Comma and new line before a value, unless it follows its key.
  void BeforeValue();

  std::ostream& out_;
  std::vector<bool> empty_;  // per open level: nothing written in it yet
  bool afterKey_ = false;
};

}  // namespace quorix
