#pragma once
// What the mouse's own reports ask of the computer rather than of the mouse:
// "Launch setting" wants the program's main window in front, and the tilted
// wheel's steps become wheel clicks on the window under the pointer. The
// steps go to the desktop, not to the mouse, so they are carried out on the
// thread that hands the event in (the device controller's, on the GUI
// thread), never on the device executor.

#include "keys/pc_actions.h"
#include "session/device_event_pump.h"

namespace quorix {

class DesktopRequests {
 public:
  // Both outlive this.
  DesktopRequests(InputInjector& injector, Clock& clock) : scroller_(injector, clock) {}

  // A kOpenRequest that asks for the main window (the "Launch setting"
  // value 1); the front end raises it.
  static bool AsksForMainWindow(const DeviceEvent& event);
  // A kWheelSteps event's steps, carried out at once together with whatever
  // else is pending.
  void Scroll(const DeviceEvent& event);

 private:
  HorizontalScroller scroller_;
};

}  // namespace quorix
