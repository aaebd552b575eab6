#pragma once
// The double-byte half of code page 932, as generated into cp932_table.cpp.

#include <cstddef>
#include <cstdint>

namespace quorix {

struct Cp932Row {
  uint8_t lead;       // lead byte
  const char* chars;  // UTF-8: one character per trail byte, ' ' for none
};
extern const Cp932Row kCp932Rows[];
extern const size_t kCp932RowCount;

}  // namespace quorix
