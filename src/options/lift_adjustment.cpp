#include "options/lift_adjustment.h"

#include "device/commands.h"
#include "device/discovery.h"

namespace quorix {

LiftWord LiftStatusWord(uint8_t flags) {
  if (flags & kLiftInProgressBit) return LiftWord::kInProgress;
  if (flags & kLiftFailBit) return LiftWord::kFail;
  return LiftWord::kSuccess;
}

LiftAdjustment::State LiftAdjustment::CurrentState() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

bool LiftAdjustment::Progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

bool LiftAdjustment::Failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failed_;
}

int LiftAdjustment::OldValue() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return oldValue_;
}

std::string LiftAdjustment::StatusText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statusText_;
}

bool LiftAdjustment::OnLiftState(uint8_t flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ != State::kWaitingForUser) return false;
  const LiftWord word = LiftStatusWord(flags);
  if (word == LiftWord::kInProgress) progress_ = true;
  if (word == LiftWord::kFail) failed_ = true;
  // The texts as loaded: a translation that leaves a status text empty is
  // shown empty; the English default fills in only for a key the language
  // file does not have (the language read does that).
  statusText_ = texts_[word];
  return true;
}

bool LiftAdjustment::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ != State::kIdle) return false;
  adjusting_ = true;
  state_ = State::kWaitingForUser;
  progress_ = false;
  failed_ = false;
  statusText_.clear();
  oldValue_ = 0;
  return true;
}

void LiftAdjustment::RecordOldValue(int value) {
  std::lock_guard<std::mutex> lock(mutex_);
  oldValue_ = value;
}

void LiftAdjustment::UserAnswered(bool confirmed) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ == State::kWaitingForUser) state_ = confirmed ? State::kStoring : State::kRestoring;
}

void LiftAdjustment::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = State::kIdle;
  adjusting_ = false;
}

namespace {

// The checks every lift operation starts with; kNone when it may go ahead.
Failure CheckLift(const DeviceLink& link, const std::string& path) {
  if (path.empty()) return Failure::kNoDevice;
  return LayoutOf(link, path) == Layout::kDirect ? Failure::kNone : Failure::kNotSupported;
}

}  // namespace

LiftRunResult RunLiftAdjustment(DeviceLink& link, const std::string& path, LiftAdjustment& adjustment,
                                const std::function<bool(LiftAdjustment&)>& askUser) {
  LiftRunResult result;
  if (Failure f = CheckLift(link, path); f != Failure::kNone) {
    result.outcome = f;
    return result;
  }
  // Claim the run before touching the device, so a second starter sends
  // nothing.
  if (!adjustment.Start()) return result;
  result.ran = true;
  int oldValue = 0;
  {
    DeviceOperation operation(link);
    oldValue = ReadLiftValue(link, path, true);
    StartLiftAdjust(link, path);
    result.outcome = operation.Result();
  }
  if (!result.outcome) {
    // The old value is unknown: restoring it would write a guess.
    adjustment.Finish();
    return result;
  }
  adjustment.RecordOldValue(oldValue);
  result.confirmed = askUser(adjustment);
  adjustment.UserAnswered(result.confirmed);
  {
    DeviceOperation operation(link);
    if (result.confirmed) {
      // A failed read skips the store, so a lost measurement is never stored.
      result.value = ReadLiftValue(link, path, true);
      StoreLiftValue(link, path, result.value, true);
    } else {
      FinishLiftAdjust(link, path);
      result.value = oldValue;
      StoreLiftValue(link, path, oldValue, false);
    }
    result.outcome = operation.Result();
  }
  if (!result.outcome) result.value = 0;
  adjustment.Finish();
  return result;
}

int LiftTestValue(int entered, int modelCode) {
  if (modelCode == 12 || modelCode == 13) return entered | 0x1200;
  return entered;
}

LiftValueResult RunLiftTest(DeviceLink& link, const std::string& path, int entered) {
  LiftValueResult result;
  result.value = LiftTestValue(entered, ModelCode(link, path));
  result.outcome = CheckLift(link, path);
  if (!result.outcome) return result;
  DeviceOperation operation(link);
  ApplyLiftValue(link, path, result.value);
  result.outcome = operation.Result();
  return result;
}

LiftValueResult ReadStoredLift(DeviceLink& link, const std::string& path) {
  LiftValueResult result;
  if (path.empty()) {
    result.outcome = Failure::kNoDevice;
    return result;
  }
  DeviceOperation operation(link);
  result.value = ReadLiftValue(link, path, false);
  result.outcome = operation.Result();
  if (!result.outcome) result.value = 0;
  return result;
}

Outcome StoreLift(DeviceLink& link, const std::string& path, int value) {
  if (Failure f = CheckLift(link, path); f != Failure::kNone) return f;
  DeviceOperation operation(link);
  StoreLiftValue(link, path, value, true);
  return operation.Result();
}

}  // namespace quorix
