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
  // What a click on the button does (screenshots press through it).
  void Press(sim::SimPress press) {
    if (press_) press_(press);
  }

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;

 private:
  UiEnv& env_;
  PressFn press_;
};

}  // namespace quorix::ui
