#include <memory>
#include <utility>

#include "options/language_setting.h"
#include "session/session.h"

namespace quorix {

Outcome Session::LoadSelected(JobContext& job, const ProgressFn& progress, LoadHow how) {
  // The list may have changed since the device was found: the load takes
  // the selected path wherever it is listed now.
  if (!PointStateAtSelection()) return Failure::kNoDevice;
  // A rescan in the middle would enumerate under the load's feet.
  struct Loading {
    std::atomic<bool>& flag;
    explicit Loading(std::atomic<bool>& f) : flag(f) { flag = true; }
    ~Loading() { flag = false; }
  } loading(loadRunning_);
  DeviceOperation operation(*link_, job.StopToken());
  LoadSettingsOptions options;
  options.progress = [&job, &progress, jobProgress = how.jobProgress](double fraction) {
    if (jobProgress) job.Progress(fraction);
    if (progress) progress(fraction);
  };
  return how.forWrite ? PrepareFieldWrite(*link_, state_, options) : LoadSettings(*link_, state_, options);
}

Job<void> Session::Load(ProgressFn progress) {
  return Post("load", [this, progress = std::move(progress)](JobContext& job, DeviceLink&, SettingsState&) {
    return LoadSelected(job, progress, {});
  });
}

Job<void> Session::PrepareWrite(ProgressFn progress) {
  return Post("prepare", [this, progress = std::move(progress)](JobContext& job, DeviceLink&, SettingsState&) {
    return LoadSelected(job, progress, {.forWrite = true});
  });
}

Job<void> Session::Write(FieldWrite write, std::string name) {
  return Post(std::move(name),
              [write = std::move(write)](JobContext& job, DeviceLink& link, SettingsState& state) -> Outcome {
                DeviceOperation operation(link, job.StopToken());
                return write(link, state);
              });
}

Job<void> Session::Reset(ResetOptions options) {
  return Post("reset", [options = std::move(options)](JobContext& job, DeviceLink& link, SettingsState& state) {
    DeviceOperation operation(link, job.StopToken());
    return ResetToDefaults(link, state, options);
  });
}

Job<void> Session::Backup(std::string file, ProfileApps apps, ProgressFn progress) {
  return Post("backup", [file = std::move(file), apps = std::move(apps), progress = std::move(progress)](
                            JobContext& job, DeviceLink& link, SettingsState& state) {
    DeviceOperation operation(link, job.StopToken());
    // The reason stays with the job: the window that asked may be gone by
    // the time the file turns out to be unwritable.
    return SaveBackup(link, state, file, apps, progress);
  });
}

Job<RestoreResult> Session::Restore(std::vector<uint8_t> backupBytes, std::string setIni, RestoreProgress progress) {
  auto restore = [this, bytes = std::move(backupBytes), setIni = std::move(setIni),
                  progress = std::move(progress)](JobContext& job) -> RestoreResult {
    auto stop = [](RestoreStep step, Outcome outcome) { return RestoreResult{step, std::move(outcome)}; };
    // The job's progress is the write's: the loads around it are short.
    if (Outcome loaded = LoadSelected(job, progress.load, {.jobProgress = false}); !loaded) return stop(RestoreStep::kLoad, loaded);
    Result<Options> stored = ReadOptions(setIni);
    if (!stored) return stop(RestoreStep::kReadOptions, stored.outcome());
    RestoreOptions options;
    options.progress = [&job, &progress](double fraction) {
      job.Progress(fraction);
      if (progress.restore) progress.restore(fraction);
    };
    options.reload.progress = progress.load;
    BackupDefect defect = BackupDefect::kNone;
    Outcome restored;
    {
      DeviceOperation operation(*link_, job.StopToken());
      restored = RestoreBackupBytes(*link_, state_, bytes, stored->apps, options, &defect);
    }
    if (!restored) return RestoreResult{RestoreStep::kRestore, restored, defect};
    // set.ini follows the mouse only once the mouse has the image: a restore
    // that stopped half-way leaves the user's applications as they were.
    if (Outcome folder = PrepareSetIniFolder(setIni); !folder) return stop(RestoreStep::kDataFolder, folder);
    if (Outcome written = WriteSetIni(setIni, *stored, SetIniCodePage(setIni)); !written)
      return stop(RestoreStep::kWriteOptions, written);
    return stop(RestoreStep::kDone, {});
  };
  return Job<RestoreResult>::Post(*executor_, "restore", std::move(restore));
}

}  // namespace quorix
