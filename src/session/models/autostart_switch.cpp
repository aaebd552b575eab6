#include "session/models/autostart_switch.h"

#include <utility>

#include "options/autostart.h"

namespace quorix {

AutostartSwitch::AutostartSwitch(std::string entryPath, std::string program)
    : entryPath_(std::move(entryPath)),
      program_(std::move(program)),
      on_(Available() && AutostartEnabled(entryPath_)) {}

AutostartSwitch AutostartSwitch::InConfigFolder(const std::string& configHome, std::string program) {
  return AutostartSwitch(AutostartEntryPath(configHome), std::move(program));
}

Outcome AutostartSwitch::Flip() {
  const Outcome set = SetAutostart(entryPath_, !AutostartEnabled(entryPath_), program_);
  on_ = AutostartEnabled(entryPath_);
  return set;
}

}  // namespace quorix
