#include "session/models/main_window_model.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "firmware/isp_mode.h"
#include "settings/field_writes.h"

namespace quorix {
namespace {

// The level shown by a state report or the level row: the firmware's 5..7
// count as its fifth level.
int ShownLevel(int level) { return std::clamp(level & 7, 0, kHighestReportedLevel); }

// Without a mouse in hand nothing is hidden: the window shows every item, and
// none of them can be used.
DeviceCapabilities EverythingOffered() {
  DeviceCapabilities caps;
  caps.lighting = caps.liftAdjustment = caps.reportRate = caps.levelSwitches = true;
  return caps;
}

// The state report the mouse itself would send for this selection, for the
// on-screen display: report ID 1, the host marker at S-2 and the XOR at S-1.
VendorReport OsdReport(int level, int x, int y, int profile) {
  VendorReport report;
  report.kind = VendorReportKind::kState;
  report.level = level;
  report.x = x;
  report.y = y;
  report.profile = profile;
  report.raw.assign(16, 0);
  report.raw[0] = 1;
  report.raw[1] = 0x0C;
  report.raw[2] = static_cast<uint8_t>(level);
  report.raw[3] = static_cast<uint8_t>(x);
  report.raw[4] = static_cast<uint8_t>(y);
  report.raw[5] = static_cast<uint8_t>(profile);
  report.raw[14] = 0x5D;
  uint8_t sum = 0;
  for (size_t i = 1; i + 1 < report.raw.size(); ++i) sum ^= report.raw[i];
  report.raw[15] = sum;
  return report;
}

}  // namespace

MainWindowModel::MainWindowModel(Clock& clock, SettingsState& state, PostWriteFn post)
    : clock_(clock), state_(state), post_(std::move(post)), image_(state.image.Snapshot()), caps_(EverythingOffered()) {
  for (int level = 0; level < kDpiSliderLevels; ++level) {
    for (bool x : {true, false}) {
      Slider& s = sliders_[static_cast<size_t>(DpiSliderIndex(level, x))];
      s.page = kDpiPage;
      s.kind = x ? SliderKind::kDpiX : SliderKind::kDpiY;
      s.level = level;
    }
  }
  Slider& rate = sliders_[kReportRateSlider];
  rate.page = kOtherPage;
  rate.kind = SliderKind::kReportRate;
  rate.maximum = kReportRateCodeCount - 1;
  // The settings byte's display value has no command of its own: it is kept
  // for the next full write and not offered on any page.
  Slider& value = sliders_[kDeviceValueSlider];
  value.page = kNoPage;
  value.kind = SliderKind::kDeviceValue;
  value.maximum = 7;
  SyncFromImage();
}

void MainWindowModel::ShowLoaded(const DeviceCapabilities& caps) {
  image_ = state_.image.Snapshot();
  hasDevice_ = !image_->devicePath.empty();
  caps_ = hasDevice_ ? caps : EverythingOffered();
  StartOver();
}

void MainWindowModel::ClearDevice() {
  hasDevice_ = false;
  caps_ = EverythingOffered();
  image_ = std::make_shared<const SettingsImage>();
  StartOver();
}

void MainWindowModel::StartOver() {
  // What was pending belongs to the mouse shown before.
  dirty_ = {};
  profileChanged_ = levelChanged_ = false;
  dpiDue_.reset();
  rateDue_.reset();
  valueDue_.reset();
  selectionDue_.reset();
  hold_ = -1;
  SyncFromImage();
}

void MainWindowModel::RefreshImage() {
  if (hasDevice_) image_ = state_.image.Snapshot();
}

void MainWindowModel::SyncFromImage() {
  const SettingsImage& img = *image_;
  activeProfile_ = std::clamp(img.activeProfile, 0, kProfileCount - 1);
  activeLevel_ = ShownLevel(img.activeLevel);
  // The tracks end at the mouse's feature limit, or further when the mouse
  // already holds a larger code: no stored value lies beyond its track.
  int maximum = img.featureLimit;
  for (int level = 0; level < kDpiSliderLevels; ++level) {
    const DpiPair pair = img.dpiPairs[static_cast<size_t>(level)];
    maximum = std::max({maximum, static_cast<int>(pair.x), static_cast<int>(pair.y)});
  }
  for (int level = 0; level < kDpiSliderLevels; ++level) {
    const DpiPair pair = img.dpiPairs[static_cast<size_t>(level)];
    for (bool x : {true, false}) {
      Slider& s = sliders_[static_cast<size_t>(DpiSliderIndex(level, x))];
      s.maximum = maximum;
      s.step = img.DpiStep();
      s.value = x ? pair.x : pair.y;
    }
  }
  sliders_[kReportRateSlider].value =
      kReportRateCodeCount - 1 - std::clamp(img.reportRateCode, 0, kReportRateCodeCount - 1);
  sliders_[kDeviceValueSlider].value = img.displayValue;
  for (Slider& s : sliders_) s.shown = KnobTarget(s);
  knobDue_.reset();
  RecomputeHolder();
}

void MainWindowModel::RecomputeHolder() {
  holder_ = image_->activeProfile == activeProfile_ ? image_->primaryClickHolder
                                                    : PrimaryClickHolderOf(*image_, activeProfile_);
}

void MainWindowModel::SetPage(int page) { page_ = std::clamp(page, 0, kPageCount - 1); }

void MainWindowModel::SetTrack(int index, SliderTrack track) {
  Slider& s = sliders_[static_cast<size_t>(index)];
  s.left = track.left;
  s.top = track.top;
  s.width = track.width;
  s.height = track.height;
  s.shown = KnobTarget(s);
}

bool MainWindowModel::SliderVisible(int index) const {
  const Slider& s = SliderAt(index);
  if (s.page != -1 && s.page != page_) return false;
  return index != kReportRateSlider || caps_.reportRate;
}

bool MainWindowModel::BeginDrag(int index) {
  if (!hasDevice_ || !SliderVisible(index) || state_.busyWriting || state_.loading) return false;
  hold_ = index;
  return true;
}

void MainWindowModel::EndDrag() { hold_ = -1; }

bool MainWindowModel::SetSliderFromCursor(int index, double x) {
  return SetSliderValue(index, SliderValueAt(SliderAt(index), x));
}

bool MainWindowModel::StepSlider(int index, int delta) {
  const Slider& s = SliderAt(index);
  const bool dpi = s.kind == SliderKind::kDpiX || s.kind == SliderKind::kDpiY;
  const int lowest = dpi ? std::max(s.minimum, 1) : s.minimum;
  if (!hasDevice_ || !SliderVisible(index) || s.maximum < lowest) return false;
  return SetSliderValue(index, std::clamp(s.value + delta, lowest, s.maximum));
}

bool MainWindowModel::SetSliderValue(int index, int value) {
  Slider& s = sliders_[static_cast<size_t>(index)];
  if (value == s.value) return false;
  switch (s.kind) {
    case SliderKind::kDpiX:
    case SliderKind::kDpiY: {
      const bool x = s.kind == SliderKind::kDpiX;
      s.value = value;
      // Kept together unless the user asked for separate X and Y.
      if (!xyIndependent_) sliders_[static_cast<size_t>(DpiSliderIndex(s.level, !x))].value = value;
      dirty_[static_cast<size_t>(s.level)] = true;
      Restart(dpiDue_, kDpiWriteDelayMs);
      break;
    }
    case SliderKind::kReportRate:
      s.value = value;
      Restart(rateDue_, kReportRateDelayMs);
      break;
    case SliderKind::kDeviceValue:
      s.value = value;
      Restart(valueDue_, kDeviceValueDelayMs);
      break;
  }
  if (!knobDue_) knobDue_ = clock_.NowMs() + kKnobFrameMs;
  return true;
}

void MainWindowModel::Restart(std::optional<int64_t>& timer, int64_t delayMs) { timer = clock_.NowMs() + delayMs; }

void MainWindowModel::Post(std::string name, FieldWrite write) {
  if (hasDevice_ && post_) post_(std::move(name), std::move(write));
}

void MainWindowModel::SelectProfile(int profile) {
  if (!hasDevice_ || profile < 0 || profile >= kProfileCount || profile == activeProfile_) return;
  activeProfile_ = profile;
  RecomputeHolder();
  Post("select profile", [profile](DeviceLink& l, SettingsState& s) { return WriteActiveProfile(l, s, profile); });
  profileChanged_ = true;
  Restart(selectionDue_, kStoredSelectionDelayMs);
}

void MainWindowModel::ToggleProfile(int profile) {
  if (!hasDevice_ || profile < 0 || profile >= kProfileCount) return;
  const bool flag = !image_->profiles[static_cast<size_t>(profile)].flag;
  Post("switch profile",
       [profile, flag](DeviceLink& l, SettingsState& s) { return WriteProfileFlag(l, s, profile, flag); });
}

std::optional<VendorReport> MainWindowModel::SelectLevel(int level) {
  if (!hasDevice_ || level < 0 || level >= LevelsShown() || level == activeLevel_) return std::nullopt;
  activeLevel_ = level;
  Post("select level", [level](DeviceLink& l, SettingsState& s) { return WriteActiveLevel(l, s, level); });
  levelChanged_ = true;
  Restart(selectionDue_, kStoredSelectionDelayMs);
  DpiPair pair = image_->dpiPairs[static_cast<size_t>(level)];
  if (level < kDpiSliderLevels) {
    pair.x = static_cast<uint8_t>(SliderAt(DpiSliderIndex(level, true)).value);
    pair.y = static_cast<uint8_t>(SliderAt(DpiSliderIndex(level, false)).value);
  }
  return OsdReport(level, pair.x, pair.y, activeProfile_);
}

void MainWindowModel::ToggleLevel(int level) {
  if (!hasDevice_ || !caps_.levelSwitches || level < 0 || level >= std::min(LevelsShown(), image_->map.levelFlagCount))
    return;
  const bool on = !LevelOn(level);
  Post("switch level", [level, on](DeviceLink& l, SettingsState& s) { return WriteLevelEnabled(l, s, level, on); });
}

bool MainWindowModel::LevelOn(int level) const { return !hasDevice_ || (image_->LevelsCycled() >> level & 1) != 0; }

void MainWindowModel::ToggleAngleSnapping() {
  const bool on = !image_->angleSnapping;
  Post("angle snapping", [on](DeviceLink& l, SettingsState& s) { return WriteAngleSnapping(l, s, on); });
}

int MainWindowModel::LevelsShown() const {
  // The layout has room for more level bits than some mice have levels: the
  // row ends at the levels the mouse itself counts.
  const int levels =
      hasDevice_ && image_->levelCount > 0 ? std::min(caps_.levelCount, image_->levelCount) : caps_.levelCount;
  return std::clamp(levels, 1, kDpiPairCount);
}

bool MainWindowModel::ApplyStateReport(const VendorReport& report) {
  // A reset or restore rewrites the selection itself; its reports are stale.
  if (!hasDevice_ || report.kind != VendorReportKind::kState || state_.busyWriting) return false;
  bool changed = false;
  const int profile = report.profile & 7;
  // Profiles 5..7 do not exist; such a report leaves the profile alone.
  if (profile < kProfileCount && profile != activeProfile_) {
    activeProfile_ = profile;
    changed = true;
  }
  const int level = ShownLevel(report.level);
  if (level != activeLevel_) {
    activeLevel_ = level;
    changed = true;
  }
  if (level < kDpiSliderLevels) {
    Slider& x = sliders_[static_cast<size_t>(DpiSliderIndex(level, true))];
    Slider& y = sliders_[static_cast<size_t>(DpiSliderIndex(level, false))];
    if (x.value != report.x || y.value != report.y) {
      x.value = report.x;
      y.value = report.y;
      if (!knobDue_) knobDue_ = clock_.NowMs() + kKnobFrameMs;
      changed = true;
    }
  }
  // The mouse changed its selection itself: the image says so too, so that
  // the next stored selection and level switch start from the truth.
  const int activeProfile = activeProfile_;
  state_.image.Update([&](SettingsImage& img) {
    img.activeProfile = activeProfile;
    img.activeLevel = level;
    if (level < kDpiPairCount)
      img.dpiPairs[static_cast<size_t>(level)] = {static_cast<uint8_t>(report.x), static_cast<uint8_t>(report.y)};
    img.primaryClickHolder = ComputePrimaryClickHolder(img);
  });
  image_ = state_.image.Snapshot();
  holder_ = image_->primaryClickHolder;
  return changed;
}

void MainWindowModel::PostDue(int64_t now) {
  if (Due(dpiDue_, now)) {
    dpiDue_.reset();
    for (int level = 0; level < kDpiSliderLevels; ++level) {
      if (!dirty_[static_cast<size_t>(level)]) continue;
      const int x = SliderAt(DpiSliderIndex(level, true)).value;
      const int y = SliderAt(DpiSliderIndex(level, false)).value;
      Post("sensitivity", [level, x, y](DeviceLink& l, SettingsState& s) { return WriteDpiPair(l, s, level, x, y); });
    }
    dirty_ = {};
  }
  if (Due(rateDue_, now)) {
    rateDue_.reset();
    const int code = kReportRateCodeCount - 1 - SliderAt(kReportRateSlider).value;
    Post("report rate", [code](DeviceLink& l, SettingsState& s) { return WriteReportRate(l, s, code); });
  }
  // The device value goes with the next full write; its timer only ends.
  if (Due(valueDue_, now)) valueDue_.reset();
  if (Due(selectionDue_, now)) {
    selectionDue_.reset();
    const bool profile = profileChanged_, level = levelChanged_;
    if (profile || level)
      Post("store selection", [profile, level](DeviceLink& l, SettingsState& s) {
        return WriteStoredSelection(l, s, {.profile = profile, .level = level});
      });
    profileChanged_ = levelChanged_ = false;
  }
}

void MainWindowModel::WriteHeldBack() {
  // Every timer but the knobs' is due now; a write they hold is not dropped.
  PostDue(std::numeric_limits<int64_t>::max());
}

bool MainWindowModel::Poll() {
  const int64_t now = clock_.NowMs();
  PostDue(now);
  bool moved = false;
  if (Due(knobDue_, now)) {
    for (Slider& s : sliders_) {
      const int d = KnobTarget(s) - s.shown;
      if (d == 0) continue;
      const int step = std::min(KnobStep(d, hold_ != -1), std::abs(d));
      s.shown += d > 0 ? step : -step;
      moved = true;
    }
    knobDue_.reset();
    if (KnobsMoving()) knobDue_ = now + kKnobFrameMs;
  }
  return moved;
}

bool MainWindowModel::KnobsMoving() const {
  return std::any_of(sliders_.begin(), sliders_.end(), [](const Slider& s) { return s.shown != KnobTarget(s); });
}

std::optional<int64_t> MainWindowModel::NextDueMs() const {
  std::optional<int64_t> next;
  for (const auto* timer : {&dpiDue_, &rateDue_, &valueDue_, &selectionDue_, &knobDue_})
    if (*timer && (!next || **timer < *next)) next = *timer;
  return next;
}

std::string MainWindowModel::VersionLine(const TextTables& texts) const {
  char line[512];
  if (!hasDevice_) {
    std::snprintf(line, sizeof line, "%s:%s", texts.versionStr.c_str(), kSoftwareVersion);
  } else {
    std::snprintf(line, sizeof line, "%s:%s , %s:%d", texts.versionStr.c_str(), kSoftwareVersion,
                  texts.firmwareStr.c_str(), FirmwareVersionNumber(image_->variantA));
  }
  return line;
}

std::vector<std::string> MainWindowModel::ButtonTexts(const ButtonTextFn& text) const {
  std::vector<std::string> texts;
  if (!hasDevice_) return texts;
  const int count = caps_.buttonCount - caps_.hiddenButtonRows;
  const auto& buttons = image_->profiles[static_cast<size_t>(activeProfile_)].buttons;
  for (int b = 0; b < count && b < kMaxButtons; ++b) texts.push_back(text(*image_, buttons[static_cast<size_t>(b)]));
  return texts;
}

}  // namespace quorix
