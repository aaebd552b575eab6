#include "settings/settings_load.h"

#include <algorithm>
#include <array>

#include "device/commands.h"
#include "device/discovery.h"
#include "settings/image_write.h"

namespace quorix {
namespace {

void Report(const ProgressFn& progress, double fraction) {
  if (progress) progress(fraction);
}

// How many bytes after a candidate end must read as those from address 0.
constexpr int kWrapCheckBytes = 6;

// Whether the memory starts over right after `end`.
bool WrapsAfter(DeviceLink& link, const std::string& path, int end) {
  std::array<uint8_t, kWrapCheckBytes> bottom{}, above{};
  ReadMemory(link, path, 0, bottom.data(), kWrapCheckBytes, false);
  ReadMemory(link, path, end + 1, above.data(), kWrapCheckBytes, false);
  return bottom == above;
}

// What both loads start with: the selected listed device taken as the current
// one, identified and selected. The signature is checked here;
// when it reads as erased, the reset (which loads again) has taken over and
// `outcome` holds its result. False when the caller must stop with `outcome`.
struct OpenedDevice {
  std::string path;
  DeviceInfo info;
  Outcome outcome;
};

bool OpenCurrentDevice(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options,
                       DeviceOperation& operation, OpenedDevice& opened) {
  state.SetCurrentDevice("");
  const int count = DeviceCount(link);
  if (count == 0) {
    opened.outcome = Failure::kNoDevice;
    return false;
  }
  int index = state.selectedDevice.load();
  if (index < 0 || index >= count) {
    index = 0;
    state.selectedDevice = 0;
  }
  opened.path = DevicePath(link, index);
  state.SetCurrentDevice(opened.path);
  GetDeviceInfo(link, opened.path, opened.info);
  SelectHostMarker(link, opened.path, true);
  if (FamilyForLevel(opened.info.protocolLevel).loadHandshake) SyncHandshake(link, opened.path);
  // Only a byte the mouse really answered may start a reset: a mouse that is
  // silent or talks garbage must never have its settings wiped. Every level
  // is tested, not only level 11: reset and restore write the signature
  // last, so an erased one also marks a write that was cut short, and no
  // level may show (or back up) such a half-written memory as its settings.
  const uint8_t signature = ReadMemoryByte(link, opened.path, 0, true);
  if (operation.Failed()) {
    opened.outcome = operation.Result();
    return false;
  }
  if (signature == kErasedByte && options.resetOnBadSignature) {
    ResetOptions reset;
    reset.reload = options;
    opened.outcome = ResetToDefaults(link, state, reset);
    return false;
  }
  return true;
}

// Reads the whole mouse and publishes it, or hands over to a reset when a
// mouse has lost its signature (the reset publishes its own load).
// Nothing is published when an exchange failed: a half-read mouse would show
// zeros as if they were settings.
Outcome LoadInto(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options) {
  DeviceOperation operation(link);
  OpenedDevice opened;
  if (!OpenCurrentDevice(link, state, options, operation, opened)) return opened.outcome;
  const std::string& path = opened.path;
  const DeviceInfo& info = opened.info;
  const int level = info.protocolLevel;
  const MemoryMap map = MemoryMapForLevel(level, info.tableSelect);

  std::array<uint8_t, kLightingBlockSize> lightingBlock{};
  int lightingMode = 0;
  if (map.lighting) {
    ReadLightingBlock(link, path, lightingBlock.data());
    lightingMode = ReadLightingMode(link, path);
  }

  // The slot table comes first so that the probe knows where macros lie; the
  // cache serves these bytes again to the whole-memory read below.
  const int memoryEnd = ProbeMemoryEnd(link, path, StoredMacrosEnd(link, path, map));
  const StatusValues status = ReadStatus(link, path);
  const Counts counts = GetCounts(link, path);

  std::vector<uint8_t> memory(static_cast<size_t>(map.bytesReadAtLoad), 0);
  for (int address = 0; address < map.bytesReadAtLoad && !operation.Failed(); address += map.loadRequestSize) {
    Report(options.progress, 0.6 * address / map.bytesReadAtLoad);
    const int length = std::min(map.loadRequestSize, map.bytesReadAtLoad - address);
    ReadMemory(link, path, address, memory.data() + address, length, true);
  }

  DecodeSources sources;
  sources.tableSelect = info.tableSelect;
  sources.progress = options.progress;
  sources.readMemory = [&](int address, uint8_t* buffer, int length) {
    ReadMemory(link, path, address, buffer, length, true);
  };
  sources.readDefault = [&](int button) {
    const std::array<uint8_t, 4> r = ReadButtonRecord(link, path, button);
    return ButtonRecord{r[0], r[1], r[2], r[3]};
  };
  SettingsImage image = DecodeSettings(level, memory, sources);

  image.devicePath = path;
  image.modelCode = info.modelCode;
  image.featureLimit = info.featureLimit;
  image.variantA = info.variantA;
  image.memoryEnd = memoryEnd;
  image.activeLevel = status.levelAndMask & 7;
  image.levelMask = status.levelAndMask >> 3;
  image.activeProfile = status.activeProfile;
  image.profileCount = std::min(counts.profileCount, kProfileCount);
  image.levelCount = std::min(counts.levelCount, 4);
  if (map.lighting) {
    image.lightingBlock = lightingBlock;
    image.lightingMode = lightingMode;
  }
  image.primaryClickHolder = ComputePrimaryClickHolder(image);

  if (operation.Failed()) return operation.Result();
  state.image.Publish(std::move(image));
  Report(options.progress, 1.0);
  if (options.onLoaded) options.onLoaded(*state.image.Snapshot());
  return {};
}

// The field writes consult the layout and the live selection only (the
// bytes a write modifies in place, such as the settings byte, it reads itself).
Outcome PrepareInto(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options) {
  DeviceOperation operation(link);
  OpenedDevice opened;
  if (!OpenCurrentDevice(link, state, options, operation, opened)) return opened.outcome;
  const DeviceInfo& info = opened.info;
  const StatusValues status = ReadStatus(link, opened.path);
  if (operation.Failed()) return operation.Result();

  SettingsImage image;
  image.map = MemoryMapForLevel(info.protocolLevel, info.tableSelect);
  image.protocolLevel = info.protocolLevel;
  image.tableSelect = info.tableSelect;
  image.levelFlagCount = image.map.levelFlagCount;
  image.devicePath = opened.path;
  image.modelCode = info.modelCode;
  image.featureLimit = info.featureLimit;
  image.variantA = info.variantA;
  image.activeLevel = status.levelAndMask & 7;
  image.levelMask = status.levelAndMask >> 3;
  image.activeProfile = status.activeProfile;
  state.image.Publish(std::move(image));
  return {};
}

}  // namespace

Outcome PrepareFieldWrite(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options) {
  try {
    return PrepareInto(link, state, options);
  } catch (...) {
    // The previous image stays published.
    return Failure::kStoppedAnswering;
  }
}

Outcome LoadSettings(DeviceLink& link, SettingsState& state, const LoadSettingsOptions& options) {
  Outcome outcome = Failure::kStoppedAnswering;
  try {
    outcome = LoadInto(link, state, options);
  } catch (...) {
    // The previous image stays published.
  }
  state.loadDone = true;
  return outcome;
}

int ProbeMemoryEnd(DeviceLink& link, const std::string& path, int macrosEnd) {
  const int word = ReadStatusWord(link, path);
  if (word != 0) return word;
  if (ReadMemoryByte(link, path, 0xFFFF, true) != kSignatureByte &&
      ReadMemoryByte(link, path, 0xFFFE, true) != kSignatureByte) {
    WriteMemoryByte(link, path, 0xFFFE, kSignatureByte);
    WriteMemoryByte(link, path, 0xFFFF, kSignatureByte);
  }
  int end = kDefaultMemoryEnd;
  int address = 0xFFFF;
  for (int i = 0; i < 6; ++i) {
    if (ReadMemoryByte(link, path, address, true) != kSignatureByte &&
        ReadMemoryByte(link, path, address - 1, true) != kSignatureByte)
      break;
    // Below the top of the address space the marker may be macro bytes: the
    // byte at E - 1 is never part of the macro area, and past a true end the
    // memory reads from address 0 again.
    if (address < 0xFFFF && (address <= macrosEnd || !WrapsAfter(link, path, address))) break;
    end = address;
    address >>= 1;
  }
  return end;
}

int StoredMacrosEnd(DeviceLink& link, const std::string& path, const MemoryMap& map) {
  std::array<uint8_t, 4 * kMacroSlotCount> table{};
  ReadMemory(link, path, map.macroTableOffset, table.data(), static_cast<int>(table.size()), true);
  int end = 0;
  for (size_t i = 0; i < table.size(); i += 4) {
    const int start = table[i] | table[i + 1] << 8;
    const int length = table[i + 2] | table[i + 3] << 8;
    if (start != 0) end = std::max(end, start + length);
  }
  return end;
}

std::vector<uint8_t> BuildDefaultImage(int protocolLevel, int modelCode, const SettingsImage& current) {
  const MemoryMap map = MemoryMapForLevel(protocolLevel);
  std::vector<uint8_t> image(kResetImageSize, 0);
  image[0] = kSignatureByte;
  static constexpr std::array<uint8_t, kDpiPairCount> kDefaultDpi = {20, 40, 80, 160, 80};
  for (int i = 0; i < kDpiPairCount; ++i) {
    image[static_cast<size_t>(map.dpiPairOffset + 2 * i)] = kDefaultDpi[static_cast<size_t>(i)];
    image[static_cast<size_t>(map.dpiPairOffset + 2 * i + 1)] = kDefaultDpi[static_cast<size_t>(i)];
  }
  image[static_cast<size_t>(map.settingsByteAddress)] |= 0x10;  // report-rate code 1: 500 Hz
  if (map.Level0()) {
    if (modelCode == 12) image[12] = 245, image[13] = 182;
    if (modelCode == 13) image[12] = 150, image[13] = 18;
    for (int p = 0; p < kProfileCount; ++p) {
      const auto block = static_cast<size_t>(map.ProfileBlockAddress(p));
      const auto& colour = current.profiles[static_cast<size_t>(p)].colour;
      image[block] = kSignatureByte;
      image[block + 1] = kSignatureByte;
      image[block + 3] = static_cast<uint8_t>((colour[0] & 3) | (colour[1] & 3) << 2 | (colour[2] & 3) << 4);
      image[block + 35] = 1;  // button 3, plane 0
    }
    return image;
  }
  static constexpr std::array<std::array<uint8_t, 3>, kProfileCount> kColours = {
      {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}}};
  for (int p = 0; p < kProfileCount; ++p) {
    const auto block = static_cast<size_t>(map.ProfileBlockAddress(p));
    image[block + 2] = 7;
    for (size_t c = 0; c < 3; ++c) image[block + 3 + c] = kColours[static_cast<size_t>(p)][c];
  }
  return image;
}

