#include "lighting/live_colour.h"

namespace quorix {

namespace {
void SetRgb(LedZoneRecord& colour, uint32_t rgb) {
  colour.red = static_cast<uint8_t>((rgb >> 16) & 0xFF);
  colour.green = static_cast<uint8_t>((rgb >> 8) & 0xFF);
  colour.blue = static_cast<uint8_t>(rgb & 0xFF);
}
}  // namespace

void LiveColour::DragTo(uint32_t rgb) {
  std::lock_guard<std::mutex> lock(mutex_);
  SetRgb(colour_, rgb);
  pending_ = true;
}

LedZoneRecord LiveColour::ClickColour(uint32_t rgb) {
  std::lock_guard<std::mutex> lock(mutex_);
  SetRgb(colour_, rgb);
  colour_.SetOwnColour(true);
  return colour_;
}

LedZoneRecord LiveColour::ClickProfileColour(const ProfileColour& colour) {
  std::lock_guard<std::mutex> lock(mutex_);
  colour_.red = static_cast<uint8_t>(colour.red);
  colour_.green = static_cast<uint8_t>(colour.green);
  colour_.blue = static_cast<uint8_t>(colour.blue);
  colour_.SetOwnColour(false);
  return colour_;
}

LedZoneRecord LiveColour::ChooseMode(int mode) {
  std::lock_guard<std::mutex> lock(mutex_);
  colour_.SetSteady(mode == kPickerModeAlwaysOn);
  return colour_;
}

LedZoneRecord LiveColour::Get() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return colour_;
}

bool LiveColour::Pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_;
}

bool LiveColour::SendIfPending(const std::function<void(const LedZoneRecord&)>& send) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!pending_) return false;
  pending_ = false;
  send(colour_);
  return true;
}

bool ColourSender::Wake() {
  const bool sent = live_.SendIfPending([this](const LedZoneRecord& colour) {
    lastFailure_ = send_ ? send_(colour).failure : Failure::kNone;
  });
  if (sent && repaint_) repaint_();
  return sent;
}

void ColourSender::Run(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    clock_.SleepMs(kColourSendPeriodMs);
    if (stop.load()) break;
    Wake();
  }
}

void ColourSender::Start() {
  if (thread_.joinable()) return;
  stop_ = false;
  thread_ = std::thread([this] { Run(stop_); });
}

void ColourSender::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

}  // namespace quorix
