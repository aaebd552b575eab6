#pragma once
// Presses the control a screen reader names `name` in `window`, as its user
// would; a missing control fails the test.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QString>
#include <QWidget>

namespace quorix::test {

inline void PressNamed(QWidget& window, const QString& name) {
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&window);
  for (int i = 0; tree != nullptr && i < tree->childCount(); ++i)
    if (QAccessibleInterface* item = tree->child(i); item->text(QAccessible::Name) == name) {
      item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
      return;
    }
  ADD_FAILURE() << "no control named " << name.toStdString();
}

}  // namespace quorix::test
