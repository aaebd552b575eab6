#include "platform/linux/kwin_foreground_source.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/linux/process_image.h"
#include "platform/linux/session_bus.h"

namespace quorix {

extern const unsigned char kKWinForegroundScript[];
extern const unsigned long kKWinForegroundScriptSize;

namespace {

const BusObject kScripting{"org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting"};
constexpr const char* kCallbackPath = "/org/quorix/MouseForeground";
constexpr const char* kCallbackXml =
    "<node><interface name='org.quorix.MouseForeground'>"
    "<method name='Activated'><arg type='s' name='pid'/><arg type='s' name='resourceClass'/></method>"
    "</interface></node>";
// KWin reports the active window as soon as the script runs.
constexpr int kFirstReportMs = 5000;

// Writes text into a new file of $XDG_RUNTIME_DIR (else /tmp); its path, or
// empty when that failed.
std::string WriteTempFile(const std::string& text) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string path =
      std::string(runtime != nullptr && *runtime != '\0' ? runtime : "/tmp") + "/quorix-mouse-kwin-XXXXXX.js";
  const int fd = mkstemps(path.data(), 3);
  if (fd < 0) return {};
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  if (!written) {
    std::remove(path.c_str());
    return {};
  }
  return path;
}

}  // namespace

std::string KWinForegroundScript(const std::string& busName) {
  std::string script(reinterpret_cast<const char*>(kKWinForegroundScript), kKWinForegroundScriptSize);
  const std::string placeholder = "QUORIX_BUS_NAME";
  for (size_t at = script.find(placeholder); at != std::string::npos; at = script.find(placeholder, at)) {
    script.replace(at, placeholder.size(), busName);
    at += busName.size();
  }
  return script;
}

KWinForegroundSource::KWinForegroundSource(std::unique_ptr<SessionBus> bus)
    : bus_(std::move(bus)), pluginName_("quorix-mouse-foreground-" + std::to_string(getpid())) {}

Result<std::unique_ptr<KWinForegroundSource>> KWinForegroundSource::Open() {
  Result<std::unique_ptr<SessionBus>> bus = SessionBus::Open();
  if (!bus) return bus.outcome();
  std::unique_ptr<KWinForegroundSource> source(new KWinForegroundSource(std::move(bus).value()));
  BusForeground& foreground = source->foreground_;
  const Outcome exported =
      source->bus_->Export(kCallbackPath, kCallbackXml, [&foreground](const std::string&, const BusValues& args) {
        const auto* pid = args.empty() ? nullptr : std::get_if<std::string>(&args[0]);
        foreground.Report(pid != nullptr ? ParsePid(*pid) : 0);
      });
  if (!exported) {
    return Outcome(Failure::kUnavailable, "Cannot offer KWin's callback on the session bus: " + exported.detail);
  }
  source->scriptFile_ = WriteTempFile(KWinForegroundScript(source->bus_->UniqueName()));
  if (source->scriptFile_.empty()) {
    return Outcome(Failure::kUnavailable, "Cannot write the KWin script to a temporary file.");
  }
  // loadScript only registers the script; start runs every loaded one that
  // is not running yet (the same on KWin 5.27 and 6, whose script objects
  // live at different paths).
  Result<BusValues> started = source->bus_->Call(kScripting, "loadScript", {source->scriptFile_, source->pluginName_});
  if (started) started = source->bus_->Call(kScripting, "start", {});
  if (!started) {
    return Outcome(Failure::kUnavailable, "KWin's scripting interface is not available: " + started.detail());
  }
  if (!source->foreground_.WaitForFirst(kFirstReportMs)) {
    return Outcome(Failure::kUnavailable, "KWin loaded the script but it never reported the active window.");
  }
  return source;
}

KWinForegroundSource::~KWinForegroundSource() {
  if (!scriptFile_.empty()) {
    bus_->Call(kScripting, "unloadScript", {pluginName_});
    std::remove(scriptFile_.c_str());
  }
}

uint64_t KWinForegroundSource::ForegroundWindow() { return foreground_.Window(); }

std::optional<std::string> KWinForegroundSource::ProcessImageName(uint64_t window) {
  if (window == 0) return std::nullopt;
  return ProcessImagePath(static_cast<int>(window));
}

bool KWinForegroundSource::NotifyChanges(std::function<void()> changed) {
  foreground_.SetChanged(std::move(changed));
  return true;
}

}  // namespace quorix
