#include "platform/linux/foreground_choice.h"

#include <cstdlib>

#include "platform/linux/hyprland_foreground_source.h"
#include "platform/linux/sway_foreground_source.h"
#include "platform/linux/wayland_toplevel_source.h"
#include "platform/linux/x11_foreground_source.h"

namespace quorix {

namespace {

struct Candidate {
  const char* name;
  bool (*applies)(const DesktopEnvironment& env);
  std::unique_ptr<ForegroundSource> (*open)(const DesktopEnvironment& env, std::string* error);
};

bool OnWayland(const DesktopEnvironment& env) { return !env.waylandDisplay.empty(); }

// Best first. A compositor's own channel names processes; the window list of
// wlroots compositors names application ids only; X11 sees X11 windows only.
const Candidate kCandidates[] = {
    {"sway", [](const DesktopEnvironment& env) { return OnWayland(env) && !env.swaySocket.empty(); },
     [](const DesktopEnvironment& env, std::string* error) -> std::unique_ptr<ForegroundSource> {
       return SwayForegroundSource::Open(env.swaySocket, error);
     }},
    {"hyprland", [](const DesktopEnvironment& env) { return OnWayland(env) && !env.hyprlandSignature.empty(); },
     [](const DesktopEnvironment& env, std::string* error) -> std::unique_ptr<ForegroundSource> {
       return HyprlandForegroundSource::Open(HyprlandSocketFolder(env.runtimeDir, env.hyprlandSignature), error);
     }},
    // KWin and GNOME Shell: their entries go here, before the generic window list.
    {"wlr-toplevel", OnWayland,
     [](const DesktopEnvironment& env, std::string* error) -> std::unique_ptr<ForegroundSource> {
       return ForeignToplevelSource::Open(env.waylandDisplay.c_str(), error);
     }},
    {"x11", [](const DesktopEnvironment&) { return true; },
     [](const DesktopEnvironment& env, std::string* error) -> std::unique_ptr<ForegroundSource> {
       return X11ForegroundSource::Open(env.display.empty() ? nullptr : env.display.c_str(), error);
     }},
};

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

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

std::unique_ptr<ForegroundSource> OpenForegroundSource(const DesktopEnvironment& env, std::string* error) {
  for (const Candidate& candidate : kCandidates) {
    if (!candidate.applies(env)) continue;
    if (std::unique_ptr<ForegroundSource> source = candidate.open(env, error)) return source;
  }
  return nullptr;
}

}  // namespace quorix
