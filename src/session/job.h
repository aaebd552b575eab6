#pragma once
// A posted use case and the typed result it comes to.
//
// Every use case of the Session is posted to the one DeviceExecutor and
// returns a Job<T>: T is the value it produces (LightingConfig, the lift
// value), void for one that only says whether it worked. The command line
// waits for it: Wait() gives a JobResult<T> (below) and
// rethrows what the work threw, as if the caller had done the work itself. A
// window continues once it is done: Then() takes the continuation, which the
// window hands to its own thread (ui::OnGuiThread).
//
// The value travels inside the job's shared state, never through a variable
// of the caller's: a job may outlive the window that posted it, and what it
// produced is still there for whoever holds the handle.
//
// Threads: the work runs on the executor's worker. A continuation given
// before the job finished runs on the worker, right after the work (and its
// last progress report); one given after it finished runs at once on the
// calling thread. Either way it runs once, with the job's final result: a
// job cancelled before it ran comes to kCancelled, one whose work (or
// progress callback) threw to kInternalError. Every member may be used from
// any thread; copies of a Job share one job. The raw DeviceJob underneath
// stays inside: windows and their models hand out the Job.

#include <concepts>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "base/result.h"
#include "session/device_executor.h"

namespace quorix {

// A value that says itself whether it was done (LightingConfig, the restore's
// report: an `outcome` member beside what was found so far).
template <typename T>
concept CarriesOutcome = requires(T value) {
  { value.outcome } -> std::convertible_to<Outcome>;
};

namespace job_detail {
template <typename T>
struct ResultOf {
  using Type = Result<T>;
};
template <>
struct ResultOf<void> {
  using Type = Outcome;
};
template <CarriesOutcome T>
struct ResultOf<T> {
  using Type = T;
};
}  // namespace job_detail

// What a job of value T comes to: an Outcome when there is no value, the
// value itself when it carries its outcome, a Result<T> otherwise.
template <typename T>
using JobResult = typename job_detail::ResultOf<T>::Type;

namespace job_detail {

inline Outcome OutcomeOf(const Outcome& outcome) { return outcome; }
template <typename T>
Outcome OutcomeOf(const Result<T>& result) {
  return result.outcome();
}
template <CarriesOutcome T>
Outcome OutcomeOf(const T& value) {
  return value.outcome;
}

// The result of a job that came to `outcome` without producing one (it was
// cancelled before it ran, or it threw).
template <typename R>
R Failed(const Outcome& outcome) {
  if constexpr (CarriesOutcome<R>) {
    R value{};
    value.outcome = outcome;
    return value;
  } else {
    return R(outcome);
  }
}

// The result and the continuation of one job, shared by its handles and by
// the callbacks the executor runs.
template <typename T>
class State {
 public:
  using Next = std::function<void(const JobResult<T>&)>;

  // Worker thread: what the work produced.
  void Keep(JobResult<T> produced) {
    std::lock_guard<std::mutex> lock(mutex_);
    produced_ = std::move(produced);
  }
  // Worker thread, once: the job finished with `outcome`. What the work
  // produced is the result; a job whose work never returned (cancelled
  // before it ran, or it threw) comes to `outcome` alone.
  void Settle(const Outcome& outcome) {
    Next next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (produced_) {
        settled_ = std::move(*produced_);
      } else {
        settled_ = Failed<JobResult<T>>(outcome);
      }
      produced_.reset();
      next = std::move(next_);
      next_ = nullptr;
    }
    if (next) next(*settled_);
  }
  void Then(Next next) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!settled_) {
        next_ = std::move(next);
        return;
      }
    }
    next(*settled_);  // settled_ never changes once set
  }
  std::optional<JobResult<T>> Settled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settled_;
  }

 private:
  mutable std::mutex mutex_;
  std::optional<JobResult<T>> produced_;  // guarded by mutex_
  std::optional<JobResult<T>> settled_;   // guarded by mutex_; set once
  Next next_;                             // guarded by mutex_
};

}  // namespace job_detail

template <typename T>
class Job {
 public:
  using Next = std::function<void(const JobResult<T>&)>;
  // The work of a job: what it produced, on the worker thread.
  using Work = std::function<JobResult<T>(JobContext&)>;

  // Posts `work` to `executor`. `progress` follows the job's progress on the
  // worker (DeviceJob::Progress: clamped to 0..1, never backwards, silent
  // once the job was asked to stop); the continuation comes after its last
  // report.
  static Job Post(DeviceExecutor& executor, std::string name, Work work,
                  std::function<void(double fraction)> progress = {}) {
    auto state = std::make_shared<job_detail::State<T>>();
    DeviceJobFn run = [state, work = std::move(work)](JobContext& context) {
      JobResult<T> produced = work(context);
      const Outcome outcome = job_detail::OutcomeOf(produced);
      state->Keep(std::move(produced));
      return outcome;
    };
    DeviceJobCallbacks callbacks;
    if (progress) callbacks.onProgress = [progress = std::move(progress)](DeviceJob&, double f) { progress(f); };
    callbacks.onFinished = [state](DeviceJob& job) {
      state->Settle(job.Result().value_or(Outcome(Failure::kInternalError)));
    };
    DeviceJobHandle job = executor.Post(std::move(name), std::move(run), std::move(callbacks));
    return Job(std::move(job), std::move(state));
  }

  // The job underneath: its name, progress, Finished().
  const DeviceJob& Device() const { return *job_; }
  // See DeviceJob::Cancel: one not started never runs, a running one stops
  // before its next exchange.
  void Cancel() const { job_->Cancel(); }
  bool Finished() const { return job_->Finished(); }

  // Blocks until the job finished (never from the worker thread) and rethrows
  // what its work threw.
  JobResult<T> Wait() const {
    const Outcome outcome = job_->Wait();
    if (const std::exception_ptr thrown = job_->Thrown()) std::rethrow_exception(thrown);
    if (std::optional<JobResult<T>> settled = state_->Settled()) return std::move(*settled);
    return job_detail::Failed<JobResult<T>>(outcome);
  }
  // The job's result once it has finished, without waiting; empty before.
  std::optional<JobResult<T>> Result() const { return state_->Settled(); }

  // `next` runs once with the job's result (see the threads above). One
  // continuation per job: a second Then replaces a first that has not run.
  const Job& Then(Next next) const {
    state_->Then(std::move(next));
    return *this;
  }

 private:
  Job(DeviceJobHandle job, std::shared_ptr<job_detail::State<T>> state)
      : job_(std::move(job)), state_(std::move(state)) {}

  DeviceJobHandle job_;
  std::shared_ptr<job_detail::State<T>> state_;
};

}  // namespace quorix
