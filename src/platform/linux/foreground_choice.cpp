#include "platform/linux/foreground_choice.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/linux/gnome_foreground_source.h"
#include "platform/linux/hyprland_foreground_source.h"
#include "platform/linux/kwin_foreground_source.h"
#include "platform/linux/sway_foreground_source.h"
#include "platform/linux/wayland_toplevel_source.h"
#include "platform/linux/x11_foreground_source.h"

namespace quorix {

namespace {

struct Candidate {
  const char* name;
  bool (*applies)(const DesktopEnvironment& env);
  Result<std::unique_ptr<ForegroundSource>> (*open)(const DesktopEnvironment& env);
  // Its failure is something the user can mend (enable the Shell extension):
  // its reason is the one shown, also when a lesser source serves instead.
  bool userCanMend = false;
};

bool OnWayland(const DesktopEnvironment& env) { return !env.waylandDisplay.empty(); }

// A lesser source (XWayland windows only) standing in for the desktop's own
// channel, whose reason it gives as its limitation.
class StandInSource final : public ForegroundSource {
 public:
  StandInSource(std::unique_ptr<ForegroundSource> source, std::string reason)
      : source_(std::move(source)), reason_(std::move(reason)) {}
  uint64_t ForegroundWindow() override { return source_->ForegroundWindow(); }
  std::optional<std::string> ProcessImageName(uint64_t window) override { return source_->ProcessImageName(window); }
  std::optional<std::string> ApplicationId(uint64_t window) override { return source_->ApplicationId(window); }
  std::string Limitation() const override { return reason_; }
  bool NotifyChanges(std::function<void()> changed) override { return source_->NotifyChanges(std::move(changed)); }

 private:
  std::unique_ptr<ForegroundSource> source_;
  std::string reason_;
};

// Best first. A compositor's own channel names processes; the window list of
// wlroots compositors names application ids only; X11 sees X11 windows only.
const Candidate kCandidates[] = {
    {"sway", [](const DesktopEnvironment& env) { return OnWayland(env) && !env.swaySocket.empty(); },
     [](const DesktopEnvironment& env) -> Result<std::unique_ptr<ForegroundSource>> {
       return SwayForegroundSource::Open(env.swaySocket);
     }},
    {"hyprland", [](const DesktopEnvironment& env) { return OnWayland(env) && !env.hyprlandSignature.empty(); },
     [](const DesktopEnvironment& env) -> Result<std::unique_ptr<ForegroundSource>> {
       return HyprlandForegroundSource::Open(HyprlandSocketFolder(env.runtimeDir, env.hyprlandSignature));
     }},
    {"kwin", [](const DesktopEnvironment& env) { return OnWayland(env) && DesktopIncludes(env, "KDE"); },
     [](const DesktopEnvironment&) -> Result<std::unique_ptr<ForegroundSource>> {
       return KWinForegroundSource::Open();
     }},
    {"gnome", [](const DesktopEnvironment& env) { return OnWayland(env) && DesktopIncludes(env, "GNOME"); },
     [](const DesktopEnvironment&) -> Result<std::unique_ptr<ForegroundSource>> {
       return GnomeForegroundSource::Open();
     },
     true},
    {"wlr-toplevel", OnWayland,
     [](const DesktopEnvironment& env) -> Result<std::unique_ptr<ForegroundSource>> {
       return ForeignToplevelSource::Open(env.waylandDisplay.c_str());
     }},
    {"x11", [](const DesktopEnvironment&) { return true; },
     [](const DesktopEnvironment& env) -> Result<std::unique_ptr<ForegroundSource>> {
       return X11ForegroundSource::Open(env.display.empty() ? nullptr : env.display.c_str());
     }},
};

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

bool DesktopIncludes(const DesktopEnvironment& env, const std::string& name) {
  size_t start = 0;
  while (start <= env.currentDesktop.size()) {
    const size_t end = std::min(env.currentDesktop.find(':', start), env.currentDesktop.size());
    if (env.currentDesktop.compare(start, end - start, name) == 0) return true;
    start = end + 1;
  }
  return false;
}

DesktopEnvironment DesktopEnvironment::FromProcess() {
  return {
      Variable("XDG_CURRENT_DESKTOP"),         Variable("WAYLAND_DISPLAY"), Variable("DISPLAY"), Variable("SWAYSOCK"),
      Variable("HYPRLAND_INSTANCE_SIGNATURE"), Variable("XDG_RUNTIME_DIR")};
}

std::vector<std::string> ForegroundCandidates(const DesktopEnvironment& env) {
  std::vector<std::string> names;
  for (const Candidate& candidate : kCandidates) {
    if (candidate.applies(env)) names.emplace_back(candidate.name);
  }
  return names;
}

Result<std::unique_ptr<ForegroundSource>> OpenForegroundSource(const DesktopEnvironment& env) {
  std::string mendable;
  Outcome last(Failure::kUnavailable);
  for (const Candidate& candidate : kCandidates) {
    if (!candidate.applies(env)) continue;
    Result<std::unique_ptr<ForegroundSource>> opened = candidate.open(env);
    if (opened && mendable.empty()) return opened;
    if (opened)
      return std::unique_ptr<ForegroundSource>(std::make_unique<StandInSource>(std::move(opened).value(), mendable));
    if (candidate.userCanMend && mendable.empty()) mendable = opened.detail();
    last = mendable.empty() ? opened.outcome() : Outcome(Failure::kUnavailable, mendable);
  }
  return last;
}

}  // namespace quorix
