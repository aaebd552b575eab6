#include "keys/pc_actions.h"

namespace quorix {

bool IsHorizontalWheelReport(const uint8_t* report, size_t length) {
  if (report == nullptr || length < 10) return false;
  return (report[0] == 11 || report[0] == 1) && report[1] == 11;
}

bool IsLaunchSettingReport(const uint8_t* report, size_t length) {
  if (report == nullptr || length < 3 || report[1] != 13) return false;
  uint8_t check = 0;
  for (size_t i = 1; i < length; ++i) check ^= report[i];
  return check == 0;
}

bool OnLaunchSettingReport(int value, const std::function<void()>& raiseMainWindow) {
  if (value != 1) return false;
  if (raiseMainWindow) raiseMainWindow();
  return true;
}

bool HorizontalScroller::OnHorizontalWheelReport(const uint8_t* report, size_t length) {
  if (!IsHorizontalWheelReport(report, length)) return false;
  const int32_t steps = static_cast<int8_t>(report[9]);
  if (steps == 0) return true;
  pendingHorizontalSteps_.fetch_add(steps);
  return true;
}

int32_t HorizontalScroller::RunBatch() {
  const int32_t steps = TakePendingSteps();
  if (steps != 0) injector_.ScrollHorizontal(steps);
  return steps;
}

std::optional<int64_t> HorizontalScroller::NextDueMs() const {
  if (pendingHorizontalSteps_.load() == 0) return std::nullopt;
  return clock_.NowMs();
}

}  // namespace quorix
