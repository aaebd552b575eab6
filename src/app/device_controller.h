#pragma once
// The main window's background work: the session's device event pump runs on
// its own thread and hands every event to the GUI thread, where arrivals,
// removals, rescans and the mouse's own reports are acted on. Loads run on
// the session's executor with their progress shown in the main window.
//
// The pump waits on the host without a period: the host's wait is woken by
// its own events and by Interrupt(), so an idle program does not wake.

#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "session/device_event_pump.h"
#include "ui/windows/main_window.h"

namespace quorix {
class DesktopRequests;
class Session;
class InputInjector;
}  // namespace quorix

namespace quorix::ui {
class AppSignals;
class OsdWindow;
}  // namespace quorix::ui

namespace quorix::app {

class DeviceController : public QObject {
  Q_OBJECT
 public:
  DeviceController(Session& session, ui::AppSignals& appSignals, QObject* parent = nullptr);
  ~DeviceController() override;

  // The main window and the on-screen display the mouse's reports go to
  // (nullptr: none). Once both are set the display stays hidden while the
  // window's button settings are open.
  void SetMainWindow(ui::MainWindow* window);
  void SetOsd(ui::OsdWindow* osd);
  // The mouse's horizontal wheel steps are scrolled with this (nullptr:
  // dropped); it outlives the controller.
  void SetInputInjector(InputInjector* injector);

  // Starts the pump thread; its first rescan follows at once.
  void Start();
  // Stops it (also done by the destructor).
  void Stop();
  // Loads the current device again (after a reset or restore).
  void Reload();

  // GUI thread: what the pump delivered.
  void OnEvent(const DeviceEvent& event);

 signals:
  // The mouse's "launch setting" button asked for the main window.
  void openRequested();
  // A load finished (whatever its outcome): the in-process reload signal.
  void reloaded();
  // The current device went away; the window shows none.
  void deviceCleared();

 private:
  void PumpThread(std::stop_token stop);
  void StartLoad(bool rescan);
  void LoadFinished(const Outcome& outcome, const std::string& path);
  void SetPumpDevice(const std::string& path);
  void HoldOsdWhileEditing();

  Session& session_;
  ui::AppSignals& appSignals_;
  ui::MainWindow* window_ = nullptr;
  ui::OsdWindow* osd_ = nullptr;
  std::unique_ptr<DesktopRequests> desktop_;  // null without an injector
  std::atomic<bool> loadRunning_{false};
  // GUI thread: one load at a time. What was asked for meanwhile runs after
  // it: a reload always (the device changed under the running load), a
  // rescan only when the running load found no mouse.
  bool reloadQueued_ = false;
  bool rescanQueued_ = false;
  std::string loadedDevice_;  // the device the last load found, until it goes
  std::mutex pendingMutex_;
  std::optional<std::string> pendingDevice_;  // guarded by pendingMutex_: for the pump thread
  std::jthread pump_;
};

}  // namespace quorix::app
