#pragma once
// The foreground application under Hyprland. Its event socket
// ($XDG_RUNTIME_DIR/hypr/$HYPRLAND_INSTANCE_SIGNATURE/.socket2.sock) sends
// one line per event; "activewindowv2>>ADDRESS" tells of a new active window
// (an empty address: none). The window's process id is then asked of the
// request socket (.socket.sock), which answers "j/activewindow" with JSON
// that carries "address" and "pid". The image comes from /proc.
//
// Threads: a reader thread of the source waits in poll() on the event socket
// and the stop pipe, asks the request socket and writes the focus; the
// user's thread reads it (FocusedProcess). `changed` runs on the reader thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foreground_source.h"
#include "platform/linux/focused_process.h"
#include "platform/linux/json_reader.h"
#include "platform/linux/reader_thread.h"
#include "platform/linux/unix_socket.h"

namespace quorix {

// The folder of an instance's sockets: under runtimeDir/hypr (Hyprland 0.40
// on), else /tmp/hypr where an older one keeps them.
std::string HyprlandSocketFolder(const std::string& runtimeDir, const std::string& signature);

// Whole lines taken off the front of buffer (a partial last line stays).
std::vector<std::string> TakeLines(std::string& buffer);
// The address of an "activewindowv2>>ADDRESS" line ("" for none); nothing for
// other events.
std::optional<std::string> ActiveWindowOfEvent(const std::string& line);

using HyprlandFocus = WindowFocus;  // the window is its address
// What "j/activewindow" answered: {} when no window is active.
HyprlandFocus FocusOfActiveWindow(const JsonValue& answer);

class HyprlandForegroundSource final : public ForegroundSource {
 public:
  // kUnavailable and the reason when the event socket in folder cannot be
  // reached.
  static Result<std::unique_ptr<HyprlandForegroundSource>> Open(const std::string& folder);
  ~HyprlandForegroundSource() override;

  uint64_t ForegroundWindow() override;
  std::optional<std::string> ProcessImageName(uint64_t window) override;
  bool NotifyChanges(std::function<void()> changed) override;

 private:
  HyprlandForegroundSource(std::string folder, UnixSocket events, std::unique_ptr<ReaderThread> reader);
  void Listen();        // the reader thread's body
  HyprlandFocus Ask();  // the request socket's answer

  const std::string folder_;
  UnixSocket events_;
  std::string received_;  // reader thread only
  std::unique_ptr<ReaderThread> reader_;
  FocusedProcess focus_;
};

}  // namespace quorix
