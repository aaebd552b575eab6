#pragma once
// The window tests wait for the executor's worker, whose reports reach the GUI
// thread through its event queue: run that queue, giving the worker real time
// too, until `done` holds or about five seconds have gone.

#include <QCoreApplication>
#include <QThread>

namespace quorix::test {

template <typename Pred>
bool ProcessEventsUntil(Pred done) {
  for (int i = 0; i < 5000 && !done(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return done();
}

}  // namespace quorix::test
