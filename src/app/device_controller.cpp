#include "app/device_controller.h"

#include <QPointer>
#include <climits>
#include <memory>
#include <utility>

#include "session/desktop_requests.h"
#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/gui_thread.h"
#include "ui/windows/osd_window.h"

namespace quorix::app {
namespace {

// The wait for a host event when no timer of the pump is due: as long as it
// takes (the host's wait ends on its own events and on Interrupt()).
constexpr int kWaitUntilWoken = INT_MAX;

}  // namespace

DeviceController::DeviceController(Session& session, ui::AppSignals& appSignals, QObject* parent)
    : QObject(parent), session_(session), appSignals_(appSignals) {}

DeviceController::~DeviceController() { Stop(); }

void DeviceController::SetInputInjector(InputInjector* injector) {
  desktop_ = injector != nullptr ? std::make_unique<DesktopRequests>(*injector, session_.GetClock()) : nullptr;
}

void DeviceController::Start() {
  if (pump_.joinable()) return;
  pump_ = std::jthread([this](std::stop_token stop) { PumpThread(stop); });
}

void DeviceController::Stop() {
  if (!pump_.joinable()) return;
  pump_.request_stop();
  pump_.join();
}

void DeviceController::PumpThread(std::stop_token stop) {
  DeviceLink& link = session_.Link();
  DeviceEventPump pump(
      link, session_.GetClock(),
      [this](const DeviceEvent& event) {
        // The controller lives until the pump thread has been joined, but
        // the queued call may run after that: PostToGui drops it then.
        ui::PostToGui(this, [this, event] { OnEvent(event); });
      },
      [this] { return loadRunning_.load(); });
  std::stop_callback wake(stop, [&link] { link.Host().Interrupt(); });
  pump.Start();
  while (!stop.stop_requested()) {
    {
      std::lock_guard<std::mutex> lock(pendingMutex_);
      if (pendingDevice_) pump.SetCurrentDevice(*std::exchange(pendingDevice_, std::nullopt));
    }
    pump.RunOnce(kWaitUntilWoken);
  }
}

void DeviceController::SetPumpDevice(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    pendingDevice_ = path;
  }
  // The pump takes it before its next wait.
  session_.Link().Host().Interrupt();
}

void DeviceController::Reload() { StartLoad(false); }

void DeviceController::StartLoad(bool rescan) {
  if (loadRunning_) {
    // A second load would run its device search under the first one's
    // result: the first load's end would then read the second one's empty
    // selection and show no mouse while the second runs.
    (rescan ? rescanQueued_ : reloadQueued_) = true;
    return;
  }
  loadRunning_ = true;
  if (window_ != nullptr) window_->SetBusy(0.0);
  if (rescan) {
    session_.SelectDevice("");
    session_.ResolveDevice();
  }
  Session& session = session_;
  session_
      .Load(ui::OnGuiThread(this,
                            [this](double fraction) {
                              if (window_ != nullptr) window_->SetBusy(fraction);
                            }))
      .Then([this, target = QPointer<QObject>(this), &session](const Outcome& outcome) {
        // On the worker, right after the load: the device it found is taken
        // before any later job changes it.
        ui::PostToGui(target, [this, outcome, path = session.CurrentDevicePath()] { LoadFinished(outcome, path); });
      });
}

void DeviceController::SetMainWindow(ui::MainWindow* window) {
  window_ = window;
  HoldOsdWhileEditing();
}

void DeviceController::SetOsd(ui::OsdWindow* osd) {
  osd_ = osd;
  HoldOsdWhileEditing();
}

void DeviceController::HoldOsdWhileEditing() {
  // The panel sits over the screen's corner, where it would cover the button
  // settings window's choices while the user picks one.
  if (window_ != nullptr && osd_ != nullptr)
    connect(window_, &ui::MainWindow::buttonSettingsOpen, osd_, &ui::OsdWindow::SetHeld, Qt::UniqueConnection);
}

void DeviceController::LoadFinished(const Outcome& outcome, const std::string& path) {
  loadRunning_ = false;
  const bool found = outcome && !path.empty();
  loadedDevice_ = found ? path : std::string();
  if (window_ != nullptr) window_->SetBusy(std::nullopt);
  SetPumpDevice(loadedDevice_);
  if (found) {
    if (window_ != nullptr) window_->ShowLoaded();
    if (osd_ != nullptr) {
      const auto image = session_.State().image.Snapshot();
      osd_->SetScale(image->featureLimit, image->DpiStep());
    }
  } else if (window_ != nullptr) {
    window_->ClearDevice();
  }
  emit reloaded();
  const bool reload = std::exchange(reloadQueued_, false);
  const bool rescan = std::exchange(rescanQueued_, false) && !found;
  if (reload || rescan) StartLoad(rescan);
}

void DeviceController::OnEvent(const DeviceEvent& event) {
  const bool writing = session_.State().busyWriting.load();
  switch (event.kind) {
    case DeviceEventKind::kRescanDue:
      // A rescan armed by an arrival before the last load found the mouse
      // would only load the same mouse again.
      if (loadedDevice_.empty()) StartLoad(true);
      break;
    case DeviceEventKind::kArrival:
      if (event.currentDevice) {
        // Another interface of ours arrived while a mouse is in use: it is
        // only identified, the current mouse stays.
        session_.IdentifyArrival(event.path);
      }
      break;
    case DeviceEventKind::kRemoval:
      if (event.currentDevice) {
        loadedDevice_.clear();
        emit appSignals_.deviceGone();
        if (window_ != nullptr) window_->ClearDevice();
        emit deviceCleared();
      }
      break;
    case DeviceEventKind::kIspArrival:
      break;  // the rescan the pump schedules picks the mouse up
    case DeviceEventKind::kStateReport:
      if (writing) break;
      if (osd_ != nullptr) osd_->OnStateReport(event.report.raw);
      if (window_ != nullptr) window_->ApplyStateReport(event.report);
      break;
    case DeviceEventKind::kDisplayReport:
      if (!writing && osd_ != nullptr) osd_->OnStateReport(event.report.raw);
      break;
    case DeviceEventKind::kOpenRequest:
      if (DesktopRequests::AsksForMainWindow(event)) emit openRequested();
      break;
    case DeviceEventKind::kWheelSteps:
      if (desktop_) desktop_->Scroll(event);
      break;
  }
}

}  // namespace quorix::app
