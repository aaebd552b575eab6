// Chunked reads and writes of the settings memory and the read cache.
#include <algorithm>
#include <cstring>

#include "device/commands.h"
#include "device/device_request.h"
#include "device/discovery.h"

namespace quorix {
namespace {

constexpr int kFirstCachedAddress = 32;  // the live header is always read from the device
constexpr int kMaxChunk = 32;

bool Cacheable(int address) { return address >= kFirstCachedAddress && address < ReadCache::kSize; }

void CacheStore(ReadCache& cache, int address, uint8_t value, bool valid) {
  if (address < 0 || address >= ReadCache::kSize) return;
  cache.data[static_cast<size_t>(address)] = value;
  cache.valid[static_cast<size_t>(address)] = (valid && Cacheable(address)) ? 1 : 0;
}

bool CacheHolds(const ReadCache& cache, int first, int last) {
  for (int a = first; a <= last; ++a) {
    if (!Cacheable(a) || cache.valid[static_cast<size_t>(a)] == 0) return false;
  }
  return true;
}

// Every write passes its bytes through the cache first, as not valid: the
// next cached read fetches them back from the device.
void CacheWritten(DeviceLink& link, const std::string& path, int address, const uint8_t* data, int length) {
  if (path != link.cache.path) return;
  for (int i = 0; i < length; ++i) CacheStore(link.cache, address + i, data[i], false);
}

Report ReadRequest(Layout layout, int address) {
  switch (layout) {
    case Layout::kDirect:
      return MakeRequest({0x02, Lo(address), Hi(address)});
    case Layout::kGrouped:
      return MakeRequest({0x01, 0x00, 0x00, Lo(address), Hi(address)});
    case Layout::kLevel0:
      break;
  }
  Report request = MakeRequest({0x05, 0x00, Lo(address), Hi(address), Top(address), 0x00, 0x12});
  SetLevel0Check(request);
  return request;
}

void WriteLevel0Chunk(DeviceLink& link, const std::string& path, int address, const uint8_t* data, int length) {
  for (int offset = 0; offset < length; offset += 6) {
    Report piece = MakeRequest({0x09, static_cast<uint8_t>(offset)});
    for (int k = 0; k < 6 && offset + k < length; ++k) piece[3 + k] = data[offset + k];
    Transact(link, path, piece, -1);
  }
  link.GetClock().SleepMs(1);
  Report commit = MakeRequest(
      {0x05, 0x02, Lo(address), Hi(address), Top(address), static_cast<uint8_t>(length), 0x12});
  SetLevel0Check(commit);
  Transact(link, path, commit, 10);
  link.GetClock().SleepMs(2);
}

}  // namespace

ProtocolFamily FamilyOf(const DeviceLink& link, const std::string& path) {
  return FamilyForLevel(ProtocolLevel(link, path));
}

Layout LayoutOf(const DeviceLink& link, const std::string& path) { return FamilyOf(link, path).layout; }

void ReadMemory(DeviceLink& link, const std::string& path, int address, uint8_t* buffer, int length, bool useCache) {
  const ProtocolFamily family = FamilyOf(link, path);
  const Layout layout = family.layout;
  const int piece = family.readPiece;
  ReadCache& cache = link.cache;
  const bool cachedPath = path == cache.path;
  for (int d = 0; d < length; d += piece) {
    const int requestAddress = address + d;
    const int count = std::min(piece, length - d);
    if (useCache && cache.enabled && cachedPath && CacheHolds(cache, requestAddress, address + length - 1)) {
      std::memcpy(buffer + d, cache.data.data() + requestAddress, static_cast<size_t>(count));
      continue;
    }
    Report answer = Transact(link, path, ReadRequest(layout, requestAddress), 0);
    std::memcpy(buffer + d, answer.data() + 2, static_cast<size_t>(count));
    if (cachedPath) {
      for (int k = 0; k < piece; ++k) CacheStore(cache, requestAddress + k, answer[2 + static_cast<size_t>(k)], true);
    }
  }
}

uint8_t ReadMemoryByte(DeviceLink& link, const std::string& path, int address, bool useCache) {
  uint8_t value = 0;
  ReadMemory(link, path, address, &value, 1, useCache);
  return value;
}

bool WriteMemoryChunk(DeviceLink& link, const std::string& path, int address, const uint8_t* data, int length) {
  if (length <= 0 || length > kMaxChunk) return false;
  CacheWritten(link, path, address, data, length);
  const Layout layout = LayoutOf(link, path);
  if (layout == Layout::kLevel0) {
    WriteLevel0Chunk(link, path, address, data, length);
    return true;
  }
  Report request = layout == Layout::kDirect
                       ? MakeRequest({0x03, Lo(address), Hi(address), static_cast<uint8_t>(length)})
                       : MakeRequest({0x01, 0x03, Lo(address), Hi(address), static_cast<uint8_t>(length)});
  const size_t dataStart = layout == Layout::kDirect ? 5 : 6;
  std::memcpy(request.data() + dataStart, data, static_cast<size_t>(length));
  Transact(link, path, request, -1);
  link.GetClock().SleepMs(1);
  return true;
}

bool WriteMemory(DeviceLink& link, const std::string& path, int address, const uint8_t* data, int length) {
  if (length <= 0) return false;
  for (int offset = 0; offset < length; offset += kMaxChunk) {
    WriteMemoryChunk(link, path, address + offset, data + offset, std::min(kMaxChunk, length - offset));
  }
  return true;
}

bool WriteMemoryByte(DeviceLink& link, const std::string& path, int address, uint8_t value) {
  if (LayoutOf(link, path) != Layout::kLevel0) return WriteMemoryChunk(link, path, address, &value, 1);
  CacheWritten(link, path, address, &value, 1);
  SendOnly(link, path, {0x05, 0x01, Lo(address), Hi(address), 0x00, value, 0x12});
  return true;
}

}  // namespace quorix
