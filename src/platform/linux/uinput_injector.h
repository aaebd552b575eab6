#pragma once
// Synthetic input through a virtual pointer device on /dev/uinput, for
// desktops without XTest (a Wayland session without XWayland, or no X display
// at all). The compositor sees it as one more mouse: relative motion on X/Y,
// horizontal wheel clicks, and a left button so it is taken for a pointer.
//
// /dev/uinput is usually writable by root only. Opening it to every user
// would let any program type and click as that user, so the program never
// asks for it; it uses the device where the administrator already allowed it.

#include <memory>
#include <mutex>
#include <string>

#include "platform/input_injector.h"

namespace quorix {

inline constexpr const char* kUinputPath = "/dev/uinput";
// The name the virtual device shows in the desktop's device lists.
inline constexpr const char* kUinputDeviceName = "QUORIX Mouse pointer nudge";

class UinputInjector final : public InputInjector {
 public:
  // Opens path (kUinputPath in the program) and creates the virtual device.
  // kUnavailable (naming path and the reason) when the node is missing,
  // not writable by this user, or not a uinput node.
  static Result<std::unique_ptr<UinputInjector>> Open(const std::string& path);
  // Takes an open descriptor whose device is already created; the event
  // records go to it as they would to the uinput node (tests give a pipe).
  static std::unique_ptr<UinputInjector> Adopt(int fd);
  ~UinputInjector() override;
  UinputInjector(const UinputInjector&) = delete;
  UinputInjector& operator=(const UinputInjector&) = delete;

  void ScrollHorizontal(int steps) override;
  void MovePointerBy(int dx, int dy) override;

 private:
  explicit UinputInjector(int fd) : fd_(fd) {}
  struct Event {
    unsigned short type;
    unsigned short code;
    int value;
  };
  // Writes the events as one frame followed by a report marker.
  void WriteFrame(const Event* events, size_t count);

  std::mutex mutex_;  // the scroll worker and the lift test may both inject
  int fd_;
};

}  // namespace quorix
