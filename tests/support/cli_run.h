#pragma once
// Runs quorix-mousectl in-process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace quorix::test {

struct CliRun {
  int status = 0;
  std::string out;
  std::string err;
};

inline CliRun RunCommand(const std::vector<std::string>& args, bool stderrIsTerminal = false) {
  std::ostringstream out, err;
  CliRun run;
  run.status = RunCli(args, out, err, stderrIsTerminal);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace quorix::test
