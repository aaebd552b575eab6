// The simulator's state file parser: any text gives a state or a SimStateError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/sim_state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
  try {
    const quorix::sim::SimState state = quorix::sim::ParseSimState(text);
    // What parses must serialise back to a parseable equal state.
    const quorix::sim::SimState again = quorix::sim::ParseSimState(quorix::sim::SerializeSimState(state));
    if (again.memory != state.memory || again.protocolLevel != state.protocolLevel ||
        again.activeProfile != state.activeProfile || again.dpiSelection != state.dpiSelection) {
      __builtin_trap();
    }
  } catch (const quorix::sim::SimStateError&) {
  }
  return 0;
}
