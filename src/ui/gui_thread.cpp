#include "ui/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

namespace quorix::ui {

// Posts `call` to the application object (it outlives every window) and runs
// it there only while `target` still exists: the pointer is only ever read on
// the GUI thread, where the receiver is destroyed.
void PostToGui(const QPointer<QObject>& target, std::function<void()> call) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [target, call = std::move(call)] {
        if (target) call();
      },
      Qt::QueuedConnection);
}

}  // namespace quorix::ui
