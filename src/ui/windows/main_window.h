#pragma once
// The main window: pages, profile selector, levels and sliders, the other
// settings and the mouse picture. It routes input to MainWindowModel (where
// the behaviour lives) and paints through MainWindowPainter; device work goes
// to the session's executor and comes back on the GUI thread.

#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "session/models/autostart_switch.h"
#include "session/models/button_settings_model.h"
#include "session/models/main_window_model.h"
#include "session/models/picture_lighting.h"
#include "ui/skin/skin_window.h"
#include "ui/ui_env.h"
#include "ui/windows/main_window_painter.h"
#include "ui/windows/option_dlg.h"

namespace quorix {
class AppSwitcher;
class ForegroundSource;
class InputInjector;
class MacroRecording;
}  // namespace quorix

namespace quorix::ui {

class CButtonSetDlg;
class ColorDlg;
class LiftDialogs;
class MacroList;

class MainWindow : public SkinWindow {
  Q_OBJECT

 public:
  explicit MainWindow(UiEnv& env, QWidget* parent = nullptr);
  ~MainWindow() override;  // no longer hears the foreground source

  // Progress shown and input blocked; nullopt: done.
  void SetBusy(std::optional<double> fraction);
  // A load finished: show the session's published image and device info.
  void ShowLoaded();
  // The current device went: the window shows no device.
  void ClearDevice();
  // A checked state report of the current device.
  void ApplyStateReport(const VendorReport& report);
  // 0 "Button settings", 1 "DPI settings", 2 "Other".
  void SetPage(int page);
  // Opens where the user left the window, on that page, kept inside `area`
  // (the screen's available geometry) so that a screen gone or made smaller
  // since does not leave it out of reach. Nothing when no place was kept.
  void RestorePlace(const QRect& area);
  // Keeps the window's place and page in set.ini (when the program ends).
  void KeepPlace();

  // Runs the model's timers that are due and arms the next one; the window's
  // own single-shot timer calls it (tests on virtual time call it directly).
  void RunDueTimers();
  bool TimerArmed() const { return timer_.isActive(); }
  const MainWindowModel& Model() const { return model_; }
  // The lighting shown on the mouse picture.
  const PictureLighting& Lighting() const { return lighting_; }
  QString StatusText() const { return status_; }
  bool IsBusy() const { return busy_.has_value(); }

  // The on-screen keyboard of the button settings window (keyboard.ini, read
  // at start-up) and the recording it may use (null: none). The recording is
  // the button window's alone: it takes the recording's changed callback.
  void SetKeyboardLayout(KeyboardLayout layout) { keyboard_ = std::move(layout); }
  void SetRecording(MacroRecording* recording) { recording_ = recording; }
  // Opens the button settings window for button `button` of the active
  // profile, unless it is the primary-click holder; OK writes the result.
  void OpenButtonSettings(int button);
  // The open button settings window, or null.
  CButtonSetDlg* ButtonDialog() const;
  // Opens the function list beside the window (or raises it), from which
  // functions are dragged onto the buttons; the status line says how.
  void OpenFunctionList();
  // The open function list, or null.
  MacroList* FunctionList() const;
  // A row of the function list dropped on button `button` of the mouse
  // picture. False when it assigns nothing (or the button takes no drops).
  bool DropRow(int button, const MacroListItem& row);
  // The button whose spot or row lies at `point`, or -1.
  int ButtonAt(QPointF point) const;

  // The lift adjustment's dialogs (the lift-adjust entry opens them).
  LiftDialogs& Lift() { return *lift_; }
  // Where the manual lift test's pointer nudge goes (nullptr: none here).
  void SetInputInjector(InputInjector* injector);

