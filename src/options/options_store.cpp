#include "options/options_store.h"

#include <climits>
#include <stdexcept>

#include "base/ini_file.h"
#include "platform/pointer_settings.h"
#include "texts/language.h"

namespace quorix {

namespace {

constexpr size_t kAppTextLimit = 1000;

std::string Indexed(const char* key, size_t i) { return key + std::to_string(i); }

bool ParseDecimal(const std::string& text, int& out) {
  if (text.empty()) return false;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > 0x7FFFFFFFLL + 1) return false;
  }
  if (text[0] == '-') value = -value;
  if (value > 0x7FFFFFFFLL || value < -0x80000000LL) return false;
  out = static_cast<int>(value);
  return true;
}

constexpr const char* kWindowXKey = "window_x";
constexpr const char* kWindowYKey = "window_y";
constexpr const char* kWindowPageKey = "window_page";

// A place needs both coordinates; a file edited by hand that has only one
// opens the window where the desktop puts it.
std::optional<WindowPlace> LoadWindowPlace(const IniDocument& ini) {
  constexpr int kAbsent = INT_MIN;
  const int x = ini.GetInt(kOptionsSection, kWindowXKey, kAbsent);
  const int y = ini.GetInt(kOptionsSection, kWindowYKey, kAbsent);
  if (x == kAbsent || y == kAbsent) return std::nullopt;
  return WindowPlace{x, y, ini.GetInt(kOptionsSection, kWindowPageKey, 0)};
}

}  // namespace

Result<Options> LoadOptions(const std::string& setIniPath, const AppNamer& appNamer, PointerSettings* pointer,
                            int ansiCodePage) {
  const IniDocument ini = IniDocument::Load(setIniPath, ansiCodePage);
  if (!ini.ReadError().empty()) return Outcome(Failure::kCannotReadFile, ini.ReadError());
  Options o;
  o.recordHotkey = ini.GetInt(kOptionsSection, "hotkey", 68);
  o.recordHotkeyName = ini.GetInt(kOptionsSection, "hotkeym", 68);
  o.osdEnabled = ini.GetInt(kOptionsSection, "osd", 1);
  o.disableAcceleration = ini.GetInt(kOptionsSection, "disable_acc", 1);
  // Any non-zero value means "off": passing it on as a toggle would switch
  // acceleration back on at every start for values other than 1.
  if (pointer != nullptr && o.disableAcceleration != 0) SetAcceleration(*pointer, true, true);

  o.windowPlace = LoadWindowPlace(ini);
  for (size_t i = 0; i < o.apps.size(); ++i) {
    ProfileApp& app = o.apps[i];
    app.appEnabled = ini.GetInt(kOptionsSection, Indexed("app_enable", i), 0);
    const std::string path = ini.GetString(kOptionsSection, Indexed("app", i), kNoStringMarker, kAppTextLimit);
    const std::string name = ini.GetString(kOptionsSection, Indexed("app_name", i), kNoStringMarker, kAppTextLimit);
    if (path != kNoStringMarker && !path.empty()) {
      app.appPath = path;
      app.appName = name != kNoStringMarker ? name : (appNamer ? appNamer(path) : path);
    } else {
      app.appPath.clear();
      app.appName = name != kNoStringMarker ? name : std::string(kProfileWord) + " " + std::to_string(i + 1);
    }
  }
  return o;
}

std::vector<std::pair<std::string, std::string>> OptionEntries(const Options& o) {
  std::vector<std::pair<std::string, std::string>> entries = {
      {"osd", std::to_string(o.osdEnabled)},
      {"disable_acc", std::to_string(o.disableAcceleration)},
      {"hotkey", std::to_string(o.recordHotkey)},
      {"hotkeym", std::to_string(o.recordHotkeyName)},
  };
  for (size_t i = 0; i < o.apps.size(); ++i) {
    entries.emplace_back(Indexed("app_enable", i), std::to_string(o.apps[i].appEnabled));
    entries.emplace_back(Indexed("app", i), o.apps[i].appPath);
    entries.emplace_back(Indexed("app_name", i), o.apps[i].appName);
  }
  if (o.windowPlace) {
    entries.emplace_back(kWindowXKey, std::to_string(o.windowPlace->x));
    entries.emplace_back(kWindowYKey, std::to_string(o.windowPlace->y));
    entries.emplace_back(kWindowPageKey, std::to_string(o.windowPlace->page));
  }
  return entries;
}

Outcome SaveOptions(const std::string& setIniPath, const Options& options, int ansiCodePage) {
  IniDocument ini = IniDocument::Load(setIniPath, ansiCodePage);
  try {
    for (const auto& [key, value] : OptionEntries(options)) ini.SetString(kOptionsSection, key, value);
  } catch (const std::invalid_argument& refused) {
    // Nothing was written: the document is only saved below.
    return Outcome(Failure::kCannotWriteFile, refused.what());
  }
  if (!ini.Modified()) return {};
  return ini.Save(setIniPath);
}

bool SetOptionByKey(Options& o, const std::string& key, const std::string& value) {
  auto number = [&](int& field) { return ParseDecimal(value, field); };
  if (key == "osd") return number(o.osdEnabled);
  if (key == "disable_acc") return number(o.disableAcceleration);
  if (key == "hotkey") return number(o.recordHotkey);
  if (key == "hotkeym") return number(o.recordHotkeyName);
  for (const auto& [placeKey, field] :
       {std::pair{kWindowXKey, &WindowPlace::x}, std::pair{kWindowYKey, &WindowPlace::y},
        std::pair{kWindowPageKey, &WindowPlace::page}}) {
    if (key != placeKey) continue;
    WindowPlace place = o.windowPlace.value_or(WindowPlace{});
    if (!ParseDecimal(value, place.*field)) return false;
    o.windowPlace = place;
    return true;
  }
  for (size_t i = 0; i < o.apps.size(); ++i) {
    if (key == Indexed("app_enable", i)) return number(o.apps[i].appEnabled);
    if (key == Indexed("app", i)) {
      o.apps[i].appPath = value;
      return true;
    }
    if (key == Indexed("app_name", i)) {
      o.apps[i].appName = value;
      return true;
    }
  }
  return false;
}

bool SetAcceleration(PointerSettings& pointer, bool change, bool forceOff) {
  const bool on = pointer.GetAcceleration().threshold1 > 0;
  int speed = pointer.GetSpeed();
  if (!change) return !on && speed == 10;
  const bool newOn = forceOff ? false : !on;
  if (!newOn && speed != 10) {
    pointer.SetSpeed(10);
    speed = 10;
  }
  pointer.SetAcceleration(newOn ? PointerAcceleration{4, 12, 2} : PointerAcceleration{0, 0, 0});
  return !newOn && speed == 10;
}

void ApplyAccelerationSwitch(PointerSettings& pointer, bool disable) {
  if (disable) {
    SetAcceleration(pointer, true, true);
  } else if (pointer.GetAcceleration().threshold1 <= 0) {
    SetAcceleration(pointer, true, false);
  }
}

}  // namespace quorix
