// Whatever a mouse answers (identification string, information block, status
// and memory reads, busy flags, odd report lengths), the device link must
// take it without reading or writing past its buffers.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "device/commands.h"
#include "device/discovery.h"
#include "platform/named_mutex.h"
#include "platform/virtual_clock.h"

namespace {

using namespace quorix;

// Answers come from the input, one byte stream shared by every read.
struct Script {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Next() { return at < size ? data[at++] : 0; }
};

class ScriptedDevice final : public HidDevice {
 public:
  ScriptedDevice(Script& script, uint16_t featureLength) : script_(script), featureLength_(featureLength) {}
  bool GetCaps(HidCaps& caps) override {
    caps.usage = 1;
    caps.usagePage = 0xFF18;
    caps.featureReportByteLength = featureLength_;
    return true;
  }
  bool GetAttributes(uint16_t& vendorId, uint16_t& productId) override {
    vendorId = kProductVendorId;
    productId = kProductIdA;
    return true;
  }
  bool GetFeature(uint8_t* buffer, size_t length) override {
    const uint8_t control = script_.Next();
    if (control == 0xFF) return false;
    for (size_t i = 1; i < length; ++i) buffer[i] = script_.Next();
    if (length > 1 && (control & 1) == 0) buffer[1] &= 0x7F;  // mostly ready
    return true;
  }
  bool SetFeature(const uint8_t*, size_t) override { return true; }
  void CancelIo() override {}
  bool GetIndexedString(int, uint8_t* buffer, size_t length) override {
    std::fill(buffer, buffer + length, 0);
    for (size_t i = 0; i < std::min<size_t>(length, 24); ++i) buffer[i] = script_.Next();
    buffer[2] = 'A';
    buffer[3] = 'G';
    buffer[8] = 3;
    buffer[9] = 7;
    return true;
  }

 private:
  Script& script_;
  uint16_t featureLength_;
};

class ScriptedHost final : public HidHost {
 public:
  ScriptedHost(Script& script, uint16_t featureLength) : script_(script), featureLength_(featureLength) {}
  std::vector<HidInterfaceInfo> EnumerateInterfaces() override {
    HidInterfaceInfo info;
    info.path = "fz#vid_3a5c&pid_0139&mi_01#1";
    return {info};
  }
  std::unique_ptr<HidDevice> Open(const std::string&) override {
    return std::make_unique<ScriptedDevice>(script_, featureLength_);
  }
  void StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>&) override {}
  bool WaitEvent(HidEvent&, int) override { return false; }
  void Interrupt() override {}

 private:
  Script& script_;
  uint16_t featureLength_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Script script{data + 2, size - 2};
  // The interface's report length: mostly 64, sometimes odd ones.
  const uint16_t lengths[] = {64, 64, 64, 9, 1, 2, 65, 100, 200, 300};
  const uint16_t featureLength = lengths[data[0] % 10];
  ScriptedHost host(script, featureLength);
  VirtualClock clock;
  LocalMutex exchangeMutex, listMutex;
  DeviceLink link(host, clock, exchangeMutex, listMutex);

  const std::string path = "fz#vid_3a5c&pid_0139&mi_01#1";
  if (featureLength == 64) {
    EnumerateDevices(link);
  } else {
    IdentifyDevice(link, path);
    link.deviceInfo[path].protocolLevel = data[1];
  }
  const int level = ProtocolLevel(link, path);
  if (level < 0 || level > 255) std::abort();

  SelectHostMarker(link, path, (data[1] & 1) != 0);
  (void)ReadStatus(link, path);
  (void)ReadStatusWord(link, path);
  (void)GetCounts(link, path);
  for (int button = -1; button <= 33; button += 17) (void)ReadButtonRecord(link, path, button);
  std::vector<uint8_t> buffer(80, 0);
  ReadMemory(link, path, 69980, buffer.data(), 80, true);
  uint8_t lighting[64];
  ReadLightingBlock(link, path, lighting);
  return 0;
}
