#pragma once
// The desktop program's life: start-up in order (folders, switches,
// language, single instance, fonts, the session, the windows), the tray, the
// device controller, and the way out.

#include <QObject>
#include <QTranslator>
#include <memory>
#include <string>

#include "session/start_switches.h"

namespace quorix {
class SessionWorld;
}  // namespace quorix

namespace quorix::ui {
class AppSignals;
class SkinFonts;
class MacroEdit;
class MainWindow;
class OsdWindow;
class VirtualMouseWindow;
struct UiEnv;
}  // namespace quorix::ui

namespace quorix::app {

class DeviceController;
class LocalInstanceChannel;
class Tray;
struct ShellParts;

// The per-user names of the instance marker and the quit request.
inline constexpr const char* kWaitEventName = "QUORIX Gaming Mouse SoftwareVOLT3_WAIT_EVENT";

// What a QApplication is given before a Shell starts: the names its windows
// and the desktop show, and the thread pool's idle limit.
void SetUpApplication();

// The windows a started shell shows, owned by the shell; for a front end that
// drives them (the screenshot tour). nullptr before InitInstance, and the
// virtual mouse without a simulated mouse.
struct ShellWindows {
  ui::UiEnv* env = nullptr;
  ui::MainWindow* main = nullptr;
  ui::MacroEdit* macroEdit = nullptr;
  ui::OsdWindow* osd = nullptr;
  ui::VirtualMouseWindow* virtualMouse = nullptr;
};

class Shell : public QObject {
  Q_OBJECT
 public:
  explicit Shell(StartSwitches switches, QObject* parent = nullptr);
  ~Shell() override;

  // The start-up steps. Returns -1 when the program runs on (the event loop
  // follows), else the exit status (a second start, "/close", an error).
  int InitInstance();

  // Before InitInstance: whether the virtual mouse shows beside the main
  // window at start (the default). The screenshot tour shows it for its own
  // picture only: a window hidden again before the window manager has mapped
  // it stays on screen unpainted.
  void ShowVirtualMouseAtStart(bool show) { showVirtualMouse_ = show; }

  ShellWindows Windows() const;
  // The language the windows speak (1033, 1041, 1028), once started.
  int LanguageId() const;

  // Ends the program: every window closes, the device work stops.
  void Quit();
  // The user's quit: the macro editor's unsaved edits are asked about first.
  void QuitAsked();

 private:
  // InitInstance's steps, in order. Those that can end the start-up return
  // the exit status, or -1 to go on.
  int ClaimInstance();
  void SetUpTexts();
  int OpenSession();
  void MakeRecordings();
  void MakeTray();
  void MakeMainWindow();
  void ConnectDesktopServices();
  void MakeMacroEditor();
  void MakeOsd();
  void MakeController();
  void MakeVirtualMouse();
  void ShowWindows();
  void PlaceVirtualMouse();

  void Raise();
  void OnHideToTray();

  StartSwitches switches_;
  bool showVirtualMouse_ = true;
  std::unique_ptr<ShellParts> parts_;
};

}  // namespace quorix::app
