// The button settings window's behaviour without a screen: the choices and
// the two special slots, the current choice, the on-screen keyboard, the macro
// choice and its import, OK, and the write OK leads to on the simulated mouse.
#include "session/models/button_settings_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "macro/macro_memory.h"
#include "platform/named_mutex.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

MacroItem KeyItem(uint8_t opcode) {
  MacroItem item;
  item.length = 2;
  item.bytes = {opcode, 0x04};
  return item;
}

constexpr int kCtrl = 0, kShift = 1, kA = 2, kB = 3, kMute = 4, kScanOnly = 5, kNoUsage = 6;

KeyboardLayout TestKeyboard() {
  auto key = [](std::string legend, int hwcode, int chwcode, int modify, int code = 0) {
    KeyboardKey k;
    k.legend = std::move(legend);
    k.hwcode = hwcode;
    k.chwcode = chwcode;
    k.modify = modify;
    k.code = code;
    return k;
  };
  KeyboardLayout layout;
  layout.keys = {key("Ctrl", 0xE0, 0, 0x01),  key("Shift", 0xE1, 0, 0x02), key("A", 0x04, 0, 0),
                 key("B", 0x05, 0, 0),        key("Mute", 0, 0xE2, 0),     key("Q", 0, 0, 0, 0x10),
                 key("Kana", 0, 0, 0, 0x7777)};
  return layout;
}

struct ModelWorld {
  explicit ModelWorld(ButtonFunction record = {4, 1, 0, 0}, bool special = false, int freeSpace = 0) {
    ButtonSettingsModel::Setup setup;
    setup.keyTexts = &keyTexts;
    setup.texts = &texts;
    setup.keyboard = TestKeyboard();
    setup.keyboard.keys[kA].selected = true;  // left over from an earlier opening
    setup.record = record;
    setup.specialSlot = special;
    setup.macroName = [](int code) { return code == 0x140 ? std::string("Combo") : std::string(); };
    setup.freeMacroSpace = freeSpace;
    model = std::make_unique<ButtonSettingsModel>(std::move(setup));
  }
  int Find(const std::string& caption) const {
    const auto& c = model->Choices();
    for (size_t i = 0; i < c.size(); ++i)
      if (c[i].caption == caption) return static_cast<int>(i);
    ADD_FAILURE() << "no choice " << caption;
    return -1;
  }
  TextTables texts = DefaultTextTables();
  KeyTexts keyTexts = MakeKeyTexts(texts);
  std::unique_ptr<ButtonSettingsModel> model;
};

TEST(ButtonSettingsModel, ChoicesAreTheOfferedFunctionsAndCaptionsFollowTheLanguage) {
  ModelWorld w;
  ASSERT_EQ(w.model->Choices().size(), 37u);
  EXPECT_EQ(w.model->Choices()[kChoiceKeyboard].caption, "Keyboard ");
  EXPECT_EQ(w.model->Choices()[kChoiceMacro].caption, "Macro ");
  EXPECT_EQ(w.model->Choices()[w.Find("Profile 3")].function, (ButtonFunction{36, 2, 0, 1}));
  // A language with its own text for the profile choices formats the number.
  TextTables texts = DefaultTextTables();
  texts.typeStr[kFnProfileSelect] = "P%d";
  texts.mouseStr[kTiltRight] = "Kippen rechts";
  const auto choices = MakeButtonChoices(MakeKeyTexts(texts), texts);
  EXPECT_EQ(choices[18].caption, "P2");
  EXPECT_EQ(choices[kChoiceTiltRight].caption, "Kippen rechts");
}

TEST(ButtonSettingsModel, SpecialSlotsRefuseSixTypes) {
  struct Case {
    int button, level;
    bool special;
  } cases[] = {{14, 0, true}, {15, 0, true}, {22, 0, false}, {22, 1, true}, {23, 11, true}, {14, 1, false}};
  for (const Case& c : cases) EXPECT_EQ(IsSpecialButtonSlot(c.button, c.level), c.special) << c.button;

  ModelWorld special({15, 0xFF, 0, 0}, true);
  for (const char* refused : {"DPI firekey", "Lock X-axis", "Lock Y-axis", "Adjust DPI", "Profile switch"})
    EXPECT_TRUE(special.model->Excluded(special.Find(refused))) << refused;
  EXPECT_FALSE(special.model->Excluded(special.Find("DPI+")));
  EXPECT_EQ(special.model->Highlighted(), -1) << "an excluded choice is never the current one";
  special.model->Choose(special.Find("Adjust DPI"));
  EXPECT_EQ(special.model->Record(), (ButtonFunction{15, 0xFF, 0, 0})) << "nor can it be chosen";
  ModelWorld ordinary;
  for (int i = 0; i < kButtonChoiceCount; ++i) EXPECT_FALSE(ordinary.model->Excluded(i)) << i;
}

