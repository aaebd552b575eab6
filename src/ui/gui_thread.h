#pragma once
// Device jobs report on the executor's worker thread; windows live on the GUI
// thread. OnGuiThread() hands a job's result (Job::Then) or its progress (the
// progress function a use case takes) over to the receiver's thread, so a
// window never reads or paints from the worker. A report that arrives after
// the receiver was destroyed is dropped.

#include <functional>
#include <utility>

#include <QObject>
#include <QPointer>

namespace quorix::ui {

// Runs `call` on the GUI thread, and only while `target` still exists.
void PostToGui(const QPointer<QObject>& target, std::function<void()> call);

// A continuation for Job::Then (or a progress function) that runs `then`
// with a copy of the job's result (or of the fraction) on the receiver's
// thread, in the order the worker reported them:
//   session.Backup(file, apps).Then(OnGuiThread(this, [this](const Outcome& o) { ... }));
template <typename Then>
auto OnGuiThread(QObject* receiver, Then then) {
  return [target = QPointer<QObject>(receiver), then = std::move(then)](const auto& result) {
    PostToGui(target, [then, result] { then(result); });
  };
}

}  // namespace quorix::ui
