#include "session/session.h"

#include <exception>
#include <utility>

#include "base/ini_file.h"
#include "device/discovery.h"
#include "lighting/lighting_device.h"
#include "options/app_display_name.h"
#include "options/language_setting.h"
#include "texts/text_tables.h"

namespace quorix {

Session::Session(SessionParts parts)
    : clock_(std::move(parts.clock)),
      host_(std::move(parts.host)),
      exchangeMutex_(std::move(parts.exchangeMutex)),
      deviceListMutex_(std::move(parts.deviceListMutex)),
      link_(std::make_unique<DeviceLink>(*host_, *clock_, *exchangeMutex_, *deviceListMutex_, parts.vendorId)),
      applicationFolders_(std::move(parts.applicationFolders)),
      setIni_(std::move(parts.setIni)),
      texts_(parts.texts ? std::move(*parts.texts) : DefaultTextTables()),
      executor_(std::make_unique<DeviceExecutor>()) {}

Session::~Session() {
  // The worker may still be inside an exchange: it must be gone before the
  // link, the host and the clock it uses.
  executor_.reset();
}

void Session::SelectDevice(const std::string& path) {
  std::lock_guard<std::mutex> lock(selectionMutex_);
  selectedPath_ = ToLowerPath(path);
  // What was found for the previous selection no longer counts.
  currentPath_.clear();
}

std::string Session::CurrentDevicePath() const {
  std::lock_guard<std::mutex> lock(selectionMutex_);
  return currentPath_;
}

SessionWork Session::ResolveWork() {
  return [this](JobContext& job, DeviceLink& link, SettingsState&) -> Outcome {
    std::string wanted;
    {
      std::lock_guard<std::mutex> lock(selectionMutex_);
      wanted = selectedPath_;
      currentPath_.clear();
    }
    // A mouse that is there but does not answer is not listed: its failed
    // exchange says more than "no device".
    DeviceOperation identification(link, job.StopToken());
    auto listed = [&]() -> std::string {
      for (int i = 0, count = DeviceCount(link); i < count; ++i) {
        const std::string path = DevicePath(link, i);
        if (wanted.empty() || path == wanted) return path;
      }
      return "";
    };
    EnumerateDevices(link);
    std::string found = listed();
    // A path given by the user still has to be an identified configuration
    // interface: the command layout depends on what its identification says.
    if (found.empty() && !wanted.empty() && IsConfigInterface(link, wanted)) {
      IdentifyDevice(link, wanted);
      found = listed();
    }
    if (found.empty()) return identification.Failed() ? identification.Result() : Outcome(Failure::kNoDevice);
    std::lock_guard<std::mutex> lock(selectionMutex_);
    currentPath_ = found;
    return {};
  };
}

DeviceJobHandle Session::PostResolveDevice() { return Post("find the device", ResolveWork()); }
Outcome Session::ResolveDevice() { return Run("find the device", ResolveWork()); }

bool Session::PointStateAtSelection() {
  std::string wanted;
  {
    std::lock_guard<std::mutex> lock(selectionMutex_);
    wanted = currentPath_.empty() ? selectedPath_ : currentPath_;
  }
  for (int i = 0, count = DeviceCount(*link_); i < count; ++i) {
    const std::string path = DevicePath(*link_, i);
    if (wanted.empty() || path == wanted) {
      state_.selectedDevice = i;
      std::lock_guard<std::mutex> lock(selectionMutex_);
      currentPath_ = path;
      return true;
    }
  }
  return false;
}

Outcome Session::Run(std::string name, SessionWork work) {
  // What the work throws (a set.ini the backup's names cannot be written
  // into, memory running out) reaches the waiting caller as it would have
  // had the caller done the work itself.
  return WaitFor(*Post(std::move(name), std::move(work)));
}

Outcome Session::WaitFor(const DeviceJob& job) {
  const Outcome outcome = job.Wait();
  if (const std::exception_ptr thrown = job.Thrown()) std::rethrow_exception(thrown);
  return outcome;
}

DeviceJobHandle Session::Post(std::string name, SessionWork work, DeviceJobCallbacks callbacks) {
  return executor_->Post(
      std::move(name), [this, work = std::move(work)](JobContext& job) { return work(job, *link_, state_); },
      std::move(callbacks));
}

Outcome Session::LoadSelected(JobContext& job, const ProgressFn& progress, bool jobProgress, bool forWrite) {
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
  options.progress = [&job, &progress, jobProgress](double fraction) {
    if (jobProgress) job.Progress(fraction);
    if (progress) progress(fraction);
  };
  return forWrite ? PrepareFieldWrite(*link_, state_, options) : LoadSettings(*link_, state_, options);
}

SessionWork Session::LoadWork(ProgressFn progress) {
  return [this, progress = std::move(progress)](JobContext& job, DeviceLink&, SettingsState&) {
    return LoadSelected(job, progress);
  };
}

DeviceJobHandle Session::PostLoad(ProgressFn progress) { return Post("load", LoadWork(std::move(progress))); }
Outcome Session::Load(ProgressFn progress) { return Run("load", LoadWork(std::move(progress))); }

Outcome Session::PrepareWrite(ProgressFn progress) {
  return Run("prepare", [this, progress = std::move(progress)](JobContext& job, DeviceLink&, SettingsState&) {
    return LoadSelected(job, progress, true, true);
  });
}

SessionWork Session::WriteWork(FieldWrite write) {
  return [write = std::move(write)](JobContext& job, DeviceLink& link, SettingsState& state) -> Outcome {
    DeviceOperation operation(link, job.StopToken());
    return write(link, state);
  };
}

DeviceJobHandle Session::PostWrite(std::string name, FieldWrite write, DeviceJobCallbacks callbacks) {
  return Post(std::move(name), WriteWork(std::move(write)), std::move(callbacks));
}
Outcome Session::Write(FieldWrite write) { return Run("write", WriteWork(std::move(write))); }

SessionWork Session::ResetWork(ResetOptions options) {
  return [options = std::move(options)](JobContext& job, DeviceLink& link, SettingsState& state) {
    DeviceOperation operation(link, job.StopToken());
    return ResetToDefaults(link, state, options);
  };
}

DeviceJobHandle Session::PostReset(ResetOptions options, DeviceJobCallbacks callbacks) {
  return Post("reset", ResetWork(std::move(options)), std::move(callbacks));
}
Outcome Session::Reset(ResetOptions options) { return Run("reset", ResetWork(std::move(options))); }

SessionWork Session::BackupWork(std::string file, ProfileApps apps, ProgressFn progress,
                                std::shared_ptr<std::string> error) {
  return [file = std::move(file), apps = std::move(apps), progress = std::move(progress), error = std::move(error)](
             JobContext& job, DeviceLink& link, SettingsState& state) {
    DeviceOperation operation(link, job.StopToken());
    Outcome saved = SaveBackup(link, state, file, apps, progress);
    *error = saved.detail;
    return saved;
  };
}

DeviceJobHandle Session::PostBackup(std::string file, ProfileApps apps, ProgressFn progress,
                                    std::shared_ptr<std::string> error, DeviceJobCallbacks callbacks) {
  return Post("backup", BackupWork(std::move(file), std::move(apps), std::move(progress), std::move(error)),
              std::move(callbacks));
}
Outcome Session::Backup(std::string file, ProfileApps apps, ProgressFn progress, std::string& error) {
  auto reason = std::make_shared<std::string>();
  const Outcome outcome = Run("backup", BackupWork(std::move(file), std::move(apps), std::move(progress), reason));
  error = *reason;
  return outcome;
}

SessionWork Session::RestoreWork(std::vector<uint8_t> backupBytes, std::string setIni, RestoreProgress progress,
                                 std::shared_ptr<RestoreResult> result) {
  return [this, bytes = std::move(backupBytes), setIni = std::move(setIni), progress = std::move(progress),
          result](JobContext& job, DeviceLink& link, SettingsState& state) -> Outcome {
    auto stop = [&](RestoreStep step, Outcome outcome, std::string error) {
      *result = {step, outcome, std::move(error)};
      return outcome;
    };
    // The job's progress is the write's: the loads around it are short.
    if (Outcome loaded = LoadSelected(job, progress.load, false); !loaded) return stop(RestoreStep::kLoad, loaded, "");
    Options stored;
    std::string error;
    BackupDefect defect = BackupDefect::kNone;
    if (!ReadOptions(setIni, stored, error)) return stop(RestoreStep::kReadOptions, Failure::kCannotReadFile, error);
    RestoreOptions options;
    options.progress = [&job, &progress](double fraction) {
      job.Progress(fraction);
      if (progress.restore) progress.restore(fraction);
    };
    options.reload.progress = progress.load;
    Outcome restored;
    {
      DeviceOperation operation(link, job.StopToken());
      restored = RestoreBackupBytes(link, state, bytes, stored.apps, options, &defect);
    }
    if (!restored) {
      stop(RestoreStep::kRestore, restored, "");
      result->defect = defect;
      return restored;
    }
    // set.ini follows the mouse only once the mouse has the image: a restore
    // that stopped half-way leaves the user's applications as they were.
    std::string reason;
    switch (WriteSetIni(setIni, stored, SetIniCodePage(setIni), reason)) {
      case SetIniStep::kDataFolder:
        return stop(RestoreStep::kDataFolder, Failure::kCannotWriteFile, reason);
      case SetIniStep::kWrite:
        return stop(RestoreStep::kWriteOptions, Failure::kCannotWriteFile, reason);
      case SetIniStep::kDone:
        break;
    }
    return stop(RestoreStep::kDone, {}, "");
  };
}

DeviceJobHandle Session::PostRestore(std::vector<uint8_t> backupBytes, std::string setIni, RestoreProgress progress,
                                     std::shared_ptr<RestoreResult> result, DeviceJobCallbacks callbacks) {
  return Post("restore", RestoreWork(std::move(backupBytes), std::move(setIni), std::move(progress), result),
              std::move(callbacks));
}

RestoreResult Session::Restore(const std::vector<uint8_t>& backupBytes, const std::string& setIni,
                               RestoreProgress progress) {
  auto result = std::make_shared<RestoreResult>();
  const Outcome outcome = Run("restore", RestoreWork(backupBytes, setIni, std::move(progress), result));
  // A job cancelled before it started never filled the result in.
  if (!outcome && result->step == RestoreStep::kDone) *result = {RestoreStep::kLoad, outcome, ""};
  return *result;
}

std::unique_ptr<DeviceEventPump> Session::MakeEventPump(DeviceEventPump::Deliver deliver) {
  return std::make_unique<DeviceEventPump>(*link_, *clock_, std::move(deliver), [this] { return LoadRunning(); });
}

DeviceJobHandle Session::PostOnDevice(std::string name, DeviceJobWork work, DeviceJobCallbacks callbacks) {
  return Post(
      std::move(name),
      [this, work = std::move(work)](JobContext& job, DeviceLink& link, SettingsState&) {
        return work(job, link, CurrentDevicePath());
      },
      std::move(callbacks));
}

Session::WorkPoster Session::Poster(std::string name) {
  return [this, name = std::move(name)](std::function<Outcome()> work) {
    executor_->Post(name, [work = std::move(work)](JobContext&) { return work(); });
  };
}

Outcome Session::RunOnDevice(std::string name, DeviceWork work) {
  return WaitFor(*PostOnDevice(std::move(name), [work = std::move(work)](JobContext&, DeviceLink& link,
                                                                          const std::string& path) {
    return work(link, path);
  }));
}

namespace {
// Waits for a job that fills `result` in; one cancelled before it ran never
// did, and says so through the result's outcome.
template <typename Result>
Result Collect(const DeviceJobHandle& job, const std::shared_ptr<Result>& result) {
  const Outcome outcome = Session::WaitFor(*job);
  if (!outcome) result->outcome = outcome;
  return *result;
}
}  // namespace

DeviceJobHandle Session::PostStoreMacro(int slot, int mode, std::string name, std::vector<MacroItem> items,
                                        DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "store macro",
      [this, slot, mode, name = std::move(name), items = std::move(items)](JobContext& job, DeviceLink& link,
                                                                             const std::string& path) {
        // The store's own operation shares this one, and with it the job's
        // stop token: a cancel ends the store before its next exchange.
        DeviceOperation operation(link, job.StopToken());
        SettingsImage image = *state_.image.Snapshot();
        const Outcome outcome = quorix::StoreMacro(link, path, image, slot, mode, name, items,
                                                   [&job](double fraction) { job.Progress(fraction); });
        if (outcome) state_.image.Publish(std::move(image));
        return outcome;
      },
      std::move(callbacks));
}

