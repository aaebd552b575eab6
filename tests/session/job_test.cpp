#include "session/job.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <optional>
#include <stdexcept>
#include <thread>

namespace quorix {
namespace {

// How a job's work ends, and what its waiter and its continuation get.
enum class Ends { kValue, kFailure, kCancelledBeforeRun, kThrows, kCallbackThrows };

struct Reading {  // a value that carries its own outcome, as a device read does
  Outcome outcome;
  int value = 0;
};

TEST(Job, WaitAndThenGetTheJobsOwnResultHoweverItEnds) {
  const struct {
    Ends ends;
    Failure failure;
    bool waitThrows;
  } cases[] = {
      {Ends::kValue, Failure::kNone, false},
      {Ends::kFailure, Failure::kBadAnswers, false},
      {Ends::kCancelledBeforeRun, Failure::kCancelled, false},
      {Ends::kThrows, Failure::kInternalError, true},
      {Ends::kCallbackThrows, Failure::kInternalError, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.ends));
    DeviceExecutor executor;
    std::promise<void> gate;
    executor.Post("blocker", [open = gate.get_future().share()](JobContext&) {
      open.wait();
      return Outcome();
    });
    std::function<void(double)> progress;
    if (c.ends == Ends::kCallbackThrows) progress = [](double) { throw std::runtime_error("callback"); };
    auto work = [&c](JobContext& context) -> Result<int> {
      context.Progress(0.5);
      if (c.ends == Ends::kThrows) throw std::runtime_error("work");
      if (c.ends == Ends::kFailure) return Failure::kBadAnswers;
      return 42;
    };
    const Job<int> job = Job<int>::Post(executor, "typed", work, progress);
    const Job<Reading> reading = Job<Reading>::Post(executor, "reading", [&c](JobContext&) {
      if (c.ends == Ends::kThrows) throw std::runtime_error("work");
      return Reading{c.ends == Ends::kFailure ? Outcome(Failure::kBadAnswers) : Outcome(), 7};
    });
    if (c.ends == Ends::kCancelledBeforeRun) {
      job.Cancel();
      reading.Cancel();
    }
    // Given before the end: runs on the worker once the job is over.
    std::optional<Result<int>> early;
    std::thread::id earlyThread;
    job.Then([&](const Result<int>& result) {
      early = result;
      earlyThread = std::this_thread::get_id();
    });
    EXPECT_FALSE(job.Result().has_value()) << "not finished yet";
    gate.set_value();

    if (c.waitThrows) {
      EXPECT_THROW(job.Wait(), std::runtime_error);
    } else {
      const Result<int> waited = job.Wait();
      EXPECT_EQ(waited.failure(), c.failure);
      if (waited) {
        EXPECT_EQ(*waited, 42);
      }
    }
    ASSERT_TRUE(early.has_value());
    EXPECT_EQ(early->failure(), c.failure);
    EXPECT_NE(earlyThread, std::this_thread::get_id());
    // Given after the end: runs at once, with the same result.
    std::optional<Result<int>> late;
    job.Then([&](const Result<int>& result) { late = result; });
    ASSERT_TRUE(late.has_value());
    EXPECT_EQ(late->failure(), c.failure);
    // Looked at without waiting: the same result.
    ASSERT_TRUE(job.Result().has_value());
    EXPECT_EQ(job.Result()->failure(), c.failure);

    if (c.ends != Ends::kThrows) {
      const Reading read = reading.Wait();
      const Failure readFailure = c.ends == Ends::kCallbackThrows ? Failure::kNone : c.failure;
      EXPECT_EQ(read.outcome.failure, readFailure);
      EXPECT_EQ(read.value, c.ends == Ends::kCancelledBeforeRun ? 0 : 7);  // a failed read keeps what it found
    }
  }
}

}  // namespace
}  // namespace quorix
