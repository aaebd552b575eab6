#pragma once
// The foreground application on KDE Plasma's Wayland session (KWin 5.27 and
// 6), native Wayland windows included. KWin tells no other program which
// window is active, so this source loads a small KWin script
// (data/kwin/foreground.js, compiled in) through KWin's scripting interface
// on the session bus; the script calls back on every activation with the
// window's process ID, which /proc turns into the image as on X11. Nothing
// polls: the calls arrive on the bus thread of SessionBus, which sleeps in
// between. The script is unloaded when the source goes away.

#include <memory>
#include <optional>
#include <string>

#include "base/result.h"
#include "platform/foreground_source.h"
#include "platform/linux/bus_foreground.h"

namespace quorix {

class SessionBus;

class KWinForegroundSource final : public ForegroundSource {
 public:
  // Loads the script into the KWin of the session bus and waits for its
  // first report. On failure kUnavailable and the reason.
  static Result<std::unique_ptr<KWinForegroundSource>> Open();
  ~KWinForegroundSource() override;
  KWinForegroundSource(const KWinForegroundSource&) = delete;
  KWinForegroundSource& operator=(const KWinForegroundSource&) = delete;

  // The process ID of the active window (0: none).
  uint64_t ForegroundWindow() override;
  std::optional<std::string> ProcessImageName(uint64_t window) override;
  bool NotifyChanges(std::function<void()> changed) override;

 private:
  explicit KWinForegroundSource(std::unique_ptr<SessionBus> bus);

  // Before bus_: the bus thread, which reports into it, stops first.
  BusForeground foreground_;
  std::unique_ptr<SessionBus> bus_;
  std::string pluginName_;  // the script's name in KWin, unique per program instance
  std::string scriptFile_;  // the script with our bus name, while KWin has it
};

// The compiled-in script with busName in place of its placeholder.
std::string KWinForegroundScript(const std::string& busName);

}  // namespace quorix
