#include "settings/field_writes.h"

#include <algorithm>

#include "device/commands.h"

namespace quorix {
namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// The checks every field write starts with: a current device, and its
// arguments in range. kNone when the write may go ahead.
Failure Check(const std::string& path, bool argumentsValid) {
  if (path.empty()) return Failure::kNoDevice;
  return argumentsValid ? Failure::kNone : Failure::kInvalidArgument;
}

// Runs the device part of a field write as one operation and applies the
// change to the published image only when the mouse took it, so the image
// never shows a value the mouse does not hold.
template <typename Send, typename Apply>
Outcome WriteField(DeviceLink& link, SettingsState& state, Send send, Apply apply) {
  DeviceOperation operation(link);
  send();
  if (operation.Failed()) return operation.Result();
  state.image.Update(apply);
  return {};
}

}  // namespace

Outcome AssignButton(DeviceLink& link, SettingsState& state, int profile, int button, ButtonRecord record) {
  const std::string path = state.CurrentDevice();
  const auto image = state.image.Snapshot();
  if (Failure f =
          Check(path, InRange(profile, 0, kProfileCount - 1) && InRange(button, 0, image->ButtonsPerProfile() - 1));
      f != Failure::kNone)
    return f;
  ButtonRecord shown = record;
  return WriteField(
      link, state,
      [&] {
        if (record.type == 0) {
          const std::array<uint8_t, 4> r = ReadButtonRecord(link, path, button);
          shown = {r[0], r[1], r[2], r[3]};
        }
        SyncHandshake(link, path);
        WriteButtonRecord(link, path, profile, button, record.type, record.p1, record.p2, record.p3, true);
      },
      [&](SettingsImage& img) {
        img.profiles[static_cast<size_t>(profile)].buttons[static_cast<size_t>(button)] = shown;
        img.primaryClickHolder = ComputePrimaryClickHolder(img);
      });
}

Outcome WriteActiveProfile(DeviceLink& link, SettingsState& state, int profile) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, InRange(profile, 0, kProfileCount - 1)); f != Failure::kNone) return f;
  return WriteField(
      link, state, [&] { SetActiveProfile(link, path, profile); },
      [&](SettingsImage& img) {
        img.activeProfile = profile;
        img.primaryClickHolder = ComputePrimaryClickHolder(img);
      });
}

Outcome WriteProfileFlag(DeviceLink& link, SettingsState& state, int profile, bool flagSet) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, InRange(profile, 0, kProfileCount - 1)); f != Failure::kNone) return f;
  const int address = state.image.Snapshot()->map.ProfileBlockAddress(profile);
  return WriteField(
      link, state, [&] { WriteMemoryByte(link, path, address, flagSet ? 0x92 : 0x12); },
      [&](SettingsImage& img) { img.profiles[static_cast<size_t>(profile)].flag = flagSet; });
}

Outcome WriteSensitivitySelection(DeviceLink& link, SettingsState& state, int activeLevel, int levelMask) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, InRange(activeLevel, 0, 7) && InRange(levelMask, 0, 31)); f != Failure::kNone) return f;
  return WriteField(
      link, state, [&] { SetDpiLevel(link, path, levelMask << 3 | activeLevel); },
      [&](SettingsImage& img) {
        img.activeLevel = activeLevel;
        img.levelMask = levelMask;
      });
}

Outcome WriteActiveLevel(DeviceLink& link, SettingsState& state, int level) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, InRange(level, 0, kDpiPairCount - 1)); f != Failure::kNone) return f;
  return WriteField(
      link, state, [&] { SetDpiLevel(link, path, level); }, [&](SettingsImage& img) { img.activeLevel = level; });
}

