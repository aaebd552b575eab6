#pragma once
// The base of every skinned window: frameless, with per-pixel alpha, of a
// fixed size. The subclass paints its whole surface in PaintSkin(), which
// draws into the window's backing store, presented in one go, so the
// window never flickers. Input is routed to the skin items of Items() by the
// scheme of SkinInteraction; a press on bare surface moves the window.
//
// Keyboard: Tab and Shift+Tab move the keyboard focus round the window's
// child fields (in their focus order) and then its items. A focused item
// takes the real keyboard focus, so keys then reach it and not a field.
// Enter and Space activate the focused item; Enter with no item focused
// activates DefaultItem() (a dialog's OK). Arrow keys go to OnItemArrow() (a
// focused slider moves by one step). Screen readers see the items as the
// window's children, named by their labels (skin_accessible.h).
//
// Subclasses that handle some presses themselves (slider tracks) override
// the mouse handlers and call the base for the rest; SetInputBlocked() stops
// all of them, since blocked input never reaches the handlers.

#include <optional>
#include <vector>

#include <QAccessible>
#include <QImage>
#include <QWidget>

#include "ui/skin/picture.h"
#include "ui/skin/skin_item.h"

namespace quorix::ui {

class SkinWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SkinWindow(QSize size, QWidget* parent = nullptr);
  ~SkinWindow() override;

  std::vector<SkinItem>& Items() { return items_; }
  const std::vector<SkinItem>& Items() const { return items_; }
  const SkinInteraction& Interaction() const { return interaction_; }
  PictureCache& Pictures() { return pictures_; }

  // Call after changing Items() in ways that hide or remove items: drops the
  // hover and press states, then repaints.
  void ItemsChanged();

  // While set (a long device operation runs), mouse and keyboard input are
  // ignored and the busy cursor shows.
  void SetInputBlocked(bool blocked);
  bool InputBlocked() const { return inputBlocked_; }

  // Activates item `index` as a click on it would, unless the item is
  // hidden or disabled or input is blocked (screen readers' press action).
  void ActivateItem(int index);

  // The window's surface as PaintSkin draws it, at `devicePixelRatio`
  // (screenshots and tests).
  QImage Render(qreal devicePixelRatio = 1.0);

 protected:
  virtual void PaintSkin(QPainter& painter) = 0;
  virtual void OnItemActivated(int index) { (void)index; }
  // An arrow key with item `index` focused: `step` is -1 (left, down) or +1
  // (right, up).
  virtual void OnItemArrow(int index, int step) {
    (void)index;
    (void)step;
  }
  // Dialogs answer Escape and their window's close button alike, as their
  // Cancel would, and return true; other windows return false (Escape then
  // goes on to QWidget).
  virtual bool Dismiss() { return false; }
  // The item Enter activates while no item has the focus (a dialog's
  // affirmative button), or -1.
  virtual int DefaultItem() const { return -1; }
  // Gives the keyboard focus to `field`, a child of this window, and takes it
  // from the items.
  void FocusField(QWidget* field);

  // Shows a dialog in the middle of its owner (of the screen when the owner
  // is hidden) and gives it the focus where the platform has one.
  void ShowOverOwner();

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  // Installed on a window's fields: one that takes the focus (a click on it)
  // takes it from the items. Subclasses that filter more pass the rest here.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply(const SkinAction& action);
  void UpdateCursor();
  void AnnounceFocus();
  // The visible, enabled children Tab stops at, in their focus order.
  std::vector<QWidget*> TabFields() const;

  std::vector<SkinItem> items_;
  SkinInteraction interaction_;
  PictureCache pictures_;
  bool inputBlocked_ = false;
  // While the window follows a drag itself: the pointer's offset from the
  // window's corner.
  std::optional<QPoint> dragOffset_;
  // The accessibility cache's ids of the items' interfaces, made on demand.
  friend class SkinWindowAccessible;
  std::vector<QAccessible::Id> accessibleIds_;
};

}  // namespace quorix::ui
