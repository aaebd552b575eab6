#include "ui/skin/skin_item.h"

#include <cmath>

namespace quorix::ui {
namespace {

bool Usable(const std::vector<SkinItem>& items, int index) {
  return index >= 0 && index < static_cast<int>(items.size()) && !items[index].hidden && !items[index].disabled;
}

// The hovered item: the hit one unless it is disabled.
int HoverAt(const std::vector<SkinItem>& items, QPointF point) {
  const int hit = HitTest(items, point);
  return Usable(items, hit) ? hit : -1;
}

}  // namespace

int HitTest(const std::vector<SkinItem>& items, QPointF point) {
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const SkinItem& item = items[i];
    if (item.hidden) continue;
    if (!item.region.isEmpty()) {
      if (item.region.contains(
              QPoint(static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())))))
        return i;
      continue;
    }
    const QRectF& r = item.rect;
    if (point.x() >= r.left() && point.x() < r.left() + r.width() && point.y() >= r.top() &&
        point.y() < r.top() + r.height())
      return i;
  }
  return -1;
}

SkinAction SkinInteraction::Move(const std::vector<SkinItem>& items, QPointF point) {
  const int hover = HoverAt(items, point);
  SkinAction action;
  action.repaint = hover != hover_;
  hover_ = hover;
  return action;
}

SkinAction SkinInteraction::Press(const std::vector<SkinItem>& items, QPointF point) {
  SkinAction action = Move(items, point);
  if (hover_ == -1) {
    // Only a press on bare surface moves the window; one on a disabled item
    // does nothing.
    action.startMove = HitTest(items, point) == -1;
    return action;
  }
  action.repaint = action.repaint || press_ != hover_;
  press_ = hover_;
  return action;
}

SkinAction SkinInteraction::Release(const std::vector<SkinItem>& items, QPointF point) {
  SkinAction action = Move(items, point);
  if (press_ == -1) return action;
  if (press_ == hover_) action.activated = press_;
  press_ = -1;
  action.repaint = true;
  return action;
}

SkinAction SkinInteraction::Leave() {
  SkinAction action;
  action.repaint = hover_ != -1;
  hover_ = -1;
  return action;
}

SkinAction SkinInteraction::Key(const std::vector<SkinItem>& items, SkinKey key) {
  SkinAction action;
  const int count = static_cast<int>(items.size());
  if (key == SkinKey::kActivate) {
    if (Usable(items, focus_)) action.activated = focus_;
    return action;
  }
  const int step = key == SkinKey::kNext ? 1 : -1;
  int from = focus_;
  if (from < 0 || from >= count) from = step > 0 ? -1 : count;
  for (int n = 1; n <= count; ++n) {
    const int candidate = ((from + step * n) % count + count) % count;
    if (Usable(items, candidate)) {
      action.repaint = candidate != focus_;
      focus_ = candidate;
      return action;
    }
  }
  return ClearFocus();
}

SkinAction SkinInteraction::ClearFocus() {
  SkinAction action;
  action.repaint = focus_ != -1;
  focus_ = -1;
  return action;
}

void SkinInteraction::Reset(const std::vector<SkinItem>& items) {
  hover_ = -1;
  press_ = -1;
  if (!Usable(items, focus_)) focus_ = -1;
}

}  // namespace quorix::ui
