#include "settings/memory_map.h"

namespace quorix {

MemoryMap MemoryMapForLevel(int protocolLevel, int tableSelect) {
  MemoryMap map;
  static_cast<ProtocolFamily&>(map) = FamilyForLevel(protocolLevel);
  if (map.layout == Layout::kGrouped) map.mainWindowConstant = 18;
  if (map.layout == Layout::kDirect) {
    map.mainWindowConstant = tableSelect == 7 ? 15 : 12;
    map.buttonMapTable = tableSelect == 6 ? 1 : (tableSelect == 7 ? 2 : 0);
  }
  return map;
}

}  // namespace quorix
