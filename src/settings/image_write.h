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

// Writes kErasedByte to byte 0, then the rest of image in requests that end
// on 32-byte boundaries (so a cut anywhere leaves the signature erased).
// Stops at the first failed exchange. progress gets address / size.
// At level 0, where one write is several requests whose staged bytes a
// restarting mouse forgets (and then stores zeros), the image is read back
// and, when it differs, written and read once more: false when the mouse
// still does not hold it (or an exchange failed), and then the signature
// must stay erased.
bool WriteImageSignatureErased(DeviceLink& link, const std::string& path, std::span<const uint8_t> image,
                               const ProgressFn& progress);

// The last write of the image: its own byte 0.
void WriteImageSignature(DeviceLink& link, const std::string& path, std::span<const uint8_t> image);

}  // namespace quorix
