#pragma once
// Holds the published settings image. A load builds a fresh image on its
// worker and publishes it in one step; readers take a snapshot (a shared
// pointer to an image nobody changes any more), so no reader ever sees a
// half-loaded or half-edited image. Field writes edit a copy and publish it.
//
// The store is observable: every publish raises its version by one and then
// calls the subscribers with the new snapshot and version. The calls happen
// after the image is installed and with none of the store's locks held, so a
// subscriber may read the store, publish again or unsubscribe. Two publishers
// on different threads notify concurrently and may overtake each other; a
// subscriber that cares keeps the highest version it has seen.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "settings/settings_image.h"

namespace quorix {

using SettingsListener = std::function<void(const std::shared_ptr<const SettingsImage>& image, uint64_t version)>;

class SettingsStore {
 public:
  // Hands back what Subscribe returned; 0 is never a subscription.
  using Token = uint64_t;

  SettingsStore() : image_(std::make_shared<const SettingsImage>()) {}
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // Never null.
  std::shared_ptr<const SettingsImage> Snapshot() const {
    std::lock_guard<std::mutex> lock(pointerMutex_);
    return image_;
  }

  // 0 before the first publish; one more for every publish and update.
  uint64_t Version() const {
    std::lock_guard<std::mutex> lock(pointerMutex_);
    return version_;
  }

  void Publish(SettingsImage image) {
    const Published published = Install(std::move(image));
    Notify(published);
  }

  // Copy-on-write edit: fn(SettingsImage&) changes a copy of the current
  // image, which is then published. Edits are serialised among themselves;
  // the subscribers are called after the edit's lock is released.
  template <class Fn>
  void Update(Fn&& fn) {
    Published published;
    {
      std::lock_guard<std::mutex> lock(updateMutex_);
      SettingsImage copy = *Snapshot();
      std::forward<Fn>(fn)(copy);
      published = Install(std::move(copy));
    }
    Notify(published);
  }

  // listener is called for every publish from now on, on the publishing
  // thread. Calls to one subscriber never overlap: each call holds that
  // subscriber's lock, so listeners that publish from two threads at once
  // could wait on each other. Keep listeners short (the desktop program only
  // queues a signal) and publish from them on their own thread only.
  Token Subscribe(SettingsListener listener) {
    auto subscriber = std::make_shared<Subscriber>();
    subscriber->listener = std::move(listener);
    std::lock_guard<std::mutex> lock(subscribersMutex_);
    const Token token = ++lastToken_;
    subscribers_.emplace(token, std::move(subscriber));
    return token;
  }

  // After this returns the listener is not called again, and no call of it
  // is still running on another thread (a listener may unsubscribe itself).
  // An unknown token is ignored.
  void Unsubscribe(Token token) {
    std::shared_ptr<Subscriber> subscriber;
    {
      std::lock_guard<std::mutex> lock(subscribersMutex_);
      auto it = subscribers_.find(token);
      if (it == subscribers_.end()) return;
      subscriber = std::move(it->second);
      subscribers_.erase(it);
    }
    std::lock_guard<std::recursive_mutex> calling(subscriber->calling);
    subscriber->active = false;
  }

 private:
  struct Subscriber {
    SettingsListener listener;
    // Held while the listener runs; recursive so that a listener may publish
    // (and be called again) or unsubscribe itself on its own thread.
    std::recursive_mutex calling;
    bool active = true;  // guarded by calling
  };
  struct Published {
    std::shared_ptr<const SettingsImage> image;
    uint64_t version = 0;
  };

  Published Install(SettingsImage image) {
    auto fresh = std::make_shared<const SettingsImage>(std::move(image));
    std::lock_guard<std::mutex> lock(pointerMutex_);
    image_ = fresh;
    return {std::move(fresh), ++version_};
  }

  void Notify(const Published& published) {
    std::vector<std::shared_ptr<Subscriber>> subscribers;
    {
      std::lock_guard<std::mutex> lock(subscribersMutex_);
      subscribers.reserve(subscribers_.size());
      for (const auto& entry : subscribers_) subscribers.push_back(entry.second);
    }
    for (const auto& subscriber : subscribers) {
      std::lock_guard<std::recursive_mutex> calling(subscriber->calling);
      if (subscriber->active) subscriber->listener(published.image, published.version);
    }
  }

  mutable std::mutex pointerMutex_;
  std::mutex updateMutex_;
  std::shared_ptr<const SettingsImage> image_;
  uint64_t version_ = 0;
  std::mutex subscribersMutex_;
  Token lastToken_ = 0;
  std::map<Token, std::shared_ptr<Subscriber>> subscribers_;
};

}  // namespace quorix
