#include "session/device_executor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <latch>
#include <limits>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "device/commands.h"
#include "settings/backup_restore.h"
#include "support/sim_world.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

using test::SimWorld;

// Reads kReads single bytes at 0x100 * (id + 1) + i, one exchange each, so
// that every request names the job (address high byte) and its step (low byte).
constexpr int kReads = 8;
Outcome ReadJob(SimWorld& world, JobContext& context, int id) {
  DeviceOperation operation(world.link, context.StopToken());
  for (int i = 0; i < kReads; ++i) {
    ReadMemoryByte(world.link, world.path, 0x100 * (id + 1) + i, false);
    std::this_thread::yield();  // invites the other thread's jobs in, were they able to run
  }
  return operation.Result();
}

TEST(DeviceExecutor, JobsPostedFromTwoThreadsRunInOrderWithoutInterleaving) {
  SimWorld world;
  constexpr int kJobsPerThread = 4;
  std::vector<DeviceJobHandle> jobs(2 * kJobsPerThread);
  {
    DeviceExecutor executor;
    std::latch start(2);
    auto post = [&](int thread) {
      start.arrive_and_wait();
      for (int k = 0; k < kJobsPerThread; ++k) {
        const int id = thread * kJobsPerThread + k;
        jobs[static_cast<size_t>(id)] =
            executor.Post("read", [&world, id](JobContext& context) { return ReadJob(world, context, id); });
      }
    };
    std::jthread first(post, 0), second(post, 1);
    first.join();
    second.join();
    for (const DeviceJobHandle& job : jobs) EXPECT_EQ(job->Wait(), Outcome());
  }

  const auto requests = world.Requests();
  ASSERT_EQ(requests.size(), jobs.size() * kReads);
  std::vector<int> order;  // the job ids in the order their blocks appear
  for (size_t block = 0; block < jobs.size(); ++block) {
    const int id = requests[block * kReads][3] - 1;
    order.push_back(id);
    for (int i = 0; i < kReads; ++i) {
      const auto& request = requests[block * kReads + static_cast<size_t>(i)];
      EXPECT_EQ(request[1], 0x02);
      EXPECT_EQ(request[3], id + 1) << "request " << block * kReads + i << " belongs to another job";
      EXPECT_EQ(request[2], i);
    }
  }
  // Each thread's jobs ran in the order that thread posted them.
  for (int thread = 0; thread < 2; ++thread) {
    std::vector<int> ran;
    for (int id : order)
      if (id / kJobsPerThread == thread) ran.push_back(id);
    EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end())) << "thread " << thread;
    EXPECT_EQ(ran.size(), static_cast<size_t>(kJobsPerThread));
  }
}

TEST(DeviceExecutor, ProgressOnlyRisesAndBothCallbacksRunOnTheWorker) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> reported = {0.0, 0.2, 0.1, nan, 0.5, 0.5, -1.0, 1.5, 0.9};
  const std::vector<double> kept = {0.2, 0.5, 1.0};

  DeviceExecutor executor;
  std::thread::id jobThread, progressThread, finishedThread;
  std::vector<double> seen;
  std::optional<Outcome> resultInCallback;
  DeviceJobCallbacks callbacks;
  callbacks.onProgress = [&](DeviceJob& job, double fraction) {
    progressThread = std::this_thread::get_id();
    EXPECT_EQ(job.Progress(), fraction);
    seen.push_back(fraction);
  };
  callbacks.onFinished = [&](DeviceJob& job) {
    finishedThread = std::this_thread::get_id();
    resultInCallback = job.Result();
  };
  DeviceJobHandle job = executor.Post(
      "progress",
      [&](JobContext& context) {
        jobThread = std::this_thread::get_id();
        for (double fraction : reported) context.Progress(fraction);
        return Outcome(Failure::kLackOfSpace);
      },
      callbacks);

  EXPECT_EQ(job->Wait(), Outcome(Failure::kLackOfSpace));
  EXPECT_TRUE(job->Finished());
  EXPECT_EQ(job->Name(), "progress");
  EXPECT_EQ(seen, kept);
  EXPECT_EQ(job->Progress(), 1.0);
  EXPECT_EQ(resultInCallback, Outcome(Failure::kLackOfSpace));
  EXPECT_NE(jobThread, std::this_thread::get_id());
  EXPECT_EQ(progressThread, jobThread);
  EXPECT_EQ(finishedThread, jobThread);
}

TEST(DeviceExecutor, AThrowFailsOnlyItsJobAndKeepsTheException) {
  enum class Where { kJob, kProgress, kFinished };
  const struct {
    const char* name;
    Where where;
  } cases[] = {{"job", Where::kJob}, {"progress callback", Where::kProgress}, {"finished callback", Where::kFinished}};
  DeviceExecutor executor;
  for (const auto& c : cases) {
    std::atomic<bool> workedOn{false};
    DeviceJobCallbacks callbacks;
    callbacks.onProgress = [&c](DeviceJob&, double) {
      if (c.where == Where::kProgress) throw std::runtime_error(c.name);
    };
    callbacks.onFinished = [&c](DeviceJob&) {
      if (c.where == Where::kFinished) throw std::runtime_error(c.name);
    };
    DeviceJobHandle job = executor.Post(
        c.name,
        [&](JobContext& context) {
          if (c.where == Where::kJob) throw std::runtime_error(c.name);
          context.Progress(0.5);
          workedOn = true;  // a progress callback that threw ended the job before here
          return Outcome();
        },
        callbacks);
    EXPECT_EQ(job->Wait(), Outcome(Failure::kInternalError)) << c.name;
    EXPECT_EQ(workedOn, c.where == Where::kFinished) << c.name;
    ASSERT_TRUE(job->Thrown()) << c.name;
    try {
      std::rethrow_exception(job->Thrown());
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.name);
    }
    // The worker lives on for the next job.
    EXPECT_EQ(executor.Post("after", [](JobContext&) { return Outcome(Failure::kDeclined); })->Wait(),
              Outcome(Failure::kDeclined))
        << c.name;
  }
  EXPECT_FALSE(executor.Post("quiet", [](JobContext&) { return Outcome(); })->Thrown());
}

