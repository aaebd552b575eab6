#include "platform/linux/pointer_choice.h"

#include "platform/linux/gnome_pointer_settings.h"
#include "platform/linux/kwin_pointer_settings.h"
#include "platform/linux/sway_pointer_settings.h"
#include "platform/linux/x11_pointer_settings.h"

namespace quorix {

namespace {

struct Candidate {
  const char* name;
  bool (*applies)(const DesktopEnvironment& env);
  std::unique_ptr<PointerSettings> (*open)(const DesktopEnvironment& env, std::string* error);
};

bool OnWayland(const DesktopEnvironment& env) { return !env.waylandDisplay.empty(); }

const Candidate kCandidates[] = {
    {"sway", [](const DesktopEnvironment& env) { return OnWayland(env) && !env.swaySocket.empty(); },
     [](const DesktopEnvironment& env, std::string* error) -> std::unique_ptr<PointerSettings> {
       return SwayPointerSettings::Open(env.swaySocket, error);
     }},
    {"kwin", [](const DesktopEnvironment& env) { return OnWayland(env) && DesktopIncludes(env, "KDE"); },
     [](const DesktopEnvironment&, std::string* error) -> std::unique_ptr<PointerSettings> {
       return KWinPointerSettings::Open(error);
     }},
    {"gnome", [](const DesktopEnvironment& env) { return OnWayland(env) && DesktopIncludes(env, "GNOME"); },
     [](const DesktopEnvironment&, std::string* error) -> std::unique_ptr<PointerSettings> {
       return GnomePointerSettings::Open(error);
     }},
    {"x11", [](const DesktopEnvironment& env) { return !OnWayland(env) && !env.display.empty(); },
     [](const DesktopEnvironment& env, std::string* error) -> std::unique_ptr<PointerSettings> {
       return X11PointerSettings::Open(env.display.c_str(), error);
     }},
};

}  // namespace

std::vector<std::string> PointerCandidates(const DesktopEnvironment& env) {
  std::vector<std::string> names;
  for (const Candidate& candidate : kCandidates) {
    if (candidate.applies(env)) names.emplace_back(candidate.name);
  }
  return names;
}

std::unique_ptr<PointerSettings> OpenPointerSettings(const DesktopEnvironment& env, std::string* error) {
  for (const Candidate& candidate : kCandidates) {
    if (!candidate.applies(env)) continue;
    if (std::unique_ptr<PointerSettings> settings = candidate.open(env, error)) return settings;
  }
  return nullptr;
}

}  // namespace quorix
