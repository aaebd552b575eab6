#pragma once
// A complete device-link world on a simulated mouse, for tests: a virtual
// clock, the two locks, the in-process HID host and a DeviceLink whose device
// list already holds the mouse's configuration interface.
//
// A mouse with answer faults (busy, silent, odd answers) is identified while
// healthy and goes wrong afterwards, so that tests see a listed faulty mouse.
// The traffic of building the world (enumeration, identification) is not part
// of what tests look at: Requests(), the mouse's counters and log, and the
// clock's recorded sleeps all start empty.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/discovery.h"
#include "platform/named_mutex.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_mouse.h"
#include "sim/sim_options.h"
#include "support/fake_clock.h"

namespace quorix::test {

struct SimWorld {
 private:
  // Everything that holds a mutex lives on the heap. std::mutex has a trivial
  // destructor, so ThreadSanitizer only learns that a lock is gone when its
  // memory is freed: worlds built one after another at the same stack address
  // would otherwise merge their lock-order graphs into false deadlock reports.
  struct Parts {
    Parts(const sim::SimOptions& options)
        : host(clock, options), link(host, clock, exchangeMutex, listMutex, options.vendorId) {}
    FakeClock clock;
    LocalMutex exchangeMutex, listMutex;
    sim::SimHidHost host;
    DeviceLink link;
    std::mutex requestsMutex;
    std::vector<std::vector<uint8_t>> requests;
  };
  std::unique_ptr<Parts> parts_;

  static sim::SimOptions Healthy(sim::SimOptions options) {
    options.alwaysBusy = options.silent = options.oddAnswers = false;
    return options;
  }

 public:
  explicit SimWorld(sim::SimOptions options = {})
      : parts_(std::make_unique<Parts>(Healthy(options))),
        clock(parts_->clock),
        exchangeMutex(parts_->exchangeMutex),
        listMutex(parts_->listMutex),
        host(parts_->host),
        link(parts_->link) {
    Parts* parts = parts_.get();
    link.SetTrace([parts](char direction, const uint8_t* bytes, size_t length) {
      if (direction != '>') return;
      std::lock_guard<std::mutex> lock(parts->requestsMutex);
      parts->requests.emplace_back(bytes, bytes + length);
    });
    EnumerateDevices(link);
    path = DevicePath(link, 0);
    Mouse().SetAnswerFaults(options.alwaysBusy, options.silent, options.oddAnswers);
    ClearTraffic();
  }
  SimWorld(const SimWorld&) = delete;
  SimWorld& operator=(const SimWorld&) = delete;

  FakeClock& clock;
  LocalMutex& exchangeMutex;
  LocalMutex& listMutex;
  sim::SimHidHost& host;
  DeviceLink& link;
  std::string path;  // the first mouse's configuration interface; "" when it was not listed

  sim::SimMouse& Mouse(int index = 0) { return host.Mouse(index); }

  // Every request as it left the transport (after framing), oldest first.
  std::vector<std::vector<uint8_t>> Requests() {
    std::lock_guard<std::mutex> lock(parts_->requestsMutex);
    return parts_->requests;
  }

  // Forgets the traffic so far: requests, every mouse's counters and log, sleeps.
  void ClearTraffic() {
    {
      std::lock_guard<std::mutex> lock(parts_->requestsMutex);
      parts_->requests.clear();
    }
    for (int i = 0; i < host.MouseCount(); ++i) host.Mouse(i).ResetCounters();
    clock.ClearSleeps();
  }
};

}  // namespace quorix::test
