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
  Result<std::unique_ptr<PointerSettings>> (*open)(const DesktopEnvironment& env);
};

bool OnWayland(const DesktopEnvironment& env) { return !env.waylandDisplay.empty(); }

const Candidate kCandidates[] = {
    {"sway", [](const DesktopEnvironment& env) { return OnWayland(env) && !env.swaySocket.empty(); },
     [](const DesktopEnvironment& env) -> Result<std::unique_ptr<PointerSettings>> {
       return SwayPointerSettings::Open(env.swaySocket);
     }},
    {"kwin", [](const DesktopEnvironment& env) { return OnWayland(env) && DesktopIncludes(env, "KDE"); },
     [](const DesktopEnvironment&) -> Result<std::unique_ptr<PointerSettings>> { return KWinPointerSettings::Open(); }},
    {"gnome", [](const DesktopEnvironment& env) { return OnWayland(env) && DesktopIncludes(env, "GNOME"); },
     [](const DesktopEnvironment&) -> Result<std::unique_ptr<PointerSettings>> {
       return GnomePointerSettings::Open();
     }},
    {"x11", [](const DesktopEnvironment& env) { return !OnWayland(env) && !env.display.empty(); },
     [](const DesktopEnvironment& env) -> Result<std::unique_ptr<PointerSettings>> {
       return X11PointerSettings::Open(env.display.c_str());
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

Result<std::unique_ptr<PointerSettings>> OpenPointerSettings(const DesktopEnvironment& env) {
  Outcome last(Failure::kUnavailable, "no pointer settings reach this desktop session");
  for (const Candidate& candidate : kCandidates) {
    if (!candidate.applies(env)) continue;
    Result<std::unique_ptr<PointerSettings>> opened = candidate.open(env);
    if (opened) return opened;
    last = opened.outcome();
  }
  return last;
}

}  // namespace quorix
