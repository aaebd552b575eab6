#pragma once
// The on-screen display: a click-through panel at the screen's top left that
// never takes the focus. OsdState decides what it shows and when; the window
// arms one single-shot timer for the state's next step, and none while the
// panel is hidden. Where the desktop places no window (Wayland) the panel
// shows on the desktop's overlay when there is one (a layer shell), else a
// notification says what it would show.

#include <QTimer>
#include <QWidget>
#include <vector>

#include "session/models/osd_state.h"
#include "ui/skin/picture.h"

namespace quorix {
class Clock;
class OverlaySurface;
}  // namespace quorix

namespace quorix::ui {

struct UiEnv;

class OsdWindow : public QWidget {
  Q_OBJECT
 public:
  OsdWindow(UiEnv& env, Clock& clock, QWidget* parent = nullptr);

  // The maximum sensitivity code and the DPI per code of the loaded mouse.
  void SetScale(int maxCode, int dpiStep);
  // A checked state report of the current device.
  void OnStateReport(const std::vector<uint8_t>& report);
  // While held the panel stays hidden (it is hidden at once) and no
  // notification stands in for it; reports still update what it would show.
  void SetHeld(bool held);
  // The desktop's overlay the panel shows on instead of this window, or
  // nullptr; not owned, it outlives this window. A refused picture drops it
  // for good: notifications stand in from then on.
  void SetOverlay(OverlaySurface* overlay) { overlay_ = overlay; }
  const OsdState& State() const { return state_; }
  // The panel as it shows now (screenshots and tests).
  QImage Render();

 signals:
  // Where the desktop cannot place the panel: the report to show otherwise.
  void shownElsewhere(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Step();
  void Arm();
  void UpdateShape();
  void StepOverlay(bool shown, bool paint);

  UiEnv& env_;
  Clock& clock_;
  OsdState state_;
  PictureCache pictures_;
  QTimer timer_;
  int maxCode_ = 64;
  int dpiStep_ = 50;
  bool held_ = false;
  OverlaySurface* overlay_ = nullptr;
  bool overlayShown_ = false;
};

// False where the desktop lets no window place itself (Wayland).
bool DesktopPlacesWindows();

}  // namespace quorix::ui
