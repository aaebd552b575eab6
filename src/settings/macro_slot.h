#pragma once
// One entry of the mouse's 80-slot macro table, as the load decodes it.

#include <cstdint>
#include <string>

namespace quorix {

struct MacroSlot {
  std::string name;     // UTF-8
  int32_t start = 0;    // start address of the record; 0 = empty slot
  int32_t codeAddress = 0;  // start + name field length + 1; 0 when empty
  int32_t length = 0;   // total record length; 0 when empty
  int32_t mode = 8;     // 8 once, 9 loop, 10 while held

  bool InUse() const { return start != 0; }
};

}  // namespace quorix
