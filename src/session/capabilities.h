#pragma once
// What a window offers for the mouse in hand: one answer, taken from the
// mouse's identification, so that the CLI and the desktop program enable and
// refuse the same things. Nothing here talks to the mouse.

#include <string>

#include "device/device_link.h"

namespace quorix {

struct DeviceCapabilities {
  bool lighting = false;        // light effects and the zone table
  bool liftAdjustment = false;  // storing and testing a lift value
  bool reportRate = false;      // the report-rate setting
  bool levelSwitches = false;   // switching single sensitivity levels on and off
  int dpiStep = 50;             // DPI per unit of a sensitivity pair
  int buttonCount = 16;         // button records per profile
  int levelCount = 4;           // sensitivity levels that can be selected or switched
  // Button records per profile that are kept but not shown as a physical
  // button row.
  int hiddenButtonRows = 0;

  // The button rows the mouse shows: buttons 0..ShownButtonRows() - 1.
  int ShownButtonRows() const { return buttonCount - hiddenButtonRows; }
};

DeviceCapabilities Capabilities(const DeviceInfo& info);

// The identified device at path; a path without a record answers like an
// unidentified level-0 mouse, as the device getters do.
DeviceCapabilities CapabilitiesAt(const DeviceLink& link, const std::string& path);

// ---- what a write may change -----------------------------------------------
// The rules both front ends ask before they write: the main window hides or
// disables what is refused, the command line refuses it with a message, and
// neither sends anything then.
enum class WriteRefusal {
  kAllowed,
  kLevelOutOfRange,     // no such sensitivity level
  kNoLevelSwitches,     // the firmware cannot switch single levels on and off
  kNoReportRate,        // the firmware has no report-rate setting
  kButtonOutOfRange,    // not one of the button rows the mouse shows
  kPrimaryClickHolder,  // the one button that carries the left click keeps it
};

// Selecting a sensitivity level, or (switching) turning one on or off.
WriteRefusal LevelWriteRefusal(const DeviceCapabilities& caps, int level, bool switching);
WriteRefusal ReportRateWriteRefusal(const DeviceCapabilities& caps);
// Giving `button` a function. A hidden row keeps the record it holds, and the
// primary-click holder (-1: none, or not known yet) keeps its left click, so
// that the mouse is never left without one.
WriteRefusal ButtonWriteRefusal(const DeviceCapabilities& caps, int button, int primaryClickHolder);
inline bool ButtonTakesFunctions(const DeviceCapabilities& caps, int button, int primaryClickHolder) {
  return ButtonWriteRefusal(caps, button, primaryClickHolder) == WriteRefusal::kAllowed;
}

// The report rates every front end offers: one per code the mouse stores,
// 0..kReportRateCodeCount - 1, the rate being 1000 / (code + 1) Hz rounded
// down (1000, 500, 333, 250, 200, 166, 142, 125). The main window's slider
// shows them and the command line accepts exactly them.
inline constexpr int kReportRateCodeCount = 8;
// The rate in Hz of a code; codes outside the range are clamped into it.
int ReportRateHzForCode(int code);
// The code of a rate in Hz, or -1 for a rate that is not offered.
int ReportRateCodeForHz(int hz);
// "1000, 500, 333, 250, 200, 166, 142 or 125", for messages.
std::string OfferedReportRatesText();

}  // namespace quorix
