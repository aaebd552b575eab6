#pragma once
// Writing a whole settings image (a reset, a restore) so that a write cut
// short stays visible: byte 0, the signature, reads as erased until the very
// end, and an erased signature makes the next load reset the mouse.

#include <cstdint>
#include <span>
#include <string>

#include "device/device_link.h"
#include "settings/settings_decode.h"

namespace quorix {

// Writes image to the mouse from address 0 in 32-byte requests, with byte 0
// written as kErasedByte (first, so that a cut anywhere later leaves it
// erased). Stops at the first failed exchange. progress gets address / size.
void WriteImageSignatureErased(DeviceLink& link, const std::string& path, std::span<const uint8_t> image,
                               const ProgressFn& progress);

// The last write of the image: its own byte 0.
void WriteImageSignature(DeviceLink& link, const std::string& path, std::span<const uint8_t> image);

}  // namespace quorix
