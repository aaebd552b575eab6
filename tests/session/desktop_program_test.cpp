// The desktop program's start-up beside its session, and what the mouse's
// own reports ask of the desktop.
#include "session/desktop_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "macro/macro_library.h"
#include "platform/paths.h"
#include "session/desktop_requests.h"
#include "support/fake_clock.h"
#include "support/fake_pointer_settings.h"
#include "support/temp_dir.h"

namespace quorix::test {
namespace {

struct FolderPaths final : Paths {
  std::string documents;
  std::string DocumentsFolder() const override { return documents; }
  std::string ProgramFolder() const override { return QUORIX_SOURCE_DATA_DIR; }
  std::vector<std::string> ApplicationFolders() const override { return {"/usr/share/applications"}; }
};

TEST(DesktopProgram, FoldersThenLanguageThenWhatTheSessionIsMadeFrom) {
  TempDir dir;
  FolderPaths paths;
  paths.documents = dir.Path("Documents");
  DesktopProgram program(paths);
  const std::string data = dir.Path("Documents/QUORIX Gaming Mouse Software/");
  EXPECT_TRUE(std::filesystem::is_directory(data + "Favorite"));
  EXPECT_EQ(program.SetIni(), data + "set.ini");
  EXPECT_EQ(program.ApplicationFolders(), std::vector<std::string>{"/usr/share/applications"});
  EXPECT_EQ(program.LanguageId(), 1033);

  program.ChooseLanguage({"/hide", "/langid=1041"});
  EXPECT_EQ(program.LanguageId(), 1041);
  const InterfaceFaces faces = program.Faces({"DejaVu Sans", "Meiryo UI Bold"});
  EXPECT_EQ(faces.face, "Meiryo UI");
  EXPECT_EQ(faces.face15, "Meiryo UI") << "Japanese draws its small fonts in the interface face";
  const TextTables texts = program.TakeTexts();
  EXPECT_NE(texts.buttonStr[0], EnglishTexts().buttonStr[0]);

  EXPECT_EQ(program.OpenMacroLibrary(texts).Root(), data + "Favorite");
  EXPECT_FALSE(program.LoadKeyboard(texts).keys.empty());
}

// The desktop's acceleration is the user's: the option read at start-up
// takes effect at once, the switch follows, and quitting gives it back.
TEST(DesktopProgram, AccelerationFollowsTheOptionAndIsGivenBack) {
  struct Row {
    const char* name;
    bool disableAtStart;
    std::function<void(DesktopProgram&)> then;
    std::vector<int> speedWrites;  // the fake starts at speed 14
  };
  const std::vector<Row> rows = {
      {"checked at start, then quit", true, [](DesktopProgram&) {}, {10, 14}},
      {"unchecked at start leaves it alone", false, [](DesktopProgram&) {}, {}},
      {"checked later by the switch", false, [](DesktopProgram& p) { p.SwitchAcceleration(true); }, {10, 14}},
      {"checked, then unchecked", true, [](DesktopProgram& p) { p.SwitchAcceleration(false); }, {10, 14}},
  };
  TempDir dir;
  FolderPaths paths;
  paths.documents = dir.Path("Documents");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DesktopProgram program(paths);
    auto pointer = std::make_unique<FakePointerSettings>();
    const FakePointerSettings& desktop = *pointer;
    program.ControlAcceleration(std::move(pointer), row.disableAtStart);
    EXPECT_TRUE(program.ControlsAcceleration());
    row.then(program);
    program.GiveBackAcceleration();
    EXPECT_EQ(desktop.speedWrites, row.speedWrites);
    EXPECT_EQ(desktop.speed, 14);
  }
  DesktopProgram without(paths);
  without.ControlAcceleration(nullptr, true);
  EXPECT_FALSE(without.ControlsAcceleration());
  without.SwitchAcceleration(false);  // no desktop to change: nothing happens
}

TEST(DesktopRequests, LaunchSettingRaisesTheWindowAndWheelStepsScroll) {
  struct Injected final : InputInjector {
    void ScrollHorizontal(int steps) override { scrolls.push_back(steps); }
    void MovePointerBy(int, int) override {}
    std::vector<int> scrolls;
  } injector;
  FakeClock clock;
  DesktopRequests requests(injector, clock);
  auto event = [](DeviceEventKind kind, int openValue, int wheelSteps) {
    DeviceEvent e{kind};
    e.report.openValue = openValue;
    e.report.wheelSteps = wheelSteps;
    return e;
  };
  struct Row {
    const char* name;
    DeviceEvent event;
    bool raises;
    std::vector<int> scrolls;
  };
  const std::vector<Row> rows = {
      {"launch setting 1", event(DeviceEventKind::kOpenRequest, 1, 0), true, {}},
      {"another value", event(DeviceEventKind::kOpenRequest, 2, 0), false, {}},
      {"a value 1 of another kind", event(DeviceEventKind::kStateReport, 1, 3), false, {}},
      {"wheel right", event(DeviceEventKind::kWheelSteps, 0, 2), false, {2}},
      {"wheel left", event(DeviceEventKind::kWheelSteps, 0, -1), false, {-1}},
      {"no steps", event(DeviceEventKind::kWheelSteps, 0, 0), false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    injector.scrolls.clear();
    EXPECT_EQ(DesktopRequests::AsksForMainWindow(row.event), row.raises);
    requests.Scroll(row.event);
    EXPECT_EQ(injector.scrolls, row.scrolls);
  }
}

}  // namespace
}  // namespace quorix::test
