#pragma once
// The desktop program's start-up switches. The classic ones are written
// "/close", "/hide" and "/langid=N" in any letter case; the same words with
// "--" are accepted too, as a Linux user types them. The simulation switches
// are the command-line tool's.

#include <string>
#include <vector>

namespace quorix {

struct StartSwitches {
  bool close = false;  // make the running program quit, start nothing
  bool hide = false;   // start in the tray; a second start stays silent
  // The arguments in the classic form ("/langid=1041"), lower case, for the
  // language selection that stores "/langid=" in set.ini.
  std::vector<std::string> classicArgs;
  std::string simulate;                 // "" or "level11", "level5", "level0"
  std::vector<std::string> simOptions;  // --sim-option NAME[=VALUE]
  std::string simState;                 // --sim-state FILE
  bool help = false;                    // --help: the usage, then nothing else
  bool version = false;                 // --version
  std::vector<std::string> unknown;     // anything else, for the error line
};

StartSwitches ParseStartSwitches(const std::vector<std::string>& args);

// What stops the program from starting with these switches, as one line for
// stderr; "" when they can run.
std::string StartSwitchesProblem(const StartSwitches& switches);

// The usage --help prints.
std::string StartSwitchesUsage();

}  // namespace quorix