Outcome Session::StoreMacro(int slot, int mode, const std::string& name, const std::vector<MacroItem>& items) {
  return WaitFor(*PostStoreMacro(slot, mode, name, items));
}

DeviceJobHandle Session::PostDeleteMacro(int slot, DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "delete macro",
      [this, slot](JobContext& job, DeviceLink& link, const std::string& path) {
        DeviceOperation operation(link, job.StopToken());
        SettingsImage image = *state_.image.Snapshot();
        const Outcome outcome = quorix::DeleteMacro(link, path, image, slot);
        if (outcome) state_.image.Publish(std::move(image));
        return outcome;
      },
      std::move(callbacks));
}

Outcome Session::DeleteMacro(int slot) { return WaitFor(*PostDeleteMacro(slot)); }

MacroReadBack Session::ReadMacro(int slot) {
  MacroReadBack back;
  back.outcome = RunOnDevice("read macro", [&](DeviceLink& link, const std::string& path) {
    back = ReadBackMacro(link, path, *state_.image.Snapshot(), slot);
    return back.outcome;
  });
  return back;
}

DeviceJobHandle Session::PostReadLighting(std::shared_ptr<LightingConfig> result, DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "read lighting",
      [result = std::move(result)](JobContext&, DeviceLink& link, const std::string& path) {
        *result = quorix::ReadLighting(link, path);
        return result->outcome;
      },
      std::move(callbacks));
}

