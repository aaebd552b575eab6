#include "sim/sim_mouse.h"

#include <algorithm>
#include <cstring>

#include "sim/sim_factory.h"
#include "sim/sim_state_file.h"

namespace quorix::sim {
namespace {

constexpr uint8_t kBusy = 0x80;
constexpr uint8_t kStatusFlag = 0x40;

uint8_t Xor(const uint8_t* bytes, size_t from, size_t to) {
  uint8_t x = 0;
  for (size_t i = from; i <= to; ++i) x ^= bytes[i];
  return x;
}

int Address16(uint8_t lo, uint8_t hi) { return lo | (hi << 8); }

}  // namespace

SimMouse::SimMouse(const SimOptions& options)
    : options_(options),
      family_(FamilyForLevel(options.protocolLevel)),
      memory_(FactoryMemory(options)),
      defaultButtons_(FactoryButtonRecords()),
      infoBlock_(FactoryInformationBlock()) {
  PowerOn();
}

void SimMouse::PowerOn() {
  std::lock_guard<std::mutex> lock(mutex_);
  // The mouse comes up in the selection stored in its memory: the profile at
  // byte 1 (14 at level 0), the level at byte 2; the enable mask stays.
  const int profile = At(family_.storedProfileAddress);
  if (profile < kStoredProfiles) activeProfile_ = profile;
  dpiSelection_ = (dpiSelection_ & ~7) | (At(family_.storedLevelAddress) & 7);
  StartAfresh();
}

void SimMouse::StartAfresh() {
  answer_ = {};
  busyReads_ = 0;
  hostMarker_ = 0;
  liftAdjusting_ = false;
  staged_ = {};
  previews_ = {};
  // Live values come up from what the memory stores.
  const int lift = family_.liftValueAddress;
  liveLift_ = lift < 0 ? 0 : At(lift) | (At(lift + 1) << 8);
  lightingMode_ = family_.lightingModeAddress < 0 ? 0 : At(family_.lightingModeAddress);
  liveDpi_ = StoredDpiPair(dpiSelection_ & 7);
}

std::array<int, 2> SimMouse::StoredDpiPair(int level) {
  const int pairBase = family_.dpiPairOffset;
  return {At(pairBase + 2 * level), At(pairBase + 2 * level + 1)};
}

void SimMouse::SelectDpi(int value) {
  // A value without enable bits picks a level and leaves the mask alone (the
  // program's level selector sends the level by itself); one with them sets
  // both, as the level switches do.
  dpiSelection_ = value >> 3 ? value : (dpiSelection_ & ~7) | (value & 7);
}

uint8_t& SimMouse::At(int address) {
  return memory_[static_cast<size_t>(static_cast<unsigned>(address)) % memory_.size()];
}

// ---- the wire --------------------------------------------------------------

void SimMouse::IdentificationString(uint8_t* buffer, size_t length) const {
  std::array<uint8_t, 32> s{};
  s[0] = static_cast<uint8_t>(s.size());  // what a descriptor header would carry; not read by the program
  s[1] = 3;
  s[2] = static_cast<uint8_t>(options_.letters[0]);
  s[3] = static_cast<uint8_t>(options_.letters[1]);
  s[4] = static_cast<uint8_t>(options_.protocolLevel);
  s[5] = static_cast<uint8_t>(options_.variantA);
  s[6] = static_cast<uint8_t>(options_.modelCode);
  s[7] = static_cast<uint8_t>(options_.buttonLayout);
  s[8] = static_cast<uint8_t>(options_.memoryLayoutCheck);
  s[9] = static_cast<uint8_t>(options_.tableSelect);
  s[10] = static_cast<uint8_t>(options_.featureLimit);
  s[11] = static_cast<uint8_t>(options_.variantB);
  s[21] = static_cast<uint8_t>(options_.optionFlag);
  std::memset(buffer, 0, length);
  std::memcpy(buffer, s.data(), std::min(length, s.size()));
}

bool SimMouse::Accept(const uint8_t* report, size_t length) const {
  if (length == 64) return report[0] == 1 && report[63] == Xor(report, 1, 62);
  if (length == 9) return report[0] == 0 && (report[1] == 9 || report[8] == Xor(report, 1, 7));
  return false;
}

void SimMouse::SetFeature(int interfaceNumber, const uint8_t* report, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int iface = interfaceNumber == kPointingInterface ? 0 : 1;
  ++sets_[static_cast<size_t>(iface)];
  // A simulated mouse may serve a whole GUI session: keep the newer half of a long log.
  if (log_.size() >= kMaxLoggedRequests) log_.erase(log_.begin(), log_.begin() + kMaxLoggedRequests / 2);
  SimRequest entry{interfaceNumber, std::vector<uint8_t>(report, report + length), true};
  if (silent_ || !Accept(report, length)) {
    // A silent mouse swallows requests; a garbled one is refused and counted.
    entry.accepted = false;
    if (!silent_) ++rejected_;
    log_.push_back(std::move(entry));
    return;
  }
  log_.push_back(std::move(entry));
  Report request{};
  std::memcpy(request.data(), report, std::min(length, request.size()));
  if (length == 9) std::fill(request.begin() + 9, request.end(), 0);
  Report answer{};
  answer[1] = request[1];
  Handle(request, answer);
  if (oddAnswers_) {
    answer[1] = static_cast<uint8_t>((request[1] ^ 0x2A) & 0x7F);
    for (size_t i = 2; i < answer.size(); ++i) {
      noise_ = noise_ * 1664525u + 1013904223u;
      answer[i] = static_cast<uint8_t>(noise_ >> 24);
    }
  }
  answer_ = answer;
  busyReads_ = std::max(0, options_.busyReadsAfterSet);
}

bool SimMouse::GetFeature(int interfaceNumber, uint8_t* report, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++gets_[interfaceNumber == kPointingInterface ? 0 : 1];
  if (silent_ || length < 2) return false;
  const size_t n = std::min(length, answer_.size());
  std::memcpy(report + 1, answer_.data() + 1, n - 1);
  if (length > n) std::memset(report + n, 0, length - n);
  if (alwaysBusy_ || busyReads_ > 0) {
    report[1] |= kBusy;
    if (busyReads_ > 0) --busyReads_;
  }
  return true;
}

// ---- request handling ------------------------------------------------------

void SimMouse::Handle(const Report& request, Report& answer) {
  bool handled = false;
  HandleShared(request, answer, handled);
  if (handled) return;
  switch (layout_) {
    case Layout::kDirect:
      HandleDirect(request, answer);
      break;
    case Layout::kGrouped:
      HandleGrouped(request, answer);
      break;
    case Layout::kLevel0:
      HandleLevel0(request, answer);
      break;
  }
}

// Requests every generation understands: the handshake, the host marker and
// the information-block traffic the program sends while identifying a mouse.
void SimMouse::HandleShared(const Report& r, Report& answer, bool& handled) {
  handled = true;
  if (layout_ != Layout::kLevel0 && r[1] == 0x00) {
    if (r[2] == 0x12 && r[3] == 0x12) return;  // handshake
    if (r[2] == 0x01 && r[3] == 0x12) {
      hostMarker_ = r[4];
      return;
    }
    if (r[2] == 0x00 && r[3] == 0x00) {
      StatusAnswer(answer);
      return;
    }
  }
  if (r[1] == 0x00 && r[2] == 0x12 && r[3] == 0x12) return;  // handshake during identification at level 0
  if (r[1] == 0x01 && r[2] == 0x06 && r[3] == 0x02 && r[4] == 0x02) return;  // prepare information block
  if (layout_ != Layout::kDirect && r[1] == 0x01 && r[2] == 0x00 && r[3] == 0x01) {
    const int offset = 2 * r[4];
    for (int i = 0; i < 60; ++i) {
      answer[static_cast<size_t>(2 + i)] = offset + i < 256 ? infoBlock_[static_cast<size_t>(offset + i)] : 0;
    }
    return;
  }
  handled = false;
}

void SimMouse::StatusAnswer(Report& answer) const {
  switch (layout_) {
    case Layout::kDirect:
      answer[10] = options_.statusFlag ? kStatusFlag : 0;
      answer[12] = static_cast<uint8_t>(hostMarker_);
      answer[13] = static_cast<uint8_t>(statusWord_ & 0xFF);
      answer[14] = static_cast<uint8_t>((statusWord_ >> 8) & 0xFF);
      answer[15] = 0;
      answer[16] = 0;
      answer[17] = static_cast<uint8_t>(dpiSelection_);
      answer[18] = static_cast<uint8_t>(activeProfile_);
      break;
    case Layout::kGrouped:
      answer[6] = static_cast<uint8_t>(hostMarker_);
      answer[8] = static_cast<uint8_t>(dpiSelection_);
      answer[9] = static_cast<uint8_t>(activeProfile_);
      answer[10] = options_.statusFlag ? kStatusFlag : 0;
      break;
    case Layout::kLevel0:
      answer[2] = static_cast<uint8_t>(dpiSelection_);
      answer[3] = infoBlock_[14];
      answer[7] = static_cast<uint8_t>(activeProfile_);
      break;
  }
}

void SimMouse::ReadInto(Report& answer, int address, int count) const {
  for (int i = 0; i < count; ++i) {
    const auto a = static_cast<size_t>(static_cast<unsigned>(address + i)) % memory_.size();
    answer[static_cast<size_t>(2 + i)] = memory_[a];
  }
}

void SimMouse::WriteFrom(int address, const uint8_t* data, int count) {
  for (int i = 0; i < count; ++i) At(address + i) = data[i];
}

void SimMouse::HandleDirect(const Report& r, Report& answer) {
  switch (r[1]) {
    case 0x01:
      if (r[2] == 0x04 && r[3] == 0x03) {
        ++lightingResets_;
        previews_ = {};
        return;
      }
      break;
    case 0x02:
      ReadInto(answer, Address16(r[2], r[3]), 61);
      return;
    case 0x03:
      if (r[4] >= 1 && r[4] <= 32) {
        WriteFrom(Address16(r[2], r[3]), &r[5], r[4]);
        return;
      }
      break;
    case 0x0A:
      if (r[3] == 0x01) {
        if (r[2] < kButtonCount) std::copy_n(defaultButtons_[r[2]].begin(), 4, answer.begin() + 2);
        return;
      }
      break;
    case 0x0F:
      SelectDpi(r[2]);
      return;
    case 0x10:
      liveDpi_ = {r[2], r[3]};
      return;
    case 0x11:
      activeProfile_ = r[2];
      return;
    case 0x12:
      if (r[2] <= 4) {
        lightingMode_ = r[2];
        return;
      }
      break;
    case 0x13:
      if (r[2] < previews_.size()) {
        std::copy_n(r.begin() + 2, 5, previews_[r[2]].begin());
        return;
      }
      break;
    case 0x14:
      ++commits_;
      return;
    case 0x1A:
      switch (r[2]) {
        case 0x12:
          liftAdjusting_ = true;
          return;
        case 0x00: {
          const int value = liftAdjusting_ ? options_.measuredLift : liveLift_;
          answer[2] = static_cast<uint8_t>(value & 0xFF);
          answer[3] = static_cast<uint8_t>((value >> 8) & 0xFF);
          return;
        }
        case 0x13:
          liveLift_ = Address16(r[3], r[4]);
          liftAdjusting_ = false;
          return;
        case 0x14:
          liftAdjusting_ = false;
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  ++unknown_;
}

void SimMouse::HandleGrouped(const Report& r, Report& answer) {
  if (r[1] == 0x01) {
    switch (r[2]) {
      case 0x00:
        if (r[3] == 0x00) {
          ReadInto(answer, Address16(r[4], r[5]), 61);
          return;
        }
        break;
      case 0x03:
        if (r[5] >= 1 && r[5] <= 32) {
          WriteFrom(Address16(r[3], r[4]), &r[6], r[5]);
          return;
        }
        break;
      case 0x04:
        ++commits_;
        return;
      case 0x07:
        if (r[3] == 0x00) {
          SelectDpi(r[4]);
          return;
        }
        if (r[3] == 0x01) {
          liveDpi_ = {r[4], r[5]};
          return;
        }
        if (r[3] == 0x02) {
          activeProfile_ = r[4];
          return;
        }
        break;
      default:
        break;
    }
  }
  ++unknown_;
}

void SimMouse::HandleLevel0(const Report& r, Report& answer) {
  const bool checked = r[8] == Xor(r.data(), 1, 7);
  const int address24 = r[3] | (r[4] << 8) | (r[5] << 16);
  switch (r[1]) {
    case 0x00:
      if (r[2] == 0x01) {
        hostMarker_ = r[3];
        return;
      }
      if (r[2] == 0x00) {
        answer[7] = static_cast<uint8_t>(hostMarker_);
        return;
      }
      if (r[2] == 0x02 && r[3] == 0x01) {
        answer[2] = infoBlock_[12];
        answer[3] = infoBlock_[13];
        return;
      }
      break;
    case 0x04:
      if (r[2] == 0x00) {
        StatusAnswer(answer);
        return;
      }
      if (r[2] == 0x01) {
        if ((dpiSelection_ & 7) == r[3]) liveDpi_ = {r[4], r[5]};
        return;
      }
      if (r[2] == 0x02) {
        SelectDpi(r[3]);
        return;
      }
      if (r[2] == 0x03) {
        activeProfile_ = r[3];
        return;
      }
      break;
    case 0x05:
      // Reads and chunk commits carry their own check byte; a wrong one is
      // refused like a garbled report.
      if (r[2] == 0x00 && checked) {
        ReadInto(answer, address24, 7);
        return;
      }
      if (r[2] == 0x02 && checked) {
        const int length = std::min<int>(r[6], static_cast<int>(staged_.size()));
        WriteFrom(address24, staged_.data(), length);
        staged_ = {};
        return;
      }
      if (r[2] == 0x01) {
        At(Address16(r[3], r[4])) = r[6];
        return;
      }
      break;
    case 0x08:
      ++commits_;
      return;
    case 0x09:
      if (r[2] + 6 <= static_cast<int>(staged_.size())) {
        std::copy_n(r.begin() + 3, 6, staged_.begin() + r[2]);
        return;
      }
      break;
    default:
      break;
  }
  ++unknown_;
}

// ---- input reports ---------------------------------------------------------

void SimMouse::SetInputSink(std::function<void(std::vector<uint8_t>)> sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sink_ = std::move(sink);
}

StateReportFields SimMouse::CurrentState(uint8_t flags) const {
  std::lock_guard<std::mutex> lock(mutex_);
  StateReportFields f;
  f.level = dpiSelection_ & 7;
  f.x = liveDpi_[0];
  f.y = liveDpi_[1];
  f.profile = activeProfile_;
  f.flags = flags;
  return f;
}

std::vector<uint8_t> SimMouse::BuildStateReport(const StateReportFields& f, int hostMarker) {
  std::vector<uint8_t> report(kInputReportLength, 0);
  report[0] = kInputReportId;
  report[1] = 0x0C;
  report[2] = static_cast<uint8_t>(f.level & 7);
  report[3] = static_cast<uint8_t>(f.x);
  report[4] = static_cast<uint8_t>(f.y);
  report[5] = static_cast<uint8_t>(f.profile & 7);
  report[6] = f.flags;
  report[kInputReportLength - 2] = static_cast<uint8_t>(f.marker >= 0 ? f.marker : hostMarker);
  // The last byte makes bytes 1..S-1 XOR to zero.
  report[kInputReportLength - 1] = Xor(report.data(), 1, kInputReportLength - 2);
  if (!f.validChecksum) report[kInputReportLength - 1] ^= 0x01;
  return report;
}

void SimMouse::EmitStateReport(uint8_t flags) { EmitStateReport(CurrentState(flags)); }

void SimMouse::EmitStateReport(const StateReportFields& fields) {
  Emit(BuildStateReport(fields, HostMarker()));
}

void SimMouse::EmitOpenRequest(uint8_t value) {
  std::vector<uint8_t> report(kInputReportLength, 0);
  report[0] = kInputReportId;
  report[1] = 0x0D;
  report[2] = value;
  report[kInputReportLength - 1] = Xor(report.data(), 1, kInputReportLength - 2);
  Emit(std::move(report));
}

void SimMouse::EmitHorizontalWheel(int8_t step, bool buttonDown) {
  std::vector<uint8_t> report(kInputReportLength, 0);
  report[0] = 0x0B;
  report[1] = 0x0B;
  report[2] = buttonDown ? 1 : 0;
  report[9] = static_cast<uint8_t>(step);
  Emit(std::move(report));
}

void SimMouse::Press(SimPress press) {
  constexpr int kMaxLevels = 5;
  switch (press) {
    case SimPress::kWheelLeft:
    case SimPress::kWheelRight:
      EmitHorizontalWheel(press == SimPress::kWheelLeft ? -1 : 1);
      return;
    case SimPress::kOpen:
      EmitOpenRequest(1);
      return;
    case SimPress::kDpiUp:
    case SimPress::kDpiDown: {
      std::lock_guard<std::mutex> lock(mutex_);
      // The button cycles through the levels the mouse counts (what it
      // answers for the level count); an empty enable mask means all of them.
      const int levels = std::clamp<int>(infoBlock_[13], 1, kMaxLevels);
      const int enabled = (dpiSelection_ >> 3) & ((1 << levels) - 1);
      const int step = press == SimPress::kDpiUp ? 1 : levels - 1;
      int level = dpiSelection_ & 7;
      for (int tries = 0; tries < levels; ++tries) {
        level = (level + step) % levels;
        if (enabled == 0 || (enabled >> level & 1) != 0) break;
      }
      dpiSelection_ = (dpiSelection_ & ~7) | level;
      liveDpi_ = StoredDpiPair(level);
      break;
    }
    case SimPress::kProfileNext:
    case SimPress::kProfilePrev: {
      std::lock_guard<std::mutex> lock(mutex_);
      const int step = press == SimPress::kProfileNext ? 1 : kStoredProfiles - 1;
      activeProfile_ = (activeProfile_ + step) % kStoredProfiles;
      break;
    }
  }
  EmitStateReport();
}

bool ParseSimPress(const std::string& name, SimPress& press) {
  static const std::pair<const char*, SimPress> kNames[] = {
      {"dpi-up", SimPress::kDpiUp},           {"dpi-down", SimPress::kDpiDown},
      {"profile-next", SimPress::kProfileNext}, {"profile-prev", SimPress::kProfilePrev},
      {"wheel-left", SimPress::kWheelLeft},   {"wheel-right", SimPress::kWheelRight},
      {"open", SimPress::kOpen}};
  for (const auto& [text, value] : kNames) {
    if (name == text) {
      press = value;
      return true;
    }
  }
  return false;
}

void SimMouse::Emit(std::vector<uint8_t> report) {
  std::function<void(std::vector<uint8_t>)> sink;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sink = sink_;
  }
  if (sink) sink(std::move(report));
}

// ---- state for tests -------------------------------------------------------

uint8_t SimMouse::MemoryAt(int address) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return memory_[static_cast<size_t>(static_cast<unsigned>(address)) % memory_.size()];
}

int SimMouse::ActiveProfile() const { return Locked(activeProfile_); }
int SimMouse::DpiSelection() const { return Locked(dpiSelection_); }
int SimMouse::HostMarker() const { return Locked(hostMarker_); }
int SimMouse::LiveLift() const { return Locked(liveLift_); }
bool SimMouse::LiftAdjusting() const { return Locked(liftAdjusting_); }
int SimMouse::LightingMode() const { return Locked(lightingMode_); }
int SimMouse::CommitCount() const { return Locked(commits_); }
int SimMouse::LightingResetCount() const { return Locked(lightingResets_); }
int SimMouse::UnknownCount() const { return Locked(unknown_); }
int SimMouse::RejectedCount() const { return Locked(rejected_); }
std::vector<SimRequest> SimMouse::Requests() const { return Locked(log_); }
std::array<int, 2> SimMouse::LiveDpiPair() const { return Locked(liveDpi_); }

std::array<uint8_t, 5> SimMouse::LightingPreview(int zone) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return zone >= 0 && zone < 16 ? previews_[static_cast<size_t>(zone)] : std::array<uint8_t, 5>{};
}

