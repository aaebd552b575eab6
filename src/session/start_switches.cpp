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
    if (a.rfind("--", 0) == 0 && (a == "--close" || a == "--hide" || a.rfind("--langid=", 0) == 0))
      a = "/" + a.substr(2);
    auto value = [&](std::string& into) {
      if (i + 1 < args.size())
        into = args[++i];
      else
        s.unknown.push_back(args[i]);
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
    } else if (a == "--help" || a == "-h") {
      s.help = true;
    } else if (a == "--version") {
      s.version = true;
    } else {
      s.unknown.push_back(args[i]);
    }
  }
  return s;
}

std::string StartSwitchesProblem(const StartSwitches& switches) {
  if (!switches.unknown.empty()) return "unknown option " + switches.unknown.front() + " (see --help)";
  return {};
}

std::string StartSwitchesUsage() {
  return "Usage: quorix-mouse [OPTION]...\n"
         "Shows and changes the settings of a QUORIX gaming mouse.\n"
         "\n"
         "  /hide, --hide           start in the tray; a second start stays silent\n"
         "  /close, --close         make the running program quit\n"
         "  /langid=N, --langid=N   language: 1033 English, 1041 Japanese,\n"
         "                          1028 Traditional Chinese (kept in set.ini)\n"
         "  --simulate[=LEVEL]      use the simulated mouse (level11, level5, level0)\n"
         "  --sim-state FILE        keep the simulated mouse's memory in FILE\n"
         "  --sim-option NAME[=V]   a simulator switch, as quorix-mousectl takes it\n"
         "  --help, --version       this text, the program's version\n"
         "\n"
         "Without a display the mouse's settings are printed instead.\n";
}

}  // namespace quorix
