#pragma once
// Holds the published settings image. A load builds a fresh image on its
// worker and publishes it in one step; readers take a snapshot (a shared
// pointer to an image nobody changes any more), so no reader ever sees a
// half-loaded or half-edited image. Field writes edit a copy and publish it.

#include <memory>
#include <mutex>
#include <utility>

#include "settings/settings_image.h"

namespace quorix {

class SettingsStore {
 public:
  SettingsStore() : image_(std::make_shared<const SettingsImage>()) {}
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // Never null.
  std::shared_ptr<const SettingsImage> Snapshot() const {
    std::lock_guard<std::mutex> lock(pointerMutex_);
    return image_;
  }

  void Publish(SettingsImage image) {
    auto fresh = std::make_shared<const SettingsImage>(std::move(image));
    std::lock_guard<std::mutex> lock(pointerMutex_);
    image_ = std::move(fresh);
  }

  // Copy-on-write edit: fn(SettingsImage&) changes a copy of the current
  // image, which is then published. Edits are serialised among themselves.
  template <class Fn>
  void Update(Fn&& fn) {
    std::lock_guard<std::mutex> lock(updateMutex_);
    SettingsImage copy = *Snapshot();
    std::forward<Fn>(fn)(copy);
    Publish(std::move(copy));
  }

 private:
  mutable std::mutex pointerMutex_;
  std::mutex updateMutex_;
  std::shared_ptr<const SettingsImage> image_;
};

}  // namespace quorix
