#include "platform/linux/gnome_foreground_source.h"

#include "platform/linux/process_image.h"
#include "platform/linux/session_bus.h"

namespace quorix {

namespace {

const BusObject kExtension{"org.gnome.Shell", "/org/quorix/MouseForeground", "org.quorix.MouseForeground"};

uint32_t PidOf(const BusValues& values) {
  const auto* pid = values.empty() ? nullptr : std::get_if<uint32_t>(&values[0]);
  return pid != nullptr ? *pid : 0;
}

}  // namespace

GnomeForegroundSource::GnomeForegroundSource(std::unique_ptr<SessionBus> bus) : bus_(std::move(bus)) {}

GnomeForegroundSource::~GnomeForegroundSource() = default;

Result<std::unique_ptr<GnomeForegroundSource>> GnomeForegroundSource::Open() {
  Result<std::unique_ptr<SessionBus>> bus = SessionBus::Open();
  if (!bus) return bus.outcome();
  std::unique_ptr<GnomeForegroundSource> source(new GnomeForegroundSource(std::move(bus).value()));
  BusForeground& foreground = source->foreground_;
  // Subscribed before asking, so that no change falls between the two. The
  // Shell signals from its unique name; GDBus (2.74 as Debian 12 ships it)
  // did not pass such a signal to a subscription for org.gnome.Shell, so
  // the path and interface, which are this program's own, select it.
  source->bus_->Subscribe({"", kExtension.path, kExtension.interface}, "Changed",
                          [&foreground](const BusValues& args) { foreground.Report(PidOf(args)); });
  const Result<BusValues> now = source->bus_->Call(kExtension, "Get", {});
  if (!now) {
    const bool noShell = now.detail().find("ServiceUnknown") != std::string::npos;
    return Outcome(Failure::kUnavailable, noShell ? "GNOME Shell is not on the session bus: " + now.detail()
                                                  : std::string(kGnomeExtensionText));
  }
  foreground.ReportUnlessReported(PidOf(*now));
  return source;
}

uint64_t GnomeForegroundSource::ForegroundWindow() { return foreground_.Window(); }

std::optional<std::string> GnomeForegroundSource::ProcessImageName(uint64_t window) {
  if (window == 0) return std::nullopt;
  return ProcessImagePath(static_cast<int>(window));
}

bool GnomeForegroundSource::NotifyChanges(std::function<void()> changed) {
  foreground_.SetChanged(std::move(changed));
  return true;
}

}  // namespace quorix
