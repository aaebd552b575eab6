#pragma once
// The colour picker's working colour and the sender that shows it on the mouse
// while the user drags. The user-interface thread only marks the colour as
// pending; the sender wakes every 100 ms and sends the latest one, so a fast
// drag costs at most one send per period.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

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

// Sends the pending live colour once per period, on the injected clock: the
// owner calls Poll() from its timer tick when NextDueMs() has come (a window's
// timer, a test's virtual clock). It owns no thread. A due send is handed to
// `post`, which runs it where device work runs (one job of the session's
// device executor), so the drag's sends queue behind a load instead of
// crossing it. The send says how it went (PreviewZones does); the sender
// keeps the latest outcome so the picker can tell the user that the mouse no
// longer follows the drag.
class ColourSender {
 public:
  using SendFn = std::function<Outcome(const LedZoneRecord&)>;
  // Runs the work it is given once, on any thread, and says nothing back:
  // the work records its own outcome.
  using PostFn = std::function<void(std::function<Outcome()> work)>;
  // Without `post` the send runs inside Poll() (or Wake()) itself.
  ColourSender(LiveColour& live, Clock& clock, SendFn send, std::function<void()> repaint = {}, PostFn post = {});
  ColourSender(const ColourSender&) = delete;
  ColourSender& operator=(const ColourSender&) = delete;

  // One wake-up: when a colour is pending and no earlier send is still
  // waiting to run, takes it and posts its send, which asks for a repaint
  // once it is done. True when posted (whatever the mouse made of it: see
  // LastOutcome). A colour that found the previous send still queued stays
  // pending: the next wake-up sends the latest one, so a busy mouse never
  // collects a backlog of stale colours.
  bool Wake();
  // Wakes when the period is over (and starts the next one). True when it
  // posted a send.
  bool Poll();
  // When Poll() next has work: the end of the current period. The sender
  // ticks while it exists; an idle tick sends nothing.
  std::optional<int64_t> NextDueMs() const { return dueMs_; }
  // The outcome of the latest send; done before the first one. Safe to ask
  // from any thread.
  Outcome LastOutcome() const { return Outcome(shared_->lastFailure.load()); }

 private:
  // What a posted send uses: it may run after the sender has gone.
  struct Shared {
    SendFn send;
    std::function<void()> repaint;
    std::atomic<Failure> lastFailure{Failure::kNone};
    std::atomic<bool> inFlight{false};
  };

  LiveColour& live_;
  Clock& clock_;
  PostFn post_;
  std::shared_ptr<Shared> shared_;
  int64_t dueMs_;
};

}  // namespace quorix