  // ---- per-application profiles ----
  // The program chooser of an application field (tests replace the file
  // dialog): a path, or nothing when cancelled.
  using ChooseFileFn = std::function<std::optional<std::string>()>;
  void SetChooseFile(ChooseFileFn choose) { chooseFile_ = std::move(choose); }
  // The backup and restore file dialogs (tests replace them): whether it
  // saves and the folder it starts in; a path, or "" when cancelled.
  using ChooseBackupFn = std::function<QString(bool save, const QString& startFolder)>;
  void SetChooseBackupFile(ChooseBackupFn choose) { chooseBackup_ = std::move(choose); }
  // The foreground windows the bindings are checked against; nullptr with
  // the reason when none can be seen here (the application field says it).
  // The source outlives the window (or is replaced here first). One that
  // tells of every change is heard instead of polled every 250 ms.
  void SetForegroundSource(ForegroundSource* source, const std::string& reason = {});
  // One foreground check, as the 250 ms timer runs it while something is bound.
  void CheckForeground();
  bool ForegroundTimerRunning() const { return foregroundTimer_.isActive(); }
  const Options& CurrentOptions() const { return options_; }

  // The "Other" page's switch for starting with the desktop session (one
  // without an entry path: no switch).
  void SetAutostart(AutostartSwitch autostart);
  // False where the desktop's pointer cannot be reached (not an X11
  // session): the acceleration switch then says it has no effect.
  void SetPointerControl(bool available) { pointerControl_ = available; }

 signals:
  void osdRequested(const VendorReport& report);  // a level chosen in the window shows the OSD
  void reloadRequested();                         // reset/restore finished: the shell loads again if needed
  void hideToTrayRequested();
  void quitRequested();
  // "Macro edit": the shell shows the macro editor.
  void macroEditRequested();
  // The button settings window opened (true) or closed: the on-screen
  // display stays hidden meanwhile.
  void buttonSettingsOpen(bool open);
  // The acceleration switch changed set.ini; the shell applies it to the desktop.
  void accelerationOptionChanged(bool disableAcceleration);

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  void OnItemArrow(int index, int step) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Writes a button's new function through the executor (a macro first when
  // one comes along, with progress) and shows what the mouse took.
  void WriteButton(int button, ButtonSettingsResult result);
  bool ButtonTakesFunctions(int button) const;
  void AddItem(MainRole role, int index, QRectF rect, int page, bool needsDevice, QString label = {});
  // Brings hidden, disabled and selected flags and labels up to date.
  void SyncItems();
  void ArmTimer();
  // Lights the mouse picture from the image, and animates it only while the
  // picture can be seen.
  void SyncLighting();
  // The lighting window changed the effect or zones: the image keeps them.
  void KeepLighting(const ColorDlg& lighting);
  void Say(const QString& status);
  void SaveOption(const std::function<void(Options&)>& change);
  QString ChooseBackupFile(bool save);
  void Backup();
  void Restore();
  void Reset();
  void AfterRewrite(const Outcome& outcome);
  ProgressFn GuiProgress();
  void BindApp(int profile);
  // Runs the foreground timer only while a binding is switched on.
  void UpdateForegroundTimer();

  UiEnv& env_;
  MainWindowModel model_;
  MainWindowPainter painter_;
  SeededRandom random_;
  PictureLighting lighting_;
  int buttonLayout_ = 0;  // of the mouse shown: which zones have lights
  ButtonTextFn buttonText_;
  std::vector<QString> buttonTexts_;
  std::vector<QRectF> itemRect_;  // per item: where it lies when nothing closes up
  std::vector<int> itemPage_;     // per item: its page, or -1 for all
  std::vector<bool> itemNeedsDevice_;
  Options options_;
  std::optional<double> busy_;
  QString status_;
  QTimer timer_;
  KeyboardLayout keyboard_;
  MacroRecording* recording_ = nullptr;
  QPointer<CButtonSetDlg> buttonDlg_;
  QPointer<MacroList> functionList_;
  LiftDialogs* lift_;
  ChooseFileFn chooseFile_;
  ChooseBackupFn chooseBackup_;
  std::unique_ptr<AppSwitcher> switcher_;
  // The source in use; when it tells of every change (foregroundEvents_) its
  // thread posts CheckForeground here and the timer stays off.
  ForegroundSource* foregroundSource_ = nullptr;
  bool foregroundEvents_ = false;
  std::string foregroundReason_;
  QTimer foregroundTimer_;
  AutostartSwitch autostart_;
  bool pointerControl_ = true;
};

}  // namespace quorix::ui
