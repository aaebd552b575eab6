#pragma once
// The main window's mouse picture shows the mouse's lighting: the effect and
// zone table of the settings image, animated as the lighting window animates
// its own picture, with the picture's larger steps every 130 ms.
//
// It runs on the injected clock (Poll() when NextDueMs() is reached) and is
// due only while the picture is shown and something on it moves, so a
// static effect or a hidden picture never wakes the program. Single-threaded:
// the GUI thread calls everything, and the model is this class's own copy.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "lighting/preview_model.h"
#include "platform/clock.h"
#include "settings/settings_image.h"

namespace quorix {

inline constexpr int64_t kPictureFrameMs = 130;
inline constexpr PreviewSteps kPictureSteps{50, 12};
// The picture has lights for zones 0..12, the zones of the longest table.
inline constexpr int kPictureZones = 13;

// What the picture is lit from.
struct PictureLightingInputs {
  bool device = false;  // without a mouse nothing is lit
  int effect = 0;
  LightingBlock block{};
  ProfileColour profileColour;  // the active profile's, as stored
  int buttonLayout = 0;
  int protocolLevel = 0;
};
// The inputs from the settings image, in the colour of profile `profile`
// (the one the window shows as active).
PictureLightingInputs PictureLightingFrom(const SettingsImage& image, int profile, bool device, int buttonLayout);

// One lit zone as the picture shows it: its colour and its brightness, kept
// apart so that a breathing zone changes only its brightness (the painter
// keeps each colour's light and dims it).
struct ZoneLight {
  int zone = 0;
  int red = 0, green = 0, blue = 0;
  int brightness = 255;
  bool operator==(const ZoneLight&) const = default;
};

class PictureLighting {
 public:
  PictureLighting(Clock& clock, RandomSource& random) : clock_(clock), random_(random) {}

  // Lights the picture from `inputs`. The animation starts over only when
  // the effect or the zones changed; a new profile colour alone recolours
  // the zones that show it. True when the picture changed.
  bool Load(const PictureLightingInputs& inputs);
  // Whether the picture can be seen (its page shown, the window open).
  void SetShown(bool shown);

  // One step when due. True when the picture changed.
  bool Poll();
  std::optional<int64_t> NextDueMs() const { return dueMs_; }
  // Whether a step changes anything: the waves always, "Customize" while a
  // lit zone breathes.
  bool Moves() const;

  // The zones the mouse has lights for, as they are shown now.
  std::vector<ZoneLight> Lights() const;

 private:
  void Rearm();
  // Zone brightness before the first step (the step moves only zones 0..10).
  void SetStillBrightness();
  ProfileColour DisplayColour() const;

  Clock& clock_;
  RandomSource& random_;
  PictureLightingInputs inputs_;
  bool loaded_ = false;
  std::vector<int> lit_;  // the zones the mouse has lights for
  PreviewModel model_;
  bool shown_ = false;
  std::optional<int64_t> dueMs_;
};

}  // namespace quorix
