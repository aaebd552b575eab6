#pragma once
// The colour picker's working colour and the sender that shows it on the mouse
// while the user drags. The user-interface thread only marks the colour as
// pending; the sender wakes every 100 ms and sends the latest one, so a fast
// drag costs at most one burst of sends per period.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "device/outcome.h"
#include "lighting/light_effect.h"
#include "platform/clock.h"

namespace quorix {

inline constexpr int kColourSendPeriodMs = 100;
// "Always ON" in the picker's mode list; any other code means "Breathe".
inline constexpr int kPickerModeAlwaysOn = 1;

class LiveColour {
 public:
  explicit LiveColour(LedZoneRecord initial = {}) : colour_(initial) {}

  // A colour under the cursor during a drag (0xRRGGBB): stored and marked
  // pending for the sender. Nothing is sent here.
  void DragTo(uint32_t rgb);
  // A click on a colour of the field: own colour on; returns the colour to
  // send at once.
  LedZoneRecord ClickColour(uint32_t rgb);
  // A click on the profile-colour swatch: the profile's components unscaled,
  // own colour off; returns the colour to send at once.
  LedZoneRecord ClickProfileColour(const ProfileColour& colour);
  // "Breathe" or "Always ON" (kPickerModeAlwaysOn); returns the colour to send.
  LedZoneRecord ChooseMode(int mode);

  LedZoneRecord Get() const;
  bool Pending() const;
  // Runs send with the colour when one is pending, clearing the flag, all
  // under the lock (a drag waits meanwhile). False when nothing was pending.
  bool SendIfPending(const std::function<void(const LedZoneRecord&)>& send);

 private:
  mutable std::mutex mutex_;
  LedZoneRecord colour_;
  bool pending_ = false;
};

// Sends the pending live colour once per period. The send says how it went
// (PreviewZones does); the sender keeps the latest outcome so the picker can
// tell the user that the mouse no longer follows the drag.
class ColourSender {
 public:
  using SendFn = std::function<Outcome(const LedZoneRecord&)>;
  ColourSender(LiveColour& live, Clock& clock, SendFn send, std::function<void()> repaint = {})
      : live_(live), clock_(clock), send_(std::move(send)), repaint_(std::move(repaint)) {}
  ~ColourSender() { Stop(); }
  ColourSender(const ColourSender&) = delete;
  ColourSender& operator=(const ColourSender&) = delete;

  // One wake-up: sends when pending, then asks for a repaint. True when sent
  // (whatever the mouse made of it: see LastOutcome).
  bool Wake();
  // The outcome of the latest send; done before the first one. Safe to ask
  // from any thread.
  Outcome LastOutcome() const { return Outcome(lastFailure_.load()); }
  // Sleeps a period, wakes, and repeats until stop is set.
  void Run(const std::atomic<bool>& stop);
  // Runs Run() on a thread of its own until Stop() (or destruction).
  void Start();
  void Stop();

 private:
  LiveColour& live_;
  Clock& clock_;
  SendFn send_;
  std::function<void()> repaint_;
  std::atomic<Failure> lastFailure_{Failure::kNone};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace quorix
