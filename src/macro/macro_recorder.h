#pragma once
// The macro recorder's rules: platform-neutral keyboard and mouse events in,
// macro instructions out. It keeps no window and reads no input itself; the
// session's MacroRecording feeds it from an InputCapture and hands what it
// makes to the editor. Time comes from the injected clock, so tests run it on
// virtual time.
//
// States: idle; armed (recording was asked for and waits for the hotkey to be
// released, so the hotkey press that armed it is not recorded); recording;
// capture (one key, button press or wheel step for the editor's insert
// command). Hotkey selection is a separate flag: the next key becomes the
// start/stop hotkey.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "macro/macro_instruction.h"
#include "platform/clock.h"

namespace quorix {

enum class RecorderState { kIdle, kArmed, kRecording, kCapture };

// The recording options (the editor's and the button window's record options).
struct RecordOptions {
  bool recordDelays = true;    // a wait between events
  int intervalMs = 50;         // least time between two cursor samples (50 or 200)
  bool cursorTrack = false;    // cursor movements while the mouse moves
  bool clickPositions = false; // the cursor position with every press and release
};

// Mouse-button bits, as the press and release instructions carry them.
inline constexpr uint8_t kRecordLeft = 0x01;
inline constexpr uint8_t kRecordRight = 0x02;
inline constexpr uint8_t kRecordMiddle = 0x04;
inline constexpr uint8_t kRecordBack = 0x08;
inline constexpr uint8_t kRecordForward = 0x10;

// One key going down or up. virtualKey is the platform's virtual key where it
// has one (0 where it has none): the Japanese corrections and the spurious
// keys of the Pause and Print Screen sequences are told apart by it there.
struct RecorderKeyEvent {
  bool down = false;
  int makeCode = 0;      // set-1 make code
  bool prefixed = false; // E0 (or E1) prefix
  int virtualKey = 0;
};

// One mouse event: the buttons that went down and up in it, the wheel turn
// (120 per notch, positive forward) and the cursor's screen position then.
struct RecorderMouseEvent {
  uint8_t pressed = 0;
  uint8_t released = 0;
  int wheelDelta = 0;
  int x = 0;
  int y = 0;
};

// The default start/stop hotkey: F11.
inline constexpr int kDefaultRecordHotkey = 68;

class MacroRecorder {
 public:
  explicit MacroRecorder(Clock& clock) : clock_(clock) {}

  RecorderState State() const { return state_; }
  bool SelectingHotkey() const { return selectingHotkey_; }
  int Hotkey() const { return hotkey_; }
  void SetHotkey(int usage) { hotkey_ = usage; }
  const RecordOptions& Options() const { return options_; }
  void SetOptions(const RecordOptions& options) { options_ = options; }
  // While the pointer is over the window's own record controls, left-button
  // events are not recorded (the click that stops a recording is not a step).
  void SetPointerOverRecordControls(bool over) { overRecordControls_ = over; }

  // Arms a recording: the hotkey's release starts it. Forgets the previous
  // cursor position, the held keys and the last event time.
  void Arm();
  // Captures the next key, button press or wheel step.
  void BeginCapture();
  // The next key pressed becomes the hotkey.
  void BeginHotkeySelection();
  // Back to idle; ends a hotkey selection as well.
  void Stop();

  // Feeds one event. The instructions it makes are added to the output (see
  // TakeItems); each carries the clock's tick as its creation time.
  void OnKey(const RecorderKeyEvent& event);
  void OnMouse(const RecorderMouseEvent& event);

  // The instructions made since the last call, in order. A capture's pair
  // (or wheel step) is among them once the capture has ended.
  std::vector<MacroItem> TakeItems();
  // The hotkey chosen by a hotkey selection since the last call.
  std::optional<int> TakeChosenHotkey();

  // The waits for a pause of ms milliseconds: nothing for 0 or less; a pause
  // above 65535 ms becomes several waits that add up to it.
  static std::vector<MacroItem> WaitItems(int64_t ms);
  // The HID usage of a key event (0 for none), Japanese corrections applied.
  static int KeyUsage(const RecorderKeyEvent& event);

 private:
  void Append(MacroItem item);
  void AppendWait();
  void Sample(int x, int y);

  Clock& clock_;
  RecorderState state_ = RecorderState::kIdle;
  bool selectingHotkey_ = false;
  int hotkey_ = kDefaultRecordHotkey;
  RecordOptions options_;
  bool overRecordControls_ = false;
  std::optional<int64_t> lastEventMs_;  // none before the first recorded event
  bool hasPosition_ = false;
  int lastX_ = 0;
  int lastY_ = 0;
  std::array<bool, 256> keyDown_{};
  std::vector<MacroItem> out_;
  std::optional<int> chosenHotkey_;
};

}  // namespace quorix
