#include "macro/macro_recorder.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "keys/scan_codes.h"

namespace quorix {

namespace {

constexpr int kLongestWaitMs = 65535;

// Keys whose usage the scan-code table lacks, told by make code (and, where
// the platform has virtual keys, by the virtual keys that layouts give them).
struct JapaneseKey {
  int makeCode;
  int virtualKeys[2];
  int usage;
};
constexpr JapaneseKey kJapaneseKeys[] = {
    {123, {235, 29}, 139},   // no conversion
    {121, {28, 255}, 138},   // conversion
    {112, {255, 242}, 136},  // katakana / hiragana
    {125, {255, 220}, 137},  // yen
    {115, {193, 226}, 135},  // ro
};

// Keys some systems report once per press rather than as a press and a release.
bool ReportedOncePerPress(int usage) { return usage == 144 || usage == 145; }

constexpr int kVirtualKeyNone = 255;

int16_t ToInt16(int value) {
  return static_cast<int16_t>(
      std::clamp(value, int{std::numeric_limits<int16_t>::min()}, int{std::numeric_limits<int16_t>::max()}));
}

// Wheel notches of a turn: a turn smaller than a notch (fine-grained wheels)
// still counts as one notch its way.
int WheelCount(int delta) {
  if (delta == 0) return 0;
  const int count = delta / 120;
  if (count != 0) return count;
  return delta > 0 ? 1 : -1;
}

}  // namespace

std::vector<MacroItem> MacroRecorder::WaitItems(int64_t ms) {
  std::vector<MacroItem> items;
  // A pause longer than one wait can hold is kept whole as several waits.
  while (ms > 0) {
    const int part = static_cast<int>(std::min<int64_t>(ms, kLongestWaitMs));
    items.push_back(WaitItem(part));
    ms -= part;
  }
  return items;
}

int MacroRecorder::KeyUsage(const RecorderKeyEvent& event) {
  const int usage = ScanCodeToUsage(ScanCodeFromKeyEvent(event.makeCode, event.prefixed, event.virtualKey));
  if (event.prefixed) return usage;
  for (const auto& key : kJapaneseKeys) {
    if (key.makeCode != event.makeCode) continue;
    const bool virtualKeyFits =
        event.virtualKey == 0 || event.virtualKey == key.virtualKeys[0] || event.virtualKey == key.virtualKeys[1];
    if (virtualKeyFits) return key.usage;
  }
  return usage;
}

void MacroRecorder::Arm() {
  hasPosition_ = false;
  keyDown_.fill(false);
  lastEventMs_.reset();
  state_ = RecorderState::kArmed;
}

void MacroRecorder::BeginCapture() { state_ = RecorderState::kCapture; }

void MacroRecorder::BeginHotkeySelection() { selectingHotkey_ = true; }

void MacroRecorder::Stop() {
  selectingHotkey_ = false;
  state_ = RecorderState::kIdle;
}

std::vector<MacroItem> MacroRecorder::TakeItems() { return std::exchange(out_, {}); }

std::optional<int> MacroRecorder::TakeChosenHotkey() { return std::exchange(chosenHotkey_, std::nullopt); }

void MacroRecorder::Append(MacroItem item) {
  item.time = static_cast<uint32_t>(clock_.NowMs());
  out_.push_back(item);
}

void MacroRecorder::AppendWait() {
  const int64_t now = clock_.NowMs();
  if (options_.recordDelays && lastEventMs_) {
    for (const auto& wait : WaitItems(now - *lastEventMs_)) Append(wait);
  }
  lastEventMs_ = now;
}

void MacroRecorder::Sample(int x, int y) {
  if (hasPosition_) {
    const int dx = x - lastX_;
    const int dy = y - lastY_;
    if (dx != 0 || dy != 0) Append(MoveItem(ToInt16(dx), ToInt16(dy)));
  } else {
    Append(MoveToItem(ToInt16(x), ToInt16(y)));
    hasPosition_ = true;
  }
  lastX_ = x;
  lastY_ = y;
}

void MacroRecorder::OnKey(const RecorderKeyEvent& event) {
  if (state_ == RecorderState::kIdle && !selectingHotkey_) return;
  // The spurious Num Lock inside the Pause key's sequence.
  if (event.virtualKey == kVirtualKeyNone && event.makeCode == 69) return;
  const int usage = KeyUsage(event);

  if (selectingHotkey_) {
    // The fake Shift around Print Screen stands for Print Screen itself.
    const int chosen = event.virtualKey == kVirtualKeyNone && event.makeCode == 42 ? 70 : usage;
    // A key without a usage could never start a recording: wait for another.
    if (!event.down || chosen == 0) return;
    hotkey_ = chosen;
    chosenHotkey_ = chosen;
    selectingHotkey_ = false;
    return;
  }

  switch (state_) {
    case RecorderState::kIdle:
      return;
    case RecorderState::kArmed:
      // Started by the release, so the hotkey itself is never a step.
      if (!event.down && usage == hotkey_) state_ = RecorderState::kRecording;
      return;
    case RecorderState::kRecording:
    case RecorderState::kCapture:
      break;
  }
  if (event.down && usage == hotkey_) {
    state_ = RecorderState::kIdle;
    return;
  }
  if (usage == 0 || usage > 255) return;
  const auto code = static_cast<uint8_t>(usage);

  if (state_ == RecorderState::kCapture) {
    // Only a press: the release of a key that activated the insert command
    // (Enter or Space on the focused item) is not the key meant.
    if (!event.down) return;
    Append(KeyItem(true, code));
    Append(KeyItem(false, code));
    state_ = RecorderState::kIdle;
    return;
  }

  if (event.down && keyDown_[code]) return;  // auto-repeat
  AppendWait();
  // Keys reported once per press get their press before that one report.
  if (ReportedOncePerPress(usage) && !event.down && !keyDown_[code]) Append(KeyItem(true, code));
  Append(KeyItem(event.down, code));
  keyDown_[code] = event.down;
}

void MacroRecorder::OnMouse(const RecorderMouseEvent& event) {
  if (selectingHotkey_) return;
  if (state_ != RecorderState::kRecording && state_ != RecorderState::kCapture) return;
  uint8_t pressed = event.pressed & 0x1F;
  uint8_t released = event.released & 0x1F;
  if (overRecordControls_) {
    pressed &= static_cast<uint8_t>(~kRecordLeft);
    released &= static_cast<uint8_t>(~kRecordLeft);
  }
  const int wheel = WheelCount(event.wheelDelta);

  if (state_ == RecorderState::kCapture) {
    if (wheel != 0) {
      Append(WheelItem(wheel));
    } else if (pressed != 0) {
      Append(ButtonItem(true, pressed));
      Append(ButtonItem(false, pressed));
    } else {
      return;
    }
    state_ = RecorderState::kIdle;
    return;
  }

  const int64_t now = clock_.NowMs();
  bool sampleDue = options_.cursorTrack && (!lastEventMs_ || now - *lastEventMs_ > options_.intervalMs);
  const bool buttons = pressed != 0 || released != 0;
  if (!sampleDue && !buttons && wheel == 0) return;
  AppendWait();
  if (options_.clickPositions && buttons) sampleDue = true;
  if (sampleDue) Sample(event.x, event.y);
  if (pressed != 0) Append(ButtonItem(true, pressed));
  if (released != 0) Append(ButtonItem(false, released));
  if (wheel != 0) Append(WheelItem(wheel));
}

}  // namespace quorix
