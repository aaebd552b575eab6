#include "platform/linux/xdg_paths.h"

#include <gtest/gtest.h>

#include <map>

#include "support/temp_dir.h"

namespace quorix {
namespace {

XdgPaths::GetEnv EnvFrom(const std::map<std::string, std::string>& env) {
  return [env](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
}

TEST(XdgPaths, DocumentsFolderFromUserDirs) {
  test::TempDir dir;
  const std::string home = dir.Path("home");
  XdgPaths fallback("/srv/data/", EnvFrom({{"HOME", home + "/"}}));
  EXPECT_EQ(fallback.DocumentsFolder(), home + "/Documents");

  test::WriteFile(home + "/.config/user-dirs.dirs",
                  "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
  EXPECT_EQ(fallback.DocumentsFolder(), home + "/Dokumente");

  test::WriteFile(dir.Path("cfg/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"/data/docs\"\n");
  XdgPaths custom("/srv/data", EnvFrom({{"HOME", home}, {"XDG_CONFIG_HOME", dir.Path("cfg")}}));
  EXPECT_EQ(custom.DocumentsFolder(), "/data/docs");
}

TEST(XdgPaths, ProgramAndApplicationFolders) {
  XdgPaths paths("/srv/data/", EnvFrom({{"HOME", "/home/u"}}));
  EXPECT_EQ(paths.ProgramFolder(), "/srv/data");
  EXPECT_EQ(paths.ApplicationFolders(),
            (std::vector<std::string>{"/home/u/.local/share/applications", "/usr/local/share/applications",
                                      "/usr/share/applications"}));
  XdgPaths custom("/srv/data", EnvFrom({{"HOME", "/home/u"},
                                        {"QUORIX_DATA_DIR", "/opt/q/"},
                                        {"XDG_DATA_HOME", "/x/share"},
                                        {"XDG_DATA_DIRS", "/a:relative:/b/"}}));
  EXPECT_EQ(custom.ProgramFolder(), "/opt/q");
  EXPECT_EQ(custom.ApplicationFolders(),
            (std::vector<std::string>{"/x/share/applications", "/a/applications", "/b/applications"}));
}

}  // namespace
}  // namespace quorix
