#pragma once
// Pointer acceleration and speed on KDE Plasma's Wayland session: the
// pointers KWin lists on its input-device interface on the session bus
// (org.kde.KWin /org/kde/KWin/InputDevice/<event node>). "Off" selects the
// flat acceleration profile, "on" the adaptive one, on every pointer that
// offers flat; the speed 1..20 maps onto pointerAcceleration (-1..1,
// 10 = 0.0). KWin keeps these values for its session only and writes nothing
// to the user's configuration; AccelerationSwitch gives the user's values
// back when the program quits.
//
// Threads: any one thread at a time (calls are synchronous bus calls).

#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/pointer_settings.h"

namespace quorix {

class SessionBus;

class KWinPointerSettings final : public PointerSettings {
 public:
  // kUnavailable and the reason without a session bus or without KWin on it.
  static Result<std::unique_ptr<KWinPointerSettings>> Open();
  ~KWinPointerSettings() override;
  KWinPointerSettings(const KWinPointerSettings&) = delete;
  KWinPointerSettings& operator=(const KWinPointerSettings&) = delete;

  // "On" when no pointer offers the flat profile.
  PointerAcceleration GetAcceleration() override;
  void SetAcceleration(const PointerAcceleration& value) override;
  int GetSpeed() override;
  void SetSpeed(int speed) override;

 private:
  explicit KWinPointerSettings(std::unique_ptr<SessionBus> bus);
  // The object paths of the pointers that offer the flat profile, asked anew
  // each time (mice come and go).
  std::vector<std::string> Pointers();

  std::unique_ptr<SessionBus> bus_;
};

}  // namespace quorix
