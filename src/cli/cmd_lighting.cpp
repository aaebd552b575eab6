// lighting, lift and watch-apps: the lighting effect and zone records, the lift
// value, and a view of what per-application switching would do.
#include <chrono>
#include <cstdio>
#include <ostream>
#include <thread>

#include "cli/cli.h"
#include "device/commands.h"
#include "device/discovery.h"
#include "lighting/light_effect.h"
#include "lighting/lighting_device.h"
#include "session/capabilities.h"
#include "session/session.h"
#include "options/app_switching.h"
#include "options/app_display_name.h"
#include "options/language_setting.h"
#include "options/lift_adjustment.h"
#include "options/options_store.h"
#include "platform/linux/foreground_choice.h"
#include "platform/linux/x11_foreground_source.h"
#include "platform/linux/xdg_paths.h"

namespace quorix {

namespace {

std::string Hex(int value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// The device path of a model with lighting, else a clear error (nothing sent).
std::string LightingDevice(CliContext& context) {
  const std::string path = context.DevicePath();
  if (!CapabilitiesAt(context.Link(), path).lighting) {
    const int level = ProtocolLevel(context.Link(), path);
    throw CliError{"this model has no lighting (protocol level " + std::to_string(level) + ")"};
  }
  return path;
}

std::string DescribeZone(int zone, const LedZoneRecord& record) {
  std::string text = "zone " + std::to_string(zone) + ": flags " + Hex(record.flags, 2) + " (";
  text += record.OwnColour() ? "own colour" : "profile colour";
  text += record.Steady() ? ", Always ON" : ", Breathe";
  text += ") rgb " + std::to_string(record.red) + " " + std::to_string(record.green) + " " +
          std::to_string(record.blue);
  return text;
}

// The bindings in set.ini of the data folder (or of dataDir when given).
ProfileApps LoadStoredBindings(const std::optional<std::string>& dataDir) {
  return LoadCliOptions(SetIniPath(dataDir)).apps;
}

struct ZoneArgs {
  int zone = 0;
  LedZoneRecord record;
};

ZoneArgs ParseZoneArgs(CliContext& context) {
  ExpectArgCount(context, 6);
  const auto& a = context.Args();  // a[0] is the verb
  ZoneArgs parsed;
  parsed.zone = static_cast<int>(ParseNumber(a[1], 0, kZoneCount - 1, "zone"));
  parsed.record.flags = static_cast<uint8_t>(ParseNumber(a[2], 0, 255, "flags"));
  parsed.record.red = static_cast<uint8_t>(ParseNumber(a[3], 0, 255, "red"));
  parsed.record.green = static_cast<uint8_t>(ParseNumber(a[4], 0, 255, "green"));
  parsed.record.blue = static_cast<uint8_t>(ParseNumber(a[5], 0, 255, "blue"));
  return parsed;
}

int RunLighting(CliContext& context) {
  const auto& a = context.Args();
  if (a.empty()) throw context.UsageError();
  const std::string& verb = a[0];
  if (verb == "show") {
    ExpectArgCount(context, 1);
    const std::string path = context.DevicePath();
    const int level = ProtocolLevel(context.Link(), path);
    const LightingConfig config = context.GetSession().ReadLighting().Wait();
    Require(config.outcome, "", false);
    if (!CapabilitiesAt(context.Link(), path).lighting) context.Out() << "this model has no lighting effects (protocol level " << level << ")\n";
    context.Out() << "effect: " << config.effect << " (" << LightEffectName(config.effect) << ")\n";
    const ZoneTableLayout layout = ZoneTableLayoutForLevel(level);
    if (config.zones.empty()) context.Out() << "no zone table at this protocol level\n";
    else context.Out() << "zone table at " << Hex(layout.address, 3) << ":\n";
    for (size_t zone = 0; zone < config.zones.size(); ++zone) {
      context.Out() << DescribeZone(static_cast<int>(zone), config.zones[zone]) << "\n";
    }
    return 0;
  }
  if (verb == "effect") {
    ExpectArgCount(context, 2);
    const long code = ParseNumber(a[1], 0, 255, "effect");
    if (!LightEffectFromCode(static_cast<int>(code))) {
      throw CliError{"unknown light effect " + a[1] +
                     " (0 Customize, 1 Wave, 2 Wave (Invert), 3 Random 1, 4 Random 2); nothing sent"};
    }
    LightingDevice(context);
    const Outcome outcome = context.GetSession().ChooseLightEffect(static_cast<int>(code)).Wait();
    if (outcome.failure == Failure::kInvalidArgument || outcome.failure == Failure::kNotSupported) {
      throw CliError{"the device refused light effect " + a[1]};
    }
    Require(outcome);
    context.Out() << "effect " << code << " (" << LightEffectName(static_cast<int>(code)) << ")\n";
    return 0;
  }
  if (verb == "zone" || verb == "preview") {
    const ZoneArgs z = ParseZoneArgs(context);
    LightingDevice(context);
    Session& session = context.GetSession();
    Require(
        (verb == "zone" ? session.WriteZones({z.zone}, z.record) : session.PreviewZones({z.zone}, z.record)).Wait());
    context.Out() << (verb == "zone" ? "stored " : "previewed ") << DescribeZone(z.zone, z.record) << "\n";
    return 0;
  }
  throw context.UsageError();
}

int RunLift(CliContext& context) {
  const auto& a = context.Args();
  if (a.empty()) throw context.UsageError();
  if (a[0] == "show") {
    ExpectArgCount(context, 1);
    context.DevicePath();
    const LiftValueResult stored = context.GetSession().ReadStoredLift().Wait();
    Require(stored.outcome, "", false);
    context.Out() << "lift value: " << stored.value << " (" << Hex(stored.value, 4) << ")\n";
    return 0;
  }
  if (a[0] == "set" || a[0] == "test") {
    ExpectArgCount(context, 2);
    const int value = static_cast<int>(ParseNumber(a[1], 0, 0xFFFF, "lift value"));
    const std::string path = context.DevicePath();
    if (!CapabilitiesAt(context.Link(), path).liftAdjustment) {
      throw CliError{"this model has no lift adjustment (protocol level " +
                     std::to_string(ProtocolLevel(context.Link(), path)) + "); nothing sent"};
    }
    if (a[0] == "set") {
      Require(context.GetSession().StoreLift(value).Wait());
      context.Out() << "lift value " << value << " stored\n";
    } else {
      const LiftValueResult sent = context.GetSession().TestLift(value).Wait();
      Require(sent.outcome);
      context.Out() << "lift value " << Hex(sent.value, 4) << " applied for testing (not stored)\n";
    }
    return 0;
  }
  throw context.UsageError();
}

// --bind I=PATH: a binding given on the command line, for checking a path
// before storing it.
void ParseBinding(const std::string& text, ProfileApps& apps) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals + 1 >= text.size()) throw CliError{"--bind needs I=PATH: " + text};
  const int profile = static_cast<int>(ParseNumber(text.substr(0, equals), 0, kSwitchProfileCount - 1, "profile"));
  apps[profile].appPath = text.substr(equals + 1);
  apps[profile].appName = ImageFileName(apps[profile].appPath);
  apps[profile].appEnabled = 1;
}

// The foreground source as the switcher sees it: the window it last looked
// at and the program image it found for it.
class WatchedForeground final : public ForegroundSource {
 public:
  explicit WatchedForeground(ForegroundSource& source) : source_(source) {}
  uint64_t ForegroundWindow() override { return window = source_.ForegroundWindow(); }
  std::optional<std::string> ProcessImageName(uint64_t w) override { return image = source_.ProcessImageName(w); }
  std::optional<std::string> ApplicationId(uint64_t w) override { return appId = source_.ApplicationId(w); }
  std::string Limitation() const override { return source_.Limitation(); }

