#pragma once
// Linux input key codes (evdev; an X keycode is the evdev code + 8) to the
// set-1 make code and E0 flag a PC keyboard sends for the same key, which is
// what the key tables turn into HID usages.

#include <optional>

namespace quorix {

struct SetOneCode {
  int makeCode = 0;
  bool e0 = false;
  bool operator==(const SetOneCode&) const = default;
};

// The set-1 code of an evdev key code; nullopt for keys a PC keyboard does
// not have (media keys, mouse buttons). Pause gives 0xC5, the code the usage
// table files it under (its real sequence, E1 1D 45, has no one make code).
std::optional<SetOneCode> SetOneFromEvdev(int code);

}  // namespace quorix
