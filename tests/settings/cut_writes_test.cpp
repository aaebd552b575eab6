// Reset and restore struck at every request, at each layout, by the mouse
// unplugged, restarting, or carrying requests out without answering: once the
// mouse is back, a load shows a whole image (the one before, the one asked
// for, or the defaults of the reset the load starts on an erased mouse),
// never a memory that is half old and half new.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "device/discovery.h"
#include "settings/backup_file.h"
#include "settings/backup_restore.h"
#include "settings/memory_map.h"
#include "settings/settings_load.h"
#include "support/sim_world.h"

namespace quorix {
namespace {

using test::SimWorld;
using Bytes = std::vector<uint8_t>;
using Operation = std::function<Outcome(SimWorld&, SettingsState&)>;

// Bytes that differ from the defaults in the first and the last piece
// written: a sensitivity byte in every layout (pair 1 at levels 1 and up,
// pair 0 at level 0), and one the decoder ignores or takes as it comes.
constexpr int kChangedByte = 5;
constexpr int kRestoredLength = 528;  // 16 full pieces and a part
constexpr int kLastRestoredPieceByte = 500;

Bytes SettingsArea(SimWorld& world, int level) {
  const Bytes& memory = world.Mouse().Memory();
  return Bytes(memory.begin(), memory.begin() + MemoryMapForLevel(level).macroAreaStart);
}

// A mouse whose settings differ from the defaults, loaded.
struct CutWorld {
  explicit CutWorld(int level) : world(Options(level)) {
    Bytes& memory = world.Mouse().Memory();
    const MemoryMap map = MemoryMapForLevel(level);
    memory[kChangedByte] = 77;
    memory[static_cast<size_t>(map.macroAreaStart - 1)] = 0x5A;
    EXPECT_TRUE(LoadSettings(world.link, state));
    world.ClearTraffic();
  }
  static sim::SimOptions Options(int level) {
    sim::SimOptions options;
    options.protocolLevel = level;
    return options;
  }
  SimWorld world;
  SettingsState state;
};

// What `operation` leaves in the settings area when nothing goes wrong, and
// how many requests it takes.
struct CleanRun {
  Bytes settings;
  int requests = 0;
};

CleanRun Clean(int level, const Operation& operation) {
  CutWorld clean(level);
  EXPECT_TRUE(operation(clean.world, clean.state));
  sim::SimMouse& mouse = clean.world.Mouse();
  return {SettingsArea(clean.world, level), mouse.SetCount(sim::kConfigInterface) + mouse.SetCount(sim::kPointingInterface)};
}

enum class Fault { kUnplug, kRestart, kLoseAnswers };

// Strikes `operation` with `fault` before each of its requests in turn.
// Whatever it reports, a load afterwards shows one of the `whole` images;
// when it reports success, the last one (the clean result).
void ExpectEveryStrikeLeavesAWholeImage(int level, Fault fault, const Operation& operation,
                                        const std::vector<Bytes>& whole, int requests, const char* name) {
  for (int n = 0; n <= requests; ++n) {
    const std::string where = std::string(name) + " level " + std::to_string(level) +
                              (fault == Fault::kUnplug    ? " unplugged at "
                               : fault == Fault::kRestart ? " restarted at "
                                                          : " answers lost from ") +
                              std::to_string(n);
    CutWorld w(level);
    switch (fault) {
      case Fault::kUnplug:
        w.world.host.ArmUnplug(n);
        break;
      case Fault::kRestart:
        w.world.host.ArmRestart(n);
        break;
      case Fault::kLoseAnswers:
        w.world.host.ArmLoseAnswers(n);
        break;
    }
    if (operation(w.world, w.state)) {
      EXPECT_EQ(SettingsArea(w.world, level), whole.back()) << where;
      continue;
    }
    // Plugged in again, as the program sees it: the old path goes, the new one comes.
    w.world.host.Replug();
    RemoveDevice(w.world.link, w.world.path);
    EnumerateDevices(w.world.link);
    ASSERT_TRUE(LoadSettings(w.world.link, w.state)) << where;
    const Bytes after = SettingsArea(w.world, level);
    EXPECT_NE(std::find(whole.begin(), whole.end(), after), whole.end()) << where << ": half-written memory taken";
  }
}

TEST(CutWrites, ResetAndRestoreLeaveAWholeImageWhereverTheMouseIsUnpluggedOrRestarts) {
  for (const int level : {11, 5, 0}) {
    const Operation reset = [](SimWorld& world, SettingsState& state) {
      return ResetToDefaults(world.link, state);
    };
    CutWorld source(level);
    Bytes& memory = source.world.Mouse().Memory();
    memory[kChangedByte] = 99;
    memory[kLastRestoredPieceByte] = 0x6B;
    const Bytes backup = EncodeBackup(Bytes(memory.begin(), memory.begin() + kRestoredLength), ProfileApps{});
    const Operation restore = [&backup](SimWorld& world, SettingsState& state) {
      ProfileApps apps;
      return RestoreBackupBytes(world.link, state, backup, apps, {});
    };
    CutWorld before(level);
    const Bytes untouched = SettingsArea(before.world, level);
    const CleanRun defaults = Clean(level, reset);
    const CleanRun restored = Clean(level, restore);
    for (const Fault fault : {Fault::kUnplug, Fault::kRestart, Fault::kLoseAnswers}) {
      ExpectEveryStrikeLeavesAWholeImage(level, fault, reset, {untouched, defaults.settings}, defaults.requests,
                                         "reset");
      ExpectEveryStrikeLeavesAWholeImage(level, fault, restore, {untouched, defaults.settings, restored.settings},
                                         restored.requests, "restore");
    }
  }
}

}  // namespace
}  // namespace quorix
