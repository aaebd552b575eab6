#include "ui/windows/virtual_mouse_window.h"

#include <QPainter>
#include <cstdint>
#include <optional>

#include "session/session.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/ui_env.h"
#include "ui/windows/dialog_painter.h"

namespace quorix::ui {
namespace {

constexpr int kWidth = 372;
constexpr int kHeight = 254;

enum class Arrow { kNone, kBefore, kAfter };

struct VirtualButton {
  sim::SimPress press;
  std::optional<Desktop> text;  // none for the level buttons, named by `level`
  const char* level;
  Arrow arrow;
  int column, row;
};

// Laid out like the mouse: the level buttons in the middle, the profile
// buttons on the side, the tilt wheel left and right, the launch button last.
constexpr VirtualButton kButtons[] = {
    {sim::SimPress::kWheelLeft, Desktop::kWheel, nullptr, Arrow::kBefore, 0, 0},
    {sim::SimPress::kWheelRight, Desktop::kWheel, nullptr, Arrow::kAfter, 1, 0},
    {sim::SimPress::kDpiUp, std::nullopt, "DPI +", Arrow::kNone, 0, 1},
    {sim::SimPress::kDpiDown, std::nullopt, "DPI \u2212", Arrow::kNone, 1, 1},
    {sim::SimPress::kProfilePrev, Desktop::kProfile, nullptr, Arrow::kBefore, 0, 2},
    {sim::SimPress::kProfileNext, Desktop::kProfile, nullptr, Arrow::kAfter, 1, 2},
    {sim::SimPress::kOpen, Desktop::kOpenSettings, nullptr, Arrow::kNone, 0, 3},
};

}  // namespace

VirtualMouseWindow::VirtualMouseWindow(UiEnv& env, PressFn press, QWidget* parent)
    : SkinWindow(QSize(kWidth, kHeight), parent), env_(env), press_(std::move(press)) {
  auto text = [&env](Desktop name) { return QString::fromStdString(env.texts[name]); };
  setWindowTitle(text(Desktop::kVirtualMouse));
  for (const VirtualButton& b : kButtons) {
    SkinItem item;
    const bool wide = b.press == sim::SimPress::kOpen;
    // The wide button pictures fit the labels; the launch button is the large one.
    item.rect = wide ? QRectF((kWidth - 200) / 2, 56 + b.row * 48, 200, 32)
                     : QRectF(20 + b.column * 172, 56 + b.row * 48, 160, 32);
    item.imageNormal = wide ? pic::kLargeButtonNormal : pic::kWideButtonNormal;
    item.imageHover = item.imagePressed = wide ? pic::kLargeButtonHover : pic::kWideButtonHover;
    item.label = b.text ? text(*b.text) : QString::fromUtf8(b.level);
    if (b.arrow == Arrow::kBefore) item.label.prepend(QStringLiteral("\u25c0 "));
    if (b.arrow == Arrow::kAfter) item.label.append(QStringLiteral(" \u25b6"));
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
