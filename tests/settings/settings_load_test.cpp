#include "settings/settings_load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "device/commands.h"
#include "device/discovery.h"
#include "settings/settings_store.h"
#include "support/sim_world.h"

namespace quorix {
namespace {

using test::SimWorld;
using Bytes = std::vector<uint8_t>;

sim::SimOptions Level(int level) {
  sim::SimOptions options;
  options.protocolLevel = level;
  return options;
}

// The command bytes of every request (report ID dropped), in order.
std::vector<Bytes> Commands(SimWorld& world) {
  std::vector<Bytes> out;
  for (const Bytes& r : world.Requests()) out.emplace_back(r.begin() + 1, r.end());
  return out;
}

bool Starts(const Bytes& request, std::initializer_list<uint8_t> prefix) {
  return request.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), request.begin());
}

// Index of the first request starting with prefix, or -1.
long First(const std::vector<Bytes>& requests, std::initializer_list<uint8_t> prefix) {
  for (size_t i = 0; i < requests.size(); ++i)
    if (Starts(requests[i], prefix)) return static_cast<long>(i);
  return -1;
}

void PutName(Bytes& memory, int address, const std::u16string& name) {
  for (size_t i = 0; i < name.size(); ++i) {
    memory[address + 2 * i] = static_cast<uint8_t>(name[i]);
    memory[address + 2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
  }
}

TEST(LoadSettings, DefaultLevel11MouseInLoadOrderWithProgress) {
  SimWorld world;
  SettingsState state;
  std::vector<double> fractions;
  LoadSettingsOptions options;
  int loadedCalls = 0;
  options.progress = [&](double f) { fractions.push_back(f); };
  options.onLoaded = [&](const SettingsImage& image) {
    ++loadedCalls;
    EXPECT_EQ(image.devicePath, world.path);
  };
  LoadSettings(world.link, state, options);

  EXPECT_TRUE(state.loadDone);
  EXPECT_EQ(loadedCalls, 1);
  EXPECT_EQ(state.CurrentDevice(), world.path);
  const auto image = state.image.Snapshot();
  EXPECT_EQ(image->protocolLevel, 11);
  EXPECT_EQ(image->memoryEnd, 8191);
  EXPECT_EQ(image->profileCount, 5);
  EXPECT_EQ(image->levelCount, 4);
  EXPECT_EQ(image->dpiPairs[3], (DpiPair{160, 160}));
  EXPECT_EQ(image->ReportRateHz(), 500);
  EXPECT_EQ(image->profiles[3].colour, (std::array<uint8_t, 3>{255, 0, 255}));
  EXPECT_EQ(image->map.mainWindowConstant, 15);  // the simulated mouse has tableSelect 7
  // Stored type-0 records show the factory record of each button.
  EXPECT_EQ(image->profiles[4].buttons[5], (ButtonRecord{10, 0, 0, 0xFF}));
  EXPECT_EQ(image->defaultButtons[2][0], (ButtonRecord{4, 1, 0, 0}));
  EXPECT_EQ(image->physicalButtons[11], (ButtonRecord{17, 0, 0, 1}));
  EXPECT_EQ(image->primaryClickHolder, 0);
  EXPECT_EQ(image->lightingBlock[4], 0xC0);

  const std::vector<Bytes> requests = Commands(world);
  const long marker = First(requests, {0x00, 0x01, 0x12, kHostMarker});
  const long signature = First(requests, {0x02, 0x00, 0x00});
  const long lighting = First(requests, {0x02, 0x00, 0x05});  // address 1280
  const long probe = First(requests, {0x02, 0xFF, 0xFF});
  const long chunk = First(requests, {0x02, 60, 0x00});
  const long buttons = First(requests, {0x0A, 0x00, 0x01});
  ASSERT_GE(marker, 0);
  EXPECT_LT(marker, signature);
  EXPECT_LT(signature, lighting);
  EXPECT_LT(lighting, probe);
  EXPECT_LT(probe, chunk);
  EXPECT_LT(chunk, buttons);
  // One button-record read per profile and button, and 24 for the physical list.
  EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const Bytes& r) { return r[0] == 0x0A; }),
            5 * 32 + 24);

  ASSERT_FALSE(fractions.empty());
  EXPECT_DOUBLE_EQ(fractions.front(), 0.0);
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
}

