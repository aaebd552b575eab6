#pragma once
// Pointer acceleration and speed under sway, through its IPC: sway hands the
// libinput settings of each device out in get_inputs and takes
// `input type:pointer ...` commands for every pointer (mice and touchpads'
// pointers alike, and devices plugged in later). Acceleration counts as on
// while any pointer uses the adaptive profile; "off" is the flat profile.
// Speed 1..20 maps onto libinput's accel_speed -1..1 (10 = 0.0) as on X11.
//
// The user's thread calls it; sway keeps the values until it ends, it writes
// nothing to the user's config file (AccelerationSwitch gives the values
// back at quit).

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "base/result.h"
#include "platform/linux/json_reader.h"
#include "platform/pointer_settings.h"

namespace quorix {

class SwayIpc;

// What get_inputs says of the pointers: nothing when it lists none that
// libinput drives.
struct SwayPointerFacts {
  bool adaptive = false;  // any pointer uses the adaptive profile
  double speed = 0;       // the first pointer's accel_speed
};
std::optional<SwayPointerFacts> PointerFactsOfInputs(const JsonValue& inputs);

// The commands that switch every pointer's acceleration profile and speed.
std::string AccelerationCommand(bool on);
std::string SpeedCommand(int speed);

class SwayPointerSettings final : public PointerSettings {
 public:
  // kUnavailable and the reason when sway cannot be reached at socketPath.
  static Result<std::unique_ptr<SwayPointerSettings>> Open(const std::string& socketPath);
  ~SwayPointerSettings() override;

  // "on" when no pointer is listed: libinput's own default for mice.
  PointerAcceleration GetAcceleration() override;
  void SetAcceleration(const PointerAcceleration& value) override;
  int GetSpeed() override;
  void SetSpeed(int speed) override;

 private:
  explicit SwayPointerSettings(std::unique_ptr<SwayIpc> ipc);
  std::optional<SwayPointerFacts> Facts();
  void Command(const std::string& command);

  std::mutex mutex_;
  std::unique_ptr<SwayIpc> ipc_;
};

}  // namespace quorix
