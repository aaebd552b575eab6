#pragma once
// The main window's "Other" page switch for starting with the desktop
// session. The entry file is the switch: On() is what the file said when the
// switch was set up or last flipped. Lives on the GUI thread with its window;
// the shell makes it for the user's configuration folder and the program it
// starts.

#include <string>

#include "base/result.h"

namespace quorix {

class AutostartSwitch {
 public:
  AutostartSwitch() = default;
  // An empty entry path means the desktop has no such switch.
  AutostartSwitch(std::string entryPath, std::string program);
  // The entry under the user's configuration folder ($XDG_CONFIG_HOME, else
  // ~/.config): <configHome>/autostart/quorix-mouse.desktop.
  static AutostartSwitch InConfigFolder(const std::string& configHome, std::string program);

  bool Available() const { return !entryPath_.empty(); }
  bool On() const { return on_; }
  // Writes or removes the entry, the opposite of what the file holds now,
  // and reads the file again; a failure's detail says why.
  Outcome Flip();

 private:
  std::string entryPath_;
  std::string program_;
  bool on_ = false;
};

}  // namespace quorix
