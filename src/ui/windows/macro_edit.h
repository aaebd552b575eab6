#pragma once
// The macro editor: the instruction list being edited with its commands on
// the left, the macro list (the mouse's slots and the library) on the right.
// Created hidden at start-up and shown from the main window's "Macro edit".
// What it does lives in MacroEditModel (the edits, the list rows, the files
// it writes, the device stores and read-backs); this class paints and
// forwards, asks with the dialogs, says what failed and drives the desktop's
// MacroRecording. Input is read only while a recording, capture or hotkey
// choice runs, with the indicator shown; closing the window or losing the
// device stops it.

#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "session/macro_recording.h"
#include "session/models/macro_edit_model.h"
#include "session/models/macro_list_model.h"
#include "ui/skin/skin_window.h"
#include "ui/ui_env.h"

namespace quorix {
class MacroRecording;
}

namespace quorix::ui {

class MacroEdit : public SkinWindow {
  Q_OBJECT

 public:
  static constexpr int kWidth = 1000;
  static constexpr int kHeight = 640;

  // recording: the desktop's global-input recording, owned by the shell;
  // null when the program has none (recording is then unavailable).
  MacroEdit(UiEnv& env, MacroRecording* recording, QWidget* parent = nullptr);
  ~MacroEdit() override;

  // Shows the window with the free memory, size and lists brought up to date.
  void ShowEditor();
  // Rebuilds the macro list from the library and the device.
  void Rebuild();

  MacroEditModel& Model() { return model_; }
  const std::vector<MacroListItem>& ListRows() const { return rows_; }
  int FreeMemory() const { return freeMemory_; }
  // The status line's text while it shows ("" once faded out).
  QString StatusText() const { return fade_.Visible() ? status_ : QString(); }
  bool RecordingIndicatorShown() const;
  // What the indicator says: armed ("Ready to record") differs from a
  // running recording ("Recording..."); "" while it is not shown.
  QString IndicatorText() const;
  bool Busy() const { return busy_.has_value(); }

  // The commands, as their buttons run them (tests, screenshots).
  void Record();
  void InsertCapture();
  void StopRecording();
  // Loads the macro of macro-list row `row` (a device slot is read back on
  // the executor; a library file is read at once).
  void LoadRow(int row);
  // Drops the editor's macro on macro-list row `row`.
  void DropOnRow(int row);
  // The Save command. `saved` runs once the macro is kept where Save puts it
  // (at once for a file, when the mouse confirms a store); never when the
  // save was cancelled or failed.
  void Save(std::function<void()> saved = {});
  // Before the macro being edited is replaced or put away (another row, a
  // file, closing the editor, quitting): with unsaved edits, asks "Save
  // changes in macro '%s' ?". Yes saves and then goes on; No drops the edits
  // and goes on; Cancel, Escape or closing the question stays with the edits
  // as they are. Without unsaved edits it goes on at once.
  void LeaveEdits(std::function<void()> proceed);
  // "Close", Escape and the window's close button: hides after LeaveEdits.
  void CloseEditor();

  // Runs the timers that are due and arms the next one.
  void RunDueTimers();
  bool TimerArmed() const { return timer_.isActive(); }

  // The text entries and file choosers, replaceable for tests. Each returns
  // nothing when cancelled. Questions are always the real question box.
  struct Dialogs {
    std::function<std::optional<QString>(const QString& title, const QString& text, int maxLength)> name;
    std::function<std::optional<int>(const QString& title, int value, int limit)> number;
    std::function<std::optional<MovePosition>(const QString& title, const MovePosition& start)> position;
    // folders: (name, depth, id); the chosen id
    std::function<std::optional<int>(const QString& title, const std::vector<MacroListItem>& folders)> folder;
    std::function<QString(bool save, const QString& proposed)> file;  // "" when cancelled
  };
  Dialogs& GetDialogs() { return dialogs_; }

 signals:
  // A device store or delete finished: the main and button windows repaint.
  void macrosChanged();

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddButton(int code, QRectF rect, const QString& label);
  void AddCheck(int code, QRectF rect, const QString& label);
  void SyncItems();
  void Say(const QString& text, int durationMs = 3000);
  void ArmTimer();
  void OnRecordingChanged();
  void SetBusy(std::optional<double> fraction);
  void StoreToSlot(int slot, const QString& name, std::function<void()> stored = {});
  void RefreshFreeMemory();
  void SaveToLibrary(std::function<void()> saved = {});
  // Writes the editor's macro to `path` (it then comes from there); a failure
  // is reported with the file and the system's reason and the edits stay.
  // True when written.
  bool WriteFile(const std::string& path);
  void ReportWriteFailure(const std::string& file, const std::string& reason);
  // Reads a macro file and, once LeaveEdits lets it, loads it; `loaded`
  // follows the load.
  void OpenMacroFile(const std::string& path, std::function<void()> loaded = {});
  void ReadBackSlot(int slot);
  void NewFolder();
  void SaveFile();
  void LoadFile();
  void DeleteListRow();
  void SelectHotkey();
  int InstructionRowAt(QPointF point) const;
  int ListRowAt(QPointF point) const;
  // -1 / +1 when the point is on the - / + control of a wait row.
  int HoldControlAt(QPointF point, int row) const;

  UiEnv& env_;
  MacroRecording* recording_;
  MacroEditModel model_;
  MacroTexts macroTexts_;
  Dialogs dialogs_;
  std::vector<MacroListItem> rows_;
  int selectedRow_ = -1;
  int freeMemory_ = 0;
  SmoothScroll instructionScroll_;
  SmoothScroll listScroll_;
  WheelSteps instructionWheel_;
  WheelSteps listWheel_;
  bool captureRunning_ = false;
  // The recorder's state the status line last spoke for: a stop is said
  // only for a recording, not for a capture or a hotkey choice.
  RecorderState shownState_ = RecorderState::kIdle;
  std::optional<double> busy_;
  QString status_;
  StatusFade fade_;
  std::optional<int> dragFrom_;  // instruction row pressed, for a drag
  bool dragMoved_ = false;
  QTimer timer_;
};

}  // namespace quorix::ui
