#include "ui/gui_thread.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QThread>

#include <memory>
#include <optional>
#include <vector>

#include "process_events.h"
#include "session/job.h"

namespace quorix::ui {
namespace {

// Spins the GUI thread's event loop until `done` or a generous bound of
// rounds: the executor's worker hands its reports over asynchronously.
using quorix::test::ProcessEventsUntil;

TEST(GuiThread, ReportsArriveOnTheGuiThreadAndNotAfterTheReceiverIsGone) {
  DeviceExecutor executor;
  QThread* const gui = QThread::currentThread();

  QObject receiver;
  std::vector<double> progress;
  std::optional<Outcome> result;
  bool allOnGui = true;
  const Job<void> job = Job<void>::Post(
      executor, "two steps",
      [](JobContext& ctx) {
        ctx.Progress(0.5);
        ctx.Progress(1.0);
        return Outcome{Failure::kStoppedAnswering};
      },
      OnGuiThread(&receiver, [&](double f) {
        progress.push_back(f);
        allOnGui = allOnGui && QThread::currentThread() == gui;
      }));
  job.Then(OnGuiThread(&receiver, [&](const Outcome& o) {
    result = o;
    allOnGui = allOnGui && QThread::currentThread() == gui;
  }));
  job.Wait();
  ASSERT_TRUE(ProcessEventsUntil([&] { return result.has_value(); }));
  EXPECT_EQ(progress, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(*result, Outcome{Failure::kStoppedAnswering});
  EXPECT_TRUE(allOnGui);

  bool called = false;
  auto gone = std::make_unique<QObject>();
  const Job<void> late = Job<void>::Post(executor, "late", [](JobContext&) { return Outcome{}; });
  late.Then(OnGuiThread(gone.get(), [&](const Outcome&) { called = true; }));
  late.Wait();
  gone.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace quorix::ui
