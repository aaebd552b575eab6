#include "session/device_event_pump.h"

#include <algorithm>

#include "device/discovery.h"

namespace quorix {
namespace {

// The two vendor collections the mouse sends its own reports on.
const std::vector<std::pair<uint16_t, uint16_t>> kVendorCollections = {{0xFF23, 1}, {0xFF18, 1}};

}  // namespace

DeviceEventPump::DeviceEventPump(DeviceLink& link, Clock& clock, Deliver deliver, std::function<bool()> loadRunning)
    : link_(link), clock_(clock), deliver_(std::move(deliver)), loadRunning_(std::move(loadRunning)), isp_(clock) {}

void DeviceEventPump::Start() {
  link_.Host().StartEvents(kVendorCollections);
  RestartRescan(kRescanAfterArrivalMs, clock_.NowMs() + kFirstRescanMs);
}

void DeviceEventPump::SetCurrentDevice(const std::string& path) { current_ = ToLowerPath(path); }

void DeviceEventPump::RestartRescan(int64_t periodMs, int64_t dueMs) { rescan_ = Timer{dueMs, periodMs}; }

std::optional<int64_t> DeviceEventPump::NextDueMs() const {
  std::optional<int64_t> next = isp_.NextDueMs();
  auto consider = [&next](int64_t due) { next = next ? std::min(*next, due) : due; };
  if (rescan_) consider(rescan_->dueMs);
  for (const auto& arrival : settling_) consider(arrival.first);
  return next;
}

void DeviceEventPump::Emit(DeviceEvent event) {
  event.atMs = clock_.NowMs();
  if (deliver_) deliver_(event);
}

void DeviceEventPump::RunDueTimers() {
  const int64_t now = clock_.NowMs();
  // Arrivals in the order they came; each one settled decides on its own
  // whether a rescan is needed, as the arrival workers would.
  std::vector<std::string> settled;
  std::erase_if(settling_, [&](const auto& arrival) {
    if (arrival.first > now) return false;
    settled.push_back(arrival.second);
    return true;
  });
  for (const std::string& path : settled) {
    DeviceEvent event{DeviceEventKind::kArrival, path};
    event.currentDevice = !current_.empty();
    if (current_.empty()) RestartRescan(kRescanAfterArrivalMs, clock_.NowMs() + kRescanAfterArrivalMs);
    Emit(std::move(event));
  }
  if (isp_.Poll()) {
    // The settle timer has already waited out the 100 ms the rescan timer
    // is restarted with: it is due now.
    RestartRescan(kIspRescanDelayMs, now);
  }
  if (rescan_ && rescan_->dueMs <= now) {
    if (loadRunning_ && loadRunning_()) {
      // The timer keeps running; it tries again a period later.
      rescan_->dueMs = now + rescan_->periodMs;
    } else {
      rescan_.reset();
      Emit({DeviceEventKind::kRescanDue});
    }
  }
}

void DeviceEventPump::OnHostEvent(const HidEvent& hid) {
  const std::string path = ToLowerPath(hid.path);
  switch (hid.kind) {
    case HidEventKind::kArrival:
      if (IsConfigInterface(link_, path)) {
        settling_.emplace_back(clock_.NowMs() + kArrivalSettleMs, path);
      } else if (isp_.OnInterfaceArrival(path, !current_.empty())) {
        Emit({DeviceEventKind::kIspArrival, path});
      }
      return;
    case HidEventKind::kRemoval: {
      RemoveDevice(link_, path);
      DeviceEvent event{DeviceEventKind::kRemoval, path};
      if (!current_.empty() && path == current_) {
        event.currentDevice = true;
        current_.clear();
        RestartRescan(kRescanAfterRemovalMs, clock_.NowMs() + kRescanAfterRemovalMs);
      }
      Emit(std::move(event));
      return;
    }
    case HidEventKind::kInputReport: {
      VendorReport report = ParseVendorReport(hid.report, IsProductPath(link_, path));
      DeviceEventKind kind;
      switch (report.kind) {
        case VendorReportKind::kIgnored:
          return;
        case VendorReportKind::kHorizontalWheel:
          kind = DeviceEventKind::kWheelSteps;
          break;
        case VendorReportKind::kOpenRequest:
          kind = DeviceEventKind::kOpenRequest;
          break;
        case VendorReportKind::kDisplayOnly:
          kind = DeviceEventKind::kDisplayReport;
          break;
        case VendorReportKind::kState:
        default:
          kind = DeviceEventKind::kStateReport;
          break;
      }
      DeviceEvent event{kind, path};
      event.report = std::move(report);
      Emit(std::move(event));
      return;
    }
  }
}

void DeviceEventPump::RunOnce(int maxWaitMs) {
  RunDueTimers();
  int64_t wait = std::max(0, maxWaitMs);
  if (const auto due = NextDueMs()) wait = std::clamp<int64_t>(*due - clock_.NowMs(), 0, wait);
  HidEvent hid;
  if (link_.Host().WaitEvent(hid, static_cast<int>(wait))) OnHostEvent(hid);
  RunDueTimers();
}

void DeviceEventPump::Run(std::stop_token stop) {
  std::stop_callback wake(stop, [this] { link_.Host().Interrupt(); });
  while (!stop.stop_requested()) RunOnce();
}

}  // namespace quorix
