#pragma once
// The automatic lift adjustment: the mouse measures its surface while the user
// moves it and reports progress in its state reports; the user then confirms
// (the measured value is stored) or cancels (the old value comes back).

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "device/device_link.h"
#include "texts/text_tables.h"

namespace quorix {

// State-report byte 6 during an adjustment.
inline constexpr uint8_t kLiftInProgressBit = 0x40;
inline constexpr uint8_t kLiftFailBit = 0x20;
// The adjustment dialog's mode.
inline constexpr int kLiftDialogMode = 7;

// The status text for a state report's flags (in progress wins over failed).
LiftWord LiftStatusWord(uint8_t flags);

// One adjustment run's shared state. The device worker drives the run; state
// reports arrive on the user-interface thread through OnLiftState.
class LiftAdjustment {
 public:
  enum class State {
    kIdle,
    kWaitingForUser,  // measuring; the dialog is open
    kStoring,         // confirmed
    kRestoring,       // cancelled
  };

  explicit LiftAdjustment(const TextTables& texts) : texts_(texts) {}

  // The "adjusting" flag the raw-input handler looks at.
  bool Adjusting() const { return adjusting_.load(); }
  State CurrentState() const;
  bool Progress() const;
  bool Failed() const;
  int OldValue() const;
  std::string StatusText() const;
  // The dialog's title and instruction in its automatic mode.
  std::string Title() const { return texts_[LiftWord::kAutoTitle]; }
  std::string Instruction() const { return texts_[LiftWord::kMoveMouse]; }

  // A state report (byte 6). Ignored when no run is active; true when the
  // status changed.
  bool OnLiftState(uint8_t flags);

  // Steps of a run, in order; RunLiftAdjustment drives them. Start is false
  // when a run is active already.
  bool Start();
  void RecordOldValue(int value);
  void UserAnswered(bool confirmed);
  void Finish();

 private:
  const TextTables& texts_;
  std::atomic<bool> adjusting_{false};
  mutable std::mutex mutex_;
  State state_ = State::kIdle;
  bool progress_ = false;
  bool failed_ = false;
  int oldValue_ = 0;
  std::string statusText_;
};

struct LiftRunResult {
  bool ran = false;        // false when nothing ran: another run was active, or outcome says why
  bool confirmed = false;
  int value = 0;           // the value stored (confirmed) or restored; 0 unless outcome is done
  // kNoDevice, kNotSupported (no lift adjustment on this model), or how the
  // mouse failed part-way. A mouse that stops answering is no "Adjust Fail":
  // its measurement says nothing, and nothing more is sent to it.
  Outcome outcome;
};

// One automatic adjustment on the device: reads the old value, starts the
// measurement, asks the user (askUser shows the dialog modally and returns
// true for OK), then stores the measured value persistently or restores the
// old one. Blocks while askUser runs. The exchanges before and after the
// dialog are an operation each: one held open across the dialog would take in
// whatever else talks to the mouse meanwhile. When the first one fails the
// user is not asked at all.
LiftRunResult RunLiftAdjustment(DeviceLink& link, const std::string& path, LiftAdjustment& adjustment,
                                const std::function<bool(LiftAdjustment&)>& askUser);

// The manual test: the entered value, with 0x1200 added for model codes 12
// and 13, whose sensors expect it in the high byte.
int LiftTestValue(int entered, int modelCode);

struct LiftValueResult {
  Outcome outcome;
  int value = 0;
};
// Sends the test value to the device; value is what was meant for it (sent
// when outcome is done). kNotSupported, with nothing sent, on a model without
// lift adjustment.
LiftValueResult RunLiftTest(DeviceLink& link, const std::string& path, int entered);

// The lift value stored in the mouse's memory (0 unless outcome is done).
LiftValueResult ReadStoredLift(DeviceLink& link, const std::string& path);
// Applies a lift value and stores it persistently; kNotSupported, with
// nothing sent, on a model without lift adjustment.
Outcome StoreLift(DeviceLink& link, const std::string& path, int value);

}  // namespace quorix
