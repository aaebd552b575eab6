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
class HorizontalScroller;
class InputInjector;
}  // namespace quorix

namespace quorix::ui {
class AppSignals;
class SkinFonts;
class OsdWindow;
class VirtualMouseWindow;
struct UiEnv;
}  // namespace quorix::ui

namespace quorix::app {

class DeviceController;
class LocalInstanceChannel;
class Tray;
class ScreenshotTour;
struct ShellParts;

// The per-user names of the instance marker and the quit request.
inline constexpr const char* kWaitEventName = "QUORIX Gaming Mouse SoftwareVOLT3_WAIT_EVENT";

class Shell : public QObject {
  Q_OBJECT
 public:
  explicit Shell(StartSwitches switches, QObject* parent = nullptr);
  ~Shell() override;

  // The start-up steps. Returns -1 when the program runs on (the event loop
  // follows), else the exit status (a second start, "/close", an error).
  int InitInstance();

  // Ends the program: every window closes, the device work stops.
  void Quit();
  // The user's quit: the macro editor's unsaved edits are asked about first.
  void QuitAsked();

 private:
  void Raise();
  void OnHideToTray();

  StartSwitches switches_;
  std::unique_ptr<ShellParts> parts_;
};

}  // namespace quorix::app
