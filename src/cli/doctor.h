#pragma once
// quorix-mousectl doctor: one report that an owner of a real mouse can paste
// into a bug report. It reads the system through SupportFacts and asks the
// mouse without writing to it.

#include "cli/cli.h"
#include "platform/support_facts.h"

namespace quorix {

// Prints the report (text, or JSON with --json) and returns 0 when it found
// no problem, 1 when it found one (each printed with the sentence that fixes
// it).
int RunDoctor(CliContext& ctx, SupportFacts& facts);

}  // namespace quorix
