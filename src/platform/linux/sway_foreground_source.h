#pragma once
// The foreground application under sway, from its IPC ($SWAYSOCK): the
// focused window of get_tree at start, then sway's window events (focus and
// close) and workspace focus events, which a reader thread of the source
// waits for in poll(). The process image comes from /proc like on X11, so a
// Wine or Proton game under XWayland is seen by its .exe.
//
// Threads: the reader thread owns both connections after Open and is the
// only one to write the focus; the user's thread reads it (FocusedProcess).
// `changed` (NotifyChanges) runs on the reader thread.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foreground_source.h"
#include "platform/linux/reader_thread.h"
#include "platform/linux/sway_ipc.h"

namespace quorix {

class SwayForegroundSource final : public ForegroundSource {
 public:
  // Connects twice to socketPath (requests, events) and starts listening.
  // kUnavailable and the reason when sway cannot be reached or refuses to
  // subscribe.
  static Result<std::unique_ptr<SwayForegroundSource>> Open(const std::string& socketPath);
  ~SwayForegroundSource() override;

  uint64_t ForegroundWindow() override;
  std::optional<std::string> ProcessImageName(uint64_t window) override;
  bool NotifyChanges(std::function<void()> changed) override;

  // The focused window's process id, 0 when none is known.
  int ForegroundProcessId();

 private:
  SwayForegroundSource(std::unique_ptr<SwayIpc> requests, std::unique_ptr<SwayIpc> events,
                       std::unique_ptr<ReaderThread> reader);
  void Listen();                             // the reader thread's body
  void OnEvent(const SwayMessage& message);  // on the reader thread

  std::unique_ptr<SwayIpc> requests_;
  std::unique_ptr<SwayIpc> events_;
  std::unique_ptr<ReaderThread> reader_;
  FocusedProcess focus_;
};

}  // namespace quorix
