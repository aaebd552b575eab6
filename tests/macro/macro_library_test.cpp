#include "macro/macro_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "macro/macro_file.h"
#include "settings/memory_map.h"
#include "support/temp_dir.h"
#include "texts/text_tables.h"

namespace quorix {
namespace {

namespace fs = std::filesystem;

const std::vector<MacroItem> kTap = {KeyItem(true, 0x04), WaitItem(50), KeyItem(false, 0x04)};

std::vector<std::string> Names(const std::vector<MacroListItem>& rows) {
  std::vector<std::string> names;
  for (const auto& row : rows) names.push_back(row.name);
  return names;
}

const MacroListItem* Find(const std::vector<MacroListItem>& rows, const std::string& name) {
  for (const auto& row : rows) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

class MacroLibraryTest : public ::testing::Test {
 protected:
  MacroLibraryTest() : library_(dir_.Path("Favorite"), QUORIX_SOURCE_DATA_DIR) {
    fs::create_directories(dir_.Path("Favorite"));
  }
  void WriteMacro(const std::string& relative, const std::string& name, int64_t time) {
    fs::create_directories(fs::path(dir_.Path("Favorite/" + relative)).parent_path());
    ASSERT_TRUE(WriteMacroFile(dir_.Path("Favorite/" + relative), name, 8, kTap, time));
  }

  test::TempDir dir_;
  MacroLibrary library_;
  KeyTexts keyTexts_ = MakeKeyTexts(DefaultTextTables());
};

TEST_F(MacroLibraryTest, ScanSortsByNameNewestFirstAndSkipsBadFiles) {
  WriteMacro("b.mf", "Zoom", 10);
  WriteMacro("a.mf", "Alpha", 10);
  WriteMacro("c.mf", "Alpha", 20);
  WriteMacro("Games/d.mf", "Beta", 5);
  test::WriteFile(dir_.Path("Favorite/short.mf"), "123456789");
  fs::copy_file(std::string(QUORIX_TEST_DATA_DIR) + "/bad_version.mf", dir_.Path("Favorite/bad.mf"));
  test::WriteFile(dir_.Path("Favorite/notes.txt"), "not a macro");
  library_.Scan();
  const auto& rows = library_.Files();
  EXPECT_EQ(Names(rows), (std::vector<std::string>{"Alpha", "Alpha", "Beta", "Games", "Zoom"}));
  EXPECT_EQ(rows[0].time, 20);  // the newer of two equal names first
  EXPECT_EQ(rows[1].time, 10);
  const MacroListItem* games = Find(rows, "Games");
  ASSERT_NE(games, nullptr);
  EXPECT_EQ(games->kind, MacroRowKind::kFolder);
  EXPECT_EQ(games->size, 1);
  const MacroListItem* beta = Find(rows, "Beta");
  EXPECT_EQ(beta->parent, games->id);
  EXPECT_EQ(beta->level, 1);
  EXPECT_EQ(beta->size, 6 + 2 * 4);
  ASSERT_EQ(library_.InvalidFiles().size(), 1u);
  EXPECT_NE(library_.InvalidFiles()[0].find("bad.mf"), std::string::npos);
}

TEST_F(MacroLibraryTest, TwoAdditionsInOneSecondKeepBothFiles) {
  const Result<std::string> first = library_.Add("One", 8, kTap, 0, 1767225600);
  const Result<std::string> second = library_.Add("Two", 9, kTap, 0, 1767225600);
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(fs::path(*first).filename(), "1767225600.mf");
  EXPECT_EQ(Names(library_.Files()), (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(library_.AddStatusText("One"), "Add \"One\" to favorite...");
  // Into a folder row: the folder is opened.
  ASSERT_TRUE(library_.NewFolder("Work"));
  const MacroListItem* work = Find(library_.Files(), "Work");
  ASSERT_NE(work, nullptr);
  const Result<std::string> inFolder = library_.Add("Three", 10, kTap, work->id, 1767225601);
  ASSERT_TRUE(inFolder) << inFolder.detail();
  EXPECT_EQ(fs::path(*inFolder).parent_path().filename(), "Work");
  EXPECT_EQ(Find(library_.Files(), "Work")->expanded, 1);
  EXPECT_EQ(library_.Add("Four", 8, kTap, 99999, 1).failure(), Failure::kCannotWriteFile);  // no such folder
}

TEST_F(MacroLibraryTest, FolderNamesAreCleaned) {
  ASSERT_TRUE(library_.NewFolder("a/b:c*?"));
  EXPECT_TRUE(fs::is_directory(dir_.Path("Favorite/a_b_c__")));
  const MacroListItem folder = *Find(library_.Files(), "a_b_c__");
  ASSERT_TRUE(library_.Rename(folder, "new|name", 0));
  EXPECT_TRUE(fs::is_directory(dir_.Path("Favorite/new_name")));
}

TEST_F(MacroLibraryTest, RenameRewritesTheFile) {
  WriteMacro("x.mf", "Old", 10);
  library_.Scan();
  ASSERT_TRUE(library_.Rename(library_.Files()[0], "New", 99));
  MacroFileHeader header;
  ASSERT_EQ(ReadMacroFileHeader(dir_.Path("Favorite/x.mf"), header), MacroFileStatus::kOk);
  EXPECT_EQ(header.name, "New");
  EXPECT_EQ(header.time, 99);
  EXPECT_EQ(library_.Files()[0].name, "New");
}

TEST_F(MacroLibraryTest, DeleteTouchesOnlyFileRows) {
  WriteMacro("x.mf", "Keep me", 10);
  WriteMacro("Full/y.mf", "Inside", 10);
  ASSERT_TRUE(library_.NewFolder("Empty"));
  library_.Scan();
  // A device slot row or a group header that happens to carry a file path
  // must never reach the file system.
  MacroListItem device = *Find(library_.Files(), "Keep me");
  device.kind = MacroRowKind::kDeviceSlot;
  EXPECT_EQ(library_.Delete(device), MacroLibrary::DeleteResult::kNotAFile);
  MacroListItem header;
  header.kind = MacroRowKind::kFolder;
  header.path = "@_INTERNAL_201";
  header.id = 201;
  EXPECT_EQ(library_.Delete(header), MacroLibrary::DeleteResult::kNotAFile);
  MacroListItem stranger = *Find(library_.Files(), "Keep me");
  stranger.path = dir_.Path("Favorite/Full/y.mf");  // a row whose path is not its own
  EXPECT_EQ(library_.Delete(stranger), MacroLibrary::DeleteResult::kNotAFile);
  EXPECT_TRUE(fs::exists(dir_.Path("Favorite/x.mf")));
  EXPECT_TRUE(fs::exists(dir_.Path("Favorite/Full/y.mf")));

  EXPECT_EQ(library_.Delete(*Find(library_.Files(), "Full")), MacroLibrary::DeleteResult::kFolderNotEmpty);
  EXPECT_TRUE(fs::exists(dir_.Path("Favorite/Full/y.mf")));
  EXPECT_EQ(library_.Delete(*Find(library_.Files(), "Empty")), MacroLibrary::DeleteResult::kDeleted);
  EXPECT_FALSE(fs::exists(dir_.Path("Favorite/Empty")));
  EXPECT_EQ(library_.Delete(*Find(library_.Files(), "Keep me")), MacroLibrary::DeleteResult::kDeleted);
  EXPECT_FALSE(fs::exists(dir_.Path("Favorite/x.mf")));
}

TEST_F(MacroLibraryTest, FunctionListFromShippedLibraries) {
  FunctionListInputs inputs;
  inputs.keyTexts = &keyTexts_;
  FunctionList closed = library_.BuildFunctionList(inputs);
  // Closed groups show their headers only, then the PC caption.
  std::vector<std::string> headers;
  for (const auto& row : closed.rows) headers.push_back(row.path);
  EXPECT_EQ(headers, (std::vector<std::string>{"@_INTERNAL_201", "@_INTERNAL_202", "@_INTERNAL_203", "@_INTERNAL_204",
                                               "@_INTERNAL_210", ""}));
  EXPECT_EQ(closed.rows.back().name, "Macro list (PC)");
  EXPECT_EQ(closed.rows.back().kind, MacroRowKind::kCaption);
  EXPECT_EQ(closed.rows[3].name, "Mutimedia");
  EXPECT_EQ(closed.rows[3].size, 14);
  EXPECT_TRUE(closed.deviceRows.empty());

  for (int group : {kGroupMouse, kGroupConsumer, kGroupLibraries, kGroupLibraries + 1})
    library_.SetGroupOpen(group, true);
  FunctionList open = library_.BuildFunctionList(inputs);
  const MacroListItem* scrollDown = Find(open.rows, "Scroll down");
  ASSERT_NE(scrollDown, nullptr);
  EXPECT_EQ(scrollDown->parent, kGroupMouse);
  EXPECT_EQ(scrollDown->type, 4);
  EXPECT_NE(Find(open.rows, "Volume +"), nullptr);
  const MacroListItem* office = Find(open.rows, "Office");
  ASSERT_NE(office, nullptr);
  EXPECT_EQ(office->id, kGroupLibraries + 1);
  const MacroListItem* doubleClick = Find(open.rows, "Double click");
  ASSERT_NE(doubleClick, nullptr);  // a macro entry, read from its file
  EXPECT_EQ(doubleClick->type, 8);
  EXPECT_TRUE(fs::exists(doubleClick->path));
  EXPECT_NE(Find(open.rows, "Ctrl + P"), nullptr);
}

TEST_F(MacroLibraryTest, LibrariesNeedNameAndTagAndSortByName) {
  const std::string program = dir_.Path("program");
  test::WriteFile(program + "/bulitin.ini", "[Advanced0]\nname=x\ntype=18\n[Advanced1]\nname=y\ntype=12\n");
  test::WriteFile(program + "/library/a.ini", "[DB]\nname=Zed\ntag=Z\n[Z0]\nname=z\ntype=13\n");
  test::WriteFile(program + "/library/b.ini", "[DB]\nname=Able\ntag=A\n[A0]\nname=a\ntype=14\n");
  test::WriteFile(program + "/library/c.ini", "[DB]\nname=No tag\n[0]\nname=c\ntype=12\n");
  MacroLibrary library(dir_.Path("Favorite"), program);
  for (int group : {kGroupAdvanced, kGroupLibraries, 211, 212}) library.SetGroupOpen(group, true);
  FunctionListInputs inputs;
  inputs.keyTexts = &keyTexts_;
  auto rows = library.BuildFunctionList(inputs).rows;
  EXPECT_EQ(Names(rows), (std::vector<std::string>{"Advanced", "DPI+", "Function lbrary", "Able", "DPI loop", "Zed",
                                                   "DPI-", "Macro list (PC)"}));
  EXPECT_EQ(rows[2].size, 2);
  // Types 18 and 19 only for the devices whose model code is 2 or 3.
  for (const auto& [path, model, shown] :
       {std::tuple{"/dev/hidraw0", 2, true}, {"/dev/hidraw0", 3, true}, {"/dev/hidraw0", 18, false}, {"", 3, false}}) {
    SettingsImage current;
    current.devicePath = path;
    current.modelCode = model;
    const FunctionListInputs fromDevice = FunctionListInputsFor(current, keyTexts_);
    EXPECT_EQ(fromDevice.device != nullptr, !std::string(path).empty());
    EXPECT_EQ(library.BuildFunctionList(fromDevice).rows[1].name == "Adjust lift", shown) << path << " " << model;
  }

  // A type 2 entry with op1 bit 0 is counted but listed only with the
  // operating-system flag.
  test::WriteFile(program + "/bulitin.ini", "[Advanced0]\nname=touch\ntype=2\nop1=1\n");
  inputs.deviceTypeCode = 0;
  rows = library.BuildFunctionList(inputs).rows;
  ASSERT_EQ(rows[0].name, "Advanced");
  EXPECT_EQ(rows[0].size, 1);
  EXPECT_EQ(rows[1].name, "Function lbrary");
  inputs.osVersionFlag = true;
  rows = library.BuildFunctionList(inputs).rows;
  EXPECT_EQ(rows[1].name, "Virtual Touch (Windows 8)");
}

TEST_F(MacroLibraryTest, DeviceSlotsAsUserMacrosAndMouseMemory) {
  SettingsImage image;
  image.map = MemoryMapForLevel(11, 7);
  image.macroSlots[4] = {"beta", 1400, 1433, 50, 9};
  image.macroSlots[2] = {"Alpha", 1360, 1393, 40, 10};
  image.profiles[3].buttons[5] = {10, 0x71, 0x05, 0};  // runs Alpha (code 1393)
  FunctionListInputs inputs;
  inputs.keyTexts = &keyTexts_;
  inputs.device = &image;
  library_.SetGroupOpen(kGroupUserMacro, true);
  FunctionList list = library_.BuildFunctionList(inputs);
  const MacroListItem* user = Find(list.rows, "User Macro");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->size, 2);
  const MacroListItem* alpha = Find(list.rows, "Alpha");
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(alpha->type, 8);
  EXPECT_EQ(alpha->op1 + 256 * alpha->op2, 1393);
  EXPECT_EQ(alpha->kind, MacroRowKind::kDeviceSlot);
  EXPECT_EQ(Names(list.deviceRows), (std::vector<std::string>{"Mouse memory", "Alpha", "beta", "Empty"}));
  EXPECT_EQ(list.deviceRows[1].type, 10);
  EXPECT_EQ(list.deviceRows[1].profiles, 1 << 3);
  EXPECT_EQ(list.deviceRows[2].size, 50);
  EXPECT_EQ(list.deviceRows[3].slot, 0);  // the first empty slot
}

}  // namespace
}  // namespace quorix