TEST(DeviceExecutor, CancelledPendingJobNeverRunsAndTheQueueGoesOn) {
  DeviceExecutor executor;
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  std::atomic<int> ranCancelled{0}, finishedCancelled{0};
  DeviceJobHandle blocker = executor.Post("blocker", [open](JobContext&) {
    open.wait();
    return Outcome();
  });
  DeviceJobCallbacks callbacks;
  callbacks.onFinished = [&](DeviceJob& job) {
    EXPECT_EQ(job.Result(), Outcome(Failure::kCancelled));
    ++finishedCancelled;
  };
  DeviceJobHandle cancelled = executor.Post("cancelled", [&](JobContext&) {
    ++ranCancelled;
    return Outcome();
  }, callbacks);
  DeviceJobHandle after = executor.Post("after", [](JobContext& context) {
    return context.StopRequested() ? Outcome(Failure::kCancelled) : Outcome();
  });
  cancelled->Cancel();
  EXPECT_FALSE(cancelled->Finished());  // it finishes in its turn, behind the blocker
  gate.set_value();

  EXPECT_EQ(blocker->Wait(), Outcome());
  EXPECT_EQ(cancelled->Wait(), Outcome(Failure::kCancelled));
  EXPECT_EQ(after->Wait(), Outcome());
  EXPECT_EQ(ranCancelled, 0);
  EXPECT_EQ(finishedCancelled, 1);
}

TEST(DeviceExecutor, CancelledRestoreStopsBetweenExchangesAndRunningItAgainRepairs) {
  SimWorld world;
  SettingsState state;
  ASSERT_TRUE(LoadSettings(world.link, state));
  test::TempDir dir;
  std::vector<uint8_t>& memory = world.Mouse().Memory();
  const std::vector<uint8_t> original = memory;
  for (size_t a = 5000; a < 5200; ++a) memory[a] = static_cast<uint8_t>(a * 7);
  const std::vector<uint8_t> modified = memory;
  const std::string file = dir.Path("mouse.bf");
  ASSERT_TRUE(SaveBackup(world.link, state, file, {}, {}));
  Result<std::vector<uint8_t>> read = ReadBackupFileBytes(file);
  ASSERT_TRUE(read) << read.detail();
  std::vector<uint8_t> bytes = std::move(read).value();
  memory = original;
  world.ClearTraffic();

  DeviceExecutor executor;
  auto restore = [&](double cancelAt) {
    DeviceJobCallbacks callbacks;
    callbacks.onProgress = [cancelAt](DeviceJob& job, double fraction) {
      if (fraction >= cancelAt) job.Cancel();
    };
    return executor.Post("restore", [&](JobContext& context) {
      DeviceOperation operation(world.link, context.StopToken());
      RestoreOptions options;
      options.progress = [&context](double fraction) { context.Progress(fraction); };
      ProfileApps apps;
      return RestoreBackupBytes(world.link, state, bytes, apps, options);
    }, callbacks);
  };

  DeviceJobHandle cut = restore(0.3);
  EXPECT_EQ(cut->Wait(), Outcome(Failure::kCancelled));
  EXPECT_GE(cut->Progress(), 0.3);
  EXPECT_LT(cut->Progress(), 0.4);
  const auto requests = world.Requests();
  ASSERT_FALSE(requests.empty());
  // Only image writes went out, about a third of them; no commit followed.
  const size_t writes = static_cast<size_t>(
      std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r[1] == 0x03; }));
  EXPECT_EQ(writes, requests.size());
  EXPECT_GT(writes, 256 * 3 / 10 - 2);
  EXPECT_LT(writes, 256 * 4 / 10);
  EXPECT_NE(memory, modified);

  DeviceJobHandle again = restore(2.0);
  EXPECT_EQ(again->Wait(), Outcome());
  EXPECT_EQ(memory, modified);
}

TEST(DeviceExecutor, DestructionCancelsPendingJobsAndStopsTheRunningOne) {
  SimWorld world;
  auto executor = std::make_unique<DeviceExecutor>();
  std::latch started(1);
  // Reads until it is stopped: only the stop request can end it.
  DeviceJobHandle running = executor->Post("endless", [&](JobContext& context) {
    DeviceOperation operation(world.link, context.StopToken());
    started.count_down();
    while (!operation.Failed()) ReadMemoryByte(world.link, world.path, 0x200, false);
    return operation.Result();
  });
  std::atomic<int> ran{0}, finished{0};
  DeviceJobCallbacks callbacks;
  callbacks.onFinished = [&](DeviceJob&) { ++finished; };
  std::vector<DeviceJobHandle> pending;
  for (int i = 0; i < 3; ++i) pending.push_back(executor->Post("pending", [&](JobContext&) {
    ++ran;
    return Outcome();
  }, callbacks));
  started.wait();
  executor.reset();

  EXPECT_EQ(running->Wait(), Outcome(Failure::kCancelled));
  for (const DeviceJobHandle& job : pending) EXPECT_EQ(job->Wait(), Outcome(Failure::kCancelled));
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(finished, 3);
}

}  // namespace
}  // namespace quorix
