#include "ui/skin/skin_accessible.h"

#include <QPointer>

#include "ui/skin/skin_window.h"

namespace quorix::ui {
namespace {

// One item of a window. It holds the window weakly: the accessibility cache
// may outlive it for a moment.
class SkinItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  SkinItemAccessible(SkinWindow* window, int index) : window_(window), index_(index) {}

  bool isValid() const override { return window_ != nullptr && index_ < static_cast<int>(window_->Items().size()); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return window_ ? QAccessible::queryAccessibleInterface(window_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text t) const override {
    return isValid() && t == QAccessible::Name ? Item().label : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    const QRect local = Item().rect.toAlignedRect();
    return QRect(window_->mapToGlobal(local.topLeft()), local.size());
  }

  QAccessible::Role role() const override {
    if (!isValid()) return QAccessible::Button;
    if (Item().kind == kSkinItemRadio) return QAccessible::RadioButton;
    return Item().kind == kSkinItemSwitch ? QAccessible::CheckBox : QAccessible::Button;
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    const SkinItem& item = Item();
    s.invisible = item.hidden;
    s.disabled = item.disabled || window_->InputBlocked();
    s.focusable = !item.hidden && !item.disabled;
    s.focused = window_->Interaction().FocusIndex() == index_;
    s.pressed = window_->Interaction().PressIndex() == index_;
    s.hotTracked = window_->Interaction().HoverIndex() == index_;
    s.checkable = item.kind == kSkinItemRadio || item.kind == kSkinItemSwitch;
    s.checked = item.selected;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid()) window_->ActivateItem(index_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  const SkinItem& Item() const { return window_->Items()[index_]; }

  QPointer<SkinWindow> window_;
  int index_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  auto* window = qobject_cast<SkinWindow*>(object);
  return window != nullptr ? new SkinWindowAccessible(window) : nullptr;
}

}  // namespace

SkinWindowAccessible::SkinWindowAccessible(SkinWindow* window) : QAccessibleWidget(window, QAccessible::Dialog) {}

SkinWindow* SkinWindowAccessible::Window() const { return static_cast<SkinWindow*>(widget()); }

int SkinWindowAccessible::childCount() const { return static_cast<int>(Window()->Items().size()); }

QAccessibleInterface* SkinWindowAccessible::child(int index) const {
  SkinWindow* window = Window();
  if (index < 0 || index >= childCount()) return nullptr;
  auto& ids = window->accessibleIds_;
  if (ids.size() <= static_cast<size_t>(index)) ids.resize(index + 1, 0);
  if (ids[index] == 0) ids[index] = QAccessible::registerAccessibleInterface(new SkinItemAccessible(window, index));
  return QAccessible::accessibleInterface(ids[index]);
}

int SkinWindowAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto& ids = Window()->accessibleIds_;
  const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
  for (size_t i = 0; i < ids.size(); ++i) {
    if (ids[i] != 0 && ids[i] == id) return static_cast<int>(i);
  }
  return -1;
}

QAccessibleInterface* SkinWindowAccessible::focusChild() const {
  const int focus = Window()->Interaction().FocusIndex();
  return focus >= 0 ? child(focus) : nullptr;
}

QAccessibleInterface* SkinWindowAccessible::childAt(int x, int y) const {
  const int hit = HitTest(Window()->Items(), Window()->mapFromGlobal(QPoint(x, y)));
  return hit >= 0 ? child(hit) : nullptr;
}

void InstallSkinAccessibility() {
  static const bool once = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)once;
}

}  // namespace quorix::ui