LightingConfig Session::ReadLighting() {
  auto result = std::make_shared<LightingConfig>();
  return Collect(PostReadLighting(result), result);
}

DeviceJobHandle Session::PostChooseLightEffect(int code, DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "light effect",
      [this, code](JobContext&, DeviceLink& link, const std::string& path) {
        return quorix::ChooseLightEffect(link, path, code, currentEffect_);
      },
      std::move(callbacks));
}

Outcome Session::ChooseLightEffect(int code) { return WaitFor(*PostChooseLightEffect(code)); }

DeviceJobHandle Session::PostWriteZones(std::vector<int> zones, LedZoneRecord record, DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "store zones",
      [zones = std::move(zones), record](JobContext&, DeviceLink& link, const std::string& path) {
        return quorix::WriteZones(link, path, zones, record);
      },
      std::move(callbacks));
}

Outcome Session::WriteZones(const std::vector<int>& zones, const LedZoneRecord& record) {
  return WaitFor(*PostWriteZones(zones, record));
}

DeviceJobHandle Session::PostPreviewZones(std::vector<int> zones, LedZoneRecord record,
                                          DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "preview zones",
      [zones = std::move(zones), record](JobContext&, DeviceLink& link, const std::string& path) {
        return quorix::PreviewZones(link, path, zones, record);
      },
      std::move(callbacks));
}

