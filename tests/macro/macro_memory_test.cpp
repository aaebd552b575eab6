#include "macro/macro_memory.h"

#include <gtest/gtest.h>

#include "device/commands.h"
#include "settings/memory_map.h"
#include "settings/settings_decode.h"
#include "support/sim_world.h"

namespace quorix {
namespace {

sim::SimOptions Level(int level) {
  sim::SimOptions options;
  options.protocolLevel = level;
  return options;
}

// A simulated mouse with an empty macro memory whose end is `end`, and the
// settings image that goes with it.
struct MacroWorld {
  MacroWorld(int level, int end) : world(Level(level)) {
    image.map = MemoryMapForLevel(level, 7);
    image.protocolLevel = level;
    image.profileCount = 5;
    image.memoryEnd = end;
    image.activeProfile = 0;
  }

  int S() const { return image.map.macroAreaStart; }
  ProtocolFamily family() { return FamilyOf(world.link, world.path); }

  // Sets a button to run the macro of a slot, in the image and in the mouse.
  void Assign(int profile, int button, int slot) {
    const MacroSlot& s = image.macroSlots[static_cast<size_t>(slot)];
    ButtonRecord record{static_cast<uint8_t>(s.mode), static_cast<uint8_t>(s.codeAddress & 0xFF),
                        static_cast<uint8_t>(s.codeAddress >> 8), 0};
    image.profiles[static_cast<size_t>(profile)].buttons[static_cast<size_t>(button)] = record;
    const uint8_t bytes[4] = {record.type, record.p1, record.p2, record.p3};
    for (int k = 0; k < 4; ++k)
      world.Mouse().Memory()[static_cast<size_t>(family().ButtonByteAddress(profile, button, k))] = bytes[k];
  }
  ButtonRecord MouseButton(int profile, int button) {
    uint8_t b[4];
    for (int k = 0; k < 4; ++k)
      b[k] = world.Mouse().Memory()[static_cast<size_t>(family().ButtonByteAddress(profile, button, k))];
    return {b[0], b[1], b[2], b[3]};
  }
  Outcome Store(int slot, int bodyBytes, const std::string& name = "m", int mode = kModeOnce) {
    return StoreMacro(world.link, world.path, image, slot, mode, name, Body(bodyBytes));
  }
  // Items of exactly `bytes` bytes (waits of two bytes, one wheel step when odd).
  static std::vector<MacroItem> Body(int bytes) {
    std::vector<MacroItem> items;
    for (int i = 0; i + 1 < bytes; i += 2) items.push_back(WaitItem(i % 200));
    if (bytes % 2) items.push_back(WheelItem(1));
    return items;
  }
  // The slot table as the mouse holds it now.
  MacroSlots DecodedSlots() {
    MacroSlots slots;
    const auto& memory = world.Mouse().Memory();
    DecodeMacroSlots(image.map, memory, {}, slots);
    return slots;
  }

