#pragma once
// Paths on a freedesktop.org desktop: the documents folder of xdg-user-dirs,
// the applications folders of the XDG base directories, and the program's
// data folder.

#include <functional>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace quorix {

class XdgPaths final : public Paths {
 public:
  // Looks up an environment variable; nullptr when unset.
  using GetEnv = std::function<const char*(const char* name)>;

  // The program folder is $QUORIX_DATA_DIR when set, else ../share/quorix-mouse
  // from the executable's folder when the executable is installed (it lies in
  // a "bin" folder) or that folder holds language.ini, else
  // `defaultProgramFolder` (the source tree's data, for a build-tree run).
  // `executable` is the program's path; empty: /proc/self/exe.
  explicit XdgPaths(std::string defaultProgramFolder, GetEnv getEnv = nullptr, std::string executable = {});

  // XDG_DOCUMENTS_DIR of $XDG_CONFIG_HOME/user-dirs.dirs (with $HOME
  // expanded), else $HOME/Documents.
  std::string DocumentsFolder() const override;
  std::string ProgramFolder() const override;
  // $XDG_DATA_HOME/applications, then <dir>/applications for every folder of
  // $XDG_DATA_DIRS (defaults ~/.local/share and /usr/local/share:/usr/share).
  std::vector<std::string> ApplicationFolders() const override;

 private:
  std::string Env(const char* name) const;
  std::string Home() const;

  std::string defaultProgramFolder_;
  GetEnv getEnv_;
  std::string executable_;
};

}  // namespace quorix
