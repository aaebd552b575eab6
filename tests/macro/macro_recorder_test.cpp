#include "macro/macro_recorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include <linux/input-event-codes.h>

#include "keys/key_tables.h"
#include "platform/linux/evdev_scan_codes.h"
#include "support/fake_clock.h"

namespace quorix {
namespace {

// Set-1 make codes used below.
constexpr int kF11 = 0x57;
constexpr int kA = 0x1E;
constexpr int kB = 0x30;

using Act = std::function<void(MacroRecorder&)>;
struct Step {
  int64_t afterMs;  // virtual time that passes before the action
  Act act;
};

Act Arm() { return [](MacroRecorder& r) { r.Arm(); }; }
Act Capture() { return [](MacroRecorder& r) { r.BeginCapture(); }; }
Act Key(int make, bool down, int virtualKey = 0) {
  return [=](MacroRecorder& r) { r.OnKey({down, make, false, virtualKey}); };
}
Act Down(int make) { return Key(make, true); }
Act Up(int make) { return Key(make, false); }
Act Mouse(uint8_t pressed, uint8_t released, int wheel, int x = 0, int y = 0) {
  return [=](MacroRecorder& r) { r.OnMouse({pressed, released, wheel, x, y}); };
}
Act MoveTo(int x, int y) { return Mouse(0, 0, 0, x, y); }
// Arms and releases the hotkey: recording from here on.
std::vector<Step> Started() { return {{0, Arm()}, {0, Down(kF11)}, {0, Up(kF11)}}; }

struct Case {
  std::string name;
  RecordOptions options;
  std::vector<Step> steps;
  std::vector<uint8_t> bytes;
  RecorderState endState;
};

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const RecordOptions kDelays{true, 50, false, false};
const RecordOptions kNoDelays{false, 50, false, false};
const RecordOptions kTrack{false, 50, true, false};
const RecordOptions kClicks{true, 50, false, true};

TEST(MacroRecorder, Rules) {
  const std::vector<Case> cases = {
      {"auto-repeat gives one press and one release and does not restart the wait", kDelays,
       Started() + std::vector<Step>{{0, Down(kA)}, {30, Down(kA)}, {30, Down(kA)}, {30, Up(kA)}},
       {0x83, 0x04, 0x88, 0x5A, 0x84, 0x04}, RecorderState::kRecording},
      {"300 ms between keys is one long wait, 0 ms none", kDelays,
       Started() + std::vector<Step>{{0, Down(kA)}, {0, Up(kA)}, {300, Down(kB)}},
       {0x83, 0x04, 0x84, 0x04, 0x89, 0x2C, 0x01, 0x83, 0x05}, RecorderState::kRecording},
      {"70 s of silence is several waits", kDelays, Started() + std::vector<Step>{{0, Down(kA)}, {70000, Up(kA)}},
       {0x83, 0x04, 0x89, 0xFF, 0xFF, 0x89, 0x71, 0x11, 0x84, 0x04}, RecorderState::kRecording},
      {"the hotkey starts on release and stops on press, unrecorded; armed ignores keys and mouse", kNoDelays,
       {{0, Arm()}, {0, Down(kF11)}, {0, Down(kA)}, {0, Mouse(1, 0, 0)}, {0, Up(kF11)}, {0, Down(kA)},
        {0, Up(kA)}, {0, Down(kF11)}, {0, Up(kF11)}, {0, Down(kB)}},
       {0x83, 0x04, 0x84, 0x04}, RecorderState::kIdle},
      {"the first sample is absolute, later ones relative, unchanged or early ones nothing", kTrack,
       Started() + std::vector<Step>{{0, MoveTo(100, 200)}, {60, MoveTo(110, 195)}, {10, MoveTo(120, 200)},
                                     {60, MoveTo(110, 195)}},
       {0xC0, 0x64, 0x00, 0xC8, 0x00, 0x80, 0x0A, 0x00, 0xFB, 0xFF}, RecorderState::kRecording},
      {"without cursor track motion records nothing", kNoDelays,
       Started() + std::vector<Step>{{100, MoveTo(1, 1)}, {100, MoveTo(5, 5)}}, {}, RecorderState::kRecording},
      {"click positions: a move to the click, then the button", kClicks,
       Started() + std::vector<Step>{{0, Mouse(0x01, 0, 0, 5, 6)}, {100, Mouse(0, 0x01, 0, 7, 6)}},
       {0xC0, 0x05, 0x00, 0x06, 0x00, 0x21, 0x88, 0x64, 0x80, 0x02, 0x00, 0x00, 0x00, 0x41}, RecorderState::kRecording},
      {"one notch forward 0x61, one back 0x7F; buttons as bits", kNoDelays,
       Started() + std::vector<Step>{{0, Mouse(0, 0, 120)}, {0, Mouse(0, 0, -120)}, {0, Mouse(0x12, 0, 0)},
                                     {0, Mouse(0, 0x12, 0)}},
       {0x61, 0x7F, 0x32, 0x52}, RecorderState::kRecording},
      {"capture takes one key press as a press and release", kDelays,
       {{0, Capture()}, {0, Up(kB)}, {500, Down(kA)}, {0, Up(kA)}}, {0x83, 0x04, 0x84, 0x04}, RecorderState::kIdle},
      {"capture takes one button press, not a release or motion", kDelays,
       {{0, Capture()}, {0, Mouse(0, 0x01, 0)}, {0, MoveTo(3, 3)}, {0, Mouse(0x02, 0, 0)}, {0, Mouse(0x01, 0, 0)}},
       {0x22, 0x42}, RecorderState::kIdle},
      {"capture takes one wheel step", kDelays, {{0, Capture()}, {0, Mouse(0, 0, -240)}, {0, Mouse(0, 0, 120)}},
       {0x7E}, RecorderState::kIdle},
      {"the hotkey press ends a capture unrecorded", kDelays, {{0, Capture()}, {0, Down(kF11)}, {0, Down(kA)}}, {},
       RecorderState::kIdle},
      {"Japanese keys by make code, and by virtual key where there is one", kNoDelays,
       Started() + std::vector<Step>{{0, Down(0x70)}, {0, Down(0x7B)}, {0, Key(0x79, true, 28)},
                                     {0, Key(0x7D, true, 42)}, {0, Down(0x73)}},
       {0x83, 0x88, 0x83, 0x8B, 0x83, 0x8A, 0x83, 0x87}, RecorderState::kRecording},
      {"keys reported once per press record a press and a release", kNoDelays,
       Started() + std::vector<Step>{{0, Up(0x72)}, {0, Down(0x71)}, {0, Up(0x71)}},
       {0x83, 0x90, 0x84, 0x90, 0x83, 0x91, 0x84, 0x91}, RecorderState::kRecording},
      {"the Pause sequence's Num Lock is dropped; keys without a usage record nothing", kNoDelays,
       Started() + std::vector<Step>{{0, Key(0x45, true, 255)}, {0, Down(0x45)}, {0, Down(0x7E)}},
       {0x83, 0x53}, RecorderState::kRecording},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeClock clock;
    MacroRecorder recorder(clock);
    recorder.SetOptions(c.options);
    for (const auto& step : c.steps) {
      clock.Advance(step.afterMs);
      step.act(recorder);
    }
    const auto items = recorder.TakeItems();
    EXPECT_EQ(SerialiseItems(items), c.bytes);
    EXPECT_EQ(recorder.State(), c.endState);
    for (const auto& item : items) EXPECT_NE(item.time, 0u);  // marked as made now, not read
    EXPECT_TRUE(recorder.TakeItems().empty());
  }
}

TEST(MacroRecorder, OverTheRecordControlsTheLeftButtonIsNotAStep) {
  test::FakeClock clock;
  MacroRecorder recorder(clock);
  recorder.SetOptions(kNoDelays);
  for (const auto& step : Started()) step.act(recorder);
  recorder.SetPointerOverRecordControls(true);
  recorder.OnMouse({0x03, 0, 0, 0, 0});
  recorder.OnMouse({0, 0x01, 0, 0, 0});
  EXPECT_EQ(SerialiseItems(recorder.TakeItems()), (std::vector<uint8_t>{0x22}));
}

TEST(MacroRecorder, HotkeySelectionTakesTheNextPressedKey) {
  test::FakeClock clock;
  MacroRecorder recorder(clock);
  recorder.BeginHotkeySelection();
  recorder.OnMouse({0x01, 0, 0, 0, 0});
  recorder.OnKey({false, kB, false, 0});  // a release is not a choice
  recorder.OnKey({true, 0x7E, false, 0});  // nor a key without a usage
  EXPECT_TRUE(recorder.SelectingHotkey());
  recorder.OnKey({true, kA, false, 0});
  EXPECT_FALSE(recorder.SelectingHotkey());
  EXPECT_EQ(recorder.TakeChosenHotkey(), 4);
  EXPECT_FALSE(recorder.TakeChosenHotkey());
  EXPECT_TRUE(recorder.TakeItems().empty());
  recorder.Arm();
  recorder.OnKey({false, kF11, false, 0});
  EXPECT_EQ(recorder.State(), RecorderState::kArmed);
  recorder.OnKey({false, kA, false, 0});
  EXPECT_EQ(recorder.State(), RecorderState::kRecording);
}

TEST(MacroRecorder, WaitsAddUpToThePause) {
  for (int64_t ms : {0LL, 1LL, 255LL, 256LL, 65535LL, 65536LL, 70000LL, 200000LL}) {
    const auto waits = MacroRecorder::WaitItems(ms);
    int64_t total = 0;
    for (const auto& w : waits) {
      ASSERT_TRUE(w.bytes[0] == 0x88 || w.bytes[0] == 0x89);
      total += w.bytes[0] == 0x88 ? w.bytes[1] : w.bytes[1] | (w.bytes[2] << 8);
    }
    EXPECT_EQ(total, ms) << ms;
    EXPECT_EQ(waits.size(), static_cast<size_t>((ms + 65534) / 65535)) << ms;
  }
}

int EvdevUsage(int code) {
  const auto setOne = SetOneFromEvdev(code);
  return setOne ? MacroRecorder::KeyUsage({true, setOne->makeCode, setOne->e0, 0}) : 0;
}

// Every named key the recorder can make from some set-1 code, some Linux key
// code makes too: the X11 and evdev captures can record every such key.
TEST(MacroRecorder, LinuxKeyCodesReachEveryNamedKey) {
  for (const auto& key : KeyNameTable()) {
    if (key.usage <= 0) continue;
    bool fromSetOne = false;
    for (int make = 0; make < 256 && !fromSetOne; ++make) {
      fromSetOne = MacroRecorder::KeyUsage({true, make, false, 0}) == key.usage ||
                   MacroRecorder::KeyUsage({true, make, true, 0}) == key.usage;
    }
    if (!fromSetOne) continue;
    bool fromEvdev = false;
    for (int code = 0; code < 256 && !fromEvdev; ++code) fromEvdev = EvdevUsage(code) == key.usage;
    EXPECT_TRUE(fromEvdev) << "usage 0x" << std::hex << key.usage << " " << key.name;
  }
  const std::vector<std::pair<int, int>> samples = {
      {KEY_A, 0x04},      {KEY_UP, 0x52},     {KEY_KPENTER, 0x58}, {KEY_PAUSE, 0x48}, {KEY_SYSRQ, 0x46},
      {KEY_RO, 0x87},     {KEY_YEN, 0x89},    {KEY_RIGHTMETA, 0xE7}, {KEY_F11, 0x44}, {KEY_KP1, 0x59},
      {KEY_MUTE, 0},      {BTN_LEFT, 0}};
  for (const auto& [code, usage] : samples) EXPECT_EQ(EvdevUsage(code), usage) << code;
}

}  // namespace
}  // namespace quorix
