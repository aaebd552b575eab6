#pragma once
// The program's pointer speed 1..20 (10 neutral) and libinput's acceleration
// speed -1..1 (0 neutral), which every Linux desktop's setting carries.

#include <algorithm>
#include <cmath>

namespace quorix {

// 10 for a value that is not a number.
inline int SpeedFromLibinput(double value) {
  if (!std::isfinite(value)) return 10;
  return std::clamp(static_cast<int>(std::lround(value * 10 + 10)), 1, 20);
}

inline double LibinputFromSpeed(int speed) { return std::clamp((speed - 10) / 10.0, -1.0, 1.0); }

}  // namespace quorix
