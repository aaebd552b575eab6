#pragma once
// The main window's sliders without a screen: how a cursor position becomes a
// value, what the slider shows, where its knob belongs and how the knob
// glides there. Positions are window pixels; a track runs from `left` to
// `left + width`.

#include <cstdint>
#include <string>

namespace quorix {

enum class SliderKind : uint8_t {
  kDpiY = 0,         // the Y sensitivity code of one level
  kDpiX = 1,         // the X code (both codes while X-Y independent is off)
  kReportRate = 2,   // 7 - the report-rate code
  kDeviceValue = 3,  // a single value kept for the next full write; nothing is sent for it
};

struct Slider {
  int page = -1;  // the page it is shown on; -1 on every page, kNoPage on none
  SliderKind kind = SliderKind::kDpiX;
  int level = -1;  // the sensitivity level it edits (DPI kinds)
  int minimum = 0;
  int maximum = 0;
  int offset = 0;
  int value = 0;
  int step = 1;                                     // shown value = value x step (not for the report rate)
  double left = 0, top = 0, width = 0, height = 0;  // the track
  int shown = 0;                                    // the knob's drawn position (x), gliding towards KnobTarget
};

inline constexpr int kNoPage = -2;
// Tick marks drawn on a track at most.
inline constexpr int kMaxSliderTicks = 20;

// The value a cursor at window x picks on the slider's track, clamped to the
// slider's range (at least 1 for the DPI kinds).
int SliderValueAt(const Slider& slider, double x);
// The knob position (x) that shows the slider's value.
int KnobTarget(const Slider& slider);
// The text beside the track: value x step, or the report rate in Hz.
std::string SliderText(const Slider& slider);
// How far the knob moves in one animation step when it is `distance` pixels
// from its target; `holding`: the user is dragging a slider (it moves faster).
int KnobStep(int distance, bool holding);

}  // namespace quorix
