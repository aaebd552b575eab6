#include "platform/linux/wayland_toplevel_source.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace quorix {

namespace {

using Toplevel = ForeignToplevelSource::Toplevel;

void OnTitle(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void OnAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
  static_cast<Toplevel*>(data)->pendingAppId = appId != nullptr ? appId : "";
}
void OnOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void OnOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void OnState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
  bool activated = false;
  const auto* begin = static_cast<const uint32_t*>(states->data);
  const auto* end = begin + states->size / sizeof(uint32_t);
  for (const uint32_t* state = begin; state != end; ++state) {
    if (*state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) activated = true;
  }
  static_cast<Toplevel*>(data)->pendingActivated = activated;
}
void OnDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
  auto* toplevel = static_cast<Toplevel*>(data);
  toplevel->owner->Done(*toplevel);
}
void OnClosed(void* data, zwlr_foreign_toplevel_handle_v1*) {
  auto* toplevel = static_cast<Toplevel*>(data);
  toplevel->owner->Closed(*toplevel);
}
void OnParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener kToplevelListener = {
    OnTitle, OnAppId, OnOutputEnter, OnOutputLeave, OnState, OnDone, OnClosed, OnParent,
};

void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
  static_cast<ForeignToplevelSource*>(data)->Added(handle);
}
void OnFinished(void*, zwlr_foreign_toplevel_manager_v1*) {}

const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {OnToplevel, OnFinished};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  static_cast<ForeignToplevelSource*>(data)->Bind(registry, name, interface, version);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

}  // namespace

Result<std::unique_ptr<ForeignToplevelSource>> ForeignToplevelSource::Open(const char* displayName) {
  wl_display* display = wl_display_connect(displayName);
  if (display == nullptr) return Outcome(Failure::kUnavailable, "Cannot connect to the Wayland display.");
  Result<std::unique_ptr<ReaderThread>> created = ReaderThread::Create();
  if (!created) {
    wl_display_disconnect(display);
    return Outcome(Failure::kUnavailable, created.detail());
  }
  std::unique_ptr<ReaderThread> reader = std::move(created).value();
  std::unique_ptr<ForeignToplevelSource> source(new ForeignToplevelSource(display, std::move(reader)));
  source->registry_ = wl_display_get_registry(display);
  wl_registry_add_listener(source->registry_, &kRegistryListener, source.get());
  // The globals, then the windows open now with their states.
  if (wl_display_roundtrip(display) < 0 || source->manager_ == nullptr || wl_display_roundtrip(display) < 0) {
    return Outcome(Failure::kUnavailable,
                   "The Wayland compositor does not list the windows of other programs to this one.");
  }
  source->Refresh();
  source->reader_->Start([raw = source.get()] { return [raw] { raw->Listen(); }; });
  return source;
}

ForeignToplevelSource::ForeignToplevelSource(wl_display* display, std::unique_ptr<ReaderThread> reader)
    : display_(display), reader_(std::move(reader)) {}

ForeignToplevelSource::~ForeignToplevelSource() {
  reader_->Stop();
  for (const auto& toplevel : toplevels_) zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
  if (manager_ != nullptr) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void ForeignToplevelSource::Bind(wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  if (manager_ != nullptr || std::string_view(interface) != zwlr_foreign_toplevel_manager_v1_interface.name) return;
  manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
      wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
  zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &kManagerListener, this);
}

void ForeignToplevelSource::Added(zwlr_foreign_toplevel_handle_v1* handle) {
  auto toplevel = std::make_unique<Toplevel>();
  toplevel->owner = this;
  toplevel->handle = handle;
  toplevel->id = nextId_++;
  zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevelListener, toplevel.get());
  toplevels_.push_back(std::move(toplevel));
}

void ForeignToplevelSource::Done(Toplevel& toplevel) {
  toplevel.appId = toplevel.pendingAppId;
  toplevel.activated = toplevel.pendingActivated;
}

void ForeignToplevelSource::Closed(Toplevel& toplevel) {
  zwlr_foreign_toplevel_handle_v1_destroy(toplevel.handle);
  std::erase_if(toplevels_, [&](const auto& t) { return t.get() == &toplevel; });
}

void ForeignToplevelSource::Refresh() {
  const auto active = std::find_if(toplevels_.begin(), toplevels_.end(), [](const auto& t) { return t->activated; });
  const uint64_t window = active != toplevels_.end() ? (*active)->id : 0;
  const std::string appId = active != toplevels_.end() ? (*active)->appId : std::string();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (window == foreground_ && appId == foregroundAppId_) return;
    foreground_ = window;
    foregroundAppId_ = appId;
  }
  std::lock_guard<std::mutex> lock(notifyMutex_);
  if (changed_) changed_();
}

void ForeignToplevelSource::Listen() {
  while (!reader_->Stopping()) {
    while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
    wl_display_flush(display_);
    pollfd fds[2] = {{wl_display_get_fd(display_), POLLIN, 0}, {reader_->WakeFd(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 || reader_->Stopping() || (fds[0].revents & POLLIN) == 0) {
      wl_display_cancel_read(display_);
      if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) break;
      continue;
    }
    if (wl_display_read_events(display_) < 0 || wl_display_dispatch_pending(display_) < 0) break;
    // Once per batch: the old window's leaving and the new one's coming
    // arrive together, and no moment without a window is reported between.
    Refresh();
  }
  if (reader_->Stopping()) return;
  // The compositor went away: nothing is known in front any more.
  toplevels_.clear();
  Refresh();
}

uint64_t ForeignToplevelSource::ForegroundWindow() {
  std::lock_guard<std::mutex> lock(mutex_);
  return foreground_;
}

std::optional<std::string> ForeignToplevelSource::ProcessImageName(uint64_t) { return std::nullopt; }

std::optional<std::string> ForeignToplevelSource::ApplicationId(uint64_t window) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (window == 0 || window != foreground_ || foregroundAppId_.empty()) return std::nullopt;
  return foregroundAppId_;
}

bool ForeignToplevelSource::NotifyChanges(std::function<void()> changed) {
  std::lock_guard<std::mutex> lock(notifyMutex_);
  changed_ = std::move(changed);
  return true;
}

}  // namespace quorix
