#include "session/desktop_requests.h"

#include <cstdint>

namespace quorix {

bool DesktopRequests::AsksForMainWindow(const DeviceEvent& event) {
  return event.kind == DeviceEventKind::kOpenRequest && OnLaunchSettingReport(event.report.openValue, {});
}

void DesktopRequests::Scroll(const DeviceEvent& event) {
  if (event.kind != DeviceEventKind::kWheelSteps) return;
  // The scroller takes the report as the mouse sent it.
  uint8_t report[kMinVendorReportLength] = {0x0B, 0x0B};
  report[9] = static_cast<uint8_t>(static_cast<int8_t>(event.report.wheelSteps));
  scroller_.OnHorizontalWheelReport(report, sizeof report);
  scroller_.RunBatch();
}

}  // namespace quorix
