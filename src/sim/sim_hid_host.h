#pragma once
// An in-process HID host that presents simulated mice: for each mouse a
// pointing interface (mi_00) and a configuration interface (mi_01), and
// optionally the microcontroller's programming identity. Used by the tests and
// by quorix-mousectl --simulate.
//
// Paths look like "sim#vid_3a5c&pid_0139&mi_01#mouse1" (lower case); the number
// after "mouse" counts plug-ins, so a replugged mouse gets a new path.
//
// Events: arrivals and removals are always queued; input reports only after
// StartEvents, and only for the collections it named. Device handles must not
// outlive the host. Thread-safe.
//
// The simulated user's presses (SimOptions::presses) are carried out by
// WaitEvent once they are due on the clock. With virtual waits the host lives
// in the clock's time: a wait that finds nothing queued passes its time on the
// clock (up to the next press) instead of waiting it out, after giving other
// threads a real millisecond to queue something.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/hid_host.h"
#include "sim/sim_mouse.h"
#include "sim/sim_options.h"

namespace quorix::sim {

inline constexpr uint16_t kIspVendorId = 0x0C45;
inline constexpr uint16_t kIspProductId = 0x7500;
inline constexpr size_t kMaxQueuedEvents = 4096;

class SimHidHost final : public HidHost {
 public:
  // clock paces the per-transfer latency; it must outlive the host.
  explicit SimHidHost(Clock& clock, const SimOptions& options = {});
  ~SimHidHost() override;

  std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;
  void StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>& inputCollections) override;
  bool WaitEvent(HidEvent& event, int timeoutMs) override;
  void Interrupt() override;

  int MouseCount() const { return static_cast<int>(slots_.size()); }
  SimMouse& Mouse(int index = 0) { return *slots_.at(static_cast<size_t>(index))->mouse; }
  // The current path of a mouse's interface ("" for an unplugged mouse).
  std::string ConfigPath(int index = 0) const;
  std::string PointingPath(int index = 0) const;
  std::string IspPath() const;
  bool IsPlugged(int index = 0) const;

  // Takes the mouse away (handles fail, removal events) and back (new paths,
  // arrival events, the firmware powers on with its memory intact).
  void Unplug(int index = 0);
  void Replug(int index = 0);
  // The mouse vanishes when the request after the next `requests` ones
  // arrives (the unplugAfter fault, armed from now on).
  void ArmUnplug(int requests, int index = 0);
  // The firmware restarts before the request after the next `requests` ones
  // (the resetAfter fault, armed from now on).
  void ArmRestart(int requests, int index = 0);
  // The mouse carries out the request after the next `requests` ones and
  // every later one, but answers none of them until it is plugged in again
  // (the loseAnswerAfter fault, armed from now on).
  void ArmLoseAnswers(int requests, int index = 0);
  // The programming identity appears or disappears.
  void SetIspPresent(bool present);

  size_t PendingEvents() const;

  // For a clock that only moves when slept on (tests, the CLI's simulation).
  void SetVirtualWaits(bool on);
  // Presses of SimOptions::presses not carried out yet.
  size_t PendingPresses() const;

 private:
  class Handle;
  struct Slot {
    std::unique_ptr<SimMouse> mouse;
    bool plugged = true;
    int plugNumber = 0;
    int requests = 0;     // requests counted towards the faults below
    int unplugAfter = -1;
    int loseAnswerAfter = -1;
    int resetAfter = -1;
    bool answersLost = false;  // until the mouse is plugged in again
  };
  // What becomes of a request on its way to the mouse.
  enum class Delivery { kDeliver, kRestartFirst, kVanish };
  struct Target {
    int slot = -1;        // -1: the programming identity
    int plugNumber = 0;
    int interfaceNumber = 0;
  };

  std::string PathOf(const Slot& slot, int interfaceNumber) const;
  HidInterfaceInfo InfoOf(const Slot& slot, int interfaceNumber) const;
  bool Alive(const Target& target) const;
  // Counts a request and says what happens to it (the faults of SimOptions).
  Delivery CountRequest(const Target& target);
  bool AnswersLost(const Target& target) const;
  void UnplugLocked(Slot& slot);
  void Queue(HidEvent event);  // mutex_ held
  void OnInputReport(int slot, std::vector<uint8_t> report);
  // Carries out the presses that are due; mutex_ held on entry and exit,
  // released around each press (the mouse reports through OnInputReport).
  void RunDuePresses(std::unique_lock<std::mutex>& lock);
  std::optional<int64_t> NextPressMs() const;  // mutex_ held

  Clock& clock_;
  const SimOptions options_;
  std::vector<std::unique_ptr<Slot>> slots_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<HidEvent> events_;
  bool interrupted_ = false;
  bool eventsStarted_ = false;
  std::vector<std::pair<uint16_t, uint16_t>> collections_;
  int nextPlugNumber_ = 1;
  bool ispPresent_ = false;
  int ispNumber_ = 0;
  bool virtualWaits_ = false;
  std::optional<int64_t> pressStartMs_;  // set by the first StartEvents
  size_t pressesDone_ = 0;
};

}  // namespace quorix::sim
