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

  // `defaultProgramFolder` is used when neither $QUORIX_DATA_DIR nor an
  // installed share/quorix-mouse folder beside the executable exists.
  explicit XdgPaths(std::string defaultProgramFolder, GetEnv getEnv = nullptr);

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
};

}  // namespace quorix
