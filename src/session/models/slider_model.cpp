#include "session/models/slider_model.h"

#include <algorithm>
#include <cstdlib>

#include "session/capabilities.h"

namespace quorix {

int SliderValueAt(const Slider& s, double x) {
  const int span = s.maximum + s.offset - s.minimum;
  const double cell = s.width / (span + 1);
  // The cursor picks the cell it is nearest to rather than the one it is in.
  const double t = std::clamp(x + cell / 2.2 - s.left + 1, 0.0, s.width);
  int value = s.width > 0 ? static_cast<int>(s.minimum + t / s.width * span - s.offset) : s.minimum;
  // A sensitivity code of 0 is no sensitivity at all.
  if ((s.kind == SliderKind::kDpiX || s.kind == SliderKind::kDpiY) && value < 1) value = 1;
  return std::max(value, s.minimum);
}

int KnobTarget(const Slider& s) {
  const int span = s.maximum + s.offset - s.minimum;
  if (span <= 0) return static_cast<int>(s.left);
  const double fraction = std::clamp(static_cast<double>(s.value + s.offset - s.minimum) / span, 0.0, 1.0);
  return static_cast<int>(s.left + fraction * s.width + 0.5);
}

std::string SliderText(const Slider& s) {
  if (s.kind == SliderKind::kReportRate) return std::to_string(ReportRateHzForCode(kReportRateCodeCount - 1 - s.value)) + "Hz";
  return std::to_string(s.value * s.step);
}

int KnobStep(int distance, bool holding) {
  const int d = std::abs(distance);
  const int m = holding ? 2 : 1;
  if (d < 5) return std::min(d, 1);
  if (d <= 8) return 2 * m;
  if (d <= 16) return 4 * m;
  if (d <= 32) return 8 * m;
  return d * m / 4;
}

}  // namespace quorix