Outcome WriteLevelEnabled(DeviceLink& link, SettingsState& state, int level, bool enabled) {
  const auto image = state.image.Snapshot();
  const std::string path = state.CurrentDevice();
  // An empty mask cycles every level the mouse counts; the image of a single
  // field write is prepared without the counts, so ask the mouse then.
  int levels = std::min(image->levelCount, kDpiPairCount - 1);
  if (levels <= 0 && !path.empty()) levels = std::min(GetCounts(link, path).levelCount, kDpiPairCount - 1);
  if (levels <= 0) levels = image->map.levelFlagCount;
  if (Failure f = Check(path, InRange(level, 0, levels - 1)); f != Failure::kNone) return f;
  const int cycled = CycledLevels(image->levelMask, levels);
  const int mask = enabled ? cycled | 1 << level : cycled & ~(1 << level);
  // With no level left the DPI button would do nothing; an empty mask would
  // even bring every level back.
  if (mask == 0) return Failure::kLastLevelOn;
  return WriteSensitivitySelection(link, state, image->activeLevel, mask);
}

Outcome WriteReportRate(DeviceLink& link, SettingsState& state, int code) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, InRange(code, 0, 7)); f != Failure::kNone) return f;
  return WriteField(
      link, state, [&] { SetReportRateCode(link, path, code); },
      [&](SettingsImage& img) { img.reportRateCode = code; });
}

Outcome WriteAngleSnapping(DeviceLink& link, SettingsState& state, bool on) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, true); f != Failure::kNone) return f;
  return WriteField(
      link, state, [&] { SetAngleSnapping(link, path, on); }, [&](SettingsImage& img) { img.angleSnapping = on; });
}

Outcome WriteDpiPair(DeviceLink& link, SettingsState& state, int index, int x, int y) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, InRange(index, 0, kDpiPairCount - 1) && InRange(x, 0, 255) && InRange(y, 0, 255));
      f != Failure::kNone)
    return f;
  const bool active = index == state.image.Snapshot()->activeLevel;
  return WriteField(
      link, state,
      [&] {
        if (active) ApplyDpiPair(link, path, index, x, y);
        StoreDpiPair(link, path, index, x, y);
      },
      [&](SettingsImage& img) {
        img.dpiPairs[static_cast<size_t>(index)] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
      });
}

Outcome WriteStoredSelection(DeviceLink& link, SettingsState& state, SelectionChanges changed) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, true); f != Failure::kNone) return f;
  const auto image = state.image.Snapshot();
  return WriteField(
      link, state,
      [&] {
        if (changed.profile)
          WriteMemoryByte(link, path, image->map.storedProfileAddress, static_cast<uint8_t>(image->activeProfile));
        if (changed.level)
          WriteMemoryByte(link, path, image->map.storedLevelAddress, static_cast<uint8_t>(image->activeLevel));
      },
      [](SettingsImage&) {});
}

int BeginLiftAdjust(DeviceLink& link, SettingsState& state, Outcome& outcome) {
  const std::string path = state.CurrentDevice();
  outcome = Check(path, true);
  if (!outcome) return 0;
  DeviceOperation operation(link);
  const int value = ReadLiftValue(link, path, true);
  StartLiftAdjust(link, path);
  outcome = operation.Result();
  return value;
}

Outcome ConfirmLiftAdjust(DeviceLink& link, SettingsState& state) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, true); f != Failure::kNone) return f;
  int value = 0;
  return WriteField(
      link, state,
      [&] {
        value = ReadLiftValue(link, path, true);
        StoreLiftValue(link, path, value, true);
      },
      [&](SettingsImage& img) { img.liftValue = value; });
}

Outcome CancelLiftAdjust(DeviceLink& link, SettingsState& state, int oldValue) {
  const std::string path = state.CurrentDevice();
  if (Failure f = Check(path, true); f != Failure::kNone) return f;
  return WriteField(
      link, state,
      [&] {
        FinishLiftAdjust(link, path);
        StoreLiftValue(link, path, oldValue, false);
      },
      [](SettingsImage&) {});
}

}  // namespace quorix
