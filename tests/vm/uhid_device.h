#pragma once
// A HID device made in the kernel through /dev/uhid. The kernel treats it like
// any other HID device (hid-generic binds it, hidraw makes a node); feature
// report requests from hidraw come back to this process and are answered by a
// responder on a thread of its own.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace quorix::vm {

struct UhidIdentity {
  std::string name;
  std::string phys;  // ".../input<N>" gives the interface number
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::vector<uint8_t> descriptor;
};

// Answers the kernel's feature report requests. reportNumber is what hidraw
// passed (0 for a device without report IDs); answers start with the report
// ID byte, as uhid expects.
class FeatureResponder {
 public:
  virtual ~FeatureResponder() = default;
  virtual std::vector<uint8_t> GetFeature(uint8_t reportNumber, size_t length) = 0;
  virtual bool SetFeature(uint8_t reportNumber, const std::vector<uint8_t>& report) = 0;
};

class UhidDevice {
 public:
  UhidDevice(const UhidIdentity& identity, FeatureResponder& responder);
  ~UhidDevice();  // destroys the kernel device
  UhidDevice(const UhidDevice&) = delete;
  UhidDevice& operator=(const UhidDevice&) = delete;

  bool Ok() const { return fd_ >= 0; }
  // Sends an input report (report ID first for devices with report IDs).
  bool SendInput(const std::vector<uint8_t>& report);

 private:
  void Serve();

  int fd_ = -1;
  FeatureResponder& responder_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace quorix::vm
