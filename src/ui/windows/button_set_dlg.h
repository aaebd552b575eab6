#pragma once
// The button settings window: the user picks a new function for one button of
// the active profile, from the offered functions, the on-screen keyboard, a
// macro of the mouse or a macro file, or a macro recorded on the spot. It
// paints through ButtonSetPainter; what a click does is ButtonSettingsModel's.
// The window writes nothing: OK hands the result to whoever opened it, which
// writes it through the session's executor (ButtonSettingsWrite).
//
// It ends with OK or Cancel; the close button, Escape, the device going, the
// mouse switching its profile and the program closing all end it as Cancel.

#include <QEventLoop>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "session/models/button_settings_model.h"
#include "ui/skin/skin_window.h"
#include "ui/ui_env.h"
#include "ui/windows/button_set_painter.h"

namespace quorix {
class MacroRecording;
}

namespace quorix::ui {

class CButtonSetDlg : public SkinWindow {
  Q_OBJECT

 public:
  // For button `button` of profile `profile` of the session's loaded image.
  // `keyboard` is the layout read at start-up; `recording` (may be null: the
  // window then says why it cannot record) must not be another window's: the
  // window takes its changed callback while it is open.
  CButtonSetDlg(UiEnv& env, const KeyboardLayout& keyboard, int profile, int button, QWidget* parent = nullptr,
                MacroRecording* recording = nullptr);
  ~CButtonSetDlg() override;

  // Shows the window, modal over the application, without waiting:
  // finished() follows.
  void Open();
  // Shows it and waits; the result when the window ended with OK.
  std::optional<ButtonSettingsResult> Run();
  // -1 while open, 0 cancelled, 1 OK.
  int Result() const { return result_; }
  // What OK handed back (set once the window ended with OK).
  const std::optional<ButtonSettingsResult>& Accepted() const { return accepted_; }

  void Ok();
  void Cancel();

  const ButtonSettingsModel& Model() const { return *model_; }
  int Profile() const { return profile_; }
  int Button() const { return button_; }
  // The item standing for role/index, or -1 (tests and screen readers).
  int ItemIndex(ButtonSetRole role, int index = 0) const;
  QString StatusText() const { return status_; }

  // Where the window asks the desktop; tests replace them.
  // The .mf file to import, "" when none was picked.
  using OpenFileFn = std::function<QString()>;
  void SetOpenFile(OpenFileFn open) { openFile_ = std::move(open); }
  // A message in the program's message box ("Lack of space !!").
  using MessageFn = std::function<void(const QString& message)>;
  void SetMessage(MessageFn message) { message_ = std::move(message); }
  // The row picked in the macro list, none when the list was cancelled.
  using PickMacroFn = std::function<std::optional<MacroListItem>()>;
  void SetPickMacro(PickMacroFn pick) { pickMacro_ = std::move(pick); }

  // A row of the macro list: a macro of the mouse or a macro file.
  void TakeMacroRow(const MacroListItem& row);
  // A macro file picked by the user, read and imported within the free space.
  void ImportMacroFile(const QString& path);

 signals:
  void finished(int result);

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddItem(ButtonSetRole role, int index, QRectF rect, QString label, int kind = 0);
  void Sync();
  void Finish(int result);
  void ToggleRecording();
  void RecordingChanged();
  QString MacroLine() const;

  UiEnv& env_;
  int profile_;
  int button_;
  KeyTexts keyTexts_;
  std::unique_ptr<ButtonSettingsModel> model_;
  ButtonSetPainter painter_;
  MacroRecording* recording_;
  bool recordingHere_ = false;
  QString title_;
  QString status_;
  int result_ = -1;
  std::optional<ButtonSettingsResult> accepted_;
  QEventLoop loop_;
  OpenFileFn openFile_;
  MessageFn message_;
  PickMacroFn pickMacro_;
};

}  // namespace quorix::ui
