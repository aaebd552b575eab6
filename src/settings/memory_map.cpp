#include "settings/memory_map.h"

#include "device/memory_addresses.h"

namespace quorix {

MemoryMap MemoryMapForLevel(int protocolLevel, int tableSelect) {
  MemoryMap map;  // level 0 (and below) is the default
  map.protocolLevel = protocolLevel;
  if (protocolLevel <= 0) return map;

  map.level0 = false;
  map.nameOffset = 6;
  map.nameUnits = 13;
  map.dpiPairOffset = 3;
  map.levelFlagsAddress = 15;
  map.levelFlagCount = 5;
  map.settingsByteAddress = 14;
  map.storedProfileAddress = 1;
  map.liftValueAddress = kLiftValueAddress;
  map.profileBlockOffset = 32;
  map.bytesReadAtLoad = 2048;
  map.loadRequestSize = 60;
  if (protocolLevel <= 10) {
    map.profileBlockStride = 128;
    map.buttonsPerProfile = 24;
    map.macroTableOffset = 672;
    map.macroModeOffset = 992;
    map.profileRecordOffset = 1008;
    map.macroAreaStart = kGroupedMacroAreaStart;
    map.mainWindowConstant = 18;
    if (protocolLevel >= 3) {
      map.lightingBlockAddress = kGroupedLightingBlockAddress;
      map.lightingBlockLength = 52;
    }
    return map;
  }
  map.profileBlockStride = 160;
  map.buttonsPerProfile = 32;
  map.macroTableOffset = 832;
  map.macroModeOffset = 1152;
  map.profileRecordOffset = 1168;
  map.macroAreaStart = 1360;
  map.lightingModeAddress = kLightingModeAddress;
  map.lightingBlockAddress = kDirectLightingBlockAddress;
  map.lightingBlockLength = 64;
  map.mainWindowConstant = tableSelect == 7 ? 15 : 12;
  map.buttonMapTable = tableSelect == 6 ? 1 : (tableSelect == 7 ? 2 : 0);
  return map;
}

}  // namespace quorix
