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

ColourSender::ColourSender(LiveColour& live, Clock& clock, SendFn send, std::function<void()> repaint, PostFn post)
    : live_(live), clock_(clock), post_(std::move(post)), shared_(std::make_shared<Shared>()) {
  shared_->send = std::move(send);
  shared_->repaint = std::move(repaint);
  dueMs_ = clock_.NowMs() + kColourSendPeriodMs;
}

bool ColourSender::Wake() {
  if (shared_->inFlight.load()) return false;
  std::optional<LedZoneRecord> taken;
  live_.SendIfPending([&taken](const LedZoneRecord& colour) { taken = colour; });
  if (!taken) return false;
  shared_->inFlight = true;
  // The send is no longer in flight once it has run, and also when the
  // poster drops it unrun (an executor closing down cancels it): the last
  // copy of the work going away says so.
  std::shared_ptr<void> settled(nullptr, [shared = shared_](void*) { shared->inFlight = false; });
  auto work = [shared = shared_, colour = *taken, settled = std::move(settled)]() mutable -> Outcome {
    const Outcome outcome = shared->send ? shared->send(colour) : Outcome{};
    shared->lastFailure = outcome.failure;
    settled.reset();
    if (shared->repaint) shared->repaint();
    return outcome;
  };
  if (post_) post_(std::move(work));
  else work();
  return true;
}

bool ColourSender::Poll() {
  const int64_t now = clock_.NowMs();
  if (now < dueMs_) return false;
  dueMs_ = now + kColourSendPeriodMs;
  return Wake();
}

}  // namespace quorix
