#include "options/autostart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quorix {
namespace {

std::string ExecLine(const std::string& text) {
  const size_t at = text.find("\nExec=");
  if (at == std::string::npos) return {};
  return text.substr(at + 6, text.find('\n', at + 1) - at - 6);
}

TEST(Autostart, ExecLineQuotesWhatTheFormatReserves) {
  struct Case {
    std::string program;
    std::string exec;
  };
  const std::vector<Case> cases = {
      {"/usr/bin/quorix-mouse", "/usr/bin/quorix-mouse /hide"},
      {"/opt/My Tools/quorix-mouse", "\"/opt/My Tools/quorix-mouse\" /hide"},
      {"/home/a$b/100%/q", "\"/home/a\\$b/100%%/q\" /hide"},
      {"/tmp/50%/q", "/tmp/50%%/q /hide"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    EXPECT_EQ(ExecLine(AutostartEntryText(c.program)), c.exec);
  }
}

TEST(Autostart, SwitchWritesAndRemovesTheEntry) {
  test::TempDir dir;
  const std::string entry = AutostartEntryPath(dir.Path("config"));
  EXPECT_EQ(entry, dir.Path("config") + "/autostart/quorix-mouse.desktop");
  struct Step {
    bool on;
    bool ok;
    bool enabledAfter;
  };
  // On creates the folder; on again replaces; off removes; off again is fine.
  for (const Step& step :
       std::vector<Step>{{true, true, true}, {true, true, true}, {false, true, false}, {false, true, false}}) {
    const Outcome set = SetAutostart(entry, step.on, "/usr/bin/quorix-mouse");
    EXPECT_EQ(static_cast<bool>(set), step.ok) << set.detail;
    EXPECT_EQ(AutostartEnabled(entry), step.enabledAfter);
  }
  SetAutostart(entry, true, "/usr/bin/quorix-mouse");
  EXPECT_EQ(test::ReadFile(entry), AutostartEntryText("/usr/bin/quorix-mouse"));
  const std::vector<std::string> leftovers = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(entry).parent_path()))
      names.push_back(e.path().filename().string());
    return names;
  }();
  EXPECT_EQ(leftovers, std::vector<std::string>{"quorix-mouse.desktop"}) << "no temporary file stays";

  // A configuration folder that is a file: the write fails and says why.
  test::WriteFile(dir.Path("plain"), "x");
  const Outcome set = SetAutostart(AutostartEntryPath(dir.Path("plain")), true, "/usr/bin/quorix-mouse");
  EXPECT_EQ(set, Failure::kCannotWriteFile);
  EXPECT_FALSE(set.detail.empty());
}

}  // namespace
}  // namespace quorix