std::array<uint8_t, 4> SimMouse::DefaultButtonRecord(int button) const {
  return button >= 0 && button < kButtonCount ? defaultButtons_[static_cast<size_t>(button)]
                                              : std::array<uint8_t, 4>{};
}

void SimMouse::SetActiveProfile(int profile) {
  std::lock_guard<std::mutex> lock(mutex_);
  activeProfile_ = profile;
}

void SimMouse::SetDpiSelection(int value) {
  std::lock_guard<std::mutex> lock(mutex_);
  dpiSelection_ = value;
}

void SimMouse::SetAnswerFaults(bool alwaysBusy, bool silent, bool oddAnswers) {
  std::lock_guard<std::mutex> lock(mutex_);
  alwaysBusy_ = alwaysBusy;
  silent_ = silent;
  oddAnswers_ = oddAnswers;
}

void SimMouse::SetStatusWord(int value) {
  std::lock_guard<std::mutex> lock(mutex_);
  statusWord_ = value;
}

int SimMouse::GetCount(int interfaceNumber) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return gets_[interfaceNumber == kPointingInterface ? 0 : 1];
}

int SimMouse::SetCount(int interfaceNumber) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sets_[interfaceNumber == kPointingInterface ? 0 : 1];
}

void SimMouse::ResetCounters() {
  std::lock_guard<std::mutex> lock(mutex_);
  gets_ = {};
  sets_ = {};
  commits_ = lightingResets_ = unknown_ = rejected_ = 0;
  log_.clear();
}

// ---- persistence -----------------------------------------------------------

SimMouse::Persistent SimMouse::Save() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {options_.protocolLevel, activeProfile_, dpiSelection_, memory_};
}

void SimMouse::Restore(const Persistent& state) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state.protocolLevel != options_.protocolLevel) {
      throw SimStateError("the state belongs to a level-" + std::to_string(state.protocolLevel) +
                          " mouse, this one is level " + std::to_string(options_.protocolLevel));
    }
    if (state.memory.size() != memory_.size()) {
      throw SimStateError("the state holds " + std::to_string(state.memory.size()) + " bytes of memory, this mouse has " +
                          std::to_string(memory_.size()));
    }
    memory_ = state.memory;
    // The saved state is the running mouse's: its selection as it was, not
    // the stored one a power cycle would bring.
    activeProfile_ = state.activeProfile;
    dpiSelection_ = state.dpiSelection;
    StartAfresh();
  }
}

}  // namespace quorix::sim
