#include "ui/windows/virtual_mouse_window.h"

#include <QPainter>

#include "ui/art/picture_ids.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/ui_env.h"
#include "ui/windows/dialog_painter.h"

namespace quorix::ui {
namespace {

constexpr int kWidth = 372;
constexpr int kHeight = 254;

struct VirtualButton {
  sim::SimPress press;
  const char* label;
  int column, row;
};

// Laid out like the mouse: the level buttons in the middle, the profile
// buttons on the side, the tilt wheel left and right, the launch button last.
constexpr VirtualButton kButtons[] = {
    {sim::SimPress::kWheelLeft, "\u25c0 Wheel", 0, 0},  {sim::SimPress::kWheelRight, "Wheel \u25b6", 1, 0},
    {sim::SimPress::kDpiUp, "DPI +", 0, 1},             {sim::SimPress::kDpiDown, "DPI \u2212", 1, 1},
    {sim::SimPress::kProfilePrev, "\u25c0 Profile", 0, 2}, {sim::SimPress::kProfileNext, "Profile \u25b6", 1, 2},
    {sim::SimPress::kOpen, "Open settings", 0, 3},
};

}  // namespace

VirtualMouseWindow::VirtualMouseWindow(UiEnv& env, PressFn press, QWidget* parent)
    : SkinWindow(QSize(kWidth, kHeight), parent), env_(env), press_(std::move(press)) {
  setWindowTitle(QStringLiteral("Virtual mouse"));
  for (const VirtualButton& b : kButtons) {
    SkinItem item;
    const bool wide = b.press == sim::SimPress::kOpen;
    // The wide button pictures fit the labels; the launch button is the large one.
    item.rect = wide ? QRectF((kWidth - 200) / 2, 56 + b.row * 48, 200, 32)
                     : QRectF(20 + b.column * 172, 56 + b.row * 48, 160, 32);
    item.imageNormal = wide ? pic::kLargeButtonNormal : pic::kWideButtonNormal;
    item.imageHover = item.imagePressed = wide ? pic::kLargeButtonHover : pic::kWideButtonHover;
    item.label = QString::fromUtf8(b.label);
    item.code = static_cast<int>(b.press);
    Items().push_back(item);
  }
}

void VirtualMouseWindow::OnItemActivated(int index) {
  if (index >= 0 && index < static_cast<int>(Items().size())) Press(static_cast<sim::SimPress>(Items()[index].code));
}

void VirtualMouseWindow::PaintSkin(QPainter& p) {
  PaintDialogSurface(p, size(), Pictures());
  p.setPen(kDialogTitle);
  p.setFont(env_.fonts.At(8));
  p.drawText(QRect(20, 14, kWidth - 40, 28), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
  PaintButtonPlates(p, Items(), Interaction(), Pictures());
  DrawItems(p, Items(), Interaction(), Pictures(), env_.fonts.At(6));
}

}  // namespace quorix::ui
