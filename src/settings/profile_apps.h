#pragma once
// Per-profile application data: which program switches the mouse to a
// profile. Kept by the program (set.ini), not by the mouse; backup files carry
// it in their trailer. Strings are UTF-8.

#include <array>
#include <string>

namespace quorix {

struct ProfileApp {
  std::string appName;
  std::string appPath;
  int appEnabled = 0;
};

using ProfileApps = std::array<ProfileApp, 5>;

}  // namespace quorix
