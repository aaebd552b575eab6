#pragma once
// The on-screen imitation of the mouse's lighting that the lighting windows
// animate: per-zone colours, flags (or animation phases) and brightness, the
// breathing level shared by breathing zones, and the current effect.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <random>

#include "lighting/light_effect.h"
#include "platform/clock.h"

namespace quorix {

// Random numbers for the "Random" effects; injected so that tests can replay
// an animation exactly.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual uint32_t Next() = 0;
};

class SeededRandom final : public RandomSource {
 public:
  explicit SeededRandom(uint32_t seed) : engine_(seed) {}
  uint32_t Next() override { return engine_(); }

 private:
  std::mt19937 engine_;
};

// Animation phase of a zone in the animated effects: which channel moves.
enum PreviewPhase : int {
  kPhaseRedUp = 1,
  kPhaseRedDown = 2,
  kPhaseGreenUp = 3,
  kPhaseGreenDown = 4,
  kPhaseBlueUp = 5,
  kPhaseBlueDown = 6,
};

// One row of a starting-colour table.
struct PreviewStart {
  int phase = 0;
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const PreviewStart&) const = default;
};
using StartingColourTable = std::array<PreviewStart, 16>;

// Devices whose LEDs sit around the whole body use the "wide" wave tables:
// button layouts 21..24, and 19 or 20 at protocol level 11 and above.
bool UsesWideWaveTable(int buttonLayout, int protocolLevel);
// The starting colours of an animated effect (1..4); zone z starts from row z.
// Effects 3 and 4 do not depend on the layout. Any other effect gets the
// effect-1 table.
const StartingColourTable& StartingColours(int effect, bool wideLayout);

inline constexpr int kBreathingStep = 20;
inline constexpr int kBreathingTop = 440;     // passing it turns the level down ...
inline constexpr int kBreathingTurnTo = 300;  // ... starting again from here
inline constexpr int kPreviewFrameMs = 90;
inline constexpr int kAnimatedPreviewZones = 11;  // an animation step moves zones 0..10

// How far one animation step moves a colour channel: `colour` in the waves,
// `random` in the two "Random" effects. The lighting window takes small
// steps; the main window's picture, stepping less often, larger ones.
struct PreviewSteps {
  int colour = 40;
  int random = 10;
};
inline constexpr PreviewSteps kLightingWindowSteps{40, 10};

struct PreviewModel {
  std::array<int, kZoneCount> previewRed{};
  std::array<int, kZoneCount> previewGreen{};
  std::array<int, kZoneCount> previewBlue{};
  std::array<int, kZoneCount> previewFlags{};  // record flags, or the animation phase
  std::array<int, kZoneCount> previewBrightness{};
  int breathingLevel = 0;
  bool breathingDown = false;
  int currentEffect = 0;
};

// What the preview set-up needs from the device and the settings image.
struct PreviewInputs {
  LightingBlock block{};          // the zone table as ReadLightingBlock gave it
  ProfileColour profileColour;    // the active profile's colour, unscaled
  int buttonLayout = 0;
  int protocolLevel = 0;
  Outcome outcome;  // set by ReadPreviewInputs: the block is zeros unless done
};

// Rebuilds the model for an effect and makes it the current effect. Effect 0
// takes zones 0..12 from the block; effects 1..4 load zones 0..11 from their
// starting-colour table. The caller holds the model's lock.
void LoadPreviewForEffect(PreviewModel& model, int effect, const PreviewInputs& inputs);

// One breathing step: +20 going up, -20 going down; below 0 it restarts at 0
// going up, above 440 it continues from 300 going down.
void AdvanceBreathing(PreviewModel& model);

// One animation frame (zones 0..10). The caller holds the model's lock.
void AnimatePreviewStep(PreviewModel& model, const ProfileColour& profileColour, RandomSource& random,
                        PreviewSteps steps = kLightingWindowSteps);

// The model together with the lock every reader and writer takes.
class SharedPreview {
 public:
  std::mutex& Mutex() { return mutex_; }
  PreviewModel& Model() { return model_; }  // only under Mutex()
  PreviewModel Snapshot() {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_;
  }

 private:
  std::mutex mutex_;
  PreviewModel model_;
};

// The lighting window's animation loop: every 90 ms one frame under the
// model's lock, then `invalidate` (without the lock held).
class PreviewAnimator {
 public:
  PreviewAnimator(SharedPreview& preview, Clock& clock, RandomSource& random,
                  std::function<ProfileColour()> profileColour, std::function<void()> invalidate)
      : preview_(preview), clock_(clock), random_(random), profileColour_(std::move(profileColour)),
        invalidate_(std::move(invalidate)) {}
  // Runs frames until stop is set (checked once per frame).
  void Run(const std::atomic<bool>& stop);
  void Frame();

 private:
  SharedPreview& preview_;
  Clock& clock_;
  RandomSource& random_;
  std::function<ProfileColour()> profileColour_;
  std::function<void()> invalidate_;
};

}  // namespace quorix
