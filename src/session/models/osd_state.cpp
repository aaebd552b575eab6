#include "session/models/osd_state.h"

#include <algorithm>

namespace quorix {

void OsdState::OnStateReport(const std::vector<uint8_t>& report) {
  if (report.size() < 7) return;
  rawY_ = report[4];
  rawX_ = report[3];
  const int level = std::min(report[2] & 7, 4);
  if (report[5] != lastProfile_) {
    lastProfile_ = report[5];
    if (enabled_) changeFlags_ |= kOsdProfileChanged;
  }
  if (level != lastLevel_) {
    lastLevel_ = level;
    if (enabled_) changeFlags_ |= kOsdLevelChanged;
  }
  // The hint mark is taken whether or not the panel is on.
  if (report[6] & 0x80) changeFlags_ |= kOsdScrollHint;
  if (enabled_) showCounter_ = kOsdShowSteps;
  redraw_ = true;
  if ((report[6] & 1) != lastToggle_) {
    lastToggle_ = report[6] & 1;
    if (enabled_) changeFlags_ |= kOsdToggleChanged;
  }
  // An idle panel wakes at once; a moving one keeps its step rhythm.
  if (!dueMs_) dueMs_ = clock_.NowMs();
}

bool OsdState::Step(int64_t at) {
  if (showCounter_ != 0) {
    if (alpha_ != 255) alpha_ = std::min(alpha_ + kOsdAlphaStep, 255);
    --showCounter_;
    redraw_ = true;
    visible_ = true;
  } else if (alpha_ > 0) {
    alpha_ = std::max(alpha_ - kOsdAlphaStep, 0);
    redraw_ = true;
  } else if (visible_) {
    visible_ = false;
    changeFlags_ = 0;
  }
  if (!redraw_) {
    // Hidden with nothing asked for: nothing is due until the next report.
    dueMs_.reset();
    return false;
  }
  redraw_ = false;
  dueMs_ = at + kOsdStepMs;
  return showCounter_ > 0 || alpha_ > 0;
}

bool OsdState::Poll() {
  const int64_t now = clock_.NowMs();
  bool paint = false;
  while (dueMs_ && *dueMs_ <= now) paint = Step(*dueMs_);
  return paint;
}

OsdPaintPlan PlanOsdPaint(const OsdState& state, int maxCode, int dpiStep) {
  OsdPaintPlan plan;
  const int flags = state.ChangeFlags();
  if ((flags & kOsdProfileChanged) && state.Profile() >= 0 && state.Profile() <= 4)
    plan.profilePicture = state.Profile();
  plan.dpiPanel = (flags & (kOsdLevelChanged | kOsdScrollHint)) != 0;
  plan.scrollHint = (flags & kOsdScrollHint) != 0;
  plan.levelNumber = state.Level() + 1;
  plan.dpiX = state.RawX() * dpiStep;
  plan.dpiY = state.RawY() * dpiStep;
  if (maxCode > 0) {
    plan.barX = std::min(1.0, static_cast<double>(state.RawX()) / maxCode);
    plan.barY = std::min(1.0, static_cast<double>(state.RawY()) / maxCode);
  }
  return plan;
}

}  // namespace quorix