  test::SimWorld world;
  SettingsImage image;
};

MacroMemoryLayout TestLayout() { return {832, 1152, 1360, 2000}; }

TEST(MacroGaps, EmptyMemoryIsOneGapAndFreeSpace) {
  MacroSlots slots{};
  auto layout = TestLayout();
  EXPECT_EQ(FreeMacroSpace(slots, layout), 2000 - 1360 - 1);
  EXPECT_EQ(FindMacroGaps(slots, layout), (std::vector<MacroGap>{{1360, 639}}));
  EXPECT_EQ(BestFitStart(FindMacroGaps(slots, layout), 639), 1360);
  EXPECT_EQ(BestFitStart(FindMacroGaps(slots, layout), 640), 0);
}

TEST(MacroGaps, GapsBetweenRecordsInSlotOrder) {
  MacroSlots slots{};
  slots[0] = {"a", 1360, 1393, 100, 8};
  slots[2] = {"b", 1560, 1593, 50, 8};
  slots[7] = {"c", 1460, 1493, 40, 8};
  auto layout = TestLayout();
  // Found after slot 2's record first, then after slot 7's.
  EXPECT_EQ(FindMacroGaps(slots, layout), (std::vector<MacroGap>{{1610, 389}, {1500, 60}}));
  EXPECT_EQ(FreeMacroSpace(slots, layout), 639 - 190);
  EXPECT_EQ(FreeMacroSpace(slots, layout, 2), 639 - 140);
  // A record at S leaves no gap in front of it.
  slots[0].start = 1400;
  EXPECT_EQ(FindMacroGaps(slots, layout).front(), (MacroGap{1360, 40}));
}

TEST(MacroGaps, BestFitTakesShortestThenFirst) {
  std::vector<MacroGap> gaps = {{100, 50}, {200, 30}, {300, 30}, {400, 80}};
  EXPECT_EQ(BestFitStart(gaps, 30), 200);
  EXPECT_EQ(BestFitStart(gaps, 31), 100);
  EXPECT_EQ(BestFitStart(gaps, 60), 400);
  EXPECT_EQ(BestFitStart(gaps, 81), 0);
}

TEST(MacroNames, SixteenUnitsZeroPadded) {
  EXPECT_EQ(StoredMacroName("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOP");
  auto field = EncodeMacroName("Hi");
  EXPECT_EQ(field[0], 'H');
  EXPECT_EQ(field[2], 'i');
  EXPECT_EQ(field[4], 0);
  // A character outside the basic plane is never cut in half.
  EXPECT_EQ(StoredMacroName("ABCDEFGHIJKLMNO\xF0\x9F\x98\x80"), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(EditedMacroSize(MacroWorld::Body(10)), 44);
}

TEST(MacroSpace, ImportStopsAtTheFirstItemThatDoesNotFit) {
  bool cut = false;
  auto items = MacroWorld::Body(10);  // five 2-byte waits: 44 bytes in all
  EXPECT_EQ(ItemsWithinSpace(items, 44, cut).size(), 5u);
  EXPECT_FALSE(cut);
  EXPECT_EQ(ItemsWithinSpace(items, 43, cut).size(), 4u);
  EXPECT_TRUE(cut);
  EXPECT_TRUE(ItemsWithinSpace(items, 10, cut).empty());
  EXPECT_TRUE(cut);
}

TEST(MacroStore, FirstMacroLandsAtAreaStartWithExactTraffic) {
  MacroWorld w(11, 2000);
  std::vector<double> progress;
  auto items = MacroWorld::Body(5);
  ASSERT_TRUE(StoreMacro(w.world.link, w.world.path, w.image, 3, kModeLoop, "Tap", items,
                         [&](double f) { progress.push_back(f); }));
  const MacroSlot& slot = w.image.macroSlots[3];
  EXPECT_EQ(slot.start, 1360);
  EXPECT_EQ(slot.length, 5 + 1 + 33);
  EXPECT_EQ(slot.codeAddress, 1393);
  EXPECT_EQ(FreeMacroSpace(w.image.macroSlots, MacroLayoutOf(w.image)), 2000 - 1360 - 1 - 39);
  ASSERT_FALSE(progress.empty());
  EXPECT_LE(progress.back(), 1.0);

  // The same writes, issued by hand on a second mouse, give the same requests.
  test::SimWorld reference(Level(11));
  const uint8_t entry[4] = {0x50, 0x05, 39, 0};
  WriteMemory(reference.link, reference.path, 832 + 12, entry, 4);
  const uint8_t mode = kModeLoop;
  WriteMemory(reference.link, reference.path, 1152 + 3, &mode, 1);
  WriteMemoryByte(reference.link, reference.path, 1360, 32);
  auto name = EncodeMacroName("Tap");
  WriteMemory(reference.link, reference.path, 1361, name.data(), 32);
  auto body = SerialiseItemsForDevice(items);
  WriteMemory(reference.link, reference.path, 1393, body.data(), static_cast<int>(body.size()));
  EXPECT_EQ(w.world.Requests(), reference.Requests());

  // The mouse now holds what a load would decode back into the same slot.
  MacroSlots decoded = w.DecodedSlots();
  EXPECT_EQ(decoded[3].start, 1360);
  EXPECT_EQ(decoded[3].length, 39);
  EXPECT_EQ(decoded[3].codeAddress, 1393);
  EXPECT_EQ(decoded[3].name, "Tap");
  EXPECT_EQ(decoded[3].mode, kModeLoop);
  auto back = ReadBackMacro(w.world.link, w.world.path, w.image, 3);
  EXPECT_EQ(back.items, items);
  EXPECT_EQ(back.name, "Tap");
  EXPECT_EQ(back.mode, kModeLoop);
}

TEST(MacroStore, LongBodyGoesOutIn128BytePieces) {
  MacroWorld w(11, 4000);
  ASSERT_TRUE(w.Store(0, 300));
  // 301 body bytes: pieces of 128, 128 and 45, each in 32-byte requests.
  int bodyRequests = 0;
  for (const auto& request : w.world.Requests()) {
    if (request.size() > 3 && request[1] == 0x03) {
      const int address = request[2] | request[3] << 8;
      if (address >= 1360 + 33) ++bodyRequests;
    }
  }
  EXPECT_EQ(bodyRequests, 4 + 4 + 2);
}

TEST(MacroStore, NoRoomChangesNothing) {
  MacroWorld w(11, 1360 + 100);
  ASSERT_TRUE(w.Store(0, 20, "first"));
  const MacroSlot before = w.image.macroSlots[0];
  w.world.ClearTraffic();
  EXPECT_FALSE(w.Store(0, 80, "second"));
  EXPECT_EQ(w.image.macroSlots[0].start, before.start);
  EXPECT_EQ(w.image.macroSlots[0].length, before.length);
  EXPECT_EQ(w.image.macroSlots[0].name, "first");
  EXPECT_TRUE(w.world.Requests().empty());
  EXPECT_FALSE(w.Store(1, 80, "third"));
  EXPECT_FALSE(w.image.macroSlots[1].InUse());
}

TEST(MacroStore, RestoreIntoOwnSlotReusesItsPlaceAndRepointsButtons) {
  MacroWorld w(11, 1360 + 200);
  ASSERT_TRUE(w.Store(0, 60));
  w.Assign(0, 5, 0);
  w.Assign(3, 1, 0);
  w.Assign(2, 31, 0);  // one of the last two buttons: falls back to the default
  w.world.ClearTraffic();
  // The old record counts as free: 94 + 100 bytes fit only over it.
  ASSERT_TRUE(w.Store(0, 100, "again", kModeFire));
  EXPECT_EQ(w.image.macroSlots[0].start, 1360);
  EXPECT_EQ(w.MouseButton(0, 5), (ButtonRecord{kModeFire, 0x71, 0x05, 0}));
  EXPECT_EQ(w.MouseButton(3, 1), (ButtonRecord{kModeFire, 0x71, 0x05, 0}));
  EXPECT_EQ(w.MouseButton(2, 31).type, 0);
  EXPECT_EQ(w.image.profiles[0].buttons[5], w.MouseButton(0, 5));
  EXPECT_EQ(w.world.Mouse().CommitCount(), 1);  // the active profile changed
}

TEST(MacroDelete, ButtonsGoBackToDefaultInEveryProfile) {
  MacroWorld w(11, 2000);
  ASSERT_TRUE(w.Store(4, 10));
  ASSERT_TRUE(w.Store(5, 10));
  w.Assign(1, 2, 4);
  w.Assign(4, 7, 4);
  w.Assign(1, 3, 5);
  w.world.ClearTraffic();
  ASSERT_TRUE(DeleteMacro(w.world.link, w.world.path, w.image, 4));
  EXPECT_FALSE(w.image.macroSlots[4].InUse());
  EXPECT_EQ(w.MouseButton(1, 2), (ButtonRecord{0, 0, 0, 0}));
  EXPECT_EQ(w.MouseButton(4, 7), (ButtonRecord{0, 0, 0, 0}));
  EXPECT_EQ(w.MouseButton(1, 3).type, kModeOnce);  // another macro's button stays
  EXPECT_FALSE(w.DecodedSlots()[4].InUse());
  EXPECT_EQ(w.world.Mouse().CommitCount(), 0);  // profile 0 was not touched
  EXPECT_FALSE(DeleteMacro(w.world.link, w.world.path, w.image, 80));
}

TEST(MacroReadBack, OversizedNameLengthByteReadsNoInstructions) {
  MacroWorld w(11, 2000);
  ASSERT_TRUE(w.Store(0, 10));
  w.world.Mouse().Memory()[1360] = 250;
  auto back = ReadBackMacro(w.world.link, w.world.path, w.image, 0);
  EXPECT_TRUE(back.items.empty());
  EXPECT_TRUE(ReadBackMacro(w.world.link, w.world.path, w.image, 1).items.empty());
}

TEST(MacroRename, WritesTheNameFieldOnly) {
  MacroWorld w(11, 2000);
  ASSERT_TRUE(w.Store(2, 10, "before"));
  w.world.ClearTraffic();
  ASSERT_TRUE(RenameMacroSlot(w.world.link, w.world.path, w.image, 2, "A much longer new name"));
  EXPECT_EQ(w.image.macroSlots[2].name, "A much longer ne");
  EXPECT_EQ(w.DecodedSlots()[2].name, "A much longer ne");
  EXPECT_EQ(w.world.Requests().size(), 1u);  // 32 bytes in one write
  EXPECT_FALSE(RenameMacroSlot(w.world.link, w.world.path, w.image, 3, "empty slot"));
}

class MacroCompaction : public ::testing::TestWithParam<int> {};

// Fills the memory, deletes every other macro, and stores one that fits only
// after compaction: every button of a moved macro must follow it, in every
// profile, at the record addresses of the mouse's own level, and nothing else
// in the settings memory may change.
TEST_P(MacroCompaction, MovedMacrosKeepTheirButtons) {
  const int level = GetParam();
  const int recordLength = 40 + 1 + 33;
  MacroWorld probe(level, 0);
  const int start = probe.S();
  MacroWorld w(level, start + 6 * recordLength + 1);
  const int buttons = w.image.map.buttonsPerProfile;
  for (int slot = 0; slot < 6; ++slot) ASSERT_TRUE(w.Store(slot, 40, "m" + std::to_string(slot)));
  EXPECT_EQ(FreeMacroSpace(w.image.macroSlots, MacroLayoutOf(w.image)), 0);
  EXPECT_FALSE(w.Store(6, 1));
  for (int slot = 0; slot < 6; ++slot) {
    for (int p = 0; p < 5; ++p) w.Assign(p, (slot + p) % (buttons - 2), slot);
    w.Assign(slot % 5, buttons - 1 - slot % 2, slot);  // the last two buttons too
  }
  for (int slot = 0; slot < 6; slot += 2) ASSERT_TRUE(DeleteMacro(w.world.link, w.world.path, w.image, slot));
  EXPECT_EQ(FreeMacroSpace(w.image.macroSlots, MacroLayoutOf(w.image)), 3 * recordLength);

  const std::vector<uint8_t> before = w.world.Mouse().Memory();
  std::vector<double> progress;
  ASSERT_TRUE(StoreMacro(w.world.link, w.world.path, w.image, 7, kModeOnce, "big",
                         MacroWorld::Body(2 * recordLength - 34), [&](double f) { progress.push_back(f); }));
  // Slots 1, 3, 5 moved down to S in slot order; the new macro follows them.
  EXPECT_EQ(w.image.macroSlots[1].start, start);
  EXPECT_EQ(w.image.macroSlots[3].start, start + recordLength);
  EXPECT_EQ(w.image.macroSlots[5].start, start + 2 * recordLength);
  EXPECT_EQ(w.image.macroSlots[7].start, start + 3 * recordLength);
  for (int slot = 1; slot < 6; slot += 2) {
    const int code = w.image.macroSlots[static_cast<size_t>(slot)].codeAddress;
    EXPECT_EQ(code, w.image.macroSlots[static_cast<size_t>(slot)].start + 33);
    for (int p = 0; p < 5; ++p) {
      const int b = (slot + p) % (buttons - 2);
      EXPECT_EQ(w.MouseButton(p, b), (ButtonRecord{kModeOnce, static_cast<uint8_t>(code & 0xFF),
                                                    static_cast<uint8_t>(code >> 8), 0}))
          << "slot " << slot << " profile " << p;
      EXPECT_EQ(w.image.profiles[static_cast<size_t>(p)].buttons[static_cast<size_t>(b)], w.MouseButton(p, b));
    }
    const int last = buttons - 1 - slot % 2;
    EXPECT_EQ(w.MouseButton(slot % 5, last), (ButtonRecord{kModeOnce, static_cast<uint8_t>(code & 0xFF),
                                                           static_cast<uint8_t>(code >> 8), 0}))
        << "slot " << slot << " button " << last;
  }
  // The mouse's table agrees with the image.
  MacroSlots decoded = w.DecodedSlots();
  for (int slot = 0; slot < 8; ++slot) {
    EXPECT_EQ(decoded[static_cast<size_t>(slot)].start, w.image.macroSlots[static_cast<size_t>(slot)].start);
    EXPECT_EQ(decoded[static_cast<size_t>(slot)].name, w.image.macroSlots[static_cast<size_t>(slot)].name);
  }
  auto back = ReadBackMacro(w.world.link, w.world.path, w.image, 3);
  EXPECT_EQ(back.items, MacroWorld::Body(40));
  // Every changed byte lies in the macro table, the modes, the macro area or
  // a button record of a moved macro.
  const auto& after = w.world.Mouse().Memory();
  const ProtocolFamily family = w.family();
  for (size_t a = 0; a < after.size(); ++a) {
    if (after[a] == before[a]) continue;
    const int address = static_cast<int>(a);
    bool allowed = (address >= w.image.map.macroTableOffset && address < w.image.map.macroTableOffset + 320) ||
                   (address >= w.image.map.macroModeOffset && address < w.image.map.macroModeOffset + 80) ||
                   (address >= start && address < w.image.memoryEnd - 1);
    for (int p = 0; p < 5 && !allowed; ++p) {
      for (int b = 0; b < buttons && !allowed; ++b) {
        for (int k = 0; k < 4; ++k) allowed |= family.ButtonByteAddress(p, b, k) == address;
      }
    }
    EXPECT_TRUE(allowed) << "unexpected write at " << address;
  }
  ASSERT_FALSE(progress.empty());
  EXPECT_LE(progress.back(), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Levels, MacroCompaction, ::testing::Values(11, 5, 0));

// Compaction packs records in slot order, which can put a macro where another
// one's code used to start; buttons must follow their own macro only.
TEST(MacroCompactionOrder, ReorderedRecordsKeepButtonsApart) {
  MacroWorld w(11, 0);
  const int s = w.S();
  const int len = 20 + 1 + 33;
  w.image.memoryEnd = s + 3 * len + 10 + 1;
  ASSERT_TRUE(w.Store(1, 20, "one"));    // at S
  ASSERT_TRUE(w.Store(2, 20, "two"));    // at S + len
  ASSERT_TRUE(w.Store(0, 20, "zero"));   // at S + 2 len
  ASSERT_EQ(w.image.macroSlots[0].start, s + 2 * len);
  w.Assign(0, 0, 0);
  w.Assign(1, 1, 1);
  ASSERT_TRUE(DeleteMacro(w.world.link, w.world.path, w.image, 2));
  ASSERT_TRUE(w.Store(3, len + 5 - 34, "three"));  // fits only after compaction
  EXPECT_EQ(w.image.macroSlots[0].start, s);
  EXPECT_EQ(w.image.macroSlots[1].start, s + len);
  EXPECT_EQ(w.MouseButton(0, 0).p1 + 256 * w.MouseButton(0, 0).p2, s + 33);
  EXPECT_EQ(w.MouseButton(1, 1).p1 + 256 * w.MouseButton(1, 1).p2, s + len + 33);
  EXPECT_EQ(MacroNameAtCodeAddress(w.image.macroSlots, s + 33), "zero");
  EXPECT_EQ(MacroProfileMask(w.image, 1), 0b10);
}

}  // namespace
}  // namespace quorix
