#include "session/models/picture_lighting.h"

#include <algorithm>

namespace quorix {

PictureLightingInputs PictureLightingFrom(const SettingsImage& image, int profile, bool device, int buttonLayout) {
  PictureLightingInputs inputs;
  inputs.device = device;
  // A code the program never writes is shown as "Customize", as a mouse
  // whose effect cannot be read is.
  inputs.effect = image.lightingMode >= 0 && image.lightingMode < kLightEffectCount ? image.lightingMode : 0;
  inputs.block = image.lightingBlock;
  const auto& colour = image.profiles[static_cast<size_t>(std::clamp(profile, 0, kProfileCount - 1))].colour;
  inputs.profileColour = {colour[0], colour[1], colour[2]};
  inputs.buttonLayout = buttonLayout;
  inputs.protocolLevel = image.protocolLevel;
  return inputs;
}

namespace {

bool SameLights(const PictureLightingInputs& a, const PictureLightingInputs& b) {
  return a.device == b.device && a.effect == b.effect && a.block == b.block && a.buttonLayout == b.buttonLayout &&
         a.protocolLevel == b.protocolLevel;
}

bool SameColour(const ProfileColour& a, const ProfileColour& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// The zones this mouse has lights for: those "Set all lights" reaches, or,
// for a layout the program knows no zones of, every zone of the table.
std::vector<int> LitZones(const PictureLightingInputs& inputs) {
  std::vector<int> zones;
  if (!inputs.device) return zones;
  for (int zone : SelectedZones(inputs.buttonLayout, inputs.protocolLevel))
    if (zone < kPictureZones) zones.push_back(zone);
  if (zones.empty())
    for (int zone = 0; zone < kPictureZones; ++zone) zones.push_back(zone);
  return zones;
}

}  // namespace

ProfileColour PictureLighting::DisplayColour() const {
  const ProfileColour& c = inputs_.profileColour;
  const int level = inputs_.protocolLevel;
  return {DisplayComponent(c.red, level), DisplayComponent(c.green, level), DisplayComponent(c.blue, level)};
}

bool PictureLighting::Load(const PictureLightingInputs& inputs) {
  const bool sameLights = loaded_ && SameLights(inputs, inputs_);
  if (sameLights && SameColour(inputs.profileColour, inputs_.profileColour)) return false;
  inputs_ = inputs;
  loaded_ = true;
  if (!sameLights) {
    lit_ = LitZones(inputs_);
    model_ = {};
    PreviewInputs preview;
    preview.block = inputs_.block;
    preview.profileColour = DisplayColour();
    preview.buttonLayout = inputs_.buttonLayout;
    preview.protocolLevel = inputs_.protocolLevel;
    LoadPreviewForEffect(model_, inputs_.effect, preview);
    SetStillBrightness();
    dueMs_.reset();  // a new animation takes its first step a frame from now
  } else if (inputs_.effect == 0) {
    // The waves do not use the profile's colour; "Customize" shows it in
    // every zone without a colour of its own.
    const ProfileColour colour = DisplayColour();
    for (size_t zone = 0; zone < kPictureZones; ++zone) {
      if (model_.previewFlags[zone] & kZoneOwnColour) continue;
      model_.previewRed[zone] = colour.red;
      model_.previewGreen[zone] = colour.green;
      model_.previewBlue[zone] = colour.blue;
    }
  }
  Rearm();
  return true;
}

void PictureLighting::SetStillBrightness() {
  if (model_.currentEffect != 0) return;  // the waves start at full brightness
  for (size_t zone = 0; zone < kPictureZones; ++zone) {
    // Zones beyond the animated ones never breathe on the picture: they
    // show their colour steadily.
    const bool steady = (model_.previewFlags[zone] & kZoneSteady) || zone >= kAnimatedPreviewZones;
    model_.previewBrightness[zone] = steady ? 255 : std::min(model_.breathingLevel, 255);
  }
}

void PictureLighting::SetShown(bool shown) {
  shown_ = shown;
  Rearm();
}

bool PictureLighting::Moves() const {
  return std::any_of(lit_.begin(), lit_.end(), [this](int zone) {
    if (zone >= kAnimatedPreviewZones) return false;
    return model_.currentEffect != 0 || !(model_.previewFlags[static_cast<size_t>(zone)] & kZoneSteady);
  });
}

void PictureLighting::Rearm() {
  if (!shown_ || !Moves()) {
    dueMs_.reset();
  } else if (!dueMs_) {
    dueMs_ = clock_.NowMs() + kPictureFrameMs;
  }
}

bool PictureLighting::Poll() {
  const int64_t now = clock_.NowMs();
  if (!dueMs_ || now < *dueMs_) return false;
  AnimatePreviewStep(model_, DisplayColour(), random_, kPictureSteps);
  dueMs_ = now + kPictureFrameMs;
  return true;
}

std::vector<ZoneLight> PictureLighting::Lights() const {
  std::vector<ZoneLight> lights;
  for (int zone : lit_) {
    const size_t z = static_cast<size_t>(zone);
    auto byte = [](int value) { return std::clamp(value, 0, 255); };
    lights.push_back({zone, byte(model_.previewRed[z]), byte(model_.previewGreen[z]), byte(model_.previewBlue[z]),
                      byte(model_.previewBrightness[z])});
  }
  return lights;
}

}  // namespace quorix