TEST(LoadSettings, Level5AndLevel0DecodeWhatTheMouseHolds) {
  {
    SimWorld world(Level(5));
    Bytes& memory = world.Mouse().Memory();
    const MemoryMap map = MemoryMapForLevel(5);
    PutName(memory, 160 + 6, u"Zweites");
    memory[map.ButtonByteAddress(1, 23, 0)] = 5;
    memory[map.ButtonByteAddress(1, 23, 1)] = 0x01;
    memory[map.ButtonByteAddress(1, 23, 2)] = 0x06;
    memory[15] = 0x07;
    world.Mouse().SetActiveProfile(2);
    world.Mouse().SetDpiSelection(0x0F << 3 | 2);
    SettingsState state;
    LoadSettings(world.link, state);
    const auto image = state.image.Snapshot();
    EXPECT_EQ(image->ButtonsPerProfile(), 24);
    EXPECT_EQ(image->profiles[1].name, "Zweites");
    EXPECT_EQ(image->profiles[1].buttons[23], (ButtonRecord{5, 0x01, 0x06, 0}));
    EXPECT_EQ(image->activeProfile, 2);
    EXPECT_EQ(image->activeLevel, 2);
    EXPECT_EQ(image->levelMask, 0x0F);
    EXPECT_EQ(image->levelFlags, (std::array<bool, 5>{true, true, true, false, false}));
    EXPECT_EQ(image->memoryEnd, 8191);
    // Levels 1..10 read the defaults from the information block: no 0x0A requests.
    const auto requests = Commands(world);
    EXPECT_EQ(First(requests, {0x0A}), -1);
    EXPECT_EQ(First(requests, {0x00, 0x12, 0x12}) >= 0, true);
  }
  {
    SimWorld world(Level(0));
    Bytes& memory = world.Mouse().Memory();
    memory[16 + 96 + 1] = 0x92;  // profile 1 switched off
    PutName(memory, 16 + 14, u"Null");
    SettingsState state;
    LoadSettings(world.link, state);
    const auto image = state.image.Snapshot();
    EXPECT_EQ(image->ButtonsPerProfile(), 16);
    EXPECT_FALSE(image->profiles[0].flag);
    EXPECT_TRUE(image->profiles[1].flag);
    EXPECT_EQ(image->profiles[0].name, "Null");
    EXPECT_EQ(image->profiles[2].colour, (std::array<uint8_t, 3>{0, 0, 3}));
    EXPECT_EQ(image->dpiPairs[0], (DpiPair{20, 20}));
    EXPECT_EQ(image->physicalButtons[16], (ButtonRecord{}));
    EXPECT_EQ(image->physicalButtons[15], (ButtonRecord{1, 0, 0, 0}));
    EXPECT_EQ(image->levelFlagCount, 4);
  }
}

TEST(LoadSettings, MacroNamesAreReadFromTheMouse) {
  SimWorld world;
  Bytes& memory = world.Mouse().Memory();
  memory[832 + 8] = 0x00, memory[833 + 8] = 0x10;  // slot 2 at 4096
  memory[834 + 8] = 40;
  memory[1152 + 2] = 10;
  memory[4096] = 32;
  PutName(memory, 4097, u"Fernmakro");
  SettingsState state;
  LoadSettings(world.link, state);
  const MacroSlot& slot = state.image.Snapshot()->macroSlots[2];
  EXPECT_EQ(slot.name, "Fernmakro");
  EXPECT_EQ(slot.codeAddress, 4096 + 33);
  EXPECT_EQ(slot.mode, 10);
}

