#include "platform/linux/evdev_translator.h"

#include <linux/input-event-codes.h>

#include "platform/linux/evdev_scan_codes.h"

namespace quorix {

namespace {

constexpr int kKeyUp = 0;
constexpr int kKeyRepeat = 2;

int ButtonBit(int code) {
  switch (code) {
    case BTN_LEFT: return 0x01;
    case BTN_RIGHT: return 0x02;
    case BTN_MIDDLE: return 0x04;
    case BTN_SIDE:
    case BTN_BACK: return 0x08;
    case BTN_EXTRA:
    case BTN_FORWARD: return 0x10;
    default: return 0;
  }
}

}  // namespace

void EvdevTranslator::Feed(int type, int code, int value, std::vector<InputEvent>& out) {
  InputEvent event;
  switch (type) {
    case EV_KEY:
      if (const int bit = ButtonBit(code); bit != 0) {
        if (value == kKeyRepeat) return;
        event.kind = InputEvent::Kind::kButton;
        event.button = bit;
        event.down = value != kKeyUp;
      } else if (const auto setOne = SetOneFromEvdev(code)) {
        // A repeat is the key still held: the recorder drops it as such.
        event.kind = InputEvent::Kind::kKey;
        event.down = value != kKeyUp;
        event.makeCode = setOne->makeCode;
        event.e0 = setOne->e0;
      } else {
        return;
      }
      break;
    case EV_REL:
      if (code == REL_X) dx_ += value;
      if (code == REL_Y) dy_ += value;
      if (code != REL_WHEEL || value == 0) return;
      event.kind = InputEvent::Kind::kWheel;
      event.wheelDelta = value * 120;
      break;
    case EV_SYN:
      if (code != SYN_REPORT || (dx_ == 0 && dy_ == 0)) return;
      event.kind = InputEvent::Kind::kMotion;
      event.dx = dx_;
      event.dy = dy_;
      dx_ = dy_ = 0;
      break;
    default:
      return;
  }
  out.push_back(event);
}

}  // namespace quorix
