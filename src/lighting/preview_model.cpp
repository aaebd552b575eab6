#include "lighting/preview_model.h"

#include <algorithm>

namespace quorix {

namespace {

constexpr int kWheelStep = 64;
constexpr int kStartedZones = 12;    // zones 0..11 get a starting colour
constexpr int kCustomZones = 13;     // zones 0..12 come from the zone table

// 256 - 64 * j, clamped to a byte: 255, 192, 128, 64.
constexpr int Falling(int j) { return std::min(255, 256 - kWheelStep * j); }

// Sixteen points around the colour wheel, 64 apart, starting at blue. Each
// carries the phase in which the animation would reach it: red rises into
// magenta, blue falls into red, green rises into yellow, red falls into green.
constexpr StartingColourTable BuildWheel() {
  StartingColourTable wheel{};
  for (int j = 0; j < 4; ++j) {
    wheel[j] = {kPhaseRedUp, kWheelStep * j, 0, 255};
    wheel[4 + j] = {kPhaseBlueDown, 255, 0, Falling(j)};
    wheel[8 + j] = {kPhaseGreenUp, 255, kWheelStep * j, 0};
    wheel[12 + j] = {kPhaseRedDown, Falling(j), 255, 0};
  }
  return wheel;
}

// Zone z starts from wheel point (offset + stride * z) mod 16. Strides that are
// odd visit every point once (a scrambled order for the random effects).
constexpr StartingColourTable Arrange(int offset, int stride) {
  constexpr StartingColourTable wheel = BuildWheel();
  StartingColourTable table{};
  for (int zone = 0; zone < 16; ++zone) table[zone] = wheel[((offset + stride * zone) % 16 + 16) % 16];
  return table;
}

// Wide layouts: neighbouring zones one wheel step apart. Narrow layouts have
// fewer LEDs, so the wave is spread two steps per zone to keep it visible.
constexpr StartingColourTable kWaveWide = Arrange(0, 1);
constexpr StartingColourTable kWaveNarrow = Arrange(0, 2);
constexpr StartingColourTable kWaveInvertWide = Arrange(0, -1);
constexpr StartingColourTable kWaveInvertNarrow = Arrange(0, -2);
constexpr StartingColourTable kRandom1 = Arrange(3, 5);
constexpr StartingColourTable kRandom2 = Arrange(9, 7);

int Clamp255(int value) { return std::min(value, 255); }

}  // namespace

bool UsesWideWaveTable(int buttonLayout, int protocolLevel) {
  if (buttonLayout >= 21 && buttonLayout <= 24) return true;
  return (buttonLayout == 19 || buttonLayout == 20) && FamilyForLevel(protocolLevel).lighting;
}

const StartingColourTable& StartingColours(int effect, bool wideLayout) {
  switch (effect) {
    case 2: return wideLayout ? kWaveInvertWide : kWaveInvertNarrow;
    case 3: return kRandom1;
    case 4: return kRandom2;
    default: return wideLayout ? kWaveWide : kWaveNarrow;
  }
}

void LoadPreviewForEffect(PreviewModel& model, int effect, const PreviewInputs& inputs) {
  model.currentEffect = effect;
  if (effect == 0) {
    for (int zone = 0; zone < kCustomZones; ++zone) {
      const LedZoneRecord record = LedZoneRecord::FromBytes(&inputs.block[4 * zone]);
      model.previewFlags[zone] = record.flags & (kZoneOwnColour | kZoneSteady);
      if (record.OwnColour()) {
        model.previewRed[zone] = record.red;
        model.previewGreen[zone] = record.green;
        model.previewBlue[zone] = record.blue;
      } else {
        model.previewRed[zone] = inputs.profileColour.red;
        model.previewGreen[zone] = inputs.profileColour.green;
        model.previewBlue[zone] = inputs.profileColour.blue;
      }
    }
    return;
  }
  if (effect < 1 || effect >= kLightEffectCount) return;
  const StartingColourTable& table =
      StartingColours(effect, UsesWideWaveTable(inputs.buttonLayout, inputs.protocolLevel));
  for (int zone = 0; zone < kStartedZones; ++zone) {
    model.previewBrightness[zone] = 255;
    model.previewFlags[zone] = table[zone].phase;
    model.previewRed[zone] = table[zone].red;
    model.previewGreen[zone] = table[zone].green;
    model.previewBlue[zone] = table[zone].blue;
  }
}

void AdvanceBreathing(PreviewModel& model) {
  model.breathingLevel += model.breathingDown ? -kBreathingStep : kBreathingStep;
  if (model.breathingLevel < 0) {
    model.breathingLevel = 0;
    model.breathingDown = false;
  } else if (model.breathingLevel > kBreathingTop) {
    model.breathingLevel = kBreathingTurnTo;
    model.breathingDown = true;
  }
}

namespace {

// Moves one zone's colour one step along its phase. `turn` decides where a red
// channel that topped out goes next.
void StepZone(PreviewModel& model, int zone, int step, const std::function<bool()>& turn) {
  int& phase = model.previewFlags[zone];
  if (phase == 0) phase = kPhaseRedUp;
  auto rise = [&](int& channel, int nextPhase) {
    channel += step;
    if (channel > 255) {
      channel = 255;
      phase = nextPhase;
    }
  };
  auto fall = [&](int& channel, int nextPhase) {
    channel -= step;
    if (channel < 0) {
      channel = 0;
      phase = nextPhase;
    }
  };
  switch (phase) {
    case kPhaseRedUp:
      model.previewRed[zone] += step;
      if (model.previewRed[zone] > 255) {
        model.previewRed[zone] = 255;
        phase = turn() ? kPhaseGreenUp : kPhaseBlueDown;
      }
      break;
    case kPhaseRedDown: fall(model.previewRed[zone], kPhaseBlueUp); break;
    case kPhaseGreenUp: rise(model.previewGreen[zone], kPhaseRedDown); break;
    case kPhaseGreenDown: fall(model.previewGreen[zone], kPhaseRedUp); break;
    case kPhaseBlueUp: rise(model.previewBlue[zone], kPhaseGreenDown); break;
    case kPhaseBlueDown: fall(model.previewBlue[zone], kPhaseGreenUp); break;
    default: break;  // an unknown phase stays put
  }
}

}  // namespace

void AnimatePreviewStep(PreviewModel& model, const ProfileColour& profileColour, RandomSource& random,
                        PreviewSteps steps) {
  AdvanceBreathing(model);
  const int effect = model.currentEffect;
  if (effect == 0) {
    for (int zone = 0; zone < kAnimatedPreviewZones; ++zone) {
      const int flags = model.previewFlags[zone];
      model.previewBrightness[zone] = (flags & kZoneSteady) ? 255 : Clamp255(model.breathingLevel);
      if (!(flags & kZoneOwnColour)) {
        model.previewRed[zone] = profileColour.red;
        model.previewGreen[zone] = profileColour.green;
        model.previewBlue[zone] = profileColour.blue;
      }
    }
    return;
  }
  if (effect < 1 || effect >= kLightEffectCount) return;
  const bool randomEffect = effect == 3 || effect == 4;
  const int step = randomEffect ? steps.random : steps.colour;
  // Effect 4 decides once per frame whether this is a jump step.
  const bool jumpStep = effect == 4 && random.Next() % 9 == 5;
  const std::function<bool()> turn = [&]() {
    if (effect == 3) return random.Next() % 5 == 1;
    return effect == 4 && jumpStep;
  };
  for (int zone = 0; zone < kAnimatedPreviewZones; ++zone) {
    model.previewBrightness[zone] = 255;
    StepZone(model, zone, step, turn);
  }
}

void PreviewAnimator::Frame() {
  const ProfileColour colour = profileColour_ ? profileColour_() : ProfileColour{};
  {
    std::lock_guard<std::mutex> lock(preview_.Mutex());
    AnimatePreviewStep(preview_.Model(), colour, random_);
  }
  if (invalidate_) invalidate_();
}

void PreviewAnimator::Run(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    clock_.SleepMs(kPreviewFrameMs);
    if (stop.load()) break;
    Frame();
  }
}

}  // namespace quorix
