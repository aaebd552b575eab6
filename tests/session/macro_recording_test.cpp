#include "session/macro_recording.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "support/fake_clock.h"
#include "support/fake_input_capture.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

constexpr int kF11 = 0x57;
constexpr int kA = 0x1E;

InputEvent Key(int make, bool down) { return test::KeyInput(make, down); }
InputEvent Button(int bit, bool down, int x, int y) {
  InputEvent e;
  e.kind = InputEvent::Kind::kButton;
  e.button = bit;
  e.down = down;
  e.hasPosition = true;
  e.x = x;
  e.y = y;
  return e;
}
InputEvent Motion(int dx, int dy) {
  InputEvent e;
  e.kind = InputEvent::Kind::kMotion;
  e.dx = dx;
  e.dy = dy;
  return e;
}
InputEvent Lost() {
  InputEvent e;
  e.kind = InputEvent::Kind::kLost;
  return e;
}

struct World {
  test::FakeClock clock;
  test::FakeInputCapture* capture;
  std::unique_ptr<MacroRecording> recording;
  int changes = 0;
  World() {
    auto owned = std::make_unique<test::FakeInputCapture>();
    capture = owned.get();
    recording = std::make_unique<MacroRecording>(std::move(owned), "", clock);
    recording->SetChangedCallback([this] { ++changes; });
    recording->SetOptions({false, 50, false, false});
  }
};

enum class Start { kRecord, kCapture, kHotkey };

