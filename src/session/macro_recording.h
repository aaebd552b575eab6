#pragma once
// A macro recording as the windows drive it: the recorder's rules fed from
// the desktop's global input. Global input is read only while a recording is
// armed or running, a step is being captured or a hotkey is being chosen, and
// the reading stops as soon as the recorder is idle again, when the window
// says Stop (closed, device gone) or when the input source goes away. Nothing
// read or recorded here is written anywhere but to the items handed out.
//
// Threads: the window calls from its thread; input arrives on the capture's
// thread. Every member is safe from either. The changed callback runs on the
// capture's thread (or on the caller's, for calls that change the state),
// without any lock held: a window forwards it to its own thread.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "macro/macro_instruction.h"
#include "macro/macro_recorder.h"
#include "platform/clock.h"
#include "platform/input_capture.h"

namespace quorix {

// The four record options in a small ini file of their own, section
// [record]: delays, interval, track, clicks. A missing key or file gives the
// default; values read as set.ini's integers do (no digits: 0, off), and an
// interval other than 200 reads as 50.
RecordOptions LoadRecordOptions(const std::string& path);
// kCannotWriteFile, with the reason, when the file could not be written.
Outcome SaveRecordOptions(const std::string& path, const RecordOptions& options);

// What every recording of the program shares: the start/stop hotkey (kept in
// set.ini, given at start-up) and the four record options (kept in their own
// file when one is named, else in memory only). The editor and the button
// settings window each drive their own recording, yet a hotkey chosen or an
// option set in either holds for both at once.
class RecordingSettings {
 public:
  // optionsFile: where the record options are kept across restarts ("" for
  // none); they are read from it now.
  explicit RecordingSettings(int hotkey = kDefaultRecordHotkey, std::string optionsFile = {});
  // The shared hotkey and options; a start takes them as they are then.
  int Hotkey() const;
  void SetHotkey(int usage);
  RecordOptions Options() const;
  // The options hold at once; kCannotWriteFile, with the reason, when they
  // could not be kept in the options file (they then last until quit).
  Outcome SetOptions(const RecordOptions& options);

 private:
  mutable std::mutex mutex_;
  int hotkey_;
  std::string optionsFile_;
  RecordOptions options_;
};

class MacroRecording {
 public:
  // capture may be null: recording is then unavailable and every start
  // returns `unavailableReason`. shared: the settings this recording shares
  // with the program's others (outlives it); null keeps them to itself.
  MacroRecording(std::unique_ptr<InputCapture> capture, std::string unavailableReason, Clock& clock,
                 RecordingSettings* shared = nullptr);
  ~MacroRecording();
  MacroRecording(const MacroRecording&) = delete;
  MacroRecording& operator=(const MacroRecording&) = delete;

  bool Available() const { return capture_ != nullptr; }
  const std::string& UnavailableReason() const { return unavailableReason_; }

  // Arms a recording (the hotkey's release starts it, its next press stops
  // it). Clears the items. kUnavailable, with a sentence for the user, when
  // input cannot be read.
  Outcome Record();
  // Captures one key (press and release), button (press and release) or
  // wheel step. Clears the items.
  Outcome Capture();
  // The next key pressed becomes the hotkey (see TakeChosenHotkey).
  Outcome SelectHotkey();
  // Ends whatever runs and stops reading input (stop command, window closed,
  // device gone). The items stay.
  void Stop();

  RecorderState State() const;
  bool SelectingHotkey() const;
  // True while input is being read: the window shows its indicator.
  bool Reading() const;
  // True when the last reading ended because the input source went away
  // (display closed, input devices gone), not by the recorder or Stop.
  bool InputLost() const;

  // The shared hotkey and options; a start takes them as they are then.
  int Hotkey() const;
  // The hotkey's key name as the editor's tip and prompt show it.
  std::string HotkeyName() const;
  void SetHotkey(int usage);
  RecordOptions Options() const;
  // As RecordingSettings::SetOptions.
  Outcome SetOptions(const RecordOptions& options);
  void SetPointerOverRecordControls(bool over);

  // Every instruction made since the last Record or Capture.
  std::vector<MacroItem> Items() const;
  // The instructions made since the last call (the editor appends them while
  // recording, and inserts a capture's at its current position).
  std::vector<MacroItem> TakeNewItems();
  // The hotkey a selection chose, once (the window stores it in the options;
  // the shared settings hold it already).
  std::optional<int> TakeChosenHotkey();

  // Called after every change of state or items. Once this returns, the
  // previous callback is not running and will not run again, so a window
  // clears it before it goes. The callback only hands the news on (queues it
  // for the window's thread): it must not start or stop anything itself.
  void SetChangedCallback(std::function<void()> changed);

 private:
  Outcome StartReading();
  void TakeSharedSettings();  // into the recorder (lock held)
  void OnInput(const InputEvent& event);
  void Collect();  // moves the recorder's output into the item lists (lock held)
  void Notify();

  std::unique_ptr<InputCapture> capture_;
  const std::string unavailableReason_;
  RecordingSettings ownSettings_;
  RecordingSettings* settings_;
  mutable std::mutex mutex_;
  MacroRecorder recorder_;
  bool reading_ = false;
  bool inputLost_ = false;
  int pointerX_ = 0;  // for sources that report motion only
  int pointerY_ = 0;
  std::vector<MacroItem> items_;
  std::vector<MacroItem> newItems_;
  std::optional<int> chosenHotkey_;
  std::recursive_mutex callbackMutex_;  // held while the callback runs; it may set another
  std::function<void()> changed_;
};

}  // namespace quorix
