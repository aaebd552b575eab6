#include "settings/field_writes.h"

#include <algorithm>

#include "device/commands.h"

namespace quorix {
namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

bool AssignButton(DeviceLink& link, SettingsState& state, int profile, int button, ButtonRecord record) {
  const std::string path = state.CurrentDevice();
  const auto image = state.image.Snapshot();
  if (path.empty() || !InRange(profile, 0, kProfileCount - 1) || !InRange(button, 0, image->ButtonsPerProfile() - 1))
    return false;
  ButtonRecord shown = record;
  if (record.type == 0) {
    const std::array<uint8_t, 4> r = ReadButtonRecord(link, path, button);
    shown = {r[0], r[1], r[2], r[3]};
  }
  state.image.Update([&](SettingsImage& img) {
    img.profiles[static_cast<size_t>(profile)].buttons[static_cast<size_t>(button)] = shown;
    img.primaryClickHolder = ComputePrimaryClickHolder(img);
  });
  SyncHandshake(link, path);
  WriteButtonRecord(link, path, profile, button, record.type, record.p1, record.p2, record.p3, true);
  return true;
}

bool WriteActiveProfile(DeviceLink& link, SettingsState& state, int profile) {
  const std::string path = state.CurrentDevice();
  if (path.empty() || !InRange(profile, 0, kProfileCount - 1)) return false;
  state.image.Update([&](SettingsImage& img) {
    img.activeProfile = profile;
    img.primaryClickHolder = ComputePrimaryClickHolder(img);
  });
  SetActiveProfile(link, path, profile);
  return true;
}

bool WriteProfileFlag(DeviceLink& link, SettingsState& state, int profile, bool flagSet) {
  const std::string path = state.CurrentDevice();
  if (path.empty() || !InRange(profile, 0, kProfileCount - 1)) return false;
  const int address = state.image.Snapshot()->map.ProfileBlockAddress(profile);
  WriteMemoryByte(link, path, address, flagSet ? 0x92 : 0x12);
  state.image.Update([&](SettingsImage& img) { img.profiles[static_cast<size_t>(profile)].flag = flagSet; });
  return true;
}

bool WriteSensitivitySelection(DeviceLink& link, SettingsState& state, int activeLevel, int levelMask) {
  const std::string path = state.CurrentDevice();
  if (path.empty() || !InRange(activeLevel, 0, 7) || !InRange(levelMask, 0, 31)) return false;
  SetDpiLevel(link, path, levelMask << 3 | activeLevel);
  state.image.Update([&](SettingsImage& img) {
    img.activeLevel = activeLevel;
    img.levelMask = levelMask;
  });
  return true;
}

bool WriteActiveLevel(DeviceLink& link, SettingsState& state, int level) {
  const std::string path = state.CurrentDevice();
  if (path.empty() || !InRange(level, 0, kDpiPairCount - 1)) return false;
  SetDpiLevel(link, path, level);
  state.image.Update([&](SettingsImage& img) { img.activeLevel = level; });
  return true;
}

bool WriteLevelEnabled(DeviceLink& link, SettingsState& state, int level, bool enabled) {
  const auto image = state.image.Snapshot();
  if (!InRange(level, 0, image->map.levelFlagCount - 1)) return false;
  const int mask = enabled ? image->levelMask | 1 << level : image->levelMask & ~(1 << level);
  if (!WriteSensitivitySelection(link, state, image->activeLevel, mask)) return false;
  // The per-level switches show the level flags; keep them with the mask.
  state.image.Update([&](SettingsImage& img) { img.levelFlags[static_cast<size_t>(level)] = enabled; });
  return true;
}

bool WriteReportRate(DeviceLink& link, SettingsState& state, int code) {
  const std::string path = state.CurrentDevice();
  if (path.empty() || !InRange(code, 0, 7)) return false;
  SetReportRateCode(link, path, code);
  state.image.Update([&](SettingsImage& img) { img.reportRateCode = code; });
  return true;
}

bool WriteAngleSnapping(DeviceLink& link, SettingsState& state, bool on) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return false;
  SetAngleSnapping(link, path, on);
  state.image.Update([&](SettingsImage& img) { img.angleSnapping = on; });
  return true;
}

bool WriteDpiPair(DeviceLink& link, SettingsState& state, int index, int x, int y) {
  const std::string path = state.CurrentDevice();
  if (path.empty() || !InRange(index, 0, kDpiPairCount - 1) || !InRange(x, 0, 255) || !InRange(y, 0, 255))
    return false;
  if (index == state.image.Snapshot()->activeLevel) ApplyDpiPair(link, path, index, x, y);
  StoreDpiPair(link, path, index, x, y);
  state.image.Update([&](SettingsImage& img) {
    img.dpiPairs[static_cast<size_t>(index)] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
  });
  return true;
}

bool WriteStoredSelection(DeviceLink& link, SettingsState& state, bool profileChanged, bool levelChanged) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return false;
  const auto image = state.image.Snapshot();
  if (profileChanged)
    WriteMemoryByte(link, path, image->map.storedProfileAddress, static_cast<uint8_t>(image->activeProfile));
  if (levelChanged) WriteMemoryByte(link, path, image->map.storedLevelAddress, static_cast<uint8_t>(image->activeLevel));
  return true;
}

int BeginLiftAdjust(DeviceLink& link, SettingsState& state) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return 0;
  const int value = ReadLiftValue(link, path, true);
  StartLiftAdjust(link, path);
  return value;
}

bool ConfirmLiftAdjust(DeviceLink& link, SettingsState& state) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return false;
  const int value = ReadLiftValue(link, path, true);
  StoreLiftValue(link, path, value, true);
  state.image.Update([&](SettingsImage& img) { img.liftValue = value; });
  return true;
}

bool CancelLiftAdjust(DeviceLink& link, SettingsState& state, int oldValue) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return false;
  FinishLiftAdjust(link, path);
  StoreLiftValue(link, path, oldValue, false);
  return true;
}

}  // namespace quorix