TEST(LoadSettings, BadSignatureAtLevel11ResetsWithoutAskingAndLoadsAgain) {
  SimWorld world;
  Bytes& memory = world.Mouse().Memory();
  memory[0] = 0xFF;
  memory[32 + 3] = 1;  // a colour the reset puts back to red
  world.Mouse().SetActiveProfile(3);
  SettingsState state;
  int loads = 0;
  LoadSettingsOptions options;
  options.onLoaded = [&](const SettingsImage&) { ++loads; };
  LoadSettings(world.link, state, options);

  EXPECT_EQ(world.Mouse().MemoryAt(0), 0x12);
  EXPECT_EQ(world.Mouse().MemoryAt(35), 255);
  EXPECT_GE(world.Mouse().CommitCount(), 1);
  EXPECT_EQ(loads, 1);  // the reset's load publishes; the interrupted one does not
  EXPECT_EQ(world.Mouse().ActiveProfile(), 0);
  const auto image = state.image.Snapshot();
  EXPECT_EQ(image->profiles[0].colour, (std::array<uint8_t, 3>{255, 0, 0}));
  EXPECT_EQ(image->activeProfile, 0);
  EXPECT_TRUE(state.loadDone);
  EXPECT_FALSE(state.busyWriting);
  // The last request selects profile 0.
  EXPECT_TRUE(Starts(Commands(world).back(), {0x11, 0x00}));
}

TEST(LoadSettings, AMouseThatCannotBeReadIsNeverReset) {
  // Garbage answers and silence both say nothing about byte 0: the load
  // fails, publishes nothing and writes nothing.
  struct Case {
    bool oddAnswers;
    bool silent;
    Failure failure;
  };
  for (const Case c : {Case{true, false, Failure::kBadAnswers}, Case{false, true, Failure::kStoppedAnswering}}) {
    sim::SimOptions options;
    options.oddAnswers = c.oddAnswers;
    options.silent = c.silent;
    SimWorld world(options);
    ASSERT_FALSE(world.path.empty());
    const std::vector<uint8_t> before = world.Mouse().Memory();
    SettingsState state;
    const auto published = state.image.Snapshot();
    EXPECT_EQ(LoadSettings(world.link, state), Outcome(c.failure)) << c.silent;
    EXPECT_TRUE(state.loadDone);
    EXPECT_EQ(world.Mouse().CommitCount(), 0);
    EXPECT_EQ(world.Mouse().Memory(), before);
    EXPECT_EQ(state.image.Snapshot(), published);
  }
}

TEST(LoadSettings, EmptyDeviceListGivesTheImageOfZeroMemory) {
  SimWorld world;
  ASSERT_TRUE(RemoveDevice(world.link, world.path));
  SettingsState state;
  state.SetCurrentDevice("stale");
  LoadSettings(world.link, state);
  EXPECT_TRUE(state.loadDone);
  EXPECT_EQ(state.CurrentDevice(), "");
  const auto image = state.image.Snapshot();
  EXPECT_EQ(image->devicePath, "");
  EXPECT_EQ(image->profiles[0].name, "");
  EXPECT_EQ(image->dpiPairs[0], (DpiPair{0, 0}));
  EXPECT_EQ(image->memoryEnd, 8191);
}

TEST(LoadSettings, SelectedIndexBeyondTheListFallsBackToTheFirstDevice) {
  SimWorld world;
  SettingsState state;
  state.selectedDevice = 4;
  LoadSettings(world.link, state);
  EXPECT_EQ(state.selectedDevice, 0);
  EXPECT_EQ(state.CurrentDevice(), world.path);
}

TEST(LoadSettings, ReadersSeeEitherTheOldOrTheNewImageNeverAMix) {
  SimWorld world;
  SettingsState state;
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done) {
      const auto image = state.image.Snapshot();
      const bool loaded = !image->devicePath.empty();
      // A loaded image has its colours and its memory end together.
      if (loaded != (image->profiles[4].colour[2] == 255) || loaded != (image->profileCount == 5)) ++torn;
    }
  });
  for (int i = 0; i < 3; ++i) LoadSettings(world.link, state);
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}

