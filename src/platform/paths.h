#pragma once
// Where the program finds its folders on this desktop.

#include <string>
#include <vector>

namespace quorix {

class Paths {
 public:
  virtual ~Paths() = default;
  // The user's documents folder, without a trailing separator; the data
  // folder is made inside it.
  virtual std::string DocumentsFolder() const = 0;
  // The folder of the program's read-only data (language.ini, keyboard.ini,
  // bulitin.ini), without a trailing separator.
  virtual std::string ProgramFolder() const = 0;
  // Folders that hold the desktop's application entries (.desktop files),
  // most important first.
  virtual std::vector<std::string> ApplicationFolders() const = 0;
};

}  // namespace quorix
