#pragma once
// A window's control as a screen reader finds it: by the name the user reads.
// Window tests press it through its accessible press action, and read its
// state (checked, disabled) from the same interface.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QString>
#include <QWidget>

namespace quorix::test {

// The control named `name` (the first whose name starts with it when
// `prefix`), or null.
inline QAccessibleInterface* AccessibleItem(QWidget& window, const QString& name, bool prefix = false) {
  QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&window);
  for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
    QAccessibleInterface* child = root->child(i);
    const QString text = child != nullptr ? child->text(QAccessible::Name) : QString();
    if (prefix ? text.startsWith(name) : text == name) return child;
  }
  return nullptr;
}

// Presses the control named `name`; false when there is none.
inline bool PressAccessible(QWidget& window, const QString& name, bool prefix = false) {
  QAccessibleInterface* item = AccessibleItem(window, name, prefix);
  if (item == nullptr || item->actionInterface() == nullptr) return false;
  item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  return true;
}

}  // namespace quorix::test
