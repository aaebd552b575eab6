#pragma once
// The on-screen display's state: what the mouse's last state report said, how
// visible the panel is and how long it stays. A report makes the panel fade
// in by 25 a step, stay for 80 steps of 20 ms, then fade out by 25 a step and
// hide. The steps run on the injected clock: the window arms a single-shot
// timer for NextDueMs() and calls Poll() when it fires; while the panel is
// hidden nothing is due, so an idle program never wakes for it.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/clock.h"

namespace quorix {

inline constexpr int kOsdShowSteps = 80;
inline constexpr int kOsdAlphaStep = 25;
inline constexpr int64_t kOsdStepMs = 20;
inline constexpr int kOsdPanelWidth = 365;
inline constexpr int kOsdPanelHeight = 300;

// changeFlags bits
inline constexpr int kOsdLevelChanged = 1;
inline constexpr int kOsdProfileChanged = 2;
inline constexpr int kOsdScrollHint = 4;
inline constexpr int kOsdToggleChanged = 8;

class OsdState {
 public:
  explicit OsdState(Clock& clock) : clock_(clock) {}

  // The "Enable DPI / profile OSD" option; off, reports are still taken in
  // but never show the panel.
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }

  // A checked state report of the current device (report ID first).
  void OnStateReport(const std::vector<uint8_t>& report);

  // Runs every step that is due. True when the panel is to be painted again
  // (with Alpha() as its overall opacity).
  bool Poll();
  // When Poll() next has work; nothing while the panel is hidden and no
  // report waits.
  std::optional<int64_t> NextDueMs() const { return dueMs_; }

  bool Visible() const { return visible_; }
  int Alpha() const { return alpha_; }
  int ShowCounter() const { return showCounter_; }
  int ChangeFlags() const { return changeFlags_; }
  int Level() const { return lastLevel_; }      // 0..4
  int Profile() const { return lastProfile_; }  // the report's profile byte as sent
  int RawX() const { return rawX_; }
  int RawY() const { return rawY_; }

 private:
  // One step: the visibility change, then the repaint decision; returns
  // whether to paint and sets the next due time.
  bool Step(int64_t at);

  Clock& clock_;
  bool enabled_ = true;
  int lastLevel_ = 0;
  int lastProfile_ = 0;
  int lastToggle_ = 0;
  int rawX_ = 0;
  int rawY_ = 0;
  int changeFlags_ = 0;
  int showCounter_ = 0;
  int alpha_ = 0;
  bool redraw_ = false;
  bool visible_ = false;
  std::optional<int64_t> dueMs_;
};

// What the panel shows, decided from the state; the painter only draws it.
struct OsdPaintPlan {
  int profilePicture = -1;  // the profile whose picture shows; -1: none
  bool dpiPanel = false;
  bool scrollHint = false;  // the hint box below the Y bar
  int levelNumber = 1;      // shown as "Lv.N"
  int dpiX = 0, dpiY = 0;   // the values shown
  double barX = 0, barY = 0;  // filled part of each bar, 0..1
};

// maxCode: the largest sensitivity code (the device's feature limit);
// dpiStep: DPI per code. Profiles 0..4 have pictures; others show none.
OsdPaintPlan PlanOsdPaint(const OsdState& state, int maxCode, int dpiStep);

}  // namespace quorix
