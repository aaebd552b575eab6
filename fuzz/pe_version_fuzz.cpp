// Executables bound to profiles are arbitrary files: the version reader must
// survive any bytes, both as a whole file and as a bare version block.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "options/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const quorix::MemoryByteSource source(bytes);
  if (const auto info = quorix::ReadVersionResource(source)) {
    (void)quorix::FileDescriptionFromVersionInfo(*info);
  }
  (void)quorix::FileDescriptionFromVersionInfo(bytes);
  return 0;
}
