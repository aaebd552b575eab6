#include "platform/linux/sway_foreground_source.h"

#include <poll.h>

#include "platform/linux/process_image.h"

namespace quorix {

Result<std::unique_ptr<SwayForegroundSource>> SwayForegroundSource::Open(const std::string& socketPath) {
  Result<std::unique_ptr<SwayIpc>> requests = SwayIpc::Connect(socketPath);
  if (!requests) return requests.outcome();
  Result<std::unique_ptr<SwayIpc>> events = SwayIpc::Connect(socketPath);
  if (!events) return events.outcome();
  const std::optional<JsonValue> subscribed = (*events)->Request(sway::kSubscribe, R"(["window","workspace"])");
  if (!subscribed || !subscribed->TrueAt("success")) {
    return Outcome(Failure::kUnavailable, socketPath + ": sway refused to report window focus changes");
  }
  Result<std::unique_ptr<ReaderThread>> created = ReaderThread::Create();
  if (!created) return Outcome(Failure::kUnavailable, created.detail());
  std::unique_ptr<SwayForegroundSource> source(
      new SwayForegroundSource(std::move(requests).value(), std::move(events).value(), std::move(created).value()));
  // The focus at start; the events tell every change from the subscription on.
  if (const std::optional<JsonValue> tree = source->requests_->Request(sway::kGetTree)) {
    source->focus_.Set(FocusedInTree(*tree));
  }
  source->reader_->Start([raw = source.get()] { return [raw] { raw->Listen(); }; });
  return source;
}

SwayForegroundSource::SwayForegroundSource(std::unique_ptr<SwayIpc> requests, std::unique_ptr<SwayIpc> events,
                                           std::unique_ptr<ReaderThread> reader)
    : requests_(std::move(requests)), events_(std::move(events)), reader_(std::move(reader)) {}

SwayForegroundSource::~SwayForegroundSource() { reader_->Stop(); }

void SwayForegroundSource::Listen() {
  // Events that came in with the subscription's reply are taken first.
  bool first = true;
  while (!reader_->Stopping()) {
    std::vector<SwayMessage> messages;
    bool open = true;
    if (first) {
      first = false;
      open = events_->TakeBuffered(messages);
    } else {
      pollfd fds[2] = {{events_->Fd(), POLLIN, 0}, {reader_->WakeFd(), POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (reader_->Stopping()) return;
      if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      open = events_->ReadMessages(messages);
    }
    for (const SwayMessage& message : messages) OnEvent(message);
    if (!open) {
      // sway went away (or spoke garbage): nothing is known in front any more.
      focus_.Set({});
      return;
    }
  }
}

void SwayForegroundSource::OnEvent(const SwayMessage& message) {
  const std::optional<JsonValue> event = ParseJson(message.payload);
  if (!event) return;
  const std::string change = event->StringAt("change").value_or("");
  if (message.type == sway::kWindowEvent && change == "focus") {
    if (const JsonValue* container = event->Find("container")) {
      SwayFocus focus{static_cast<uint64_t>(container->IntegerAt("id").value_or(0)), 0};
      const long long pid = container->IntegerAt("pid").value_or(0);
      focus.pid = pid > 0 && pid < (1LL << 31) ? static_cast<int>(pid) : 0;
      focus_.Set(focus);
    }
    return;
  }
  // A closed window or another workspace may leave the focus on an empty
  // workspace, which sends no window event: the tree says where it is.
  const bool refocus = (message.type == sway::kWindowEvent && change == "close") ||
                       (message.type == sway::kWorkspaceEvent && change == "focus");
  if (!refocus) return;
  if (const std::optional<JsonValue> tree = requests_->Request(sway::kGetTree)) focus_.Set(FocusedInTree(*tree));
}

uint64_t SwayForegroundSource::ForegroundWindow() { return focus_.Window(); }

int SwayForegroundSource::ForegroundProcessId() { return focus_.Pid(); }

std::optional<std::string> SwayForegroundSource::ProcessImageName(uint64_t window) { return focus_.ImageOf(window); }

bool SwayForegroundSource::NotifyChanges(std::function<void()> changed) {
  focus_.SetChanged(std::move(changed));
  return true;
}

}  // namespace quorix
