#include "ui/skin/skin_window.h"

#include "ui/skin/skin_accessible.h"

#include <algorithm>

#include <QAccessible>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace quorix::ui {
namespace {

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return false;
  }
}

}  // namespace

SkinWindow::SkinWindow(QSize size, QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);
  setFixedSize(size);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  InstallSkinAccessibility();
}

SkinWindow::~SkinWindow() {
  for (QAccessible::Id id : accessibleIds_) {
    if (id != 0) QAccessible::deleteAccessibleInterface(id);
  }
}

void SkinWindow::ActivateItem(int index) {
  if (inputBlocked_ || index < 0 || index >= static_cast<int>(items_.size())) return;
  if (items_[index].hidden || items_[index].disabled) return;
  OnItemActivated(index);
}

void SkinWindow::ItemsChanged() {
  interaction_.Reset(items_);
  UpdateCursor();
  update();
}

void SkinWindow::SetInputBlocked(bool blocked) {
  if (blocked == inputBlocked_) return;
  inputBlocked_ = blocked;
  if (blocked) {
    interaction_.Reset(items_);
    update();
  }
  UpdateCursor();
}

QImage SkinWindow::Render(qreal devicePixelRatio) {
  QImage image(size() * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintSkin(painter);
  return image;
}

bool SkinWindow::event(QEvent* event) {
  if (inputBlocked_ && IsInput(event->type())) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void SkinWindow::ShowOverOwner() {
  if (const QWidget* owner = parentWidget(); owner != nullptr && owner->isVisible()) {
    move(owner->frameGeometry().center() - rect().center());
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    raise();
    activateWindow();
  }
}

void SkinWindow::paintEvent(QPaintEvent* event) {
  // Qt's backing store is this window's off-screen surface: everything is
  // drawn into it and reaches the screen in one go, so nothing flickers, and
  // no second full-size copy is kept. Cleared first: the window's alpha is
  // its shape.
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(event->rect(), Qt::transparent);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintSkin(painter);
}

void SkinWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragOffset_) {
    if (event->buttons().testFlag(Qt::LeftButton)) {
      move(event->globalPosition().toPoint() - *dragOffset_);
      return;
    }
    dragOffset_.reset();  // the release went elsewhere
  }
  Apply(interaction_.Move(items_, event->position()));
}

void SkinWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const SkinAction action = interaction_.Press(items_, event->position());
  // Window managers without the move request (_NET_WM_MOVERESIZE) refuse
  // the system move: the window then follows the drag itself.
  if (action.startMove && (windowHandle() == nullptr || !windowHandle()->startSystemMove()))
    dragOffset_ = event->globalPosition().toPoint() - pos();
  Apply(action);
}

void SkinWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragOffset_.reset();
  Apply(interaction_.Release(items_, event->position()));
}

void SkinWindow::leaveEvent(QEvent*) { Apply(interaction_.Leave()); }

void SkinWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (interaction_.FocusIndex() < 0) {
        ActivateItem(DefaultItem());
        return;
      }
      Apply(interaction_.Key(items_, SkinKey::kActivate));
      return;
    case Qt::Key_Space:
      Apply(interaction_.Key(items_, SkinKey::kActivate));
      return;
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_Up:
      if (interaction_.FocusIndex() >= 0) {
        const bool up = event->key() == Qt::Key_Right || event->key() == Qt::Key_Up;
        OnItemArrow(interaction_.FocusIndex(), up ? 1 : -1);
      }
      return;
    case Qt::Key_Escape:
      if (!Dismiss()) QWidget::keyPressEvent(event);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void SkinWindow::closeEvent(QCloseEvent* event) {
  Dismiss();
  QWidget::closeEvent(event);
}

std::vector<QWidget*> SkinWindow::TabFields() const {
  std::vector<QWidget*> fields;
  for (QWidget* w = nextInFocusChain(); w != nullptr && w != this; w = w->nextInFocusChain()) {
    if (w->window() == this && w->isVisibleTo(this) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0)
      fields.push_back(w);
  }
  return fields;
}

void SkinWindow::FocusField(QWidget* field) {
  Apply(interaction_.ClearFocus());
  field->setFocus(Qt::TabFocusReason);
}

bool SkinWindow::focusNextPrevChild(bool next) {
  // One round: the fields, then the items. Where the focus is decides the
  // next stop: a field that has it, else the focused item.
  const std::vector<QWidget*> fields = TabFields();
  const int from = interaction_.FocusIndex();
  const auto inField = std::find(fields.begin(), fields.end(), focusWidget());
  if (from < 0 && inField != fields.end()) {
    const auto to = next ? inField + 1 : inField;
    if (next ? to != fields.end() : to != fields.begin()) {
      FocusField(next ? *to : *(to - 1));
      return true;
    }
  }
  const SkinAction action = interaction_.Key(items_, next ? SkinKey::kNext : SkinKey::kPrevious);
  const int to = interaction_.FocusIndex();
  // Walking off either end of the items goes on to the fields.
  const bool wrapped = from >= 0 && (next ? to <= from : to >= from);
  if (to < 0 || (wrapped && !fields.empty())) {
    if (fields.empty()) return QWidget::focusNextPrevChild(next);
    FocusField(next ? fields.front() : fields.back());
    return true;
  }
  Apply(action);
  setFocus(Qt::TabFocusReason);  // keys now go to the item, not a field
  AnnounceFocus();
  return true;
}

bool SkinWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched != this) Apply(interaction_.ClearFocus());
  return QWidget::eventFilter(watched, event);
}

void SkinWindow::Apply(const SkinAction& action) {
  UpdateCursor();
  if (action.repaint) update();
  if (action.activated >= 0) OnItemActivated(action.activated);
}

void SkinWindow::UpdateCursor() {
  if (inputBlocked_) {
    setCursor(Qt::BusyCursor);
  } else if (interaction_.HandCursor()) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
}

void SkinWindow::AnnounceFocus() {
  const int focus = interaction_.FocusIndex();
  if (focus < 0 || !QAccessible::isActive()) return;
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(this);
  QAccessibleInterface* item = window != nullptr ? window->child(focus) : nullptr;
  if (item == nullptr) return;
  QAccessibleEvent focused(item, QAccessible::Focus);
  QAccessible::updateAccessibility(&focused);
}

}  // namespace quorix::ui
