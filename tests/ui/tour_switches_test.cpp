#include "tour_switches.h"

#include <gtest/gtest.h>

namespace quorix::test {
namespace {

// The tour stores demo macros: on a real mouse it would overwrite the user's
// empty slots, so only the simulated one may run it.
TEST(TourSwitches, WhatMayRun) {
  struct Row {
    std::vector<std::string> args;
    std::string problemMentions;  // "" when the tour runs
  };
  const std::vector<Row> rows = {
      {{"/tmp/shots"}, "--simulate"},
      {{"/tmp/shots", "--simulate=level5", "--langid=1041"}, ""},
      {{"/tmp/shots", "--simulate", "--screenshot-tour"}, "--screenshot-tour"},
      {{"--simulate", "/tmp/shots"}, "OUTDIR"},
      {{}, "OUTDIR"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const std::string problem = tour::TourSwitchesProblem(tour::ParseTourSwitches(row.args));
    if (row.problemMentions.empty())
      EXPECT_EQ(problem, "");
    else
      EXPECT_NE(problem.find(row.problemMentions), std::string::npos) << problem;
  }
  EXPECT_EQ(tour::ParseTourSwitches({"/tmp/shots", "--simulate=level0"}).start.simulate, "level0");
}

}  // namespace
}  // namespace quorix::test
