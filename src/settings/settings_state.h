#pragma once
// The settings side's share of what the program keeps process-wide: the
// current device, the load flags and the published image. One object, passed
// by reference; tests build a fresh one each.

#include <atomic>
#include <mutex>
#include <string>

#include "settings/settings_store.h"

namespace quorix {

class SettingsState {
 public:
  SettingsStore image;

  // Set by the rescan worker around a load; the rescan does nothing while set.
  std::atomic<bool> loading{false};
  // Set at the end of every load, whatever happened in it.
  std::atomic<bool> loadDone{false};
  // Set during reset and restore; the windows refuse input while set.
  std::atomic<bool> busyWriting{false};
  // Index into the device list of the device to load (reset to 0 when out of range).
  std::atomic<int> selectedDevice{0};

  // The device being worked on; "" when there is none.
  std::string CurrentDevice() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return currentDevice_;
  }
  void SetCurrentDevice(std::string path) {
    std::lock_guard<std::mutex> lock(mutex_);
    currentDevice_ = std::move(path);
  }

 private:
  mutable std::mutex mutex_;
  std::string currentDevice_;
};

}  // namespace quorix
