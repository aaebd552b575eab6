#pragma once
// The fixed places in the mouse's settings memory that more than one module
// names: the settings memory map, the lighting commands and zone table, the
// macro area and the simulated mouse's factory memory all take them from here.
// Header only and constants only, so the simulated mouse can use it without
// linking the device layer.

namespace quorix {

// Direct layout (protocol level 11 and above): the lighting mode / light
// effect byte and the 64-byte lighting block, which is the zone table.
inline constexpr int kLightingModeAddress = 0x11;          // 17
inline constexpr int kDirectLightingBlockAddress = 0x500;  // 1280
// Every layout above level 0: the stored lift value, two bytes little-endian.
inline constexpr int kLiftValueAddress = 18;
// Grouped layout (levels 1..10): the macro area starts here, and at levels
// 3..10 the 52-byte lighting block lies over that start on purpose.
inline constexpr int kGroupedMacroAreaStart = 0x460;  // 1120
inline constexpr int kGroupedLightingBlockAddress = kGroupedMacroAreaStart;

}  // namespace quorix