// How each way of starting reads input, and when the reading stops.
TEST(MacroRecording, ReadsInputOnlyUntilTheRecorderIsIdle) {
  struct Case {
    std::string name;
    Start start;
    std::vector<InputEvent> events;
    std::vector<uint8_t> bytes;
    bool readingAtEnd;
  };
  const std::vector<Case> cases = {
      {"a recording runs from the hotkey's release to its next press",
       Start::kRecord,
       {Key(kF11, true), Key(kF11, false), Key(kA, true), Key(kA, false), Key(kF11, true)},
       {0x83, 0x04, 0x84, 0x04},
       false},
      {"an armed recording reads on", Start::kRecord, {Key(kF11, true), Key(kA, true)}, {}, true},
      {"a capture stops after one button", Start::kCapture, {Button(0x01, true, 9, 9)}, {0x21, 0x41}, false},
      {"a hotkey choice stops after one key", Start::kHotkey, {Key(kA, true)}, {}, false},
      {"a lost source ends a recording", Start::kRecord, {Key(kF11, true), Key(kF11, false), Lost()}, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    EXPECT_FALSE(w.capture->Feed(Key(kA, true)));  // nothing is read before a start
    const Outcome started = c.start == Start::kRecord    ? w.recording->Record()
                            : c.start == Start::kCapture ? w.recording->Capture()
                                                         : w.recording->SelectHotkey();
    ASSERT_TRUE(started) << started.detail;
    EXPECT_TRUE(w.recording->Reading());
    for (const auto& e : c.events) w.capture->Feed(e);
    EXPECT_EQ(SerialiseItems(w.recording->Items()), c.bytes);
    EXPECT_EQ(w.recording->Reading(), c.readingAtEnd);
    EXPECT_EQ(w.capture->Running(), c.readingAtEnd);
    EXPECT_EQ(w.recording->State() == RecorderState::kIdle, !c.readingAtEnd);
    EXPECT_GE(w.changes, 1 + static_cast<int>(c.events.size()));
  }
}

TEST(MacroRecording, StopKeepsTheItemsAndTakeHandsEachOnce) {
  World w;
  ASSERT_TRUE(w.recording->Record());
  for (const auto& e : {Key(kF11, true), Key(kF11, false), Key(kA, true)}) w.capture->Feed(e);
  EXPECT_EQ(SerialiseItems(w.recording->TakeNewItems()), (std::vector<uint8_t>{0x83, 0x04}));
  w.capture->Feed(Key(kA, false));
  w.recording->Stop();  // the window closed or the device went
  EXPECT_FALSE(w.capture->Running());
  EXPECT_FALSE(w.capture->Feed(Key(kA, true)));
  EXPECT_EQ(w.recording->State(), RecorderState::kIdle);
  EXPECT_EQ(SerialiseItems(w.recording->TakeNewItems()), (std::vector<uint8_t>{0x84, 0x04}));
  EXPECT_TRUE(w.recording->TakeNewItems().empty());
  EXPECT_EQ(SerialiseItems(w.recording->Items()), (std::vector<uint8_t>{0x83, 0x04, 0x84, 0x04}));
  EXPECT_FALSE(w.recording->InputLost());
}

TEST(MacroRecording, HotkeyChoiceIsHandedOnceAndUsed) {
  World w;
  ASSERT_TRUE(w.recording->SelectHotkey());
  w.capture->Feed(Key(kA, true));
  EXPECT_EQ(w.recording->TakeChosenHotkey(), 4);
  EXPECT_FALSE(w.recording->TakeChosenHotkey());
  EXPECT_EQ(w.recording->Hotkey(), 4);
}

// The editor's and the button window's recordings: what is set in one holds
// for the other, and a chosen hotkey starts and stops the other's recording.
TEST(MacroRecording, SharedSettingsHoldForEveryRecording) {
  constexpr int kF2Make = 0x3C, kF2Usage = 0x3B;
  RecordingSettings shared(kF2Usage);  // as read from set.ini
  test::FakeClock clock;
  auto ownedEditor = std::make_unique<test::FakeInputCapture>();
  auto ownedButton = std::make_unique<test::FakeInputCapture>();
  test::FakeInputCapture* editorCapture = ownedEditor.get();
  test::FakeInputCapture* buttonCapture = ownedButton.get();
  MacroRecording editor(std::move(ownedEditor), "", clock, &shared);
  MacroRecording button(std::move(ownedButton), "", clock, &shared);
  EXPECT_EQ(editor.Hotkey(), kF2Usage);
  EXPECT_EQ(button.Hotkey(), kF2Usage);

  button.SetOptions({false, 200, true, true});
  const RecordOptions seen = editor.Options();
  EXPECT_FALSE(seen.recordDelays);
  EXPECT_EQ(seen.intervalMs, 200);
  EXPECT_TRUE(seen.cursorTrack && seen.clickPositions);
  editor.SetOptions({false, 50, false, false});
  EXPECT_EQ(button.Options().intervalMs, 50);

  ASSERT_TRUE(editor.SelectHotkey());
  editorCapture->Feed(Key(kA, true));
  EXPECT_EQ(button.Hotkey(), 4);
  ASSERT_TRUE(button.Record());
  for (const auto& e : {Key(kA, true), Key(kA, false), Key(kF2Make, true), Key(kF2Make, false), Key(kA, true)})
    buttonCapture->Feed(e);
  EXPECT_EQ(SerialiseItems(button.Items()), (std::vector<uint8_t>{0x83, kF2Usage, 0x84, kF2Usage}));
  EXPECT_FALSE(button.Reading());
}

// The record options outlast a restart in their own file; a damaged file
// gives the defaults for what it lacks, odd values read as integers do.
TEST(RecordingSettings, OptionsSurviveARestartAndABadFileGivesDefaults) {
  test::TempDir dir;
  const std::string file = dir.Path("config/quorix-mouse/record-options.ini");  // folders made on the first save
  const RecordOptions chosen{false, 200, true, true};
  {
    RecordingSettings first(kF11, file);
    EXPECT_EQ(first.Options().intervalMs, 50);  // nothing kept yet: the defaults
    EXPECT_TRUE(first.SetOptions(chosen));
  }
  const RecordOptions back = RecordingSettings(kF11, file).Options();
  EXPECT_EQ(std::tie(back.recordDelays, back.intervalMs, back.cursorTrack, back.clickPositions),
            std::tie(chosen.recordDelays, chosen.intervalMs, chosen.cursorTrack, chosen.clickPositions));

  struct Bad {
    const char* what;
    std::string content;
    RecordOptions expected;
  } bad[] = {
      {"garbage", std::string("\xff\xfe[[[\0\n=\n", 9), {}},
      {"odd values", "[record]\ndelays=x\ninterval=75\ntrack=2\n", {false, 50, true, false}},
      {"other section", "[ARG]\ninterval=200\n", {}},
  };
  for (const Bad& b : bad) {
    test::WriteFile(file, b.content);
    const RecordOptions o = LoadRecordOptions(file);
    EXPECT_EQ(std::tie(o.recordDelays, o.intervalMs, o.cursorTrack, o.clickPositions),
              std::tie(b.expected.recordDelays, b.expected.intervalMs, b.expected.cursorTrack,
                       b.expected.clickPositions))
        << b.what;
  }

  // A folder standing where the file should be: the options hold, the failure is said.
  std::filesystem::remove(file);
  std::filesystem::create_directories(file);
  RecordingSettings blocked(kF11, file);
  const Outcome kept = blocked.SetOptions(chosen);
  EXPECT_EQ(kept, Failure::kCannotWriteFile);
  EXPECT_FALSE(kept.detail.empty());
  EXPECT_EQ(blocked.Options().intervalMs, 200);
}

TEST(MacroRecording, MotionWithoutPositionsIsFollowed) {
  World w;
  w.recording->SetOptions({false, 50, true, false});
  ASSERT_TRUE(w.recording->Record());
  w.capture->Feed(Key(kF11, true));
  w.capture->Feed(Key(kF11, false));
  w.capture->Feed(Button(0, false, 100, 100));  // a position from another event
  w.capture->Feed(Motion(5, -3));
  w.clock.Advance(100);
  w.capture->Feed(Motion(5, -3));
  EXPECT_EQ(SerialiseItems(w.recording->Items()),
            (std::vector<uint8_t>{0xC0, 0x64, 0x00, 0x64, 0x00, 0x80, 0x0A, 0x00, 0xFA, 0xFF}));
}

TEST(MacroRecording, UnavailableOrRefusedInputLeavesItIdle) {
  test::FakeClock clock;
  MacroRecording none(nullptr, "needs X11", clock);
  EXPECT_FALSE(none.Available());
  const Outcome unavailable = none.Record();
  EXPECT_EQ(unavailable, Failure::kUnavailable);
  EXPECT_EQ(unavailable.detail, "needs X11");
  EXPECT_EQ(none.State(), RecorderState::kIdle);

  World w;
  w.capture->failWith = "no access";
  const Outcome refused = w.recording->Capture();
  EXPECT_EQ(refused, Failure::kUnavailable);
  EXPECT_EQ(refused.detail, "no access");
  EXPECT_FALSE(w.recording->Reading());
  EXPECT_EQ(w.recording->State(), RecorderState::kIdle);

  World lost;
  ASSERT_TRUE(lost.recording->Record());
  lost.capture->Feed(Lost());
  EXPECT_TRUE(lost.recording->InputLost());
}

}  // namespace
}  // namespace quorix
