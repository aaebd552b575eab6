#include "options/acceleration_switch.h"

#include "options/options_store.h"

namespace quorix {

void AccelerationSwitch::Apply(bool disable) {
  if (!disable && user_) {
    GiveBack();
    return;
  }
  if (!user_) user_ = UserValues{pointer_.GetAcceleration(), pointer_.GetSpeed()};
  ApplyAccelerationSwitch(pointer_, disable);
}

void AccelerationSwitch::GiveBack() {
  if (!user_) return;
  if (pointer_.GetSpeed() != user_->speed) pointer_.SetSpeed(user_->speed);
  pointer_.SetAcceleration(user_->acceleration);
  user_.reset();
}

}  // namespace quorix