Outcome Session::PreviewZones(const std::vector<int>& zones, const LedZoneRecord& record) {
  return WaitFor(*PostPreviewZones(zones, record));
}

DeviceJobHandle Session::PostReadStoredLift(std::shared_ptr<LiftValueResult> result, DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "read lift",
      [result = std::move(result)](JobContext&, DeviceLink& link, const std::string& path) {
        *result = quorix::ReadStoredLift(link, path);
        return result->outcome;
      },
      std::move(callbacks));
}

LiftValueResult Session::ReadStoredLift() {
  auto result = std::make_shared<LiftValueResult>();
  return Collect(PostReadStoredLift(result), result);
}

DeviceJobHandle Session::PostStoreLift(int value, DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "store lift",
      [value](JobContext&, DeviceLink& link, const std::string& path) {
        return quorix::StoreLift(link, path, value);
      },
      std::move(callbacks));
}

Outcome Session::StoreLift(int value) { return WaitFor(*PostStoreLift(value)); }

DeviceJobHandle Session::PostTestLift(int entered, std::shared_ptr<LiftValueResult> result,
                                      DeviceJobCallbacks callbacks) {
  return PostOnDevice(
      "test lift",
      [entered, result = std::move(result)](JobContext&, DeviceLink& link, const std::string& path) {
        *result = RunLiftTest(link, path, entered);
        return result->outcome;
      },
      std::move(callbacks));
}

