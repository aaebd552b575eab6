#pragma once
// Which application is in front: the identity of the foreground window and the
// image file name of the process that owns it. Per-application profile
// switching polls it.

#include <cstdint>
#include <optional>
#include <string>

namespace quorix {

class ForegroundSource {
 public:
  virtual ~ForegroundSource() = default;

  // An identity of the foreground window that changes when another window
  // comes to the front; 0 when there is none (or it cannot be told).
  virtual uint64_t ForegroundWindow() = 0;

  // The image file name of the process that owns window, as a path or a bare
  // file name. For a Windows program run by a loader (Wine, Proton) it is the
  // program's .exe, for example "C:\Games\game.exe". Nothing when the process
  // cannot be queried.
  virtual std::optional<std::string> ProcessImageName(uint64_t window) = 0;

  // Empty when every application window can be seen; otherwise a sentence for
  // the user saying which windows are not (for example native Wayland ones).
  virtual std::string Limitation() const { return {}; }
};

}  // namespace quorix
