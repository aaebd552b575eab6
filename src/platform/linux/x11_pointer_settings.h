#pragma once
// Pointer acceleration and speed on an X11 (or XWayland) desktop.
//
// The core pointer control (XChangePointerControl) carries the two-threshold
// model poorly: X has one threshold and a ratio, so "on" is written as the
// first threshold with the acceleration as ratio, and "off" as ratio 1/1.
// Servers whose pointers are driven by libinput ignore that control for those
// devices; there "off" also selects the flat acceleration profile (when the
// device offers it), "on" the adaptive one, and the pointer speed maps onto
// the "libinput Accel Speed" property (speed 1..20, 10 = 0.0).

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/pointer_settings.h"

struct _XDisplay;

namespace quorix {

class X11PointerSettings final : public PointerSettings {
 public:
  // kUnavailable when the display or the XInput2 extension is missing.
  static Result<std::unique_ptr<X11PointerSettings>> Open(const char* displayName);
  ~X11PointerSettings() override;
  X11PointerSettings(const X11PointerSettings&) = delete;
  X11PointerSettings& operator=(const X11PointerSettings&) = delete;

  PointerAcceleration GetAcceleration() override;
  void SetAcceleration(const PointerAcceleration& value) override;
  // 10 when no pointer has a libinput speed property.
  int GetSpeed() override;
  void SetSpeed(int speed) override;

 private:
  explicit X11PointerSettings(_XDisplay* display) : display_(display) {}
  // Slave pointers that carry the named device property.
  std::vector<int> PointersWith(const char* property);

  _XDisplay* display_;
  std::mutex mutex_;
};

}  // namespace quorix
