#pragma once
// quorix-mouse-tour's command line: the folder the pictures go to, then the
// desktop program's start-up switches.

#include <string>
#include <vector>

#include "session/start_switches.h"

namespace quorix::tour {

struct TourSwitches {
  std::string folder;   // OUTDIR: the pictures go to OUTDIR/<language>/
  StartSwitches start;  // the rest, as quorix-mouse takes them
};

TourSwitches ParseTourSwitches(const std::vector<std::string>& args);

// What stops the tour, as one line for stderr; "" when it can run. The tour
// stores demo macros into the mouse: on a real mouse it would overwrite the
// user's empty slots, so it runs only on the simulated one.
std::string TourSwitchesProblem(const TourSwitches& switches);

}  // namespace quorix::tour
