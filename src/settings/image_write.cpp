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
  const auto writeRest = [&] {
    for (int address = 1; address < length && !operation.Failed();) {
      if (progress) progress(static_cast<double>(address) / length);
      const int end = std::min(length, (address / kImageRequestSize + 1) * kImageRequestSize);
      WriteMemory(link, path, address, image.data() + address, end - address);
      address = end;
    }
  };
  const auto held = [&] {
    std::vector<uint8_t> bytes(image.size() - 1);
    ReadMemory(link, path, 1, bytes.data(), length - 1, false);
    return !operation.Failed() && std::equal(bytes.begin(), bytes.end(), image.begin() + 1);
  };
  writeRest();
  if (operation.Failed()) return false;
  if (LayoutOf(link, path) != Layout::kLevel0 || length < 2 || held()) return true;
  // Written once more while this run still has the image: what the mouse
  // zeroed may be all there was of it (a level-0 reset keeps the colours the
  // mouse holds).
  writeRest();
  return held();
}

void WriteImageSignature(DeviceLink& link, const std::string& path, std::span<const uint8_t> image) {
  if (!image.empty()) WriteMemoryByte(link, path, 0, image[0]);
}

}  // namespace quorix