TEST(ButtonSettingsModel, TheCurrentChoiceIsHighlighted) {
  struct Case {
    ButtonFunction record;
    const char* highlighted;  // nullptr: none
  } cases[] = {
      {{4, 0x01, 0, 0}, "Left click"},   {{10, 10, 0, 0xFF}, "Tilt right"}, {{9, 0x40, 0x01, 0}, "Macro "},
      {{15, 4, 6, 0x01}, "DPI firekey"}, {{15, 0, 0xFF, 0}, "Lock X-axis"}, {{5, 0x01, 0x04, 0}, "Keyboard "},
      {{6, 0xE2, 0, 0}, "Mute"},         {{36, 4, 0, 1}, "Profile 5"},      {{6, 0xB7, 0, 0}, nullptr},
      {{4, 0x03, 0, 0}, nullptr},
  };
  for (const Case& c : cases) {
    ModelWorld w(c.record);
    EXPECT_EQ(w.model->Highlighted(), c.highlighted ? w.Find(c.highlighted) : -1)
        << (c.highlighted ? c.highlighted : "none");
  }
}

TEST(ButtonSettingsModel, OnScreenKeyboard) {
  struct Case {
    const char* what;
    std::vector<int> clicks;
    ButtonFunction record;
    std::string text;
    std::vector<int> selected;
  } cases[] = {
      {"Ctrl + Shift + A", {kCtrl, kShift, kA}, {5, 0x03, 0x04, 0}, "Ctrl + Shift + A", {kCtrl, kShift, kA}},
      {"A then B keeps B", {kA, kB}, {5, 0, 0x05, 0}, "B", {kB}},
      {"a modifier again drops it", {kShift, kA, kShift}, {5, 0, 0x04, 0}, "A", {kA}},
      {"Mute alone", {kCtrl, kA, kMute}, {6, 0xE2, 0x00, 0}, "Mute", {kMute}},
      {"a key after Mute", {kMute, kCtrl}, {5, 0x01, 0, 0}, "Ctrl", {kCtrl}},
      {"usage from the scan code", {kScanOnly}, {5, 0, 0x14, 0}, "Q", {kScanOnly}},
      {"no usage at all", {kNoUsage}, {5, 0, 0, 0}, "Kana", {kNoUsage}},
  };
  for (const Case& c : cases) {
    ModelWorld w;
    w.model->Choose(kChoiceKeyboard);
    for (int k : c.clicks) w.model->ClickKey(k);
    EXPECT_EQ(w.model->Record(), c.record) << c.what;
    EXPECT_EQ(w.model->Text(), c.text) << c.what;
    std::vector<int> selected;
    for (size_t i = 0; i < w.model->Keyboard().keys.size(); ++i)
      if (w.model->Keyboard().keys[i].selected) selected.push_back(static_cast<int>(i));
    EXPECT_EQ(selected, c.selected) << c.what;
  }
}

TEST(ButtonSettingsModel, OkStoresWhatWasChosen) {
  ModelWorld w;
  EXPECT_FALSE(w.model->Keyboard().keys[kA].selected) << "opening clears the keyboard";
  w.model->Choose(kChoiceTiltRight);
  EXPECT_EQ(w.model->Ok().function, (ButtonFunction{10, 10, 0, 0xFF}));
  EXPECT_EQ(w.model->Text(), "Tilt right");
  w.model->Choose(kChoiceKeyboard);
  EXPECT_EQ(w.model->Ok().function, (ButtonFunction{5, 0, 0, 0})) << "keyboard capture without a key";
  EXPECT_FALSE(w.model->Ok().macro);
}

TEST(ButtonSettingsModel, MacroChoiceKeepsItsMacroAcrossModes) {
  ModelWorld w({8, 0x40, 0x01, 0});
  EXPECT_EQ(w.model->Text(), "Combo");
  EXPECT_TRUE(w.model->MacroChosen());
  w.model->SetMacroMode(kFnMacroFire);
  EXPECT_EQ(w.model->Ok().function, (ButtonFunction{10, 0x40, 0x01, 0}));
  w.model->Choose(kChoiceMacro);
  EXPECT_EQ(w.model->Record(), (ButtonFunction{10, 0x40, 0x01, 0})) << "choosing Macro again keeps it";

  ModelWorld fresh;
  fresh.model->Choose(kChoiceMacro);
  EXPECT_FALSE(fresh.model->CanOk()) << "no macro picked yet";
  fresh.model->SetMacroMode(kFnMacroLoop);
  fresh.model->ChooseDeviceMacro(0x2A5, "Other");
  EXPECT_TRUE(fresh.model->CanOk());
  EXPECT_EQ(fresh.model->Ok().function, (ButtonFunction{9, 0xA5, 0x02, 0}));
  EXPECT_EQ(fresh.model->Text(), "Other");
  fresh.model->Choose(0);
  EXPECT_FALSE(fresh.model->MacroChosen());
}

