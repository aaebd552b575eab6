#pragma once
// The on-screen display: a click-through panel at the screen's top left that
// never takes the focus. OsdState decides what it shows and when; the window
// arms one single-shot timer for the state's next step, and none while the
// panel is hidden.

#include <QTimer>
#include <QWidget>
#include <vector>

#include "session/models/osd_state.h"
#include "ui/skin/picture.h"

namespace quorix {
class Clock;
}

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

  UiEnv& env_;
  Clock& clock_;
  OsdState state_;
  PictureCache pictures_;
  QTimer timer_;
  int maxCode_ = 64;
  int dpiStep_ = 50;
  bool held_ = false;
};

// False where the desktop lets no window place itself (Wayland).
bool DesktopPlacesWindows();

}  // namespace quorix::ui
