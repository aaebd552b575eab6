#pragma once
// Linux input events (type, code, value, as read from /dev/input/event*) to
// the capture's events. Relative motion is gathered until the device's
// SYN_REPORT so that one report makes one motion event.

#include <vector>

#include "platform/input_capture.h"

namespace quorix {

class EvdevTranslator {
 public:
  // Adds the events one input event completes to out.
  void Feed(int type, int code, int value, std::vector<InputEvent>& out);

 private:
  int dx_ = 0;
  int dy_ = 0;
};

}  // namespace quorix
