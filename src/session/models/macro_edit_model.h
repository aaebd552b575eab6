#pragma once
// The macro editor without a screen: the instructions being edited, the
// current position, name, mode and where the macro came from; every command
// and list operation of the editor window; the hold-to-repeat of a wait's
// + and - controls and the "new" marks as state machines on the injected
// clock; the editor's macro list rows; the macro files it writes; and the
// device stores and read-backs, run through the session's executor.
//
// Timers: NextDueMs() is the clock time at which Poll() next has work (a
// held control's next step, a new-step mark running out), or nothing. The
// window arms one single-shot timer for it and calls Poll() when it fires,
// so an idle editor never wakes.
//
// Threads: the model belongs to the window's thread. A store or read-back
// runs on the executor's worker and comes back as its Job's result, which the
// window hands to StoreFinished / ReadBackFinished on its own thread: the
// worker never touches the model.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "macro/macro_file.h"
#include "macro/macro_instruction.h"
#include "macro/macro_library.h"
#include "macro/macro_memory.h"
#include "platform/clock.h"
#include "session/job.h"
#include "settings/settings_decode.h"

namespace quorix {

class Session;
struct SettingsImage;

// A step made by the user is marked "new" for this long.
inline constexpr int64_t kNewStepMarkMs = 300000;
// The hold counter's ceiling.
inline constexpr int kWaitHoldMaxCount = 110;

// The value change and the pause before the next step of a held + or -
// control, by the hold counter (0.. at the first step).
int WaitHoldDelta(int count);
int WaitHoldPauseMs(int count);

// The wait a row holds in milliseconds, or nothing for another instruction.
std::optional<int> WaitValue(const MacroItem& item);
// A move row: x, y and whether it is absolute (0xC0).
struct MovePosition {
  int x = 0;
  int y = 0;
  bool absolute = false;
  bool operator==(const MovePosition&) const = default;
};
std::optional<MovePosition> MoveValue(const MacroItem& item);

// "%04d" and the instruction's text.
std::string MacroRowText(int index, const MacroItem& item, const MacroTexts& texts);

// The editor's macro list: the device's rows ("Mouse memory" and its slots;
// none without a device) and, with a library, the caption `libraryCaption`
// and the library's folder tree below it.
std::vector<MacroListItem> MacroEditRows(const SettingsImage& current, const KeyTexts& keyTexts,
                                         const MacroLibrary* library, const std::string& libraryCaption);
// The row standing for the same slot or file as `item`, or -1.
int MacroEditRowOf(const std::vector<MacroListItem>& rows, const MacroListItem& item);

// The status line at the bottom of the editor: fades in by 40 alpha steps
// every 20 ms up to 255, stays for its duration, then fades out the same way.
class StatusFade {
 public:
  static constexpr int kStepMs = 20;
  static constexpr int kAlphaStep = 40;
  explicit StatusFade(Clock& clock) : clock_(clock) {}
  // Starts showing (again) for durationMs once fully faded in.
  void Show(int64_t durationMs);
  // Gone at once.
  void Clear();
  int Alpha() const { return alpha_; }
  bool Visible() const { return alpha_ > 0 || phase_ != Phase::kIdle; }
  std::optional<int64_t> NextDueMs() const;
  // True when the alpha changed.
  bool Poll();

 private:
  enum class Phase { kIdle, kIn, kHold, kOut };
  Clock& clock_;
  Phase phase_ = Phase::kIdle;
  int alpha_ = 0;
  int64_t durationMs_ = 0;
  int64_t nextMs_ = 0;
};

class MacroEditModel {
 public:
  enum class SourceKind { kNone, kFile, kSlot };
  struct Source {
    SourceKind kind = SourceKind::kNone;
    std::string path;  // kFile
    int slot = -1;     // kSlot
  };

  explicit MacroEditModel(Clock& clock) : clock_(clock) {}

  const std::vector<MacroItem>& Items() const { return items_; }
  int Current() const { return current_; }
  const std::string& Name() const { return name_; }
  int Mode() const { return mode_; }
  const Source& From() const { return source_; }
  bool Modified() const { return modified_; }
  // The room the macro needs in the mouse: items + 34.
  int Size() const;

  // ---- loading (replaces whatever is there: ask Unsaved() first) ----
  void Load(std::vector<MacroItem> items, std::string name, int mode, Source source);
  // Drops the edits: an empty new macro.
  void Discard();

