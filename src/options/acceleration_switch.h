#pragma once
// The main window's acceleration switch on the user's desktop. The switch
// changes a setting that belongs to the whole desktop session, so the values
// the user had before the program first changed them are kept and given back
// when the switch is turned off and when the program quits.

#include <optional>

#include "platform/pointer_settings.h"

namespace quorix {

class AccelerationSwitch {
 public:
  explicit AccelerationSwitch(PointerSettings& pointer) : pointer_(pointer) {}

  // Checked switches acceleration off (speed 10); unchecked gives the
  // user's values back, or, when the program changed nothing yet, turns a
  // desktop without acceleration on. The user's values are kept before the
  // first change.
  void Apply(bool disable);
  // At quit: the user's own values again, when the program changed them.
  void GiveBack();
  bool Changed() const { return user_.has_value(); }

 private:
  struct UserValues {
    PointerAcceleration acceleration;
    int speed = 10;
  };
  PointerSettings& pointer_;
  std::optional<UserValues> user_;
};

}  // namespace quorix
