#include "session/device_executor.h"

#include <algorithm>
#include <utility>

namespace quorix {

void JobContext::Progress(double fraction) { job_.ReportProgress(fraction); }

bool DeviceJob::Finished() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return result_.has_value();
}

std::optional<Outcome> DeviceJob::Result() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return result_;
}

Outcome DeviceJob::Wait() const {
  std::unique_lock<std::mutex> lock(mutex_);
  settled_.wait(lock, [this] { return callbackDone_; });
  return *result_;
}

void DeviceJob::ReportProgress(double fraction) {
  if (!(fraction == fraction)) return;  // NaN says nothing about how far it got
  // Once stopped, an operation skips its remaining exchanges but may still
  // count through them: the bar stays where the work stopped.
  if (stop_.stop_requested()) return;
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (fraction <= progress_.load()) return;
  progress_.store(fraction);
  if (callbacks_.onProgress) callbacks_.onProgress(*this, fraction);
}

void DeviceJob::Run() {
  // A job cancelled while it waited in the queue never touches the mouse.
  if (stop_.stop_requested()) {
    Finish(Failure::kCancelled);
    return;
  }
  JobContext context(*this, stop_.get_token());
  Outcome outcome;
  try {
    if (run_) outcome = run_(context);
  } catch (...) {
    // Whatever the job got to stays on the mouse; the next job starts its own
    // operation, so nothing of this one's lingers in the link.
    KeepThrown(std::current_exception());
    outcome = Failure::kInternalError;
  }
  Finish(outcome);
}

void DeviceJob::KeepThrown(std::exception_ptr thrown) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!thrown_) thrown_ = std::move(thrown);
}

std::exception_ptr DeviceJob::Thrown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return thrown_;
}

void DeviceJob::Finish(Outcome outcome) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    result_ = outcome;
  }
  try {
    if (callbacks_.onFinished) callbacks_.onFinished(*this);
  } catch (...) {
    KeepThrown(std::current_exception());
    std::lock_guard<std::mutex> lock(mutex_);
    result_ = Outcome(Failure::kInternalError);
  }
  // What the job and its callbacks captured may hold this job's own handle:
  // dropping them here breaks that cycle, and frees what the job held (a
  // backup image, say) as soon as it is done.
  run_ = nullptr;
  callbacks_ = {};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callbackDone_ = true;
  }
  settled_.notify_all();
}

DeviceExecutor::DeviceExecutor() : worker_([this](std::stop_token stop) { Work(std::move(stop)); }) {}

DeviceExecutor::~DeviceExecutor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
    for (const DeviceJobHandle& job : queue_) job->Cancel();
    if (running_) running_->Cancel();
  }
  // The worker finishes what is queued (all cancelled now, so none of it
  // reaches the mouse) and then returns.
  worker_.request_stop();
  worker_.join();
}

DeviceJobHandle DeviceExecutor::Post(std::string name, DeviceJobFn run, DeviceJobCallbacks callbacks) {
  auto job = std::make_shared<DeviceJob>(std::move(name), std::move(run), std::move(callbacks));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closing_) {
      queue_.push_back(job);
      wake_.notify_one();
      return job;
    }
  }
  job->Cancel();
  job->Run();
  return job;
}

void DeviceExecutor::Work(std::stop_token stop) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // Asleep while there is nothing to do; a stop request wakes it too.
    wake_.wait(lock, stop, [this] { return !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, and everything posted has finished
    running_ = std::move(queue_.front());
    queue_.pop_front();
    const DeviceJobHandle job = running_;
    lock.unlock();
    job->Run();
    lock.lock();
    running_.reset();
  }
}

}  // namespace quorix