  uint64_t window = 0;
  std::optional<std::string> image;
  std::optional<std::string> appId;

 private:
  ForegroundSource& source_;
};

int RunWatchApps(CliContext& context) {
  std::string display;
  std::optional<std::string> dataDir;
  long count = -1;
  long intervalMs = 250;
  ProfileApps bound;
  bool haveBindings = false;
  const auto& a = context.Args();
  for (size_t i = 0; i < a.size(); ++i) {
    auto value = [&]() -> const std::string& {
      if (i + 1 >= a.size()) throw CliError{a[i] + " needs a value"};
      return a[++i];
    };
    if (a[i] == "--display") display = value();
    else if (a[i] == "--data-dir") dataDir = value();
    else if (a[i] == "--count") count = ParseNumber(value(), 1, 1000000, "count");
    else if (a[i] == "--interval") intervalMs = ParseNumber(value(), 10, 60000, "interval");
    else if (a[i] == "--bind") {
      ParseBinding(value(), bound);
      haveBindings = true;
    } else throw CliError{"unknown option " + a[i] + " (see --help)"};
  }
  const ProfileApps apps = haveBindings ? bound : LoadStoredBindings(dataDir);
  // --display asks for that X display alone; else the session's own source.
  Result<std::unique_ptr<ForegroundSource>> opened =
      display.empty() ? OpenForegroundSource(DesktopEnvironment::FromProcess())
                      : Result<std::unique_ptr<ForegroundSource>>(X11ForegroundSource::Open(display.c_str()));
  if (!opened) throw CliError{opened.detail()};
  const std::unique_ptr<ForegroundSource> source = std::move(opened).value();
  if (const std::string limitation = source->Limitation(); !limitation.empty()) context.Err() << limitation << "\n";
  for (int i = 0; i < kSwitchProfileCount; ++i) {
    if (apps[i].appEnabled == 1 && !apps[i].appPath.empty()) {
      context.Out() << "profile " << i << " bound to " << apps[i].appPath << "\n";
    }
  }
  // The profile-off flags live in the mouse; this view looks at bindings only.
  const std::array<bool, 5> noneOff{};
  // The switcher decides as the main window's timer does; this view watches
  // what it looks at to say so for every new window, also for one that
  // matches no profile (or the one already active).
  WatchedForeground watched(*source);
  AppSwitcher switcher(watched);
  bool first = true;
  for (long reported = 0; count < 0 || reported < count;) {
    const uint64_t before = switcher.LastForegroundWindow();
    watched.image.reset();
    watched.appId.reset();
    int activeProfile = -1;  // any match counts as a switch
    const std::optional<int> match = switcher.CheckForegroundApplication(apps, noneOff, activeProfile, {});
    const uint64_t window = watched.window;
    if (first || window != before) {
      first = false;
      ++reported;
      if (window == 0) {
        context.Out() << "foreground: none\n";
      } else if (!watched.image && !watched.appId) {
        context.Out() << "foreground: window " << Hex(static_cast<int>(window), 8)
                      << " (its process cannot be inspected)\n";
      } else {
        // A window seen by its application id only (the wlroots window list).
        if (watched.image) context.Out() << "foreground: " << ImageFileName(*watched.image) << " (" << *watched.image << ") -> ";
        else context.Out() << "foreground: application id " << *watched.appId << " -> ";
        if (match) context.Out() << "profile " << *match << " \"" << apps[*match].appName << "\"\n";
        else context.Out() << "no profile\n";
      }
      context.Out().flush();
      if (count >= 0 && reported >= count) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
  }
  return 0;
}

}  // namespace

void RegisterLightingCommands(CommandRegistry& registry) {
  registry.Add({"lighting",
                {"lighting show", "lighting effect N", "lighting zone I FLAGS R G B", "lighting preview I FLAGS R G B"},
                "show or change the light effect (N: 0..4) and the zone colours", RunLighting});
  registry.Add({"lift", {"lift show", "lift set VALUE", "lift test VALUE"}, "show, store or test the lift value",
                RunLift});
  registry.Add({"watch-apps",
                {"watch-apps [--display NAME] [--data-dir DIR] [--bind I=PATH]... [--count N] [--interval MS]"},
                "print the foreground application and the profile it would select", RunWatchApps});
}

}  // namespace quorix
