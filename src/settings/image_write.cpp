#include "settings/image_write.h"

#include <algorithm>
#include <array>

#include "device/commands.h"
#include "settings/memory_map.h"

namespace quorix {

namespace {
constexpr int kImageRequestSize = 32;
}  // namespace

void WriteImageSignatureErased(DeviceLink& link, const std::string& path, std::span<const uint8_t> image,
                               const ProgressFn& progress) {
  const int length = static_cast<int>(image.size());
  DeviceOperation operation(link);
  for (int address = 0; address < length && !operation.Failed(); address += kImageRequestSize) {
    if (progress) progress(static_cast<double>(address) / length);
    std::array<uint8_t, kImageRequestSize> piece{};
    const int count = std::min(kImageRequestSize, length - address);
    std::copy_n(image.begin() + address, count, piece.begin());
    if (address == 0) piece[0] = kErasedByte;
    WriteMemory(link, path, address, piece.data(), count);
  }
}

void WriteImageSignature(DeviceLink& link, const std::string& path, std::span<const uint8_t> image) {
  if (!image.empty()) WriteMemoryByte(link, path, 0, image[0]);
}

}  // namespace quorix
