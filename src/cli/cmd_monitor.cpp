// monitor: the device event pump seen from outside, one line per event.
#include <atomic>
#include <csignal>
#include <memory>
#include <cstdio>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "session/device_event_pump.h"
#include "session/session.h"

namespace quorix {
namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted.store(true); }

// Ctrl-C ends the loop instead of the process, so the simulated state is
// still saved; the previous handler comes back afterwards.
class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted.store(false);
    previous_ = std::signal(SIGINT, OnInterrupt);
  }
  ~InterruptGuard() { std::signal(SIGINT, previous_); }

 private:
  void (*previous_)(int) = SIG_DFL;
};

// Paths are plain ASCII from the host, but a quote or backslash must not
// break a JSON line.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) >= 0x20) out += c;
  }
  return out + "\"";
}

const char* EventName(DeviceEventKind kind) {
  switch (kind) {
    case DeviceEventKind::kArrival: return "arrival";
    case DeviceEventKind::kRemoval: return "removal";
    case DeviceEventKind::kIspArrival: return "isp-arrival";
    case DeviceEventKind::kRescanDue: return "rescan";
    case DeviceEventKind::kStateReport: return "state";
    case DeviceEventKind::kDisplayReport: return "display";
    case DeviceEventKind::kOpenRequest: return "open";
    case DeviceEventKind::kWheelSteps: return "wheel";
  }
  return "?";
}

// One line: the event's name, then its fields as name=value (text) or as
// the members of one JSON object.
class LineWriter {
 public:
  LineWriter(std::ostream& out, bool json, const char* name) : out_(out), json_(json) {
    if (json_) out_ << "{\"event\": \"" << name << "\"";
    else out_ << name;
  }
  ~LineWriter() { out_ << (json_ ? "}\n" : "\n") << std::flush; }
  LineWriter& Field(const char* name, const std::string& text, bool quoted) {
    if (json_) out_ << ", \"" << name << "\": " << (quoted ? Quoted(text) : text);
    else out_ << ' ' << name << '=' << text;
    return *this;
  }
  LineWriter& Number(const char* name, long value) { return Field(name, std::to_string(value), false); }

 private:
  std::ostream& out_;
  bool json_;
};

void PrintEvent(std::ostream& out, bool json, const DeviceEvent& e) {
  LineWriter line(out, json, EventName(e.kind));
  if (!e.path.empty()) line.Field("path", e.path, true);
  const VendorReport& r = e.report;
  switch (e.kind) {
    case DeviceEventKind::kArrival:
    case DeviceEventKind::kRemoval:
      line.Field("current", e.currentDevice ? "true" : "false", false);
      break;
    case DeviceEventKind::kStateReport:
      line.Number("profile", r.profile).Number("level", r.level).Number("x", r.x).Number("y", r.y).Number("flags",
                                                                                                       r.flags);
      break;
    case DeviceEventKind::kDisplayReport:
      line.Field("bytes", HexBytes(r.raw.data(), r.raw.size()), true);
      break;
    case DeviceEventKind::kOpenRequest:
      line.Number("value", r.openValue);
      break;
    case DeviceEventKind::kWheelSteps:
      line.Number("steps", r.wheelSteps);
      break;
    case DeviceEventKind::kIspArrival:
    case DeviceEventKind::kRescanDue:
      break;
  }
}

int RunMonitor(CliContext& ctx) {
  bool json = false;
  long count = 0;  // 0: until interrupted
  const auto& a = ctx.Args();
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == "--json") {
      json = true;
    } else if (a[i] == "--count" && i + 1 < a.size()) {
      count = ParseNumber(a[++i], 1, 1000000, "count");
    } else {
      throw ctx.UsageError();
    }
  }
  Session& session = ctx.GetSession();
  std::ostream& out = ctx.Out();
  long seen = 0;
  DeviceEventPump* pump = nullptr;
  std::unique_ptr<DeviceEventPump> events = session.MakeEventPump([&](const DeviceEvent& e) {
    if (count > 0 && seen >= count) return;
    ++seen;
    PrintEvent(out, json, e);
    // What the program does with a rescan and an arrival, so that the
    // events that follow are the ones it would see. The device work runs on
    // the session's executor, as a window's would.
    if (e.kind == DeviceEventKind::kRescanDue) {
      std::string path;
      session
          .Post("rescan",
                [&path](JobContext& job, DeviceLink& link, SettingsState&) {
                  DeviceOperation operation(link, job.StopToken());
                  EnumerateDevices(link);
                  path = DevicePath(link, 0);
                  // Only the mouse that carries our marker sends state reports we take.
                  if (!path.empty()) SelectHostMarker(link, path, false);
                  return operation.Result();
                })
          .Wait();
      pump->SetCurrentDevice(path);
      if (path.empty()) LineWriter(out, json, "no-device");
      else LineWriter(out, json, "device").Field("path", path, true);
    } else if (e.kind == DeviceEventKind::kArrival && e.currentDevice) {
      session
          .Post("identify",
                [&e](JobContext& job, DeviceLink& link, SettingsState&) {
                  DeviceOperation operation(link, job.StopToken());
                  IdentifyDevice(link, e.path);
                  return operation.Result();
                })
          .Wait();
    }
  });
  pump = events.get();
  InterruptGuard guard;
  events->Start();
  while (!interrupted.load() && (count == 0 || seen < count)) events->RunOnce();
  return 0;
}

}  // namespace

void RegisterMonitorCommand(CommandRegistry& registry) {
  registry.Add({"monitor", {"monitor [--json] [--count N]"},
                "print device arrival and removal, rescans and the mouse's own reports as they come, one a line",
                RunMonitor});
}

}  // namespace quorix
