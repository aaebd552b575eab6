// Lift adjustment and lighting: direct-layout commands, plus the lighting
// block read wherever the family has one. Elsewhere they send nothing.
#include <cstring>

#include "device/commands.h"
#include "device/device_request.h"
#include "device/discovery.h"
#include "device/memory_addresses.h"

namespace quorix {
namespace {

constexpr int kMaxLightingMode = 4;

// The lift and lighting commands exist in the direct layout alone.
bool IsDirect(const DeviceLink& link, const std::string& path) { return LayoutOf(link, path) == Layout::kDirect; }

}  // namespace

void StartLiftAdjust(DeviceLink& link, const std::string& path) {
  if (IsDirect(link, path)) Transact(link, path, {0x1A, 0x12}, 10);
}

int ReadLiftValue(DeviceLink& link, const std::string& path, bool live) {
  if (live) {
    if (!IsDirect(link, path)) return 0;
    Report a = Transact(link, path, {0x1A, 0x00}, 10);
    return a[2] + 256 * a[3];
  }
  uint8_t value[2] = {0, 0};
  ReadMemory(link, path, kLiftValueAddress, value, 2, true);
  return value[0] + 256 * value[1];
}

void FinishLiftAdjust(DeviceLink& link, const std::string& path) {
  if (IsDirect(link, path)) Transact(link, path, {0x1A, 0x14}, 10);
}

void ApplyLiftValue(DeviceLink& link, const std::string& path, int value) {
  if (IsDirect(link, path)) Transact(link, path, {0x1A, 0x13, Lo(value), Hi(value)}, 10);
}

void StoreLiftValue(DeviceLink& link, const std::string& path, int value, bool persist) {
  if (!IsDirect(link, path)) return;
  ApplyLiftValue(link, path, value);
  if (persist) {
    const uint8_t bytes[2] = {Lo(value), Hi(value)};
    WriteMemory(link, path, kLiftValueAddress, bytes, 2);
  }
}

void ReadLightingBlock(DeviceLink& link, const std::string& path, uint8_t* buffer) {
  std::memset(buffer, 0, 64);
  const ProtocolFamily family = FamilyOf(link, path);
  if (family.lightingBlockLength == 0) return;
  Guarded(link, path,
          [&] { ReadMemory(link, path, family.lightingBlockAddress, buffer, family.lightingBlockLength, true); });
}

void PreviewLighting(DeviceLink& link, const std::string& path, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4,
                     uint8_t b5) {
  if (IsDirect(link, path)) Transact(link, path, {0x13, b1, b2, b3, b4, b5}, 10);
}

void WriteLightingEntry(DeviceLink& link, const std::string& path, int index, const uint8_t* entry4) {
  if (IsDirect(link, path)) WriteMemory(link, path, kDirectLightingBlockAddress + 4 * index, entry4, 4);
}

bool SetLightingMode(DeviceLink& link, const std::string& path, int mode) {
  if (mode < 0 || mode > kMaxLightingMode || !IsDirect(link, path)) return false;
  const uint8_t m = static_cast<uint8_t>(mode);
  WriteMemoryByte(link, path, kLightingModeAddress, m);
  Transact(link, path, {0x12, m}, 10);
  return true;
}

uint8_t ReadLightingMode(DeviceLink& link, const std::string& path) {
  if (!IsDirect(link, path)) return 0;
  const bool needSync = !StatusFlagSet(ReadStatusReport(link, path));
  const uint8_t mode = ReadMemoryByte(link, path, kLightingModeAddress, true);
  if (needSync) SyncHandshake(link, path);
  return mode;
}

void SendLightingReset(DeviceLink& link, const std::string& path) {
  if (IsDirect(link, path)) Transact(link, path, {0x01, 0x04, 0x03}, 10);
}

}  // namespace quorix
