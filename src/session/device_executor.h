#pragma once
// Runs device work one job at a time, in the order it was posted, on one
// worker thread.
//
// The mouse understands one request sequence at a time: a read-modify-write
// of the settings byte, a chunked restore or a macro store falls apart when
// another sequence's requests land in the middle of it, and a DeviceLink
// tracks one running operation only. Rather than asking every caller to
// remember that, everything that talks to the mouse is posted here, so the
// rule holds by construction: the CLI posts a use case and waits for it, a
// window posts it and continues once it is done (both through Job, job.h),
// the live colour sender posts one send per period.
//
// A job or callback that throws does not take the program down with it: the
// worker catches what was thrown, the job finishes with kInternalError (the
// exception kept in Thrown()), and the jobs behind it run as usual. A caller
// that waits for a job and wants the exception passes it on itself
// (Job::Wait does).
//
// A job receives a JobContext: its stop token goes into the job's outermost
// DeviceOperation (so a cancel ends the sequence before its next exchange),
// and Progress() reports how far it got. Posting returns the job's shared
// state, which outlives the executor.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "device/outcome.h"

namespace quorix {

class DeviceJob;

// What a running job is handed.
class JobContext {
 public:
  JobContext(DeviceJob& job, std::stop_token stop) : job_(job), stop_(std::move(stop)) {}

  // Requested when the job is cancelled or the executor is destroyed. Pass it
  // to the job's outermost DeviceOperation.
  std::stop_token StopToken() const { return stop_; }
  bool StopRequested() const { return stop_.stop_requested(); }
  // How far the job got, 0..1. Values are clamped to 0..1, and a value below
  // the last one kept is ignored: a progress bar never runs backwards. Once
  // the job has been asked to stop, reports are ignored.
  void Progress(double fraction);

 private:
  DeviceJob& job_;
  std::stop_token stop_;
};

using DeviceJobFn = std::function<Outcome(JobContext&)>;

// Both callbacks run on the executor's worker thread, never on the thread
// that posted: a front end with a thread of its own (a window's event loop)
// forwards them there itself. They must not block on other jobs of the same
// executor (Wait() on a later job would never return).
// A callback that throws fails its job: an onProgress throw ends the job's
// work there (like a throw of the job), an onFinished throw turns the result
// into kInternalError once the callback is over.

struct DeviceJobCallbacks {
  // After each increase of the job's progress.
  std::function<void(DeviceJob&, double fraction)> onProgress;
  // Once, when the job has finished (Result() is set), also for a job that was
  // cancelled before it ran.
  std::function<void(DeviceJob&)> onFinished;
};

// One posted job's shared state. Every member may be used from any thread.
class DeviceJob {
 public:
  DeviceJob(std::string name, DeviceJobFn run, DeviceJobCallbacks callbacks)
      : name_(std::move(name)), run_(std::move(run)), callbacks_(std::move(callbacks)) {}
  DeviceJob(const DeviceJob&) = delete;
  DeviceJob& operator=(const DeviceJob&) = delete;

  const std::string& Name() const { return name_; }
  double Progress() const { return progress_.load(); }
  bool Finished() const;
  // The job's outcome once it has finished; empty before.
  std::optional<Outcome> Result() const;
  // What the job or one of its callbacks threw (the first throw); empty when
  // nothing did. Set before Wait() returns.
  std::exception_ptr Thrown() const;

  // A job that has not started never runs and finishes with kCancelled; a
  // running one is asked to stop (its operation ends before its next
  // exchange, with kCancelled unless it had already done everything). No
  // effect on a finished job.
  void Cancel() { stop_.request_stop(); }
  // Blocks until the job has finished and its completion callback has
  // returned. Never call it from the worker thread (a job or a callback) for
  // a job that has not finished: the worker would wait for itself.
  Outcome Wait() const;

 private:
  friend class DeviceExecutor;
  friend class JobContext;

  // Worker thread only.
  void Run();
  void Finish(Outcome outcome);
  void ReportProgress(double fraction);
  void KeepThrown(std::exception_ptr thrown);

  const std::string name_;
  DeviceJobFn run_;
  DeviceJobCallbacks callbacks_;
  std::stop_source stop_;
  std::atomic<double> progress_{0.0};
  mutable std::mutex mutex_;
  mutable std::condition_variable settled_;
  std::optional<Outcome> result_;  // guarded by mutex_
  std::exception_ptr thrown_;      // guarded by mutex_
  bool callbackDone_ = false;      // guarded by mutex_: Wait() returns after onFinished
};

using DeviceJobHandle = std::shared_ptr<DeviceJob>;

class DeviceExecutor {
 public:
  DeviceExecutor();
  // Cancels every pending job (each still finishes, with kCancelled, and its
  // completion callback runs), asks the running one to stop, and joins the
  // worker once it has finished.
  ~DeviceExecutor();
  DeviceExecutor(const DeviceExecutor&) = delete;
  DeviceExecutor& operator=(const DeviceExecutor&) = delete;

  // Queues `run` behind every job posted before it. Safe from any thread,
  // including from a job or a callback (the new job then runs after the
  // current one). A job posted while the executor is being destroyed never
  // runs: it finishes with kCancelled at once, on the posting thread.
  DeviceJobHandle Post(std::string name, DeviceJobFn run, DeviceJobCallbacks callbacks = {});

 private:
  void Work(std::stop_token stop);

  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<DeviceJobHandle> queue_;  // guarded by mutex_
  DeviceJobHandle running_;            // guarded by mutex_
  bool closing_ = false;               // guarded by mutex_
  std::jthread worker_;                // last: started once everything above exists
};

}  // namespace quorix
