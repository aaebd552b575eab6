#pragma once
// One session with the mouse: the composition root both front ends build.
//
// A Session owns what a program keeps for its whole run: the HID host (real
// or simulated), the clock, the two locks, the DeviceLink, the SettingsState,
// and the one DeviceExecutor every device sequence runs on. What only the
// operating system can supply (the host, the locks, where applications live)
// is handed in through SessionParts, so this module stays free of OS headers.
//
// The current device is chosen by its path, never by its place in the device
// list: a mouse plugged in (or replugged) in front of it moves every index, but
// not its path. "" means the first listed.
//
// Each use case is one function returning its Job (session/job.h): the
// command line waits for it, a window continues on its own thread once it is
// done, and may follow its progress or cancel it. Post and OnDevice are there
// for anything else. Everything runs on the executor's worker, one after
// another, whichever thread calls. The use cases are written by area:
// session_settings.cpp, session_macros.cpp, session_lighting.cpp,
// session_options.cpp.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "keys/button_function.h"
#include "lighting/light_effect.h"
#include "macro/macro_memory.h"
#include "options/app_switching.h"
#include "options/lift_adjustment.h"
#include "options/options_store.h"
#include "session/device_event_pump.h"
#include "session/device_executor.h"
#include "session/job.h"
#include "session/session_options.h"
#include "session/session_settings.h"
#include "settings/backup_restore.h"
#include "settings/settings_load.h"
#include "settings/settings_state.h"
#include "texts/text_tables.h"

namespace quorix {

// What the platform (or a simulation) hands a session. The host may keep a
// reference to the clock: the session keeps the clock alive longer.
struct SessionParts {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<HidHost> host;
  std::unique_ptr<NamedMutex> exchangeMutex;
  std::unique_ptr<NamedMutex> deviceListMutex;
  uint16_t vendorId = kProductVendorId;
  // Folders searched for an application's display name when set.ini is read.
  std::vector<std::string> applicationFolders;
  // The data folder's set.ini; "" when every call names its own.
  std::string setIni;
  // The texts in the user's language; the built-in ones when not given.
  std::optional<TextTables> texts;
};

// A device sequence with the session's link and settings state at hand.
using SessionWork = std::function<Outcome(JobContext&, DeviceLink&, SettingsState&)>;

class Session {
 public:
  explicit Session(SessionParts parts);
  // Finishes the running job and cancels the pending ones before the link,
  // the host and the clock go away.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  DeviceLink& Link() { return *link_; }
  HidHost& Host() { return *host_; }
  Clock& GetClock() { return *clock_; }
  SettingsState& State() { return state_; }
  DeviceExecutor& Executor() { return *executor_; }

  // ---- the current device ----
  // The path the next use case works on ("" for the first listed). Upper and
  // lower case name the same device.
  void SelectDevice(const std::string& path);
  // The path the last use case found for the selection; "" before any did,
  // after a new selection, or when the device was not there.
  std::string CurrentDevicePath() const;
  // The button layout of the listed device at `path` (which zones have
  // lights); 0 for "" or a path without a record.
  int ButtonLayoutAt(const std::string& path) const;
  // Lists the devices and finds the selected one (identifying a path given
  // that was not listed yet). kNoDevice when it is not there; the failed
  // exchange's outcome when the listing itself failed.
  Job<void> ResolveDevice();
  // Identifies the interface at `path` that arrived beside the current
  // mouse (its answers join what the link knows of the device); the current
  // mouse stays.
  Job<void> IdentifyArrival(std::string path);

  // Runs `work` on the executor (inside no operation: the work opens its own,
  // with the job's stop token). Work that throws finishes with
  // kInternalError, and Wait() passes what it threw on to the caller.
  Job<void> Post(std::string name, SessionWork work);
  // Blocks until every job posted before it has finished: the program's last
  // writes reach the mouse before it quits. The GUI thread calls it once its
  // windows have posted what they held back; a job's report to a window
  // arrives later, so it never waits for the thread it blocks.
  void FinishPostedWork();
  // Runs `work` on the executor with the current device's path (the one the
  // last ResolveDevice or load found).
  using DeviceJobWork = std::function<Outcome(JobContext&, DeviceLink&, const std::string& path)>;
  Job<void> OnDevice(std::string name, DeviceJobWork work);
  // How the step objects of the modules below (the live colour sender) post
  // their device work without knowing the executor: each call is one job
  // named `name` whose outcome is the work's.
  using WorkPoster = std::function<void(std::function<Outcome()> work)>;
  WorkPoster Poster(std::string name);

  // ---- settings, all on the selected device (session_settings.cpp) ----
  // `progress` runs on the worker, like every progress function here.
  Job<void> Load(ProgressFn progress = {});
  // Gets the selected device ready for field writes, reading only what they
  // consult (PrepareFieldWrite): the short way to a one-off change.
  Job<void> PrepareWrite(ProgressFn progress = {});
  Job<void> Write(FieldWrite write, std::string name = "write");
  Job<void> Reset(ResetOptions options);
  // Saves the loaded mouse's whole memory with `apps` to `file`. A file that
  // cannot be written ends the job with kCannotWriteFile and the system's
  // reason as the detail.
  Job<void> Backup(std::string file, ProfileApps apps, ProgressFn progress = {});
  // The whole restore of a backup file's bytes (checked with ParseBackup
  // before), as one job: load the mouse, read set.ini, write the image and
  // load it again, and only once the mouse took it, keep the file's
  // applications in set.ini. A cancelled restore can be repaired by running
  // it again.
  Job<RestoreResult> Restore(std::vector<uint8_t> backupBytes, std::string setIni, RestoreProgress progress = {});

