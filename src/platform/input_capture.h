#pragma once
// Global keyboard and mouse input for the macro recorder: every key and mouse
// event of the desktop, whichever window has the focus. Input is read only
// between Start and Stop; an implementation reads nothing (and asks the
// system for nothing) while stopped.

#include <functional>
#include <string>
#include "base/result.h"

namespace quorix {

struct InputEvent {
  enum class Kind {
    kKey,     // down, makeCode, e0
    kButton,  // down, button
    kWheel,   // wheelDelta
    kMotion,  // dx, dy
    kLost,    // the input source went away (display closed, devices gone); nothing follows
  };
  Kind kind = Kind::kKey;
  bool down = false;
  int makeCode = 0;  // set-1 make code of the key; 0 when the key has none
  bool e0 = false;   // the key's code carries the E0 prefix
  int button = 0;    // one bit: 0x01 left, 0x02 right, 0x04 middle, 0x08 back, 0x10 forward
  int wheelDelta = 0;  // 120 per notch, positive forward (away from the user)
  int dx = 0;
  int dy = 0;
  // The pointer's screen position at the event, where the source knows it
  // (mouse events on X11); sources without one leave hasPosition false.
  bool hasPosition = false;
  int x = 0;
  int y = 0;
};

class InputCapture {
 public:
  using Callback = std::function<void(const InputEvent&)>;
  virtual ~InputCapture() = default;

  // Starts reading. Events go to callback on the capture's own thread, one
  // at a time. Fails (kUnavailable, a sentence for the user) when input
  // cannot be read; starting a running capture replaces nothing and
  // succeeds.
  virtual Outcome Start(Callback callback) = 0;
  // Stops reading. Called from another thread it returns once no callback is
  // running and none will; called from inside the callback it ends the
  // reading as soon as the callback returns. Safe when not running.
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
};

}  // namespace quorix
