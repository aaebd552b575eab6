#pragma once
// The desktop's pointer settings: acceleration thresholds and pointer speed,
// as the options store switches acceleration off and on.

namespace quorix {

// Two thresholds and the acceleration factor. Acceleration counts as on when
// threshold1 is above 0; "on" is written as 4, 12, 2 and "off" as 0, 0, 0.
struct PointerAcceleration {
  int threshold1 = 0;
  int threshold2 = 0;
  int acceleration = 0;
};

class PointerSettings {
 public:
  virtual ~PointerSettings() = default;
  virtual PointerAcceleration GetAcceleration() = 0;
  // Writes the parameters for this and later sessions of the user.
  virtual void SetAcceleration(const PointerAcceleration& value) = 0;
  // Pointer speed 1..20, 10 being the neutral speed; 10 when unknown.
  virtual int GetSpeed() = 0;
  virtual void SetSpeed(int speed) = 0;
};

}  // namespace quorix
