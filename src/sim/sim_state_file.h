#pragma once
// The simulated mouse's state file: what the mouse keeps between CLI runs
// (its memory, active profile and sensitivity selection), as text:
//
//   quorix-sim-state 1
//   level 11
//   profile 0
//   selection 0
//   memory 8192
//   <memory as lower-case hex, 32 bytes per line>
//   end

#include <stdexcept>
#include <string>

#include "sim/sim_mouse.h"

namespace quorix::sim {

// A state file that cannot be read, parsed or written, or that belongs to
// another kind of mouse. what() is a one-line message naming the problem.
class SimStateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using SimState = SimMouse::Persistent;

inline constexpr int kMaxStateMemory = 1 << 24;

std::string SerializeSimState(const SimState& state);
// Throws SimStateError on anything but a complete, well-formed state.
SimState ParseSimState(const std::string& text);

// Writes through a temporary file in the same folder, renamed into place.
void SaveSimState(const SimMouse& mouse, const std::string& file);
// Reads, parses and applies; the mouse is unchanged when anything fails.
void LoadSimState(SimMouse& mouse, const std::string& file);

// Throws the SimStateError SaveSimState would when file cannot be written
// (no such folder, no access, a folder in its place), so that a run can
// refuse before it sends the mouse anything.
void CheckSimStateWritable(const std::string& file);

// The absolute path of file with links resolved, for the lock a run holds on
// the state from before it loads it to after it saved it (two runs on one file
// otherwise both start from the same state and the later save drops the
// other's changes). Every spelling of the path gives the same one.
std::string ResolvedSimStatePath(const std::string& file);

}  // namespace quorix::sim
