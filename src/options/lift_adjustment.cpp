#include "options/lift_adjustment.h"

#include "device/commands.h"
#include "device/discovery.h"

namespace quorix {

int LiftStatusTextIndex(uint8_t flags) {
  if (flags & kLiftInProgressBit) return kLiftTextInProgress;
  if (flags & kLiftFailBit) return kLiftTextFail;
  return kLiftTextSuccess;
}

// The texts as loaded: a translation that leaves a status text empty is
// shown empty; the English default fills in only for a key the language file
// does not have (the language read does that).
std::string LiftAdjustment::Text(int index) const { return texts_.adjustLiftStr[static_cast<size_t>(index)]; }

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
  const int index = LiftStatusTextIndex(flags);
  if (index == kLiftTextInProgress) progress_ = true;
  if (index == kLiftTextFail) failed_ = true;
  statusText_ = Text(index);
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

LiftRunResult RunLiftAdjustment(DeviceLink& link, const std::string& path, LiftAdjustment& adjustment,
                                const std::function<bool(LiftAdjustment&)>& askUser) {
  LiftRunResult result;
  // Claim the run before touching the device, so a second starter sends
  // nothing.
  if (!adjustment.Start()) return result;
  result.ran = true;
  const int oldValue = ReadLiftValue(link, path, true);
  adjustment.RecordOldValue(oldValue);
  StartLiftAdjust(link, path);
  result.confirmed = askUser(adjustment);
  adjustment.UserAnswered(result.confirmed);
  if (result.confirmed) {
    result.value = ReadLiftValue(link, path, true);
    StoreLiftValue(link, path, result.value, true);
  } else {
    FinishLiftAdjust(link, path);
    result.value = oldValue;
    StoreLiftValue(link, path, oldValue, false);
  }
  adjustment.Finish();
  return result;
}

int LiftTestValue(int entered, int modelCode) {
  if (modelCode == 12 || modelCode == 13) return entered | 0x1200;
  return entered;
}

int RunLiftTest(DeviceLink& link, const std::string& path, int entered) {
  const int value = LiftTestValue(entered, ModelCode(link, path));
  ApplyLiftValue(link, path, value);
  return value;
}

}  // namespace quorix
