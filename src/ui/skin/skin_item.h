#pragma once
// Skin items: the painted, self-hit-tested things a skinned window is made
// of, and the one interaction scheme every window follows.
//
//   move     hover = the item under the cursor; repaint when it changed
//   press    on no item: the window is moved instead (as by a caption);
//            on an item: press = hover
//   release  press == hover != -1 activates that item; press = -1
//   cursor   the hand while hovering or pressing an item
//   keys     Tab / Shift+Tab walk the items that can be activated, in array
//            order and round; Enter, Return and Space activate the focused one
//
// Hidden items are neither drawn nor hit. Disabled items are hit (a press on
// them does not move the window) but are never hovered, pressed, focused or
// activated.

#include <vector>

#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <QString>

namespace quorix::ui {

// kind of a radio-style choice (one of a group is selected); any other kind
// is a push button.
inline constexpr int kSkinItemRadio = 3;
// kind of an on/off switch: `selected` is its state.
inline constexpr int kSkinItemSwitch = 4;

struct SkinItem {
  bool hidden = false;
  int kind = 0;
  QRectF rect;                                            // window pixels
  int imageNormal = 0, imageHover = 0, imagePressed = 0;  // a selected item shows imagePressed
  QString label;   // drawn on (buttons) or beside (radio items) the picture; its accessible name
  int code = 0;    // what the item stands for, for the window's own use
  QRegion region;  // picture-shaped hit region in window pixels; empty: the rectangle
  bool selected = false;
  bool disabled = false;
};

// The first item, in array order, that is not hidden and whose region (when
// it has one) or rectangle contains `point`. The rectangle's right and
// bottom edges are outside. -1 when none.
int HitTest(const std::vector<SkinItem>& items, QPointF point);

// What a step of the interaction asks of its window.
struct SkinAction {
  bool repaint = false;
  int activated = -1;      // the item to activate, or -1
  bool startMove = false;  // start a system move of the window
  bool operator==(const SkinAction&) const = default;
};

enum class SkinKey { kNext, kPrevious, kActivate };

class SkinInteraction {
 public:
  SkinAction Move(const std::vector<SkinItem>& items, QPointF point);
  SkinAction Press(const std::vector<SkinItem>& items, QPointF point);
  SkinAction Release(const std::vector<SkinItem>& items, QPointF point);
  SkinAction Leave();
  SkinAction Key(const std::vector<SkinItem>& items, SkinKey key);
  // The keyboard focus went to something that is not an item (a text field).
  SkinAction ClearFocus();

  int HoverIndex() const { return hover_; }
  int PressIndex() const { return press_; }
  int FocusIndex() const { return focus_; }
  bool HandCursor() const { return hover_ != -1 || press_ != -1; }

  // The items changed (a page switch, items hidden): forget hover, press and
  // a focus that is no longer usable.
  void Reset(const std::vector<SkinItem>& items);

 private:
  int hover_ = -1;
  int press_ = -1;
  int focus_ = -1;
};

}  // namespace quorix::ui
