#pragma once
// What the main window does, without a screen: the page shown, the profile
// and level selection, the ten sliders and the debounce timers that turn a
// drag into one write, the mouse's own state reports, the version line and
// what the mouse in hand lacks. The window paints what this says and hands it
// the user's input; every device change leaves through the `post` callback as
// one of the settings module's field writes, so the window never waits for
// the mouse.
//
// The timers run on the injected clock: the owner calls Poll() when
// NextDueMs() is reached, and arms nothing while NextDueMs() is empty, so an
// idle window never wakes. Single-threaded: the GUI thread calls everything.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/vendor_report.h"
#include "platform/clock.h"
#include "session/capabilities.h"
#include "session/models/button_texts.h"
#include "session/models/slider_model.h"
#include "session/session.h"
#include "settings/settings_state.h"
#include "texts/text_tables.h"

namespace quorix {

enum MainWindowPage : int { kButtonPage = 0, kDpiPage = 1, kOtherPage = 2, kPageCount = 3 };
// The label that names each page's tab.
inline constexpr Label kPageLabels[kPageCount] = {Label::kButtonSettings, Label::kDpiSettings, Label::kOther};

// The sliders, by index: the X sliders of levels 0..3, their Y sliders, the
// report rate and the device value.
inline constexpr int kSliderCount = 10;
inline constexpr int kDpiSliderLevels = 4;
inline constexpr int kReportRateSlider = 8;
inline constexpr int kDeviceValueSlider = 9;
constexpr int DpiSliderIndex(int level, bool x) { return x ? level : kDpiSliderLevels + level; }

// The debounce periods: the DPI sliders, the report rate, the device value
// and the stored selection.
inline constexpr int64_t kDpiWriteDelayMs = 200;
inline constexpr int64_t kReportRateDelayMs = 1000;
inline constexpr int64_t kDeviceValueDelayMs = 1000;
inline constexpr int64_t kStoredSelectionDelayMs = 3000;
inline constexpr int64_t kKnobFrameMs = 10;
// The software's own version, shown in the version line.
inline constexpr const char* kSoftwareVersion = "1.1";

// Where each slider's track lies; the window's layout decides.
struct SliderTrack {
  double left = 0, top = 0, width = 0, height = 0;
};

class MainWindowModel {
 public:
  // post: hands a field write to the device executor (the window's is
  // Session::PostWrite). state: the session's; its published image is read,
  // and the mouse's own state reports are kept in it.
  using PostWriteFn = std::function<void(std::string name, FieldWrite write)>;
  MainWindowModel(Clock& clock, SettingsState& state, PostWriteFn post);

  // ---- the device ----
  // A load finished: take the published image (a device when it has a path).
  // Selection and sliders follow it; pending debounce writes are dropped.
  void ShowLoaded(const DeviceCapabilities& caps);
  // The device went: nothing is written any more, the window shows none.
  void ClearDevice();
  // A field write finished: the toggles show what the mouse took.
  void RefreshImage();
  bool HasDevice() const { return hasDevice_; }
  const SettingsImage& Image() const { return *image_; }
  const DeviceCapabilities& Caps() const { return caps_; }

  // ---- pages ----
  int Page() const { return page_; }
  void SetPage(int page);

  // ---- sliders ----
  // Places the tracks (kept across loads) and the pages of the sliders.
  void SetTrack(int index, SliderTrack track);
  const Slider& SliderAt(int index) const { return sliders_[static_cast<size_t>(index)]; }
  // Shown on the current page and offered by this mouse.
  bool SliderVisible(int index) const;
  // Whether a drag may begin: a device and a visible slider.
  bool BeginDrag(int index);
  void EndDrag();
  int HoldIndex() const { return hold_; }
  // The drag reached window x. True when the value changed.
  bool SetSliderFromCursor(int index, double x);
  // A keyboard step of one value.
  bool StepSlider(int index, int delta);
  bool XyIndependent() const { return xyIndependent_; }
  void SetXyIndependent(bool on) { xyIndependent_ = on; }

  // ---- selection and switches (ignored without a device) ----
  int ActiveProfile() const { return activeProfile_; }
  int ActiveLevel() const { return activeLevel_; }
  // The button of the active profile that keeps the left click, or -1.
  int PrimaryClickHolder() const { return holder_; }
  void SelectProfile(int profile);
  void ToggleProfile(int profile);
  // Returns the report the on-screen display shows for the new level, when
  // the level changed.
  std::optional<VendorReport> SelectLevel(int level);
  // Whether the mouse's DPI button cycles through `level` (what its switch
  // shows); every level without a device. Switching off the last one is
  // refused by the write (Failure::kLastLevelOn).
  bool LevelOn(int level) const;
  void ToggleLevel(int level);
  void ToggleAngleSnapping();
  // Levels in the level row.
  int LevelsShown() const;

  // A checked state report of the current device. True when something shown
  // changed.
  bool ApplyStateReport(const VendorReport& report);

  // ---- timers ----
  // Runs the debounce timers that are due and one knob animation frame.
  // True when a knob moved (the window repaints).
  bool Poll();
  std::optional<int64_t> NextDueMs() const;
  // The program is closing: every write a debounce timer still holds back
  // (a slider, the stored selection) is posted now instead of being lost.
  void WriteHeldBack();
  bool KnobsMoving() const;

  // ---- texts ----
  std::string VersionLine(const TextTables& texts) const;
  // The function texts of the active profile's physical buttons, in device
  // order (`text` is normally MainWindowButtonTexts); none without a device.
  std::vector<std::string> ButtonTexts(const ButtonTextFn& text) const;

 private:
  // Drops the pending writes and selections and shows the image anew.
  void StartOver();
  void SyncFromImage();
  bool SetSliderValue(int index, int value);
  void Post(std::string name, FieldWrite write);
  void RecomputeHolder();
  void Restart(std::optional<int64_t>& timer, int64_t delayMs);
  // Posts the writes of the debounce timers due at `now`.
  void PostDue(int64_t now);
  bool Due(const std::optional<int64_t>& timer, int64_t now) const { return timer && *timer <= now; }

  Clock& clock_;
  SettingsState& state_;
  PostWriteFn post_;
  std::shared_ptr<const SettingsImage> image_;
  DeviceCapabilities caps_;
  bool hasDevice_ = false;
  int page_ = kButtonPage;
  std::array<Slider, kSliderCount> sliders_{};
  int hold_ = -1;
  bool xyIndependent_ = false;
  int activeProfile_ = 0;
  int activeLevel_ = 0;
  int holder_ = -1;
  std::array<bool, kDpiPairCount> dirty_{};
  bool profileChanged_ = false;
  bool levelChanged_ = false;
  std::optional<int64_t> dpiDue_, rateDue_, valueDue_, selectionDue_, knobDue_;
};

}  // namespace quorix
