// Telling each listed mouse whether this program is its host.
#include <cstring>
#include <mutex>

#include "device/commands.h"
#include "device/device_request.h"
#include "device/discovery.h"

namespace quorix {
namespace {

// One attempt to hand marker to the device; true when it echoed it.
bool OfferMarker(DeviceLink& link, const std::string& path, uint8_t marker) {
  switch (LayoutOf(link, path)) {
    case Layout::kDirect: {
      SendOnly(link, path, {0x00, 0x12, 0x12});
      SendOnly(link, path, {0x00, 0x01, 0x12, marker});
      return Transact(link, path, {0x00, 0x00, 0x00}, 5)[12] == marker;
    }
    case Layout::kGrouped: {
      SendOnly(link, path, {0x00, 0x01, 0x12, marker});
      return Transact(link, path, {0x00, 0x00, 0x00}, 5)[6] == marker;
    }
    case Layout::kLevel0:
      break;
  }
  Transact(link, path, {0x00, 0x01, marker, 0, 0, 0, 0x12}, 5);
  link.GetClock().SleepMs(2);
  if (Transact(link, path, {0x00, 0x00, 0, 0, 0, 0, 0x12}, 15)[7] == marker) return true;
  link.GetClock().SleepMs(2);
  return false;
}

}  // namespace

void SelectHostMarker(DeviceLink& link, const std::string& path, bool enableCache) {
  ReadCache& cache = link.cache;
  cache.path = ToLowerPath(path);
  cache.enabled = enableCache;
  std::memset(cache.data.data(), 0, cache.data.size());
  std::memset(cache.valid.data(), 0, cache.valid.size());

  std::lock_guard<NamedMutex> listLock(link.DeviceListMutex());
  for (const std::string& device : link.deviceList) {
    const uint8_t marker = device == path ? kHostMarker : 0;
    // A mouse that never echoes must not hold up the others.
    for (int attempt = 0; attempt < kHostMarkerAttempts; ++attempt) {
      if (OfferMarker(link, device, marker)) break;
    }
  }
}

}  // namespace quorix
