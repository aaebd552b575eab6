#include "settings/image_write.h"

#include <algorithm>
#include <vector>

#include "device/commands.h"
#include "settings/memory_map.h"

namespace quorix {

namespace {
constexpr int kImageRequestSize = 32;
}  // namespace

bool WriteImageSignatureErased(DeviceLink& link, const std::string& path, std::span<const uint8_t> image,
                               const ProgressFn& progress) {
  const int length = static_cast<int>(image.size());
  DeviceOperation operation(link);
  // A byte of its own, in one request at every level: a write torn later
  // (a level-0 piece the mouse forgot stores zeros) never reaches byte 0.
  if (progress) progress(0.0);
  WriteMemoryByte(link, path, 0, kErasedByte);
  for (int address = 1; address < length && !operation.Failed();) {
    if (progress) progress(static_cast<double>(address) / length);
    const int end = std::min(length, (address / kImageRequestSize + 1) * kImageRequestSize);
    WriteMemory(link, path, address, image.data() + address, end - address);
    address = end;
  }
  if (operation.Failed()) return false;
  if (LayoutOf(link, path) != Layout::kLevel0 || length < 2) return true;
  std::vector<uint8_t> held(image.size() - 1);
  ReadMemory(link, path, 1, held.data(), length - 1, false);
  return !operation.Failed() && std::equal(held.begin(), held.end(), image.begin() + 1);
}

void WriteImageSignature(DeviceLink& link, const std::string& path, std::span<const uint8_t> image) {
  if (!image.empty()) WriteMemoryByte(link, path, 0, image[0]);
}

}  // namespace quorix
