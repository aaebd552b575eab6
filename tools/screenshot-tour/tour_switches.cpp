#include "tour_switches.h"

namespace quorix::tour {

TourSwitches ParseTourSwitches(const std::vector<std::string>& args) {
  TourSwitches switches;
  if (args.empty()) return switches;
  switches.folder = args.front();
  switches.start = ParseStartSwitches(std::vector<std::string>(args.begin() + 1, args.end()));
  return switches;
}

std::string TourSwitchesProblem(const TourSwitches& switches) {
  if (switches.folder.empty() || switches.folder.rfind("-", 0) == 0)
    return "usage: quorix-mouse-tour OUTDIR --simulate[=LEVEL] [quorix-mouse option]...";
  if (const std::string problem = StartSwitchesProblem(switches.start); !problem.empty()) return problem;
  if (switches.start.simulate.empty())
    return "the tour writes demo macros into the mouse: it runs only with --simulate";
  if (switches.start.close || switches.start.help || switches.start.version)
    return "the tour takes no /close, --help or --version";
  return {};
}

}  // namespace quorix::tour