LiftValueResult Session::TestLift(int entered) {
  auto result = std::make_shared<LiftValueResult>();
  return Collect(PostTestLift(entered, result), result);
}

bool Session::ReloadOptions(std::string& error) {
  Options options;
  if (!ReadOptions(setIni_, options, error)) return false;
  std::lock_guard<std::mutex> lock(optionsMutex_);
  options_ = std::move(options);
  return true;
}

Options Session::CurrentOptions() const {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  return options_;
}

bool Session::ReadOptions(const std::string& setIni, Options& options, std::string& error) const {
  return ReadSetIni(setIni, applicationFolders_, options, error);
}

BindResult Session::BindApplication(const std::string& setIni, int profile, BindApplicationHooks hooks,
                                   std::string& error, const std::string& namePrompt) const {
  Options options;
  if (!ReadOptions(setIni, options, error)) return BindResult::kCancelled;
  const int codePage = SetIniCodePage(setIni);
  hooks.displayName = [this](const std::string& path) { return AppDisplayName(path, applicationFolders_); };
  hooks.saveOptions = [&] {
    if (WriteSetIni(setIni, options, codePage, error) != SetIniStep::kDone && error.empty()) error = setIni;
  };
  return quorix::BindApplication(options.apps, profile, hooks, namePrompt);
}

bool ReadSetIni(const std::string& setIni, const std::vector<std::string>& folders, Options& options,
                std::string& error) {
  error.clear();
  // No PointerSettings: reading options must not change the desktop.
  options = LoadOptions(
      setIni, [&folders](const std::string& path) { return AppDisplayName(path, folders); }, nullptr,
      SetIniCodePage(setIni), &error);
  return error.empty();
}

SetIniStep WriteSetIni(const std::string& setIni, const Options& options, int codePage, std::string& reason,
                       const std::string* language) {
  const std::string folder = setIni.substr(0, setIni.size() - std::string(kSetIniName).size());
  const auto failed = [&reason](const Outcome& outcome) {
    if (!outcome) reason = outcome.detail;
    return !outcome;
  };
  if (failed(PrepareDataFolder(folder))) return SetIniStep::kDataFolder;
  if (language != nullptr && failed(WriteProfileString(setIni, kOptionsSection, "language", *language)))
    return SetIniStep::kWrite;
  if (failed(SaveOptions(setIni, options, codePage))) return SetIniStep::kWrite;
  return SetIniStep::kDone;
}

ButtonTextFn MainWindowButtonTexts(const TextTables& tables) {
  auto texts = std::make_shared<KeyTexts>(MakeKeyTexts(tables));
  return [texts](const SettingsImage& image, const ButtonRecord& r) {
    const MacroNameLookup macroName = [&image](int codeAddress) -> std::string {
      for (const MacroSlot& slot : image.macroSlots)
        if (slot.InUse() && slot.length > 0 && slot.codeAddress == codeAddress) return slot.name;
      return "";
    };
    return ButtonDisplayText(*texts, ButtonFunction{r.type, r.p1, r.p2, r.p3}, macroName,
                             DpiStepForModel(image.modelCode));
  };
}

}  // namespace quorix
