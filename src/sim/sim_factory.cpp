#include "sim/sim_factory.h"

#include "device/protocol_family.h"

namespace quorix::sim {
namespace {

constexpr uint8_t kSignature = 0x12;
constexpr std::array<uint8_t, 5> kDpiDefaults = {20, 40, 80, 160, 80};
constexpr std::array<std::array<uint8_t, 3>, 5> kProfileColours = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}}};

void Put(std::vector<uint8_t>& memory, int address, uint8_t value) {
  memory[static_cast<size_t>(address) % memory.size()] = value;
}

}  // namespace

std::vector<uint8_t> FactoryMemory(const SimOptions& options) {
  const size_t size = options.memorySize > 0 ? static_cast<size_t>(options.memorySize) : 1;
  std::vector<uint8_t> memory(size, 0);
  Put(memory, 0, kSignature);
  // The memory-end probe's marker at the top of memory (0xFFFE and 0xFFFF
  // mirror onto the last two bytes). A mouse that has met the program once
  // carries it, so the probe of a fresh simulated mouse only reads.
  Put(memory, 0xFFFE, kSignature);
  Put(memory, 0xFFFF, kSignature);
  const ProtocolFamily family = FamilyForLevel(options.protocolLevel);
  Put(memory, family.settingsByteAddress, 0x10);  // report-rate code 1
  for (int i = 0; i < 5; ++i) {
    Put(memory, family.dpiPairOffset + 2 * i, kDpiDefaults[static_cast<size_t>(i)]);
    Put(memory, family.dpiPairOffset + 2 * i + 1, kDpiDefaults[static_cast<size_t>(i)]);
  }
  if (family.Level0()) {
    if (options.modelCode == 12) {
      Put(memory, 12, 245);
      Put(memory, 13, 182);
    } else if (options.modelCode == 13) {
      Put(memory, 12, 150);
      Put(memory, 13, 18);
    }
    for (int p = 0; p < 5; ++p) {
      const int block = family.ProfileBlockAddress(p);
      const auto& c = kProfileColours[static_cast<size_t>(p)];
      Put(memory, block, kSignature);
      Put(memory, block + 1, kSignature);
      // Two bits per component: red 0..1, green 2..3, blue 4..5.
      Put(memory, block + 3, static_cast<uint8_t>((c[0] >> 6) | ((c[1] >> 6) << 2) | ((c[2] >> 6) << 4)));
      Put(memory, block + 35, 1);
    }
    return memory;
  }
  Put(memory, family.liftValueAddress, kFactoryLift & 0xFF);
  Put(memory, family.liftValueAddress + 1, kFactoryLift >> 8);
  for (int p = 0; p < 5; ++p) {
    const int block = family.ProfileBlockAddress(p);
    Put(memory, block + 2, 7);
    for (int k = 0; k < 3; ++k) Put(memory, block + 3 + k, kProfileColours[static_cast<size_t>(p)][static_cast<size_t>(k)]);
  }
  if (family.lighting) {
    // Zones 1..6: own colour, steady, red. Lighting mode 0.
    for (int zone = 1; zone <= 6; ++zone) {
      const int entry = family.lightingBlockAddress + 4 * zone;
      Put(memory, entry, 0xC0);
      Put(memory, entry + 1, 0xFF);
    }
  }
  return memory;
}

std::array<std::array<uint8_t, 4>, 32> FactoryButtonRecords() {
  std::array<std::array<uint8_t, 4>, 32> records{};
  for (auto& r : records) r = {1, 0, 0, 0};  // no function
  records[0] = {4, 0x01, 0, 0};              // left click
  records[1] = {4, 0x02, 0, 0};              // right click
  records[2] = {4, 0x04, 0, 0};              // wheel click
  records[3] = {4, 0x00, 0x01, 0};           // scroll up
  records[4] = {4, 0x00, 0xFF, 0};           // scroll down
  records[5] = {10, 0, 0, 0xFF};             // tilt left (built-in sequence)
  records[6] = {10, 10, 0, 0xFF};            // tilt right
  records[7] = {4, 0x08, 0, 0};              // backward
  records[8] = {4, 0x10, 0, 0};              // forward
  records[9] = {13, 0, 0, 0};                // DPI-
  records[10] = {12, 0, 0, 0};               // DPI+
  records[11] = {17, 0, 0, 1};               // profile switch
  records[12] = {14, 0, 0, 0};               // DPI loop
  return records;
}

std::array<uint8_t, 256> FactoryInformationBlock() {
  std::array<uint8_t, 256> block{};
  block[12] = 5;  // profiles
  block[13] = 4;  // sensitivity levels
  block[14] = 4;  // status value
  const auto records = FactoryButtonRecords();
  for (size_t i = 0; i < records.size(); ++i) {
    for (size_t k = 0; k < 4; ++k) block[72 + 4 * i + k] = records[i][k];
  }
  return block;
}

}  // namespace quorix::sim
