// Status, sensitivity, profile, button records and the settings byte.
#include "device/commands.h"

#include <algorithm>

#include "device/device_request.h"
#include "device/discovery.h"

namespace quorix {
namespace {

constexpr uint8_t kAngleSnapBit = 0x01;
constexpr uint8_t kReportRateBits = 0x70;

void Commit(DeviceLink& link, const std::string& path, int address, uint8_t value) {
  WriteMemoryByte(link, path, address, value);
  CommitSettings(link, path);
}

}  // namespace

void SyncHandshake(DeviceLink& link, const std::string& path) {
  if (LayoutOf(link, path) == Layout::kLevel0) return;
  Transact(link, path, {0x00, 0x12, 0x12}, 0);
}

StatusValues ReadStatus(DeviceLink& link, const std::string& path) {
  StatusValues v;
  switch (LayoutOf(link, path)) {
    case Layout::kDirect: {
      Report a = ReadStatusReport(link, path);
      v.levelAndMask = a[17];
      v.statusB = a[15];
      v.statusC = a[16];
      v.statusD = 4;
      v.activeProfile = a[18];
      break;
    }
    case Layout::kGrouped: {
      Report a = ReadStatusReport(link, path);
      v.levelAndMask = a[8];
      v.statusB = a[21];
      v.statusC = a[22];
      v.statusD = DeviceInfoBlock(link, path)[14];
      v.activeProfile = a[9];
      break;
    }
    case Layout::kLevel0: {
      Report a = Transact(link, path, {0x04, 0x00, 0, 0, 0, 0, 0x12}, 10);
      v.levelAndMask = a[2];
      v.statusB = a[4];
      v.statusC = a[5];
      v.statusD = a[3];
      v.statusE = a[6];
      v.activeProfile = a[7];
      break;
    }
  }
  return v;
}

int ReadStatusWord(DeviceLink& link, const std::string& path) {
  if (LayoutOf(link, path) != Layout::kDirect) return 0;
  Report a = ReadStatusReport(link, path);
  return a[13] + 256 * a[14];
}

void SetDpiLevel(DeviceLink& link, const std::string& path, int value) {
  const uint8_t v = static_cast<uint8_t>(value);
  switch (LayoutOf(link, path)) {
    case Layout::kDirect:
      SendOnly(link, path, {0x0F, v});
      break;
    case Layout::kGrouped:
      Guarded(link, path, [&] { SendOnly(link, path, {0x01, 0x07, 0x00, v}); });
      break;
    case Layout::kLevel0:
      Transact(link, path, {0x04, 0x02, v, 0, 0, 0, 0x12}, 10);
      WriteMemoryByte(link, path, 2, v);
      break;
  }
}

void SetActiveProfile(DeviceLink& link, const std::string& path, int profile) {
  const uint8_t p = static_cast<uint8_t>(profile);
  switch (LayoutOf(link, path)) {
    case Layout::kDirect:
      SendOnly(link, path, {0x11, p});
      break;
    case Layout::kGrouped:
      Guarded(link, path, [&] { SendOnly(link, path, {0x01, 0x07, 0x02, p}); });
      break;
    case Layout::kLevel0:
      SendOnly(link, path, {0x04, 0x03, p, 0, 0, 0, 0x12});
      break;
  }
}

void ApplyDpiPair(DeviceLink& link, const std::string& path, int index, int x, int y) {
  const uint8_t bx = static_cast<uint8_t>(x);
  const uint8_t by = static_cast<uint8_t>(y);
  switch (LayoutOf(link, path)) {
    case Layout::kDirect:
      SendOnly(link, path, {0x10, bx, by});
      break;
    case Layout::kGrouped:
      SendOnly(link, path, {0x01, 0x07, 0x01, bx, by});
      break;
    case Layout::kLevel0:
      SendOnly(link, path, {0x04, 0x01, static_cast<uint8_t>(index), bx, by, 0, 0x12});
      break;
  }
}

void StoreDpiPair(DeviceLink& link, const std::string& path, int index, int x, int y) {
  // Five pairs exist; a negative index would land on the header bytes.
  const int i = std::clamp(index, 0, 4);
  const uint8_t pair[2] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
  WriteMemory(link, path, FamilyOf(link, path).dpiPairOffset + 2 * i, pair, 2);
}

void CommitSettings(DeviceLink& link, const std::string& path) {
  switch (LayoutOf(link, path)) {
    case Layout::kDirect:
      SendOnly(link, path, {0x14});
      break;
    case Layout::kGrouped:
      SendOnly(link, path, {0x01, 0x04});
      break;
    case Layout::kLevel0:
      // Only memory reads and the commit of a chunked write carry their own
      // check byte; this request leaves byte 8 to the transport.
      Transact(link, path, {0x08, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x12}, 10);
      break;
  }
}

Counts GetCounts(DeviceLink& link, const std::string& path) {
  if (LayoutOf(link, path) == Layout::kLevel0) {
    Report a = Transact(link, path, {0x00, 0x02, 0x01, 0, 0, 0, 0x12}, 10);
    return Counts{a[2], a[3]};
  }
  const std::array<uint8_t, 256> block = DeviceInfoBlock(link, path);
  return Counts{block[12], block[13]};
}

std::array<uint8_t, 4> ReadButtonRecord(DeviceLink& link, const std::string& path, int button) {
  if (LayoutOf(link, path) == Layout::kDirect) {
    Report a = Transact(link, path, {0x0A, static_cast<uint8_t>(button), 0x01}, 0);
    return {a[2], a[3], a[4], a[5]};
  }
  // The block holds 32 records; anything else reads like a device without one.
  DeviceInfo info;
  if (button < 0 || button >= 32 || !GetDeviceInfo(link, path, info)) return {1, 0, 0, 0};
  const size_t at = 72 + 4 * static_cast<size_t>(button);
  const auto& block = info.deviceInfoBlock;
  return {block[at] > 50 ? uint8_t{1} : block[at], block[at + 1], block[at + 2], block[at + 3]};
}

void WriteButtonRecord(DeviceLink& link, const std::string& path, int profile, int button, uint8_t b0, uint8_t b1,
                       uint8_t b2, uint8_t b3, bool commit) {
  const ProtocolFamily family = FamilyOf(link, path);
  const uint8_t bytes[4] = {b0, b1, b2, b3};
  for (int k = 0; k < 4; ++k) WriteMemoryByte(link, path, family.ButtonByteAddress(profile, button, k), bytes[k]);
  if (commit) CommitSettings(link, path);
}

void SetReportRateCode(DeviceLink& link, const std::string& path, int code) {
  const int address = FamilyOf(link, path).settingsByteAddress;
  SyncHandshake(link, path);  // sends nothing at level 0
  const uint8_t old = ReadMemoryByte(link, path, address, true);
  const uint8_t updated = static_cast<uint8_t>((old & ~kReportRateBits) | ((code << 4) & kReportRateBits));
  Commit(link, path, address, updated);
  SyncHandshake(link, path);
}

void SetAngleSnapping(DeviceLink& link, const std::string& path, bool on) {
  const ProtocolFamily family = FamilyOf(link, path);
  const int address = family.settingsByteAddress;
  const uint8_t old = ReadMemoryByte(link, path, address, true);
  const uint8_t updated = static_cast<uint8_t>((old & ~kAngleSnapBit) | (on ? kAngleSnapBit : 0));
  if (family.layout == Layout::kGrouped) {
    Guarded(link, path, [&] { WriteMemoryByte(link, path, address, updated); });
    CommitSettings(link, path);
  } else {
    Commit(link, path, address, updated);
  }
}

}  // namespace quorix
