#pragma once
// Device jobs report on the executor's worker thread; windows live on the GUI
// thread. OnGuiThread() turns a window's progress and completion handlers into
// job callbacks that hand each report over to the receiver's thread, so a
// window never reads or paints from the worker. A report that arrives after
// the receiver was destroyed is dropped.

#include <functional>

#include <QObject>

#include "device/outcome.h"
#include "session/device_executor.h"

namespace quorix::ui {

struct GuiJobHandlers {
  std::function<void(double fraction)> progress;  // optional
  std::function<void(const Outcome& outcome)> finished;
};

DeviceJobCallbacks OnGuiThread(QObject* receiver, GuiJobHandlers handlers);

}  // namespace quorix::ui
