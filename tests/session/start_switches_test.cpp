// The desktop program's start-up switches in both spellings and any case.
#include "session/start_switches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorix::test {
namespace {

TEST(StartSwitches, BothSpellingsAnyCase) {
  struct Row {
    std::vector<std::string> args;
    bool close, hide;
    std::vector<std::string> classic;
    std::string simulate;
    size_t unknown;
  };
  const std::vector<Row> rows = {
      {{"/CLOSE"}, true, false, {"/close"}, "", 0},
      {{"--Hide", "/LANGID=1041"}, false, true, {"/hide", "/langid=1041"}, "", 0},
      {{"--langid=1028"}, false, false, {"/langid=1028"}, "", 0},
      {{"--simulate=level0", "--sim-option", "press=open"}, false, false, {}, "level0", 0},
      {{"--simulate=level9", "/closed", "--sim-state"}, false, false, {}, "", 3},
  };
  for (const Row& row : rows) {
    const StartSwitches s = ParseStartSwitches(row.args);
    SCOPED_TRACE(row.args.front());
    EXPECT_EQ(s.close, row.close);
    EXPECT_EQ(s.hide, row.hide);
    EXPECT_EQ(s.classicArgs, row.classic);
    EXPECT_EQ(s.simulate, row.simulate);
    EXPECT_EQ(s.unknown.size(), row.unknown);
  }
  EXPECT_EQ(ParseStartSwitches({"--sim-option", "Press=Open"}).simOptions, std::vector<std::string>{"Press=Open"});
}

// The screenshot tour is a program of its own, never the shipped one's switch.
TEST(StartSwitches, WhatMayRun) {
  struct Row {
    std::vector<std::string> args;
    std::string problemMentions;  // "" when the switches run
  };
  const std::vector<Row> rows = {
      {{"--screenshot-tour", "/tmp/shots", "--simulate"}, "--screenshot-tour"},
      {{"--simulate", "--sim-state", "m.state", "/hide"}, ""},
      {{"--helpme"}, "--helpme"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.front());
    const std::string problem = StartSwitchesProblem(ParseStartSwitches(row.args));
    if (row.problemMentions.empty())
      EXPECT_EQ(problem, "");
    else
      EXPECT_NE(problem.find(row.problemMentions), std::string::npos) << problem;
  }
  const StartSwitches asked = ParseStartSwitches({"--HELP", "--version"});
  EXPECT_TRUE(asked.help && asked.version && asked.unknown.empty());
  for (const char* named : {"/close", "/hide", "/langid=", "--simulate", "--sim-state", "--sim-option", "--version"})
    EXPECT_NE(StartSwitchesUsage().find(named), std::string::npos) << named;
}

}  // namespace
}  // namespace quorix::test
