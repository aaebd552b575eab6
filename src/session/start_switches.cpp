#include "session/start_switches.h"

#include <cctype>

namespace quorix {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

StartSwitches ParseStartSwitches(const std::vector<std::string>& args) {
  StartSwitches s;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = Lower(args[i]);
    if (a.rfind("--", 0) == 0 && (a == "--close" || a == "--hide" || a.rfind("--langid=", 0) == 0)) a = "/" + a.substr(2);
    auto value = [&](std::string& into) {
      if (i + 1 < args.size()) into = args[++i];
      else s.unknown.push_back(args[i]);
    };
    if (a == "/close") {
      s.close = true;
      s.classicArgs.push_back(a);
    } else if (a == "/hide") {
      s.hide = true;
      s.classicArgs.push_back(a);
    } else if (a.rfind("/langid=", 0) == 0) {
      s.classicArgs.push_back(a);
    } else if (a == "--simulate") {
      s.simulate = "level11";
    } else if (a.rfind("--simulate=", 0) == 0 &&
               (a == "--simulate=level11" || a == "--simulate=level5" || a == "--simulate=level0")) {
      s.simulate = a.substr(11);
    } else if (a == "--sim-option") {
      std::string option;
      value(option);
      if (!option.empty()) s.simOptions.push_back(option);
    } else if (a == "--sim-state") {
      value(s.simState);
    } else if (a == "--screenshot-tour") {
      value(s.screenshotDir);
    } else {
      s.unknown.push_back(args[i]);
    }
  }
  return s;
}

}  // namespace quorix
