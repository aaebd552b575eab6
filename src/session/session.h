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
// The use cases come in two forms: Post...() returns the job (a window
// follows its progress and result, and may cancel it), the plain call waits
// for it (the command line); the waiting form is the posted one and a wait.
// RunOnDevice, PostOnDevice and Post are there for anything else. Everything
// runs on the executor's worker, one after another, whichever thread calls.

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
// One change to the loaded image (a field write, a button assignment).
using FieldWrite = std::function<Outcome(DeviceLink&, SettingsState&)>;

// Where the restore of a backup file stopped; kDone when everything went in.
enum class RestoreStep : uint8_t { kLoad, kReadOptions, kRestore, kDataFolder, kWriteOptions, kDone };

struct RestoreResult {
  RestoreStep step = RestoreStep::kDone;
  Outcome outcome;    // the device's outcome at kLoad and kRestore
  std::string error;  // the system's reason for a set.ini or data folder step
  BackupDefect defect = BackupDefect::kNone;  // at kRestore with kInvalidFormat: what is wrong
};

struct RestoreProgress {
  ProgressFn load;     // the load before the restore and the one after it
  ProgressFn restore;  // the write
};

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
  // Lists the devices and finds the selected one (identifying a path given
  // that was not listed yet). kNoDevice when it is not there; the failed
  // exchange's outcome when the listing itself failed.
  DeviceJobHandle PostResolveDevice();
  Outcome ResolveDevice();

  // Runs `work` on the executor (inside no operation: the work opens its own,
  // with the job's stop token). Posted work that throws finishes with
  // kInternalError (DeviceJob::Thrown() keeps the exception); the waiting
  // forms (Run and every use case that waits) pass what their work threw on
  // to the caller.
  DeviceJobHandle Post(std::string name, SessionWork work, DeviceJobCallbacks callbacks = {});
  Outcome Run(std::string name, SessionWork work);
  // Waits for a posted job and rethrows what it threw: how every waiting
  // form ends.
  static Outcome WaitFor(const DeviceJob& job);

  // ---- settings use cases, all on the selected device ----
  DeviceJobHandle PostLoad(ProgressFn progress = {});
  Outcome Load(ProgressFn progress = {});
  // Gets the selected device ready for field writes, reading only what they
  // consult (PrepareFieldWrite): the short way to a one-off change.
  Outcome PrepareWrite(ProgressFn progress = {});
  // `callbacks` of the posted forms: a window follows the job's end (and its
  // progress) through them.
  DeviceJobHandle PostWrite(std::string name, FieldWrite write, DeviceJobCallbacks callbacks = {});
  Outcome Write(FieldWrite write);
  DeviceJobHandle PostReset(ResetOptions options, DeviceJobCallbacks callbacks = {});
  Outcome Reset(ResetOptions options);
  // Saves the loaded mouse's whole memory with `apps` to `file`; `error` gets
  // the system's reason when the file cannot be written. The job holds
  // `error` too, so it may outlive the window that asked; read it once the
  // job finished.
  DeviceJobHandle PostBackup(std::string file, ProfileApps apps, ProgressFn progress,
                             std::shared_ptr<std::string> error, DeviceJobCallbacks callbacks = {});
  Outcome Backup(std::string file, ProfileApps apps, ProgressFn progress, std::string& error);
  // The whole restore of a backup file's bytes (checked with ParseBackup
  // before), as one job: load the mouse, read set.ini, write the image and
  // load it again, and only once the mouse took it, keep the file's
  // applications in set.ini. `result` is filled in before the job finishes;
  // the job's outcome is the device's, or kCannotReadFile / kCannotWriteFile
  // for set.ini. A cancelled restore can be repaired by running it again.
  DeviceJobHandle PostRestore(std::vector<uint8_t> backupBytes, std::string setIni, RestoreProgress progress,
                              std::shared_ptr<RestoreResult> result, DeviceJobCallbacks callbacks = {});
  RestoreResult Restore(const std::vector<uint8_t>& backupBytes, const std::string& setIni,
                        RestoreProgress progress = {});

  // ---- macros, on the loaded image of the current device ----
  // Each publishes the changed image through the store once the mouse took
  // the change; a failed one leaves the published image as it was. The
  // store's job reports how far it got (a compaction first, then the record).
  DeviceJobHandle PostStoreMacro(int slot, int mode, std::string name, std::vector<MacroItem> items,
                                 DeviceJobCallbacks callbacks = {});
  Outcome StoreMacro(int slot, int mode, const std::string& name, const std::vector<MacroItem>& items);
  DeviceJobHandle PostDeleteMacro(int slot, DeviceJobCallbacks callbacks = {});
  Outcome DeleteMacro(int slot);
  // Reads a slot's record back from the mouse (show, export).
  MacroReadBack ReadMacro(int slot);

  // ---- lighting and lift, on the current device ----
  // The posted forms that read fill `result` in before their job finishes
  // (read it after the job's onFinished or Wait()); one cancelled before it
  // ran leaves it as it was. The waiting forms put such a job's kCancelled
  // into the result's outcome.
  DeviceJobHandle PostReadLighting(std::shared_ptr<LightingConfig> result, DeviceJobCallbacks callbacks = {});
  LightingConfig ReadLighting();
  // The session's current effect takes the code only when the mouse took it.
  DeviceJobHandle PostChooseLightEffect(int code, DeviceJobCallbacks callbacks = {});
  Outcome ChooseLightEffect(int code);
  DeviceJobHandle PostWriteZones(std::vector<int> zones, LedZoneRecord record, DeviceJobCallbacks callbacks = {});
  Outcome WriteZones(const std::vector<int>& zones, const LedZoneRecord& record);
  DeviceJobHandle PostPreviewZones(std::vector<int> zones, LedZoneRecord record, DeviceJobCallbacks callbacks = {});
  Outcome PreviewZones(const std::vector<int>& zones, const LedZoneRecord& record);
  DeviceJobHandle PostReadStoredLift(std::shared_ptr<LiftValueResult> result, DeviceJobCallbacks callbacks = {});
  LiftValueResult ReadStoredLift();
  DeviceJobHandle PostStoreLift(int value, DeviceJobCallbacks callbacks = {});
  Outcome StoreLift(int value);
  DeviceJobHandle PostTestLift(int entered, std::shared_ptr<LiftValueResult> result,
                               DeviceJobCallbacks callbacks = {});
  LiftValueResult TestLift(int entered);

  // Runs `work` on the executor with the current device's path (the one the
  // last ResolveDevice or load found).
  using DeviceWork = std::function<Outcome(DeviceLink&, const std::string& path)>;
  Outcome RunOnDevice(std::string name, DeviceWork work);
  using DeviceJobWork = std::function<Outcome(JobContext&, DeviceLink&, const std::string& path)>;
  DeviceJobHandle PostOnDevice(std::string name, DeviceJobWork work, DeviceJobCallbacks callbacks = {});
  // How the step objects of the modules below (the live colour sender) post
  // their device work without knowing the executor: each call is one job
  // named `name` whose outcome is the work's.
  using WorkPoster = std::function<void(std::function<Outcome()> work)>;
  WorkPoster Poster(std::string name);

  // ---- events ----
  // The device event pump on the session's link and clock: the one way a
  // front end hears of hot-plug and of the mouse's own reports. It puts a due
  // rescan off while a load of this session runs. `deliver` runs on the
  // thread that runs the pump; device work it decides on (identifying an
  // arrival, the rescan's enumeration) goes to the executor like any other.
  std::unique_ptr<DeviceEventPump> MakeEventPump(DeviceEventPump::Deliver deliver);
  bool LoadRunning() const { return loadRunning_.load(); }

  // ---- the data folder and the user's texts ----
  const std::string& SetIni() const { return setIni_; }
  // Reads SetIni() again (ReadSetIni); when that fails, the options stay as
  // they were and `error` says why.
  bool ReloadOptions(std::string& error);
  // The options last read from SetIni(); the defaults before.
  Options CurrentOptions() const;
  const TextTables& Texts() const { return texts_; }

  // ---- program options ----
  // ReadSetIni with the session's application folders.
  bool ReadOptions(const std::string& setIni, Options& options, std::string& error) const;
  // The user clicked profile `profile`'s application field: BindApplication
  // on the applications of `setIni`. The session proposes display names and
  // saves set.ini itself (hooks.displayName and hooks.saveOptions are
  // replaced). `error` is empty unless set.ini could not be read (nothing is
  // asked then, and kCancelled returned) or written.
  BindResult BindApplication(const std::string& setIni, int profile, BindApplicationHooks hooks,
                             std::string& error, const std::string& namePrompt = "Enter name") const;

 private:
  // Makes the selected device the one LoadSettings takes; worker thread only.
  bool PointStateAtSelection();
  // The work of each use case, for its posted and its waiting form.
  SessionWork ResolveWork();
  SessionWork LoadWork(ProgressFn progress);
  SessionWork WriteWork(FieldWrite write);
  SessionWork ResetWork(ResetOptions options);
  SessionWork BackupWork(std::string file, ProfileApps apps, ProgressFn progress, std::shared_ptr<std::string> error);
  SessionWork RestoreWork(std::vector<uint8_t> backupBytes, std::string setIni, RestoreProgress progress,
                          std::shared_ptr<RestoreResult> result);
  // How LoadSelected loads. `jobProgress`: its progress is the job's.
  // `forWrite`: only what field writes consult.
  struct LoadHow {
    bool jobProgress = true;
    bool forWrite = false;
  };
  // The load of the selected device, inside a job.
  Outcome LoadSelected(JobContext& job, const ProgressFn& progress, LoadHow how);

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

// The program options of a set.ini, read without touching the desktop's
// pointer settings; application paths get their display names from
// `applicationFolders`. A missing file gives the defaults; false with `error`
// for one that is there and cannot be read.
bool ReadSetIni(const std::string& setIni, const std::vector<std::string>& applicationFolders, Options& options,
                std::string& error);

// Where writing set.ini stopped; kDone when it was written.
enum class SetIniStep : uint8_t { kDataFolder, kWrite, kDone };
// Creates the data folder when needed and writes `options` into set.ini in
// `codePage` (the one the file was read in, also when the language changes
// with this write). `language`, when given, is kept beside the options the way
// the start-up switch writes it. `reason` says why a step failed.
SetIniStep WriteSetIni(const std::string& setIni, const Options& options, int codePage, std::string& reason,
                       const std::string* language = nullptr);

using ButtonTextFn = std::function<std::string(const SettingsImage&, const ButtonRecord&)>;
// Button texts as the main window shows them: the function's text, and the
// macro's name for a macro button.
ButtonTextFn MainWindowButtonTexts(const TextTables& texts = DefaultTextTables());

}  // namespace quorix
