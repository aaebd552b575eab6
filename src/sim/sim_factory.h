#pragma once
// What a new simulated mouse holds: the memory image the program's reset to
// defaults writes (so a fresh mouse and a freshly reset one look alike), the
// factory button functions and the factory lighting.

#include <array>
#include <cstdint>
#include <vector>

#include "sim/sim_options.h"

namespace quorix::sim {

// The lift value a fresh mouse reports (stored at 18, 19 from level 1 on).
inline constexpr int kFactoryLift = 4828;

// memorySize bytes (at least 2048 are built; a smaller memory holds the image
// wrapped, as the hardware would).
std::vector<uint8_t> FactoryMemory(const SimOptions& options);

// Factory function of each button slot (type, p1, p2, p3).
std::array<std::array<uint8_t, 4>, 32> FactoryButtonRecords();

// The 256-byte information block of levels 1..10 and 0: counts at 12, 13, a
// status value at 14 and the factory button records from 72.
std::array<uint8_t, 256> FactoryInformationBlock();

}  // namespace quorix::sim