TEST(ButtonSettingsModel, ImportedMacroStopsAtTheFreeSpace) {
  MacroFile file;
  file.header.name = "Typed";
  file.header.mode = 9;
  for (int i = 0; i < 10; ++i) file.items.push_back(KeyItem(0x83));  // 2 bytes each
  struct Case {
    int freeSpace;
    bool whole;
    size_t kept;
  } cases[] = {{34 + 20, true, 10}, {34 + 19, false, 9}, {34, false, 0}};
  for (const Case& c : cases) {
    ModelWorld w({4, 1, 0, 0}, false, c.freeSpace);
    w.model->Choose(kChoiceMacro);
    EXPECT_EQ(w.model->ChooseMacroFile(file), c.whole) << c.freeSpace;
    ASSERT_TRUE(w.model->Ok().macro);
    EXPECT_EQ(w.model->Ok().macro->items.size(), c.kept) << c.freeSpace;
    EXPECT_EQ(w.model->Ok().function.type, 9);
    EXPECT_EQ(w.model->Text(), "Typed");
  }
}

TEST(ButtonSettingsModel, ImportingAMacroFileSaysWhatTheUserIsTold) {
  test::TempDir dir;
  const std::string good = dir.Path("typed.mf");
  ASSERT_TRUE(WriteMacroFile(good, "Typed", 9, std::vector<MacroItem>(10, KeyItem(0x83)), 0));
  const std::string junk = dir.Path("junk.mf");
  std::ofstream(junk) << "not a macro file";
  struct Case {
    std::string path;
    int freeSpace;
    std::optional<Msg> message;
    bool taken;
  } cases[] = {{good, 34 + 20, std::nullopt, true},
               {good, 34 + 19, Msg::kLackOfSpace, true},
               {junk, 34 + 20, Msg::kInvalidFormat, false},
               {dir.Path("missing.mf"), 34 + 20, std::nullopt, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(c.freeSpace));
    ModelWorld w({4, 1, 0, 0}, false, c.freeSpace);
    w.model->Choose(kChoiceMacro);
    EXPECT_EQ(w.model->ImportMacroFile(c.path), c.message);
    EXPECT_EQ(w.model->Ok().macro.has_value(), c.taken);
  }
}

TEST(ButtonSettingsModel, ImportSlotIsTheButtonsOwnUnlessAnotherButtonRunsIt) {
  SettingsImage image;
  EXPECT_EQ(ImportSlotFor(image, 1, 3), 19);
  image.macroSlots[19] = MacroSlot{"x", 1200, 1233, 40, 8};
  image.profiles[1].buttons[3] = ButtonRecord{8, 1233 & 0xFF, 1233 >> 8, 0};
  EXPECT_EQ(ImportSlotFor(image, 1, 3), 19) << "runs for this button alone";
  image.profiles[4].buttons[0] = ButtonRecord{9, 1233 & 0xFF, 1233 >> 8, 0};
  EXPECT_EQ(ImportSlotFor(image, 1, 3), 0) << "the first empty slot";
  EXPECT_EQ(ImportSlotFor(image, 1, 20), 0) << "buttons past 16 have no slot of their own";
  for (MacroSlot& s : image.macroSlots) s.start = 2000;
  EXPECT_EQ(ImportSlotFor(image, 4, 1), -1) << "a macro no button runs is kept";
}

// OK's write on the simulated mouse: the same requests as `set button`'s
// AssignButton, and a pending macro lands in the mouse with the button on it.
TEST(ButtonSettingsModel, WriteOnTheSimulatedMouse) {
  SessionParts parts;
  parts.clock = std::make_unique<test::FakeClock>();
  parts.host = std::make_unique<sim::SimHidHost>(*parts.clock, sim::SimOptions{});
  parts.exchangeMutex = std::make_unique<LocalMutex>();
  parts.deviceListMutex = std::make_unique<LocalMutex>();
  Session session(std::move(parts));
  ASSERT_TRUE(session.ResolveDevice().Wait());
  ASSERT_TRUE(session.Load().Wait());

  ASSERT_TRUE(session.Write(ButtonSettingsWrite(2, 5, {{10, 10, 0, 0xFF}, {}})).Wait());
  EXPECT_EQ(session.State().image.Snapshot()->profiles[2].buttons[5], (ButtonRecord{10, 10, 0, 0xFF}));

  PendingMacro macro{"Typed", {KeyItem(0x83), KeyItem(0x84)}};
  ASSERT_TRUE(session.Write(ButtonSettingsWrite(1, 3, {{9, 0, 0, 0}, macro})).Wait());
  const auto image = session.State().image.Snapshot();
  const MacroSlot& slot = image->macroSlots[19];
  ASSERT_TRUE(slot.InUse());
  EXPECT_EQ(slot.name, "Typed");
  EXPECT_EQ(slot.mode, 9);
  EXPECT_EQ(image->profiles[1].buttons[3], (ButtonRecord{9, static_cast<uint8_t>(slot.codeAddress & 0xFF),
                                                         static_cast<uint8_t>(slot.codeAddress >> 8), 0}));
  const MacroReadBack back = session.ReadMacro(19).Wait();
  ASSERT_TRUE(back.outcome);
  EXPECT_EQ(back.items.size(), 2u);
}

}  // namespace
}  // namespace quorix