  // ---- macros, on the loaded image of the current device (session_macros.cpp) ----
  // Each publishes the changed image through the store once the mouse took
  // the change; a failed one leaves the published image as it was.
  // `progress` follows the store's job on the worker (a compaction first,
  // then the record).
  Job<void> StoreMacro(int slot, int mode, std::string name, std::vector<MacroItem> items, ProgressFn progress = {});
  Job<void> DeleteMacro(int slot);
  // Reads a slot's record back from the mouse (show, export, the editor);
  // `progress` follows the job on the worker.
  Job<MacroReadBack> ReadMacro(int slot, ProgressFn progress = {});

  // ---- lighting and lift, on the current device (session_lighting.cpp) ----
  Job<LightingConfig> ReadLighting();
  // The session's current effect takes the code only when the mouse took it.
  Job<void> ChooseLightEffect(int code);
  Job<void> WriteZones(std::vector<int> zones, LedZoneRecord record);
  Job<void> PreviewZones(std::vector<int> zones, LedZoneRecord record);
  Job<LiftValueResult> ReadStoredLift();
  Job<void> StoreLift(int value);
  Job<LiftValueResult> TestLift(int entered);
  // Stores the value typed in the manual dialog as its test wrote it for
  // this mouse's model.
  Job<void> StoreTestedLift(int entered);

  // ---- events ----
  // The device event pump on the session's link and clock: the one way a
  // front end hears of hot-plug and of the mouse's own reports. It puts a due
  // rescan off while a load of this session runs. `deliver` runs on the
  // thread that runs the pump; device work it decides on (identifying an
  // arrival, the rescan's enumeration) goes to the executor like any other.
  std::unique_ptr<DeviceEventPump> MakeEventPump(DeviceEventPump::Deliver deliver);
  bool LoadRunning() const { return loadRunning_.load(); }

  // ---- the data folder and the user's texts (session_options.cpp) ----
  const std::string& SetIni() const { return setIni_; }
  // Reads SetIni() again (ReadSetIni); when that fails, the options stay as
  // they were and the outcome says why.
  Outcome ReloadOptions();
  // The options last read from SetIni(); the defaults before.
  Options CurrentOptions() const;
  // Writes `options` into SetIni() in the file's own code page and reads them
  // back; nothing without a SetIni(). kCannotWriteFile, with the reason, when
  // the file could not be written (the options then stay as they were).
  Outcome SaveOptions(const Options& options);
  const TextTables& Texts() const { return texts_; }

  // ---- program options ----
  // ReadSetIni with the session's application folders.
  Result<Options> ReadOptions(const std::string& setIni) const;
  // The user clicked profile `profile`'s application field: BindApplication
  // on the applications of `setIni`. The session proposes display names and
  // saves set.ini itself (hooks.displayName and hooks.saveOptions are
  // replaced). kCannotReadFile when set.ini could not be read (nothing is
  // asked then), kCannotWriteFile when it could not be written; the detail
  // says why.
  Result<BindResult> BindApplication(const std::string& setIni, int profile, BindApplicationHooks hooks,
                                     const std::string& namePrompt = "Enter name") const;

 private:
  // Makes the selected device the one LoadSettings takes; worker thread only.
  bool PointStateAtSelection();
  // How LoadSelected loads. `jobProgress`: its progress is the job's.
  // `forWrite`: only what field writes consult.
  struct LoadHow {
    bool jobProgress = true;
    bool forWrite = false;
  };
  // The load of the selected device, inside a job.
  Outcome LoadSelected(JobContext& job, const ProgressFn& progress, LoadHow how);
  // Posts `work` with the current device's path; what it produces is the
  // job's, and `progress` follows the job (Job::Post).
  template <typename T>
  Job<T> OnCurrentDevice(std::string name,
                         std::function<JobResult<T>(JobContext&, DeviceLink&, const std::string&)> work,
                         ProgressFn progress = {}) {
    return Job<T>::Post(
        *executor_, std::move(name),
        [this, work = std::move(work)](JobContext& job) { return work(job, *link_, CurrentDevicePath()); },
        std::move(progress));
  }

  std::unique_ptr<Clock> clock_;
  std::unique_ptr<HidHost> host_;
  std::unique_ptr<NamedMutex> exchangeMutex_;
  std::unique_ptr<NamedMutex> deviceListMutex_;
  std::unique_ptr<DeviceLink> link_;
  std::vector<std::string> applicationFolders_;
  const std::string setIni_;
  const TextTables texts_;
  mutable std::mutex optionsMutex_;
  Options options_;  // guarded by optionsMutex_
  SettingsState state_;
  mutable std::mutex selectionMutex_;
  std::string selectedPath_;  // guarded by selectionMutex_
  std::string currentPath_;   // guarded by selectionMutex_
  std::atomic<int> currentEffect_{0};
  std::atomic<bool> loadRunning_{false};
  std::unique_ptr<DeviceExecutor> executor_;  // last: its worker uses everything above
};

}  // namespace quorix
