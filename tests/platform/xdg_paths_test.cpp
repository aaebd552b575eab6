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

TEST(XdgPaths, ProgramFolderOfAnInstalledOrBuildTreeExecutable) {
  test::TempDir dir;
  test::WriteFile(dir.Path("staged/share/quorix-mouse/language.ini"), "");
  const struct {
    std::string executable;
    std::string folder;
  } cases[] = {
      // Installed: its prefix's data, even when missing.
      {"/opt/q/bin/quorix-mousectl", "/opt/q/share/quorix-mouse"},
      {dir.Path("staged/libexec/quorix-mouse"), dir.Path("staged/share/quorix-mouse")},
      // A build tree without an installed layout: the source tree's data.
      {dir.Path("build/src/cli/quorix-mousectl"), "/src/data"},
  };
  for (const auto& c : cases) {
    XdgPaths paths("/src/data/", EnvFrom({{"HOME", "/home/u"}}), c.executable);
    EXPECT_EQ(paths.ProgramFolder(), c.folder) << c.executable;
    XdgPaths overridden("/src/data", EnvFrom({{"QUORIX_DATA_DIR", "/opt/d/"}}), c.executable);
    EXPECT_EQ(overridden.ProgramFolder(), "/opt/d") << c.executable;
  }
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
