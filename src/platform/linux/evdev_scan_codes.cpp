#include "platform/linux/evdev_scan_codes.h"

#include <linux/input-event-codes.h>

namespace quorix {

namespace {

struct Entry {
  int evdev;
  int makeCode;
  bool e0;
};

// Keys whose evdev code is not their make code. Codes 1..83 and 86..88 are
// the make codes themselves (the kernel numbered the keys after them).
constexpr Entry kOthers[] = {
    {KEY_ZENKAKUHANKAKU, 0x29, false},
    {KEY_RO, 0x73, false},
    {KEY_HENKAN, 0x79, false},
    {KEY_KATAKANAHIRAGANA, 0x70, false},
    {KEY_MUHENKAN, 0x7B, false},
    {KEY_KPENTER, 0x1C, true},
    {KEY_RIGHTCTRL, 0x1D, true},
    {KEY_KPSLASH, 0x35, true},
    {KEY_SYSRQ, 0x37, true},
    {KEY_RIGHTALT, 0x38, true},
    {KEY_HOME, 0x47, true},
    {KEY_UP, 0x48, true},
    {KEY_PAGEUP, 0x49, true},
    {KEY_LEFT, 0x4B, true},
    {KEY_RIGHT, 0x4D, true},
    {KEY_END, 0x4F, true},
    {KEY_DOWN, 0x50, true},
    {KEY_PAGEDOWN, 0x51, true},
    {KEY_INSERT, 0x52, true},
    {KEY_DELETE, 0x53, true},
    {KEY_POWER, 0x5E, true},
    {KEY_KPEQUAL, 0x59, false},
    {KEY_PAUSE, 0xC5, false},
    {KEY_KPCOMMA, 0x7E, false},
    {KEY_HANGEUL, 0x72, false},
    {KEY_HANJA, 0x71, false},
    {KEY_YEN, 0x7D, false},
    {KEY_LEFTMETA, 0x5B, true},
    {KEY_RIGHTMETA, 0x5C, true},
    {KEY_COMPOSE, 0x5D, true},
};

}  // namespace

std::optional<SetOneCode> SetOneFromEvdev(int code) {
  if ((code >= KEY_ESC && code <= KEY_KPDOT) || (code >= KEY_102ND && code <= KEY_F12)) {
    return SetOneCode{code, false};
  }
  for (const auto& entry : kOthers) {
    if (entry.evdev == code) return SetOneCode{entry.makeCode, entry.e0};
  }
  return std::nullopt;
}

}  // namespace quorix
