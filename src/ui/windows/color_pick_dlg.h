#pragma once
// The colour picker: the swatches, the colour field, three sliders, the
// profile-colour swatch and "Breathe" / "Always ON" for one zone or for all
// lights. The mouse shows each choice at once; a drag is sent at most once
// per period by the picker's sender, which a single-shot timer drives only
// while a dragged colour waits. OK stores the colour, Cancel (and the device
// going away) shows the stored colours again. Behaviour: ColourPicker.

#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <optional>

#include "session/models/lighting_windows.h"
#include "ui/skin/skin_window.h"
#include "ui/windows/lighting_painter.h"
#include "ui/windows/option_dlg.h"

namespace quorix::ui {

struct UiEnv;

class ColorPickDlg : public SkinWindow {
  Q_OBJECT
 public:
  // Items, in order. The three sliders are items too, so that the keyboard
  // reaches them (arrows move a focused one by one step); their code is
  // kSliderCode + channel.
  enum Item { kClose = 0, kBreathe = 1, kAlwaysOn = 2, kOk = 3, kCancel = 4, kFirstSlider = 5 };
  static constexpr int kSliderCode = 100;

  ColorPickDlg(UiEnv& env, QWidget* parent, PickerSetup setup);
  ~ColorPickDlg() override;

  // Shows the picker and waits: Answer::kOk when confirmed, kCancel for the
  // Cancel button, kClosed for every other way out.
  Answer Run();
  // Empty while open; then the answer.
  std::optional<Answer> Result() const { return result_; }
  const ColourPicker& Picker() const { return picker_; }
  // The store or restore that closing posted (empty while open).
  const std::optional<Job<void>>& ClosingJob() const { return closingJob_; }

  // Runs the sender when due and arms the next wake-up (the window's timer
  // calls it; tests on virtual time call it directly).
  void RunDueTimers();
  bool TimerArmed() const { return timer_.isActive(); }

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  void OnItemArrow(int index, int step) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool Dismiss() override;

 private:
  // The colour of the field's picture at `point`, when it is a colour there.
  std::optional<uint32_t> FieldColour(QPointF point);
  void Finish(Answer answer);
  void Cancel() { Finish(Answer::kClosed); }
  void SyncItems();
  void ArmTimer();

  UiEnv& env_;
  ColourPicker picker_;
  LightingPainter painter_;
  QTimer timer_;
  QEventLoop loop_;
  std::optional<Answer> result_;
  std::optional<Job<void>> closingJob_;
  enum class Drag { kNone, kField, kRed, kGreen, kBlue } drag_ = Drag::kNone;
  std::optional<uint32_t> lastDragged_;
};

}  // namespace quorix::ui