TEST(SettingsStore, EveryPublishRaisesTheVersionAndReachesSubscribersOutsideTheLock) {
  SettingsStore store;
  std::vector<std::pair<uint64_t, int>> seen;  // version, profileCount
  int inconsistent = 0;
  SettingsStore::Token self = 0;
  const SettingsStore::Token all = store.Subscribe([&](const auto& image, uint64_t version) {
    // Reading the store from a listener must not deadlock, and sees what was published.
    if (store.Snapshot() != image || store.Version() != version) ++inconsistent;
    seen.emplace_back(version, image->profileCount);
  });
  int selfCalls = 0;
  self = store.Subscribe([&](const auto&, uint64_t) {
    ++selfCalls;
    store.Unsubscribe(self);
  });
  EXPECT_EQ(store.Version(), 0u);
  SettingsImage image;
  image.profileCount = 3;
  store.Publish(image);
  store.Update([](SettingsImage& edit) { edit.profileCount += 1; });
  store.Unsubscribe(all);
  store.Unsubscribe(all);  // twice is harmless
  store.Publish(SettingsImage{});
  const std::vector<std::pair<uint64_t, int>> expected{{1, 3}, {2, 4}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(inconsistent, 0);
  EXPECT_EQ(selfCalls, 1);
  EXPECT_EQ(store.Version(), 3u);
}

TEST(SettingsStore, ConcurrentPublishersEachNotifyOnceAndUnsubscribeIsFinal) {
  SettingsStore store;
  constexpr int kPerThread = 200;
  std::mutex mutex;
  std::vector<uint64_t> versions;
  store.Subscribe([&](const auto&, uint64_t version) {
    std::lock_guard<std::mutex> lock(mutex);
    versions.push_back(version);
  });
  std::atomic<bool> gone{false};
  std::atomic<int> callsAfterUnsubscribe{0};
  const SettingsStore::Token leaving = store.Subscribe([&](const auto&, uint64_t) {
    if (gone) ++callsAfterUnsubscribe;
  });
  auto publish = [&] {
    for (int i = 0; i < kPerThread; ++i) store.Update([](SettingsImage& edit) { ++edit.profileCount; });
  };
  std::thread a(publish), b(publish);
  std::thread c([&] {
    store.Unsubscribe(leaving);
    gone = true;
  });
  a.join();
  b.join();
  c.join();
  std::sort(versions.begin(), versions.end());
  ASSERT_EQ(versions.size(), 2u * kPerThread);
  for (size_t i = 0; i < versions.size(); ++i) EXPECT_EQ(versions[i], i + 1);
  EXPECT_EQ(store.Snapshot()->profileCount, 2 * kPerThread);
  EXPECT_EQ(callsAfterUnsubscribe, 0);
}

TEST(ProbeMemoryEnd, FindsTheMirrorSizeOrTakesTheStatusWord) {
  for (int size : {8192, 2048}) {
    sim::SimOptions options;
    options.memorySize = size;
    SimWorld world(options);
    // A mouse that never met the program has no marker at the top yet.
    world.Mouse().Memory()[static_cast<size_t>(size - 2)] = 0;
    world.Mouse().Memory()[static_cast<size_t>(size - 1)] = 0;
    EXPECT_EQ(ProbeMemoryEnd(world.link, world.path), size - 1) << size;
    EXPECT_EQ(world.Mouse().MemoryAt(0xFFFF), 0x12);
    EXPECT_NE(First(Commands(world), {0x03}), -1);  // the marker was written
    // The marker is there now: a second probe writes nothing.
    world.ClearTraffic();
    EXPECT_EQ(ProbeMemoryEnd(world.link, world.path), size - 1);
    EXPECT_EQ(First(Commands(world), {0x03}), -1);
  }
  SimWorld world;
  world.Mouse().SetStatusWord(0x3FFF);
  EXPECT_EQ(ProbeMemoryEnd(world.link, world.path), 0x3FFF);
  EXPECT_EQ(First(Commands(world), {0x02}), -1);  // no memory read at all
}

// Macro bytes that look like the marker never make the memory end early: a
// deleted macro's left-over bytes (the memory does not start over after them)
// and a listed macro whose bytes even repeat those of address 0 (the slot
// table says the memory reaches further), while a true 4 KB mirror is found.
TEST(ProbeMemoryEnd, MarkerBytesInsideMacrosAreNoEnd) {
  struct Case {
    int memorySize;
    bool listed;       // slot 3 holds a record over 4000..4199
    bool copyOfStart;  // the bytes after 4095 repeat those from address 0
    int end;
  };
  const Case cases[] = {{8192, false, false, 8191}, {8192, true, true, 8191}, {4096, false, false, 4095}};
  for (int level : {11, 5, 0}) {
    for (const Case& c : cases) {
      sim::SimOptions options = Level(level);
      options.memorySize = c.memorySize;
      SimWorld world(options);
      Bytes& memory = world.Mouse().Memory();
      if (c.memorySize > 4096) memory[4094] = 0x88, memory[4095] = 0x12;
      if (c.copyOfStart) std::copy_n(memory.begin(), 6, memory.begin() + 4096);
      const int table = MemoryMapForLevel(level).macroTableOffset;
      if (c.listed) memory[table + 12] = 4000 & 0xFF, memory[table + 13] = 4000 >> 8, memory[table + 14] = 200;
      SettingsState state;
      LoadSettings(world.link, state);
      EXPECT_EQ(state.image.Snapshot()->memoryEnd, c.end) << "level " << level << " size " << c.memorySize;
    }
  }
}

TEST(BuildDefaultImage, Level11AndLevel0Defaults) {
  SettingsImage current;
  const Bytes l11 = BuildDefaultImage(11, 3, current);
  ASSERT_EQ(l11.size(), 8192u);
  EXPECT_EQ(l11[0], 0x12);
  EXPECT_EQ(l11[14], 0x10);
  EXPECT_EQ(l11[3], 20);
  EXPECT_EQ(l11[12], 80);
  EXPECT_EQ(l11[32 + 160 * 4 + 2], 7);
  EXPECT_EQ(l11[32 + 160 * 4 + 4], 255);
  EXPECT_EQ(l11[32 + 160 * 4 + 3], 0);

  current.profiles[1].colour = {3, 0, 2};
  const Bytes l0 = BuildDefaultImage(0, 12, current);
  EXPECT_EQ(l0[15], 0x10);
  EXPECT_EQ(l0[4], 20);
  EXPECT_EQ(l0[11], 160);  // pair 3 y
  EXPECT_EQ(l0[12], 245);  // model 12 overrides pair 4
  EXPECT_EQ(l0[13], 182);
  const Bytes model13 = BuildDefaultImage(0, 13, current);
  EXPECT_EQ(model13[12], 150);
  EXPECT_EQ(model13[13], 18);
  EXPECT_EQ(l0[112], 0x12);
  EXPECT_EQ(l0[113], 0x12);
  EXPECT_EQ(l0[112 + 3], 0x23);
  EXPECT_EQ(l0[112 + 35], 1);
}

TEST(ResetToDefaults, TrafficInOrder) {
  SimWorld world;
  SettingsState state;
  LoadSettings(world.link, state);
  world.Mouse().Memory()[1400] = 0x55;
  world.ClearTraffic();
  std::vector<double> fractions;
  ResetOptions options;
  options.progress = [&](double f) { fractions.push_back(f); };
  ASSERT_TRUE(ResetToDefaults(world.link, state, options));

  const auto requests = Commands(world);
  ASSERT_TRUE(Starts(requests[0], {0x00, 0x12, 0x12}));
  // Byte 0 erased until the end, then the other 1359 bytes in writes that
  // end on 32-byte boundaries: 31 bytes, 41 full ones and 16 bytes.
  ASSERT_TRUE(Starts(requests[1], {0x03, 0x00, 0x00, 1, 0xFF}));
  for (int i = 0; i < 43; ++i) {
    const int address = i == 0 ? 1 : 32 * i;
    const Bytes& r = requests[static_cast<size_t>(2 + i)];
    ASSERT_TRUE(Starts(r, {0x03, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8),
                           static_cast<uint8_t>(i == 0 ? 31 : i == 42 ? 16 : 32)}))
        << i;
  }
  EXPECT_TRUE(Starts(requests[45], {0x0F, 0x00}));
  const long entry = First(requests, {0x03, 0x04, 0x05, 4, 0xC0, 0xFF});  // lighting entry 1 at 1284
  const long mode1 = First(requests, {0x12, 0x01});
  const long lightingReset = First(requests, {0x01, 0x04, 0x03});
  const long mode0 = First(requests, {0x12, 0x00});
  const long commit = First(requests, {0x14});
  EXPECT_LT(45, entry);
  EXPECT_LT(entry, mode1);
  EXPECT_LT(mode1, lightingReset);
  EXPECT_LT(lightingReset, mode0);
  EXPECT_LT(mode0, commit);
  EXPECT_TRUE(Starts(requests[static_cast<size_t>(commit - 1)], {0x03, 0x00, 0x00, 1, 0x12}));
  EXPECT_LT(commit, First(requests, {0x00, 0x01, 0x12, kHostMarker}));  // then the load
  EXPECT_TRUE(Starts(requests.back(), {0x11, 0x00}));
  const auto sleeps = world.clock.Sleeps();
  EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 10), sleeps.end());
  EXPECT_EQ(world.Mouse().MemoryAt(1400), 0x55);  // the macro area is not rewritten
  ASSERT_FALSE(fractions.empty());
  EXPECT_DOUBLE_EQ(fractions.front(), 0.0);
  EXPECT_LT(fractions.back(), 1.0);
}