Outcome ResetToDefaults(DeviceLink& link, SettingsState& state, const ResetOptions& options) {
  const std::string path = state.CurrentDevice();
  if (path.empty()) return Failure::kNoDevice;
  if (options.askUser) {
    if (!options.askUser()) return Failure::kDeclined;
    // Only after the user agreed: a refused reset keeps the user's data.
    if (options.apps) {
      for (size_t p = 0; p < options.apps->size(); ++p)
        (*options.apps)[p] = ProfileApp{options.profileWord + " " + std::to_string(p + 1), "", 0};
    }
  }
  DeviceOperation operation(link);
  state.busyWriting = true;
  Report(options.progress, 0.0);
  const int level = ProtocolLevel(link, path);
  const MemoryMap map = MemoryMapForLevel(level);
  SettingsImage current = *state.image.Snapshot();
  if (map.Level0()) {
    // The colours kept are the ones the mouse holds: a reset started by a
    // load has no image of this mouse yet, and after a reset cut short each
    // colour byte is either rewritten with the kept colour or untouched (a
    // write torn by a restarting mouse is written again at once).
    for (int p = 0; p < kProfileCount; ++p) {
      const uint8_t packed = ReadMemoryByte(link, path, map.ProfileBlockAddress(p) + 3, false);
      current.profiles[static_cast<size_t>(p)].colour = {static_cast<uint8_t>(packed & 3),
                                                         static_cast<uint8_t>(packed >> 2 & 3),
                                                         static_cast<uint8_t>(packed >> 4 & 3)};
    }
  }
  const std::vector<uint8_t> image = BuildDefaultImage(level, ModelCode(link, path), current);
  if (map.Level0() && ModelCode(link, path) == 12) ApplyLiftValue(link, path, 4828);

  SyncHandshake(link, path);
  // The signature goes in last, after the lighting too, instead of with the
  // first piece: a reset cut anywhere leaves the mouse erased, and the next
  // load resets it again rather than taking half the old settings as valid.
  const std::span<const uint8_t> written(image.data(), static_cast<size_t>(map.macroAreaStart));
  if (!WriteImageSignatureErased(link, path, written, options.progress)) {
    state.busyWriting = false;
    return operation.Failed() ? operation.Result() : Failure::kBadAnswers;
  }
  SetDpiLevel(link, path, 0);
  static constexpr std::array<uint8_t, 4> kLightingEntry = {0xC0, 0xFF, 0x00, 0x00};
  for (int index = 1; index <= 6; ++index) WriteLightingEntry(link, path, index, kLightingEntry.data());
  SetLightingMode(link, path, 1);
  SendLightingReset(link, path);
  SetLightingMode(link, path, 0);
  WriteImageSignature(link, path, written);
  state.busyWriting = false;
  CommitSettings(link, path);
  link.GetClock().SleepMs(10);

  if (operation.Failed()) return operation.Result();

  LoadSettingsOptions reload = options.reload;
  reload.resetOnBadSignature = false;
  if (Outcome loaded = LoadSettings(link, state, reload); !loaded) return loaded;
  SetActiveProfile(link, state.CurrentDevice(), 0);
  if (operation.Failed()) return operation.Result();
  state.image.Update([](SettingsImage& img) {
    img.activeProfile = 0;
    img.primaryClickHolder = ComputePrimaryClickHolder(img);
  });
  return {};
}

}  // namespace quorix
