#pragma once
// Pointer acceleration and speed on GNOME (Wayland or X11): the GSettings
// keys of org.gnome.desktop.peripherals.mouse, which the Shell applies to
// every mouse at once. Acceleration "off" is the 'flat' profile; "on" gives
// back the profile the user had when this object was made ('default' or
// 'adaptive'; 'default' when it was 'flat'). The speed 1..20 maps onto the
// key `speed` (-1..1, 10 = 0.0). The writes are the user's own settings,
// kept by dconf for later sessions: AccelerationSwitch gives the user's
// values back when the program quits.
//
// Threads: any one thread at a time (the main window's).

#include <memory>
#include <string>

#include "base/result.h"
#include "platform/pointer_settings.h"

struct _GSettings;

namespace quorix {

class GnomePointerSettings final : public PointerSettings {
 public:
  // kUnavailable and the reason when the schema is not installed.
  static Result<std::unique_ptr<GnomePointerSettings>> Open();
  ~GnomePointerSettings() override;
  GnomePointerSettings(const GnomePointerSettings&) = delete;
  GnomePointerSettings& operator=(const GnomePointerSettings&) = delete;

  PointerAcceleration GetAcceleration() override;
  void SetAcceleration(const PointerAcceleration& value) override;
  int GetSpeed() override;
  void SetSpeed(int speed) override;

 private:
  GnomePointerSettings(_GSettings* settings, std::string userProfile)
      : settings_(settings), userProfile_(std::move(userProfile)) {}
  _GSettings* settings_;
  std::string userProfile_;
};

}  // namespace quorix
