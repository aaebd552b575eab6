#include "options/app_switching.h"

#include "base/path_name.h"
#include "base/text_case.h"

namespace quorix {

BindResult BindApplication(ProfileApps& apps, int profile, const BindApplicationHooks& hooks,
                           const std::string& namePrompt) {
  if (profile < 0 || profile >= kSwitchProfileCount) return BindResult::kNoProfile;
  ProfileApp& app = apps[profile];
  BindResult result = BindResult::kToggled;
  if (app.appPath.empty()) {
    std::optional<std::string> path = hooks.chooseFile ? hooks.chooseFile() : std::nullopt;
    if (!path || path->empty()) return BindResult::kCancelled;
    if (path->size() > kApplicationPathMax) path->resize(kApplicationPathMax);
    const std::string proposed = hooks.displayName ? hooks.displayName(*path) : ImageFileName(*path);
    const std::optional<std::string> name = hooks.enterName ? hooks.enterName(namePrompt, proposed) : std::nullopt;
    if (name) {
      app.appName = *name;
      app.appPath = *path;
      app.appEnabled = 1;
      result = BindResult::kBound;
    } else {
      result = BindResult::kNameCancelled;
    }
  } else {
    app.appEnabled = app.appEnabled == 1 ? 0 : 1;
  }
  if (hooks.saveOptions) hooks.saveOptions();
  return result;
}

std::string ImageFileName(const std::string& imagePath) {
  const size_t separator = imagePath.find_last_of("\\/");
  if (separator == std::string::npos || separator == 0) return imagePath;
  return imagePath.substr(separator + 1);
}

std::optional<int> MatchApplication(const ProfileApps& apps, const std::array<bool, 5>& profileOff,
                                    const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  for (int i = 0; i < kSwitchProfileCount; ++i) {
    const ProfileApp& app = apps[i];
    if (profileOff[i] || app.appEnabled != 1) continue;
    // A path shorter than the file name cannot end with it.
    if (app.appPath.size() < fileName.size()) continue;
    if (app.appPath.compare(app.appPath.size() - fileName.size(), fileName.size(), fileName) == 0) return i;
  }
  return std::nullopt;
}

std::optional<int> MatchApplicationId(const ProfileApps& apps, const std::array<bool, 5>& profileOff,
                                      const std::string& appId) {
  if (appId.empty()) return std::nullopt;
  const std::string id = AsciiLower(appId);
  const size_t dot = id.find_last_of('.');
  const std::string lastPart = dot == std::string::npos ? id : id.substr(dot + 1);
  for (int i = 0; i < kSwitchProfileCount; ++i) {
    const ProfileApp& app = apps[i];
    if (profileOff[i] || app.appEnabled != 1) continue;
    const std::string name = AsciiLower(BaseName(app.appPath));
    const size_t extension = name.find_last_of('.');
    const std::string stem = extension == std::string::npos || extension == 0 ? name : name.substr(0, extension);
    if (name.empty()) continue;
    if (name == id || stem == id || stem == lastPart) return i;
  }
  return std::nullopt;
}

std::optional<int> AppSwitcher::CheckForegroundApplication(const ProfileApps& apps,
                                                           const std::array<bool, 5>& profileOff, int& activeProfile,
                                                           const std::function<void(int)>& switchTo) {
  const uint64_t window = source_.ForegroundWindow();
  if (window == lastForegroundWindow_) return std::nullopt;
  lastForegroundWindow_ = window;
  if (window == 0) return std::nullopt;
  const std::optional<std::string> image = source_.ProcessImageName(window);
  std::optional<int> match;
  if (image) {
    const std::string fileName = ImageFileName(*image);
    if (fileName.empty()) return std::nullopt;
    match = MatchApplication(apps, profileOff, fileName);
  } else if (const std::optional<std::string> appId = source_.ApplicationId(window)) {
    match = MatchApplicationId(apps, profileOff, *appId);
  }
  if (!match || *match == activeProfile) return std::nullopt;
  activeProfile = *match;
  if (switchTo) switchTo(*match);
  return match;
}

}  // namespace quorix
