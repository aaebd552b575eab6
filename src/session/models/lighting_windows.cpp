#include "session/models/lighting_windows.h"

#include <algorithm>
#include <cmath>

#include "device/discovery.h"
#include "lighting/lighting_device.h"

namespace quorix {

namespace {

// The swatch columns' base colours, white to azure.
constexpr std::array<uint32_t, kSwatchColumns> kSwatchBases = {0xFFFFFF, 0x00FFFF, 0x0000FF, 0xFF00FF, 0xFF2000,
                                                               0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x0080FF};

int Darken(int v, int row) { return std::max(0, v - row * ((v + 1) / 4)); }

LightingBlock BlockOf(const std::array<LedZoneRecord, kZoneCount>& stored) {
  return EncodeLightingBlock(std::vector<LedZoneRecord>(stored.begin(), stored.end()));
}

}  // namespace

uint32_t SwatchColour(int column, int row) {
  const uint32_t base = kSwatchBases[static_cast<size_t>(std::clamp(column, 0, kSwatchColumns - 1))];
  row = std::clamp(row, 0, kSwatchRows - 1);
  const int r = Darken(static_cast<int>((base >> 16) & 0xFF), row);
  const int g = Darken(static_cast<int>((base >> 8) & 0xFF), row);
  const int b = Darken(static_cast<int>(base & 0xFF), row);
  return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}

uint32_t SliderColour(uint32_t rgb, int channel, double offset) {
  const int value = std::clamp(static_cast<int>(std::floor(offset)), 0, 255);
  const int shift = 16 - 8 * std::clamp(channel, 0, 2);
  return (rgb & ~(0xFFu << shift)) | (static_cast<uint32_t>(value) << shift);
}

// ---- ColourPicker -----------------------------------------------------------

ColourPicker::ColourPicker(Session& session, PickerSetup setup, std::function<void()> repaint)
    : session_(session), setup_(std::move(setup)), live_(setup_.live) {
  // The drag's sends run as jobs on the executor, so the link is used on the
  // executor's thread only; waiting forms of the session would wait for
  // themselves there.
  Session* s = &session_;
  sender_ = std::make_unique<ColourSender>(
      live_, session_.GetClock(),
      [s, zones = setup_.zones](const LedZoneRecord& colour) {
        return PreviewZones(s->Link(), s->CurrentDevicePath(), zones, colour);
      },
      std::move(repaint), session_.Poster("colour preview"));
}

ColourPicker::~ColourPicker() {
  if (!closed_) Cancel();
}

uint32_t ColourPicker::ProfileRgb() const {
  const ProfileColour& c = setup_.profileColour;
  const int level = setup_.protocolLevel;
  return (static_cast<uint32_t>(DisplayComponent(c.red, level)) << 16) |
         (static_cast<uint32_t>(DisplayComponent(c.green, level)) << 8) |
         static_cast<uint32_t>(DisplayComponent(c.blue, level));
}

uint32_t ColourPicker::ShownRgb() const {
  const LedZoneRecord live = Live();
  return live.OwnColour() ? RecordRgb(live) : ProfileRgb();
}

void ColourPicker::SendNow(const LedZoneRecord& colour) {
  if (closed_) return;
  lastSendMs_ = session_.GetClock().NowMs();
  session_.PreviewZones(setup_.zones, colour);
}

void ColourPicker::ClickColour(uint32_t rgb) { SendNow(live_.ClickColour(rgb)); }

void ColourPicker::ClickProfileColour() { SendNow(live_.ClickProfileColour(setup_.profileColour)); }

void ColourPicker::DragTo(uint32_t rgb) {
  if (!closed_) live_.DragTo(rgb);
}

void ColourPicker::ChooseMode(int mode) { SendNow(live_.ChooseMode(mode)); }

bool ColourPicker::Poll() {
  const std::optional<int64_t> due = NextDueMs();
  const int64_t now = session_.GetClock().NowMs();
  if (!due || now < *due) return false;
  if (!sender_->Poll()) return false;
  lastSendMs_ = now;
  return true;
}

std::optional<int64_t> ColourPicker::NextDueMs() const {
  if (sender_ == nullptr || !live_.Pending()) return std::nullopt;
  const int64_t period = sender_->NextDueMs().value_or(0);
  return lastSendMs_ ? std::max(period, *lastSendMs_ + kColourSendPeriodMs) : period;
}

std::optional<Job<void>> ColourPicker::Confirm() {
  if (closed_) return std::nullopt;
  closed_ = true;
  sender_.reset();
  return session_.WriteZones(setup_.zones, live_.Get());
}

std::optional<Job<void>> ColourPicker::Cancel() {
  if (closed_) return std::nullopt;
  closed_ = true;
  sender_.reset();
  std::vector<LedZoneRecord> stored(setup_.stored.begin(), setup_.stored.end());
  return session_.OnDevice("restore zones", [zones = setup_.zones, stored = std::move(stored)](
                                                JobContext&, DeviceLink& link, const std::string& path) {
    return RestoreZonePreviews(link, path, zones, stored);
  });
}

// ---- LightingWindowModel ----------------------------------------------------

LightingWindowModel::LightingWindowModel(Session& session, RandomSource& random) : session_(session), random_(random) {
  animator_ = std::make_unique<PreviewAnimator>(
      *preview_, session_.GetClock(), random_, [this] { return DisplayProfileColour(); }, std::function<void()>{});
}

ProfileColour LightingWindowModel::StoredProfileColour() const {
  const auto image = session_.State().image.Snapshot();
  if (image == nullptr) return {};
  const auto& colour =
      image->profiles[static_cast<size_t>(std::clamp(image->activeProfile, 0, kProfileCount - 1))].colour;
  return {colour[0], colour[1], colour[2]};
}

ProfileColour LightingWindowModel::DisplayProfileColour() const {
  const auto image = session_.State().image.Snapshot();
  const ProfileColour c = StoredProfileColour();
  const int level = image != nullptr ? image->protocolLevel : 0;
  return {DisplayComponent(c.red, level), DisplayComponent(c.green, level), DisplayComponent(c.blue, level)};
}

LightingWindowModel::Device LightingWindowModel::DeviceNow() const {
  std::lock_guard<std::mutex> lock(preview_->Mutex());
  return *device_;
}

int LightingWindowModel::CurrentEffect() const { return DeviceNow().effect; }

std::array<LedZoneRecord, kZoneCount> LightingWindowModel::Stored() const { return DeviceNow().stored; }

Job<void> LightingWindowModel::Open() {
  return session_.OnDevice("open lighting", [preview = preview_, device = device_, profile = DisplayProfileColour()](
                                                JobContext&, DeviceLink& link, const std::string& path) {
    const LightingConfig config = ReadLighting(link, path);
    Device found;
    found.effect = config.outcome ? config.effect : 0;
    found.protocolLevel = path.empty() ? 0 : ProtocolLevel(link, path);
    found.buttonLayout = path.empty() ? 0 : ButtonLayout(link, path);
    for (size_t zone = 0; zone < config.zones.size() && zone < found.stored.size(); ++zone) {
      found.stored[zone] = config.zones[zone];
    }
    PreviewInputs inputs;
    inputs.block = BlockOf(found.stored);
    inputs.profileColour = profile;
    inputs.buttonLayout = found.buttonLayout;
    inputs.protocolLevel = found.protocolLevel;
    std::lock_guard<std::mutex> lock(preview->Mutex());
    *device = found;
    LoadPreviewForEffect(preview->Model(), found.effect, inputs);
    return config.outcome;
  });
}

std::optional<Job<void>> LightingWindowModel::ChooseEffect(int code) {
  if (!LightEffectFromCode(code)) return std::nullopt;
  {
    std::lock_guard<std::mutex> lock(preview_->Mutex());
    device_->effect = code;
  }
  // Two jobs, one after the other: the session's own effect choice (which
  // keeps its current effect), then the preview rebuilt for the code. A
  // mouse without lighting refuses the code; the window still shows the
  // effect on its own picture.
  const Job<void> choose = session_.ChooseLightEffect(code);
  auto rebuild = [choose, code, preview = preview_, device = device_, profile = DisplayProfileColour()](
                     JobContext&, DeviceLink&, const std::string&) {
    {
      std::lock_guard<std::mutex> lock(preview->Mutex());
      PreviewInputs inputs;
      inputs.block = BlockOf(device->stored);
      inputs.profileColour = profile;
      inputs.buttonLayout = device->buttonLayout;
      inputs.protocolLevel = device->protocolLevel;
      LoadPreviewForEffect(preview->Model(), code, inputs);
    }
    // The choice ran, and settled, before this job on the one worker.
    const Outcome outcome = choose.Result().value_or(Outcome{Failure::kCancelled});
    return outcome.failure == Failure::kNotSupported ? Outcome{} : outcome;
  };
  return session_.OnDevice("light effect preview", std::move(rebuild));
}

std::optional<PickerSetup> LightingWindowModel::EditZone(int zone) const {
  const Device device = DeviceNow();
  if (device.effect != 0 || zone < 0 || zone >= kZoneCount) return std::nullopt;
  PickerSetup setup;
  setup.zone = zone;
  setup.zones = {zone};
  setup.live = device.stored[static_cast<size_t>(zone)];
  setup.stored = device.stored;
  setup.profileColour = StoredProfileColour();
  setup.protocolLevel = device.protocolLevel;
  return setup;
}

PickerSetup LightingWindowModel::SetAllLights() const {
  const Device device = DeviceNow();
  PickerSetup setup;
  setup.zone = -1;
  setup.zones = SelectedZones(device.buttonLayout, device.protocolLevel);
  setup.live = {0xFF, 0xFF, 0xFF, 0xFF};
  setup.stored = device.stored;
  setup.profileColour = StoredProfileColour();
  setup.protocolLevel = device.protocolLevel;
  return setup;
}

void LightingWindowModel::PickerConfirmed(const PickerSetup& setup, const LedZoneRecord& live) {
  const ProfileColour profile = DisplayProfileColour();
  std::lock_guard<std::mutex> lock(preview_->Mutex());
  PreviewModel& m = preview_->Model();
  // The animated zones show the new colour; the stored records follow for
  // every zone the mouse now holds it in.
  constexpr int kShownZones = 11;
  for (int zone : setup.zones) {
    device_->stored[static_cast<size_t>(zone)] = live;
    if (zone >= kShownZones && setup.zone < 0) continue;
    m.previewFlags[static_cast<size_t>(zone)] = live.flags & (kZoneOwnColour | kZoneSteady);
    m.previewRed[static_cast<size_t>(zone)] = live.OwnColour() ? live.red : profile.red;
    m.previewGreen[static_cast<size_t>(zone)] = live.OwnColour() ? live.green : profile.green;
    m.previewBlue[static_cast<size_t>(zone)] = live.OwnColour() ? live.blue : profile.blue;
  }
}

void LightingWindowModel::Show() {
  if (!dueMs_) dueMs_ = session_.GetClock().NowMs() + kPreviewFrameMs;
}

void LightingWindowModel::Hide() { dueMs_.reset(); }

bool LightingWindowModel::Poll() {
  if (!dueMs_) return false;
  const int64_t now = session_.GetClock().NowMs();
  if (now < *dueMs_) return false;
  animator_->Frame();
  dueMs_ = now + kPreviewFrameMs;
  return true;
}

}  // namespace quorix