  // ---- commands ----
  // Inserts a wait of 1 ms at the current position.
  void InsertWait();
  // Inserts steps (a capture, a move) at the current position, marked new;
  // the current position follows them.
  void Insert(std::vector<MacroItem> items);
  // A move: 0xC0 absolute or 0x80 relative.
  void InsertMove(const MovePosition& position);
  // A recording's steps go to the end.
  void Append(std::vector<MacroItem> items);
  // 8 -> 9 -> 10 -> 8.
  void CycleMode();
  void Clear();
  void SetName(std::string name);

  // ---- list operations ----
  void SetCurrent(int row);
  // Removes the current row unless a recording runs; the position stays in
  // the list. True when a row went.
  bool DeleteCurrent(bool recording);
  // Drag and drop: the row at `from` moves to `to` (the drop row).
  bool MoveRow(int from, int to);
  // Double-click on a wait row: the new value (at most 65535). False when
  // the row is not a wait or the value is out of range.
  bool EditWait(int row, int value);
  // Double-click on a move row: new position and kind, with a fresh time.
  bool EditMove(int row, const MovePosition& position);

  // ---- hold-to-repeat on a wait's + (+1) or - (-1) control ----
  // The first step is taken at once. False when the row is not a wait.
  bool StartHold(int row, int direction);
  void StopHold();
  bool Holding() const { return hold_.has_value(); }

  // ---- new-step marks ----
  bool IsNew(int row) const;

  // ---- timers ----
  std::optional<int64_t> NextDueMs() const;
  // Runs what is due: hold steps, marks running out. True when the rows
  // changed or need repainting.
  bool Poll();

  // ---- saving ----
  // kAddToLibrary: a new macro with steps has no place yet; it goes to the
  // library, as "Save to macro list" does.
  enum class SaveAction { kNothing, kStoreSlot, kRewriteFile, kAddToLibrary };
  // What Save does now: nothing unless modified; else by the source.
  SaveAction PlannedSave() const;
  // The edits would be lost by loading another macro or putting the editor
  // away: exactly when Save has something to do.
  bool Unsaved() const { return PlannedSave() != SaveAction::kNothing; }
  // The file was written (library or picked file): the macro now comes from it.
  void SavedToFile(const std::string& path);
  // Writes the macro to the macro file `path`, stamped `now` (seconds since
  // 1970); on success the macro comes from it (SavedToFile). A failed write
  // keeps the edits and their source (the outcome of WriteMacroFile).
  Outcome WriteFile(const std::string& path, int64_t now);

  // Dropping the macro on a macro-list row.
  struct DropPlan {
    bool store = false;  // a device slot: store there
    int slot = -1;
    bool askOverwrite = false;  // "Overwrite macro '%s' ?" first
    std::string proposedName;   // the name entry's text for a slot
    bool rewriteFile = false;   // a library file: rewrite it with this macro
  };
  // nameWhenEmpty: the text proposed when the editor's name is empty.
  DropPlan PlanDrop(const MacroListItem& row, const std::string& nameWhenEmpty) const;

  // Stores the macro into device slot `slot` through the session's executor
  // (mode outside 8..10 stored as 8). The job comes to the store's outcome:
  // hand it to StoreFinished on the window's thread. `progress` follows the
  // store on the worker.
  Job<void> PostStore(Session& session, int slot, const std::string& name, ProgressFn progress = {}) const;
  // After a store: success makes the slot the macro's source and clears
  // modified; kLackOfSpace leaves everything as it was.
  void StoreFinished(const Outcome& outcome, int slot, const std::string& name);

  // Reads device slot `slot` back through the session's executor (input
  // stays blocked meanwhile: one read-back at a time). Hand what the job
  // read to ReadBackFinished on the window's thread: it loads the slot's
  // macro when it was read whole. `progress` follows the read on the worker.
  static Job<MacroReadBack> ReadBack(Session& session, int slot, ProgressFn progress = {});
  void ReadBackFinished(const MacroReadBack& back, int slot);

  // The device's free macro memory (no slot left out); 0 without a device.
  static int FreeMemory(const SettingsImage& image);

 private:
  void Changed();
  MacroItem Stamp(MacroItem item) const;
  void InsertAt(int at, std::vector<MacroItem> items);
  void HoldStep();

  struct Hold {
    int row = 0;
    int direction = 1;
    int count = 0;
    int64_t nextMs = 0;
  };

  Clock& clock_;
  std::vector<MacroItem> items_;
  int current_ = 0;
  std::string name_;
  int mode_ = kModeOnce;
  Source source_;
  bool modified_ = false;
  std::optional<Hold> hold_;
  int polledNewRows_ = 0;
};

}  // namespace quorix
