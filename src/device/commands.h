#pragma once
// Every command the program sends to the mouse, in the three request layouts
// of protocol_family.h. Each takes the device path, asks the device's protocol
// family on every call, and sends each request through DeviceTransact. A
// failed exchange leaves zeros in what was read and is recorded on the link:
// callers run a sequence inside a DeviceOperation, which stops it at the first
// failure and says what happened.
//
// Sequences (a read-modify-write of the settings byte, a guarded command, a
// chunked write) are not atomic; callers run one device sequence at a time.

#include <array>
#include <cstdint>
#include <string>

#include "device/device_link.h"
#include "device/protocol_family.h"

namespace quorix {

// The family of the identified device at path; a path without a record is
// taken for level 0, as the device getters do.
ProtocolFamily FamilyOf(const DeviceLink& link, const std::string& path);
Layout LayoutOf(const DeviceLink& link, const std::string& path);

// ---- memory access -------------------------------------------------------
void ReadMemory(DeviceLink& link, const std::string& path, int address, uint8_t* buffer, int length,
                bool useCache);
uint8_t ReadMemoryByte(DeviceLink& link, const std::string& path, int address, bool useCache);
// length 1..32, else false and nothing sent.
bool WriteMemoryChunk(DeviceLink& link, const std::string& path, int address, const uint8_t* data, int length);
// Consecutive 32-byte chunks; false for length <= 0.
bool WriteMemory(DeviceLink& link, const std::string& path, int address, const uint8_t* data, int length);
bool WriteMemoryByte(DeviceLink& link, const std::string& path, int address, uint8_t value);

// ---- device commands -----------------------------------------------------
struct StatusValues {
  int levelAndMask = 0;   // bits 0..2 active level, bits 3.. level enable mask
  int statusB = 0;
  int statusC = 0;
  int statusD = 0;
  int statusE = 0;
  int activeProfile = 0;
};

void SyncHandshake(DeviceLink& link, const std::string& path);
StatusValues ReadStatus(DeviceLink& link, const std::string& path);
int ReadStatusWord(DeviceLink& link, const std::string& path);
void SetDpiLevel(DeviceLink& link, const std::string& path, int value);
void SetActiveProfile(DeviceLink& link, const std::string& path, int profile);
void ApplyDpiPair(DeviceLink& link, const std::string& path, int index, int x, int y);
void StoreDpiPair(DeviceLink& link, const std::string& path, int index, int x, int y);
void CommitSettings(DeviceLink& link, const std::string& path);
struct Counts {
  int profileCount = 0;
  int levelCount = 0;
};
Counts GetCounts(DeviceLink& link, const std::string& path);
std::array<uint8_t, 4> ReadButtonRecord(DeviceLink& link, const std::string& path, int button);
void WriteButtonRecord(DeviceLink& link, const std::string& path, int profile, int button, uint8_t b0, uint8_t b1,
                       uint8_t b2, uint8_t b3, bool commit);
void SetReportRateCode(DeviceLink& link, const std::string& path, int code);
void SetAngleSnapping(DeviceLink& link, const std::string& path, bool on);

void StartLiftAdjust(DeviceLink& link, const std::string& path);
int ReadLiftValue(DeviceLink& link, const std::string& path, bool live);
void FinishLiftAdjust(DeviceLink& link, const std::string& path);
void ApplyLiftValue(DeviceLink& link, const std::string& path, int value);
void StoreLiftValue(DeviceLink& link, const std::string& path, int value, bool persist);

// Fills buffer (64 bytes) with the lighting block; zeros where nothing is read.
void ReadLightingBlock(DeviceLink& link, const std::string& path, uint8_t* buffer);
void PreviewLighting(DeviceLink& link, const std::string& path, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4,
                     uint8_t b5);
void WriteLightingEntry(DeviceLink& link, const std::string& path, int index, const uint8_t* entry4);
// False (nothing sent) for a mode above 4 or a layout without lighting.
bool SetLightingMode(DeviceLink& link, const std::string& path, int mode);
uint8_t ReadLightingMode(DeviceLink& link, const std::string& path);
void SendLightingReset(DeviceLink& link, const std::string& path);

// Resets the read cache for path and gives every listed device its host
// marker (0x5D for path, 0 for the others), with a bounded number of attempts.
inline constexpr uint8_t kHostMarker = 0x5D;
inline constexpr int kHostMarkerAttempts = 5;
void SelectHostMarker(DeviceLink& link, const std::string& path, bool enableCache);

}  // namespace quorix
