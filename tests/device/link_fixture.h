#pragma once
// A device link on a scripted HID host and a virtual clock, plus the expected
// frames of requests as they leave the transport.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "support/fake_clock.h"
#include "support/fake_hid.h"

namespace quorix::test {

inline constexpr uint16_t kVendorPage = 0xFF18;

// A mouse that answers memory reads in all three layouts from `memory`, and
// status-like requests (command 0x00, level-0 0x04 0x00) with answer byte n = n
// (byte 10 carrying the status flag 0x40 when statusFlag is set).
struct ScriptedMouse {
  std::vector<uint8_t> memory = std::vector<uint8_t>(8192, 0);
  bool statusFlag = false;

  void Install(FakeHidInterface& iface) {
    iface.respond = [this](const std::vector<uint8_t>& r, std::vector<uint8_t>& a) { Respond(r, a); };
  }
  void Respond(const std::vector<uint8_t>& r, std::vector<uint8_t>& a) {
    a[1] = r[1];
    if (r[1] == 0x02) {
      Copy(r[2] | r[3] << 8, 61, a);
    } else if (r[1] == 0x01 && r[2] == 0x00 && r[3] == 0x00) {
      Copy(r[4] | r[5] << 8, 61, a);
    } else if (r[1] == 0x05 && r[2] == 0x00) {
      Copy(r[3] | r[4] << 8 | r[5] << 16, 7, a);
    } else if (r[1] == 0x00 || (r[1] == 0x04 && r[2] == 0x00)) {
      for (size_t n = 2; n < 31; ++n) a[n] = static_cast<uint8_t>(n);
      if (statusFlag) a[10] |= 0x40;
    }
  }
  void Copy(int address, int count, std::vector<uint8_t>& a) const {
    for (int k = 0; k < count; ++k) a[2 + static_cast<size_t>(k)] = memory[static_cast<size_t>(address + k) % memory.size()];
  }
};


struct LinkFixture {
  FakeClock clock;
  CountingMutex exchangeMutex;
  CountingMutex listMutex;
  FakeHidHost host;
  DeviceLink link{host, clock, exchangeMutex, listMutex};

  static std::string PathFor(int n, const char* pid = "0139", const char* mi = "01") {
    return "\\\\?\\hid#vid_3a5c&pid_" + std::string(pid) + "&mi_" + mi + "#7&" + std::to_string(n) + "&0&0000";
  }

  // A vendor interface already identified at the given protocol level.
  std::string ListMouse(int level, int n = 0) {
    const std::string path = PathFor(n);
    host.Add(path, 64, 1, kVendorPage);
    DeviceInfo info;
    info.protocolLevel = level;
    link.deviceInfo[path] = info;
    link.deviceList.push_back(path);
    return path;
  }
  // The same, answering from `mouse`.
  std::string ListMouse(int level, ScriptedMouse& mouse, int n = 0) {
    const std::string path = ListMouse(level, n);
    mouse.Install(Iface(path));
    return path;
  }
  FakeHidInterface& Iface(const std::string& path) { return *host.Find(path); }
};

// A 64-byte request as it leaves: report ID 1, bytes from byte 1, byte 63
// the XOR of bytes 1..62.
inline std::vector<uint8_t> Frame64(std::initializer_list<int> bytes) {
  std::vector<uint8_t> frame(64, 0);
  frame[0] = 1;
  size_t i = 1;
  for (int b : bytes) frame[i++] = static_cast<uint8_t>(b);
  uint8_t x = 0;
  for (size_t k = 1; k <= 62; ++k) x ^= frame[k];
  frame[63] = x;
  return frame;
}

}  // namespace quorix::test
