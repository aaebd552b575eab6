#include "ui/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <mutex>

namespace quorix::ui {
namespace {

// Qt's event queue already orders a posted call after its post, but with
// locks inside the Qt libraries, which ThreadSanitizer does not see. This
// lock is held while the call is handed to the queue and taken again before
// it runs, so the hand-over is visible in our own code and a real race in a
// continuation still shows.
std::mutex& HandOver() {
  static std::mutex handOver;
  return handOver;
}

}  // namespace

// Posts `call` to the application object (it outlives every window) and runs
// it there only while `target` still exists: the pointer is only ever read on
// the GUI thread, where the receiver is destroyed.
void PostToGui(const QPointer<QObject>& target, std::function<void()> call) {
  std::lock_guard<std::mutex> posting(HandOver());
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [target, call = std::move(call)] {
        { std::lock_guard<std::mutex> posted(HandOver()); }
        if (target) call();
      },
      Qt::QueuedConnection);
}

}  // namespace quorix::ui
