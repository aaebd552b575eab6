#pragma once
// What the lighting window and the colour picker do, without a screen.
//
// LightingWindowModel keeps the effect, the zone records as the mouse holds
// them and the animated preview the window paints; its animation runs on the
// injected clock (Poll() when NextDueMs() is reached) and only between Show()
// and Hide(), so a hidden window never wakes. ColourPicker is one open
// picker: its live colour, the throttled sender that follows a drag, and the
// confirm and cancel that write or restore the zones it touched.
//
// Every device exchange goes to the session's executor; the GUI thread only
// posts, and gets each exchange back as a Job to wait for or continue on.
// Both classes are used from the GUI thread; the preview model is shared
// with the executor's jobs under its own lock.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "lighting/light_effect.h"
#include "lighting/live_colour.h"
#include "lighting/preview_model.h"
#include "session/session.h"

namespace quorix {

// What a picker starts from.
struct PickerSetup {
  int zone = -1;                                   // the edited zone, or -1 for "Set all lights"
  std::vector<int> zones;                          // the zones it shows and stores, in zone order
  LedZoneRecord live;                              // the colour it starts with
  std::array<LedZoneRecord, kZoneCount> stored{};  // each zone's record as the mouse holds it
  ProfileColour profileColour;                     // the active profile's colour as stored
  int protocolLevel = 0;
};

// ---- the picker's colour sources -------------------------------------------
inline constexpr int kSwatchColumns = 10;
inline constexpr int kSwatchRows = 4;
// 0xRRGGBB of the swatch in column 0..9, row 0..3: the column's base colour,
// each component darkened by a quarter of itself per row.
uint32_t SwatchColour(int column, int row);
// Slider `channel` (0 red, 1 green, 2 blue) at `offset` pixels into its
// 256-pixel strip: the colour with that component replaced. Offsets outside
// the strip give its end values, as the cursor is held inside it.
uint32_t SliderColour(uint32_t rgb, int channel, double offset);
inline uint32_t RecordRgb(const LedZoneRecord& r) {
  return (static_cast<uint32_t>(r.red) << 16) | (static_cast<uint32_t>(r.green) << 8) | r.blue;
}

class ColourPicker {
 public:
  // `repaint` may run on the executor's thread (after a drag's send).
  ColourPicker(Session& session, PickerSetup setup, std::function<void()> repaint = {});
  // A picker that goes away open is cancelled.
  ~ColourPicker();
  ColourPicker(const ColourPicker&) = delete;
  ColourPicker& operator=(const ColourPicker&) = delete;

  const PickerSetup& Setup() const { return setup_; }
  LedZoneRecord Live() const { return live_.Get(); }
  // 1 "Always ON", 0 "Breathe".
  int Mode() const { return Live().Steady() ? kPickerModeAlwaysOn : 0; }
  // The colour the picker shows: the profile's (for display) when the live
  // colour does not use its own.
  uint32_t ShownRgb() const;
  uint32_t ProfileRgb() const;

  // A press on a colour (swatch, colour field, slider): it becomes the live
  // colour with its own-colour bit set and is shown on the mouse at once.
  void ClickColour(uint32_t rgb);
  // A press on the profile-colour swatch: the profile's colour, own-colour
  // bit clear, shown at once.
  void ClickProfileColour();
  // The cursor dragged onto another colour: kept for the sender's next
  // period; nothing is sent here.
  void DragTo(uint32_t rgb);
  // "Breathe" (0) or "Always ON" (1), shown at once.
  void ChooseMode(int mode);

  // The sender's period: due only while a dragged colour waits, and never
  // sooner than a period after the last send of any kind, so the mouse gets
  // at most one burst per period. Empty once the picker has closed.
  bool Poll();
  std::optional<int64_t> NextDueMs() const;

  // Stores the live colour in every zone it edits and closes. Empty when it
  // had closed already.
  std::optional<Job<void>> Confirm();
  // Shows each edited zone's stored record again and closes (also what the
  // device going away does). Empty when it had closed already.
  std::optional<Job<void>> Cancel();
  bool Closed() const { return closed_; }

 private:
  void SendNow(const LedZoneRecord& colour);

  Session& session_;
  PickerSetup setup_;
  LiveColour live_;
  std::unique_ptr<ColourSender> sender_;
  std::optional<int64_t> lastSendMs_;
  bool closed_ = false;
};

class LightingWindowModel {
 public:
  // `random` feeds the "Random" effects' animation.
  LightingWindowModel(Session& session, RandomSource& random);

  // Reads the effect and the zone table of the current device and builds the
  // preview for that effect; the job comes to the read's outcome.
  Job<void> Open();
  // The effect shown (set at once; the mouse follows through the executor).
  int CurrentEffect() const;
  // Chooses an effect 0..4: the mouse switches and the preview is rebuilt
  // for it; the job ends once the preview is. A mouse without lighting
  // refuses the code, and the job still succeeds. Empty for a code outside
  // 0..4.
  std::optional<Job<void>> ChooseEffect(int code);

  // The picker set-up for a click on zone `zone`'s marker; empty unless the
  // effect is "Customize" (the markers exist only there).
  std::optional<PickerSetup> EditZone(int zone) const;
  // The picker set-up for "Set all lights": white, zones of the device's
  // button layout.
  PickerSetup SetAllLights() const;
  // The picker confirmed `live`: the preview and the stored records follow.
  void PickerConfirmed(const PickerSetup& setup, const LedZoneRecord& live);

  // The animation runs only while shown.
  void Show();
  void Hide();
  bool Poll();
  std::optional<int64_t> NextDueMs() const { return dueMs_; }
  // The preview as it is now (zones' colour, brightness).
  PreviewModel Snapshot() { return preview_->Snapshot(); }
  // Each zone's record as the mouse holds it (read at Open, kept on confirm).
  std::array<LedZoneRecord, kZoneCount> Stored() const;

 private:
  // What the jobs learn of the device; guarded by the preview's lock.
  struct Device {
    int effect = 0;
    int protocolLevel = 0;
    int buttonLayout = 0;
    std::array<LedZoneRecord, kZoneCount> stored{};
  };
  ProfileColour StoredProfileColour() const;   // as stored: what the mouse is sent
  ProfileColour DisplayProfileColour() const;  // scaled for the screen
  Device DeviceNow() const;

  Session& session_;
  RandomSource& random_;
  // Shared with the jobs, which may outlive the window.
  std::shared_ptr<SharedPreview> preview_ = std::make_shared<SharedPreview>();
  std::shared_ptr<Device> device_ = std::make_shared<Device>();
  std::unique_ptr<PreviewAnimator> animator_;
  std::optional<int64_t> dueMs_;
};

}  // namespace quorix
