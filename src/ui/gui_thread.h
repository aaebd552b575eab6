#pragma once
// Device jobs report on the executor's worker thread; windows live on the GUI
// thread. OnGuiThread() hands a job's result (Job::Then) or its progress and
// end (DeviceJobCallbacks) over to the receiver's thread, so a window never
// reads or paints from the worker. A report that arrives after the receiver
// was destroyed is dropped.

#include <functional>
#include <utility>

#include <QObject>
#include <QPointer>

#include "session/device_executor.h"

namespace quorix::ui {

struct GuiJobHandlers {
  std::function<void(double fraction)> progress;  // optional
  std::function<void(const Outcome& outcome)> finished;
};

DeviceJobCallbacks OnGuiThread(QObject* receiver, GuiJobHandlers handlers);

// Runs `call` on the GUI thread, and only while `target` still exists.
void PostToGui(const QPointer<QObject>& target, std::function<void()> call);

// A continuation for Job::Then that runs `then` with a copy of the job's
// result on the receiver's thread:
//   session.Backup(file, apps).Then(OnGuiThread(this, [this](const Outcome& o) { ... }));
template <typename Then>
auto OnGuiThread(QObject* receiver, Then then) {
  return [target = QPointer<QObject>(receiver), then = std::move(then)](const auto& result) {
    PostToGui(target, [then, result] { then(result); });
  };
}

}  // namespace quorix::ui
