#pragma once
// The simulated mouse's buttons on screen: each press goes to the simulated
// mouse, which answers with the reports a real mouse sends, so the on-screen
// display and the main window's live updates can be seen without hardware.

#include <functional>

#include "sim/sim_options.h"
#include "ui/skin/skin_window.h"

namespace quorix::ui {

struct UiEnv;

class VirtualMouseWindow : public SkinWindow {
  Q_OBJECT
 public:
  using PressFn = std::function<void(sim::SimPress)>;
  VirtualMouseWindow(UiEnv& env, PressFn press, QWidget* parent = nullptr);

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;

 private:
  UiEnv& env_;
  PressFn press_;
};

}  // namespace quorix::ui
