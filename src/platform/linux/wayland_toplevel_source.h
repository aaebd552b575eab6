#pragma once
// The foreground application from the window list that wlroots compositors
// (labwc, wayfire, river, and sway too) hand to other programs:
// zwlr_foreign_toplevel_manager_v1 on a Wayland connection of the source's
// own. A reader thread waits in poll() on it and on the stop pipe.
//
// What the list gives is each window's application id and its "activated"
// state, no process id. Matching by application id (MatchApplicationId):
//  - can: tell native Wayland programs apart by the id they declare, which is
//    most often the name of their desktop file ("org.gnome.Nautilus") and for
//    many programs the executable's name ("foot", "firefox-esr");
//  - cannot: see a Windows program's .exe under Wine or Proton (its window is
//    the loader's, or XWayland's with the id of that), tell apart two
//    programs that declare the same id (they count as one), or follow a
//    program whose id is unlike its executable's name and its desktop file's.
//
// Threads: the reader thread owns the connection after Open and writes the
// window list; the user's thread reads the foreground under mutex_.
// `changed` (NotifyChanges) runs on the reader thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/foreground_source.h"
#include "platform/linux/reader_thread.h"

struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace quorix {

class ForeignToplevelSource final : public ForegroundSource {
 public:
  // Connects to displayName (nullptr: $WAYLAND_DISPLAY). kUnavailable and the
  // reason when there is no Wayland display or it offers no window list.
  static Result<std::unique_ptr<ForeignToplevelSource>> Open(const char* displayName);
  ~ForeignToplevelSource() override;

  uint64_t ForegroundWindow() override;
  // Nothing: the window list names no processes.
  std::optional<std::string> ProcessImageName(uint64_t window) override;
  std::optional<std::string> ApplicationId(uint64_t window) override;
  bool NotifyChanges(std::function<void()> changed) override;

  // A window of the list with what its last "done" confirmed. Public for the
  // protocol's C listeners only.
  struct Toplevel {
    ForeignToplevelSource* owner = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    uint64_t id = 0;
    std::string appId, pendingAppId;
    bool activated = false, pendingActivated = false;
  };
  void Added(zwlr_foreign_toplevel_handle_v1* handle);
  void Done(Toplevel& toplevel);
  void Closed(Toplevel& toplevel);
  void Bind(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);

 private:
  ForeignToplevelSource(wl_display* display, std::unique_ptr<ReaderThread> reader);
  void Listen();   // the reader thread's body
  void Refresh();  // the activated window after a batch of events, on the reader thread

  wl_display* display_;
  wl_registry* registry_ = nullptr;
  zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
  std::unique_ptr<ReaderThread> reader_;
  std::vector<std::unique_ptr<Toplevel>> toplevels_;  // the reader thread's after Open
  uint64_t nextId_ = 1;
  std::mutex mutex_;
  uint64_t foreground_ = 0;
  std::string foregroundAppId_;
  // Held while changed_ runs, so that NotifyChanges({}) returns only once no
  // call is under way.
  std::mutex notifyMutex_;
  std::function<void()> changed_;
};

}  // namespace quorix