TEST(ResetToDefaults, AskedFirstAndARefusalKeepsEverything) {
  SimWorld world;
  SettingsState state;
  LoadSettings(world.link, state);
  world.ClearTraffic();
  ProfileApps apps;
  apps[1] = {"Game", "/opt/game", 1};
  ResetOptions options;
  options.apps = &apps;
  options.askUser = [] { return false; };
  EXPECT_FALSE(ResetToDefaults(world.link, state, options));
  EXPECT_TRUE(world.Requests().empty());
  EXPECT_EQ(apps[1].appPath, "/opt/game");

  options.askUser = [] { return true; };
  options.profileWord = "Profil";
  EXPECT_TRUE(ResetToDefaults(world.link, state, options));
  EXPECT_EQ(apps[1].appName, "Profil 2");
  EXPECT_EQ(apps[1].appPath, "");
  EXPECT_EQ(apps[1].appEnabled, 0);

  SettingsState nobody;
  world.ClearTraffic();
  EXPECT_FALSE(ResetToDefaults(world.link, nobody));
  EXPECT_TRUE(world.Requests().empty());
}

TEST(ResetToDefaults, Level0KeepsTheProfileColours) {
  SimWorld world(Level(0));
  world.Mouse().Memory()[16 + 3] = 0x21;  // red 1, blue 2
  world.Mouse().Memory()[40] = 0x77;      // something the reset clears
  SettingsState state;
  LoadSettings(world.link, state);
  ASSERT_TRUE(ResetToDefaults(world.link, state));
  EXPECT_EQ(world.Mouse().MemoryAt(16 + 3), 0x21);
  EXPECT_EQ(world.Mouse().MemoryAt(40), 0x00);
  EXPECT_EQ(world.Mouse().MemoryAt(16 + 35), 1);
  EXPECT_EQ(state.image.Snapshot()->profiles[0].colour, (std::array<uint8_t, 3>{1, 0, 2}));
}

}  // namespace
}  // namespace quorix
