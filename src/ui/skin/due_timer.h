#pragma once
// Windows animate with one single-shot timer each, armed for the moment the
// model next has something to do and stopped when it has nothing: an idle
// window never wakes. A moment already past fires at once; one further away
// than a QTimer can count waits as long as it can and is armed again then.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include <QTimer>

namespace quorix::ui {

inline void ArmForDue(QTimer& timer, std::optional<int64_t> dueMs, int64_t nowMs) {
  if (!dueMs) {
    timer.stop();
    return;
  }
  timer.start(static_cast<int>(std::clamp<int64_t>(*dueMs - nowMs, 0, INT_MAX)));
}

}  // namespace quorix::ui
