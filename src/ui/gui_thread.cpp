#include "ui/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <memory>

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

DeviceJobCallbacks OnGuiThread(QObject* receiver, GuiJobHandlers handlers) {
  auto shared = std::make_shared<GuiJobHandlers>(std::move(handlers));
  const QPointer<QObject> target(receiver);
  DeviceJobCallbacks callbacks;
  if (shared->progress) {
    callbacks.onProgress = [shared, target](DeviceJob&, double fraction) {
      PostToGui(target, [shared, fraction] { shared->progress(fraction); });
    };
  }
  callbacks.onFinished = [shared, target](DeviceJob& job) {
    const Outcome outcome = job.Result().value_or(Outcome{});
    PostToGui(target, [shared, outcome] {
      if (shared->finished) shared->finished(outcome);
    });
  };
  return callbacks;
}

}  // namespace quorix::ui
