#include "platform/linux/hyprland_foreground_source.h"

#include <poll.h>
#include <sys/stat.h>

#include <charconv>

#include "platform/linux/process_image.h"

namespace quorix {

namespace {

uint64_t ParseAddress(std::string_view text) {
  if (text.substr(0, 2) == "0x") text.remove_prefix(2);
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

}  // namespace

std::string HyprlandSocketFolder(const std::string& runtimeDir, const std::string& signature) {
  const std::string current = runtimeDir + "/hypr/" + signature;
  struct stat info {};
  if (!runtimeDir.empty() && stat(current.c_str(), &info) == 0) return current;
  return "/tmp/hypr/" + signature;
}

std::vector<std::string> TakeLines(std::string& buffer) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(buffer.substr(start, end - start));
  }
  buffer.erase(0, start);
  return lines;
}

std::optional<std::string> ActiveWindowOfEvent(const std::string& line) {
  constexpr std::string_view kEvent = "activewindowv2>>";
  if (line.compare(0, kEvent.size(), kEvent) != 0) return std::nullopt;
  return line.substr(kEvent.size());
}

HyprlandFocus FocusOfActiveWindow(const JsonValue& answer) {
  HyprlandFocus focus;
  focus.window = ParseAddress(answer.StringAt("address").value_or(""));
  const long long pid = answer.IntegerAt("pid").value_or(0);
  if (focus.window != 0 && pid > 0 && pid < (1LL << 31)) focus.pid = static_cast<int>(pid);
  return focus;
}

Result<std::unique_ptr<HyprlandForegroundSource>> HyprlandForegroundSource::Open(const std::string& folder) {
  Result<UnixSocket> events = UnixSocket::Connect(folder + "/.socket2.sock");
  if (!events) return events.outcome();
  Result<std::unique_ptr<ReaderThread>> created = ReaderThread::Create();
  if (!created) return Outcome(Failure::kUnavailable, created.detail());
  std::unique_ptr<HyprlandForegroundSource> source(
      new HyprlandForegroundSource(folder, std::move(events).value(), std::move(created).value()));
  source->focus_.Set(source->Ask());
  source->reader_->Start([raw = source.get()] { return [raw] { raw->Listen(); }; });
  return source;
}

HyprlandForegroundSource::HyprlandForegroundSource(std::string folder, UnixSocket events,
                                                   std::unique_ptr<ReaderThread> reader)
    : folder_(std::move(folder)), events_(std::move(events)), reader_(std::move(reader)) {}

HyprlandForegroundSource::~HyprlandForegroundSource() { reader_->Stop(); }

HyprlandFocus HyprlandForegroundSource::Ask() {
  // One connection per request: Hyprland answers and closes.
  Result<UnixSocket> request = UnixSocket::Connect(folder_ + "/.socket.sock");
  if (!request || !request->WriteAll("j/activewindow")) return {};
  std::string answer;
  while (answer.size() < (1u << 20) && request->ReadSome(answer)) {
  }
  const std::optional<JsonValue> json = ParseJson(answer);
  return json ? FocusOfActiveWindow(*json) : HyprlandFocus{};
}

void HyprlandForegroundSource::Listen() {
  while (!reader_->Stopping()) {
    pollfd fds[2] = {{events_.Fd(), POLLIN, 0}, {reader_->WakeFd(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (reader_->Stopping()) return;
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
    if (!events_.ReadSome(received_) || received_.size() > (1u << 20)) {
      // Hyprland went away: nothing is known in front any more.
      focus_.Set({});
      return;
    }
    for (const std::string& line : TakeLines(received_)) {
      const std::optional<std::string> address = ActiveWindowOfEvent(line);
      if (!address) continue;
      focus_.Set(address->empty() ? HyprlandFocus{} : Ask());
    }
  }
}

uint64_t HyprlandForegroundSource::ForegroundWindow() { return focus_.Window(); }

std::optional<std::string> HyprlandForegroundSource::ProcessImageName(uint64_t window) {
  return focus_.ImageOf(window);
}

bool HyprlandForegroundSource::NotifyChanges(std::function<void()> changed) {
  focus_.SetChanged(std::move(changed));
  return true;
}

}  // namespace quorix
