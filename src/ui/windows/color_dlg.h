#pragma once
// The lighting window: the light effect, a picture of the mouse whose zone
// markers open the colour picker (in "Customize" only), and "Set all lights".
// The picture shows the preview animation, which runs on a single-shot timer
// only while the window is visible. Behaviour: LightingWindowModel.

#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "session/models/lighting_windows.h"
#include "ui/skin/skin_window.h"
#include "ui/windows/lighting_painter.h"
#include "ui/windows/option_dlg.h"

namespace quorix::ui {

struct UiEnv;
class ColorPickDlg;

class ColorDlg : public SkinWindow {
  Q_OBJECT
 public:
  // Items, in order; the zone markers follow from kFirstMarker, one per
  // zone of lighting_geometry.h's table, with the code 10 + zone.
  enum Item { kClose = 0, kFirstEffect = 1, kSetAllLights = 8, kFirstMarker = 9 };
  static constexpr int kZoneCodeBase = 10;

  explicit ColorDlg(UiEnv& env, QWidget* parent = nullptr);
  ~ColorDlg() override;

  // Shows the window and waits until it is closed.
  void Run();
  // The read of the effect and zones that opening started.
  const Job<void>& OpenJob() const { return openJob_; }
  const LightingWindowModel& Model() const { return model_; }
  LightingWindowModel& Model() { return model_; }

  // How a picker runs (the default shows it modally); tests answer instead.
  // Returns the picker's answer; Answer::kOk keeps the colour.
  using PickerRunner = std::function<Answer(ColorPickDlg& picker)>;
  void SetPickerRunner(PickerRunner run) { runPicker_ = std::move(run); }

  void RunDueTimers();
  bool TimerArmed() const { return timer_.isActive(); }

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool Dismiss() override;

 private:
  void SyncItems();
  void ArmTimer();
  void OpenPicker(PickerSetup setup);
  void Finish();

  UiEnv& env_;
  SeededRandom random_;
  LightingWindowModel model_;
  Job<void> openJob_;  // posted as the window is built
  LightingPainter painter_;
  QTimer timer_;
  QEventLoop loop_;
  bool finished_ = false;
  PickerRunner runPicker_;
};

}  // namespace quorix::ui
